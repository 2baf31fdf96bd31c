#pragma once

namespace sw::host {
class HostCallRegistry;
}

namespace sw::printing {

// The printing area's host calls:
//   ["PrintTo", DIR]  every print job started afterwards goes to DIR/001.pdf, 002.pdf, ... through
//                     the same job and raster code as a printer; ["PrintTo", ""] switches back.
//                     The reply's "result" is the folder in force. A pseudo-call: documents from
//                     untrusted sources cannot run it.
// and the Dump key "printTo" (the folder, "" when off).
void registerPrintingCalls(host::HostCallRegistry& registry);

}  // namespace sw::printing
