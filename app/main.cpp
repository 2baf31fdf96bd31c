// sheetwise: the viewer, and the thin tools that run the same core code headless.
//
// `render` and `info` need the imaging core only, which this executable carries itself, so they
// start without loading and relocating libsheetwise and the widget, printing and network
// libraries behind it (about a seventh of a fitted render of a 400 dpi sheet went to that).
// Everything else runs in libsheetwise, loaded here when it is needed; it is found beside the
// executable (../lib, the executable's run path) or where the system keeps libraries.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

#include "imaging/tool_commands.h"

namespace {

struct Subcommand {
    const char* name;
    int (*run)(int argc, char** argv);
};

constexpr Subcommand kCoreSubcommands[] = {
    {"render", sw::imaging::runRenderCommand},
    {"info", sw::imaging::runInfoCommand},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        for (const Subcommand& sub : kCoreSubcommands) {
            if (std::strcmp(argv[1], sub.name) == 0) {
                return sub.run(argc, argv);
            }
        }
    }
    void* library = dlopen(SW_LIBRARY_FILE, RTLD_LAZY | RTLD_LOCAL);
    using Main = int (*)(int, char**);
    const auto run =
        library != nullptr ? reinterpret_cast<Main>(dlsym(library, "sw_sheetwise_main")) : nullptr;
    if (run == nullptr) {
        std::fprintf(stderr, "sheetwise: cannot load %s: %s\n", SW_LIBRARY_FILE, dlerror());
        return 1;
    }
    return run(argc, argv);
}
