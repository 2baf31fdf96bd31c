#pragma once

#include <QString>

namespace sw::base {

// Cuts the text up to and including the first `delimiter` off `startStrg` and returns it;
// `startStrg` keeps the rest. The scan compares one character at a time with a 16-bit position
// counter: a delimiter that does not occur in the first 32767 characters, or that is longer than
// one character, throws ScriptError "Overflow" and leaves `startStrg` unchanged. An empty
// delimiter returns the whole text and empties `startStrg`.
//
// Examples: "C:\a\b\" with "\" returns "C:\" and leaves "a\b\"; "abc" with "c" returns "abc".
QString GetPart(QString& startStrg, const QString& delimiter);

}  // namespace sw::base
