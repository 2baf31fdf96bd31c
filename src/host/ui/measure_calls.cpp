// The Measure tool's key of the Dump state. Its commands and settings go through the calls every
// viewer answers: DoCommand for the toolbar word, Set and Click on the panel's controls, Mouse for
// the points.
#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"
#include "measure/ui/measure_tool.h"

namespace sw::host {

void registerMeasureCalls(base::HostCallRegistry& registry) {
    registry.addStateProvider([](FastViewer& v, QJsonObject& state) {
        state.insert("measure", v.measureTool().dumpState());
    });
}

}  // namespace sw::host
