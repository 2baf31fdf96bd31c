#pragma once

#include <QByteArrayView>

// What the host fuzz targets run on one input: the readers of everything that reaches the viewer
// from outside (host-call documents and the scripting methods they call, `sheetwise:` links,
// hand-over requests, the settings file). Each must refuse bad input with an error and keep its
// round trips and invariants; a broken invariant aborts, which the fuzzer reports as a crash.
// The same bodies replay the regression files in the normal tests.
namespace sw::host::fuzz {

// A host-call document, its calls run as a web page's on the project state.
void hostCallDocument(QByteArrayView data);
// A `sheetwise:` link, and its hand-over to a running viewer.
void sheetwiseLink(QByteArrayView data);
// The bytes a later launch sends to the running viewer (the first byte chooses the piece size
// they arrive in), and reply lines.
void handoverRequest(QByteArrayView data);
// A settings file (up to the first NUL) and one entry written into it (section, key and value
// after it, separated by NULs).
void settingsFile(QByteArrayView data);

}  // namespace sw::host::fuzz
