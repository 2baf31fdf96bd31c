// sheetwise: the viewer, and the thin tools that run the same core code headless.
//
// `render` and `info` need the imaging core only, which this executable carries itself, so they
// start without loading and relocating libsheetwise and the widget, printing and network
// libraries behind it (about a seventh of a fitted render of a 400 dpi sheet went to that).
// Everything else runs in libsheetwise, loaded here when it is needed; it is found beside the
// executable (../lib in the build tree, the installed library folder once installed) or where
// the system keeps libraries.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

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

// Loads libsheetwise from the library folders beside the executable's own folder, then from the
// system's. The folders are tried by full path rather than left to the run path: dlopen resolves
// a bare name with the run path of its caller, and a sanitizer's dlopen wrapper is a caller
// without one.
void* loadLibrary() {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length > 0) {
        std::string folder(self, static_cast<size_t>(length));
        folder.erase(folder.find_last_of('/') + 1);
        for (const char* libraryFolder : {"../lib/", "../" SW_INSTALL_LIBDIR "/"}) {
            const std::string path = folder + libraryFolder + SW_LIBRARY_FILE;
            if (access(path.c_str(), F_OK) == 0) {
                return dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
            }
        }
    }
    return dlopen(SW_LIBRARY_FILE, RTLD_LAZY | RTLD_LOCAL);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        for (const Subcommand& sub : kCoreSubcommands) {
            if (std::strcmp(argv[1], sub.name) == 0) {
                return sub.run(argc, argv);
            }
        }
    }
    void* library = loadLibrary();
    using Main = int (*)(int, char**);
    const auto run =
        library != nullptr ? reinterpret_cast<Main>(dlsym(library, "sw_sheetwise_main")) : nullptr;
    if (run == nullptr) {
        std::fprintf(stderr, "sheetwise: cannot load %s: %s\n", SW_LIBRARY_FILE, dlerror());
        return 1;
    }
    return run(argc, argv);
}
