#pragma once

namespace sw::base {
class HostCallRegistry;
}

namespace sw::printing {

// PrintDialog, the public class around the system's Print dialog, as host calls, so that a page
// or a script uses it as the class's users do: make one, write its values, show it, read back.
//   ["PrintDialog", "create"]          a new instance; "result" is its number (1, 2, ...)
//   ["PrintDialog", N]                 "result": {"m_Printer": the chosen printer's name or null,
//                                      "Copies", "FromPage", "ToPage", "Pages"}
//   ["PrintDialog", N, NAME, VALUE]    writes Copies, FromPage, ToPage or Pages (16-bit) or assigns
//                                      m_Printer an installed printer by its exact name ("" for
//                                      none); "result" as above
//   ["PrintDialog", N, "show"]         shows the Print dialog and returns when the user closes
//                                      it; "result" as above
// An unknown instance fails with "Subscript out of range", an unknown member or printer with
// "Invalid procedure call or argument". Pseudo-calls: documents from untrusted sources cannot run
// them. Instances live as long as the process. UI thread only.
void registerPrintDialogCalls(base::HostCallRegistry& registry);

}  // namespace sw::printing
