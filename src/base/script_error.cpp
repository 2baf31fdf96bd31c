#include "base/script_error.h"

namespace sw::base {

namespace {
QString describe(ScriptError::Code code, const QString& description) {
    return description.isEmpty() ? ScriptError::standardDescription(code) : description;
}
}  // namespace

ScriptError::ScriptError(Code code, const QString& description)
    : std::runtime_error(describe(code, description).toStdString()),
      m_code(code),
      m_description(describe(code, description)) {}

QString ScriptError::standardDescription(Code code) {
    switch (code) {
        case Code::InvalidArgument:
            return QStringLiteral("Invalid procedure call or argument");
        case Code::Overflow:
            return QStringLiteral("Overflow");
        case Code::SubscriptOutOfRange:
            return QStringLiteral("Subscript out of range");
        case Code::DivisionByZero:
            return QStringLiteral("Division by zero");
        case Code::TypeMismatch:
            return QStringLiteral("Type mismatch");
        case Code::FileNotFound:
            return QStringLiteral("File not found");
        case Code::PermissionDenied:
            return QStringLiteral("Permission denied");
        case Code::PathFileAccessError:
            return QStringLiteral("Path/File access error");
        case Code::PathNotFound:
            return QStringLiteral("Path not found");
        case Code::NotSupported:
            return QStringLiteral("Object doesn't support this property or method");
        case Code::ArgumentNotOptional:
            return QStringLiteral("Argument not optional");
        case Code::WrongArguments:
            return QStringLiteral("Wrong number of arguments or invalid property assignment");
        case Code::Custom:
            break;
    }
    return QStringLiteral("Application-defined or object-defined error");
}

}  // namespace sw::base
