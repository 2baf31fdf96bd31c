#include "imaging/tool_commands.h"

#include <cstdio>

namespace sw::imaging {

int runRenderCommand(int /*argc*/, char** /*argv*/) {
    std::fputs("sheetwise: render is not available in this build yet\n", stderr);
    return 1;
}

int runInfoCommand(int /*argc*/, char** /*argv*/) {
    std::fputs("sheetwise: info is not available in this build yet\n", stderr);
    return 1;
}

}  // namespace sw::imaging
