#pragma once

namespace sw::base {
class HostCallRegistry;
}

namespace sw::printing {

// The printing area's host calls:
//   ["PrintTo", DIR]  every print job started afterwards goes to DIR/001.pdf, 002.pdf, ... through
//                     the same job and raster code as a printer; ["PrintTo", ""] switches back.
//                     The reply's "result" is the folder in force. A pseudo-call: documents from
//                     untrusted sources cannot run it.
//   ["WaitBatch", MS] runs the event loop until no batch print is running (at most MS
//                     milliseconds) and answers the last batch's report as "result":
//                     {"sheets", "printed", "problems": [...], "stopped"}, null when none has
//                     ended yet; fails with "timeout" while one still runs. A pseudo-call.
// and the Dump keys "printTo" (the folder, "" when off) and "batchPrint" ({"running": count,
// "last": the last report or null}); print messages recorded without a display are added to the
// end of "messages".
void registerPrintingCalls(base::HostCallRegistry& registry);

}  // namespace sw::printing
