// sheetwise: the viewer, and the thin tools that run the same core code headless.
#include <cstring>

#include "compare/compare_command.h"
#include "host/ui/single_instance.h"
#include "host/ui/viewer_app.h"
#include "imaging/tool_commands.h"
#include "measure/measure_command.h"
#include "printing/print_command.h"
#include "widgets/gallery_command.h"

namespace {

struct Subcommand {
    const char* name;
    int (*run)(int argc, char** argv);
};

constexpr Subcommand kSubcommands[] = {
    {"render", sw::imaging::runRenderCommand},
    {"info", sw::imaging::runInfoCommand},
    {"print", sw::printing::runPrintCommand},
    {"measure", sw::measure::runMeasureCommand},
    {"compare", sw::compare::runCompareCommand},
    {"widgets", sw::widgets::runWidgetsCommand},
};

}  // namespace

int main(int argc, char** argv) {
    sw::host::provideRuntimeFolder();
    if (argc > 1) {
        for (const Subcommand& sub : kSubcommands) {
            if (std::strcmp(argv[1], sub.name) == 0) {
                return sub.run(argc, argv);
            }
        }
    }
    return sw::host::runViewerApp(argc, argv);
}
