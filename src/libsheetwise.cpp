// The shared library carries the area libraries whole; its own code is the entry point through
// which the `sheetwise` executable runs everything but its core tools (see app/main.cpp).
#include <cstring>

#include "compare/compare_command.h"
#include "host/ui/single_instance.h"
#include "host/ui/viewer_app.h"
#include "measure/measure_command.h"
#include "printing/print_command.h"
#include "widgets/gallery_command.h"

namespace sw {
const char* libraryVersion() {
    return SW_VERSION_STRING;
}
}  // namespace sw

// `sheetwise print|measure|compare|widgets ...` and the viewer (any other arguments).
extern "C" __attribute__((visibility("default"))) int sw_sheetwise_main(int argc, char** argv) {
    struct Subcommand {
        const char* name;
        int (*run)(int argc, char** argv);
    };
    static constexpr Subcommand kSubcommands[] = {
        {"print", sw::printing::runPrintCommand},
        {"measure", sw::measure::runMeasureCommand},
        {"compare", sw::compare::runCompareCommand},
        {"widgets", sw::widgets::runWidgetsCommand},
    };
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
