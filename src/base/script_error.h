#pragma once

#include <stdexcept>

#include <QString>

namespace sw::base {

// The error a scripting method, a host call or a user command raises. It carries the number and
// the description the original platform's runtime gives for the same fault ("Subscript out of
// range", "Overflow", ...), because hosts and message boxes show exactly those texts. Thrown by
// the core libraries; UI event handlers catch it and show or ignore it as each operation says.
class ScriptError : public std::runtime_error {
public:
    // Runtime error numbers. The description of each is fixed; `Custom` carries its own text.
    enum class Code {
        InvalidArgument = 5,        // "Invalid procedure call or argument"
        Overflow = 6,               // "Overflow"
        SubscriptOutOfRange = 9,    // "Subscript out of range"
        DivisionByZero = 11,        // "Division by zero"
        TypeMismatch = 13,          // "Type mismatch"
        FileNotFound = 53,          // "File not found"
        PermissionDenied = 70,      // "Permission denied"
        PathFileAccessError = 75,   // "Path/File access error"
        PathNotFound = 76,          // "Path not found"
        NotSupported = 438,         // "Object doesn't support this property or method"
        ArgumentNotOptional = 449,  // "Argument not optional"
        WrongArguments = 450,       // "Wrong number of arguments or invalid property assignment"
        Custom = 1000,              // an error with its own description (network, decoding, ...)
    };

    explicit ScriptError(Code code, const QString& description = {});

    [[nodiscard]] Code code() const { return m_code; }
    // The number shown as a message box title where an operation reports "the error number".
    [[nodiscard]] int number() const { return static_cast<int>(m_code); }
    [[nodiscard]] QString description() const { return m_description; }

    static ScriptError invalidArgument() { return ScriptError(Code::InvalidArgument); }
    static ScriptError overflow() { return ScriptError(Code::Overflow); }
    static ScriptError subscriptOutOfRange() { return ScriptError(Code::SubscriptOutOfRange); }
    static ScriptError divisionByZero() { return ScriptError(Code::DivisionByZero); }
    static ScriptError custom(const QString& description) {
        return ScriptError(Code::Custom, description);
    }

    // The fixed description of a runtime error number.
    static QString standardDescription(Code code);

private:
    Code m_code;
    QString m_description;
};

}  // namespace sw::base
