#include "base/host_calls.h"

#include <exception>

#include <QJsonDocument>
#include <QJsonParseError>

#include "base/object_safety.h"
#include "base/script_error.h"
#include "base/vb.h"

namespace sw::base {

void HostCallRegistry::add(const QString& name, CallKind kind, CallHandler handler) {
    for (Entry& entry : m_entries) {
        if (entry.name.compare(name, Qt::CaseInsensitive) == 0) {
            entry = {name, kind, std::move(handler)};
            return;
        }
    }
    m_entries.push_back({name, kind, std::move(handler)});
}

const HostCallRegistry::Entry* HostCallRegistry::find(const QString& name) const {
    for (const Entry& entry : m_entries) {
        if (entry.name.compare(name, Qt::CaseInsensitive) == 0) {
            return &entry;
        }
    }
    return nullptr;
}

QStringList HostCallRegistry::names() const {
    QStringList list;
    for (const Entry& entry : m_entries) {
        list << entry.name;
    }
    return list;
}

void HostCallRegistry::addStateProvider(StateProvider provider) {
    m_stateProviders.push_back(std::move(provider));
}

void HostCallRegistry::fillState(FastViewer& viewer, QJsonObject& state) const {
    for (const StateProvider& provider : m_stateProviders) {
        provider(viewer, state);
    }
}

std::optional<QJsonArray> parseHostCallDocument(const QByteArray& bytes, QString* error) {
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    QString problem;
    if (parseError.error != QJsonParseError::NoError) {
        problem = QStringLiteral("not valid JSON (%1 at offset %2)")
                      .arg(parseError.errorString())
                      .arg(parseError.offset);
    } else if (!document.isObject()) {
        problem = QStringLiteral("the document must be an object with a \"calls\" list");
    } else if (!document.object().value(QStringLiteral("calls")).isArray()) {
        problem = QStringLiteral("the document has no \"calls\" list");
    }
    if (!problem.isEmpty()) {
        if (error != nullptr) {
            *error = problem;
        }
        return std::nullopt;
    }
    return document.object().value(QStringLiteral("calls")).toArray();
}

HostCallRunner::HostCallRunner(FastViewer& viewer, const HostCallRegistry& registry, Trust trust,
                               const ObjectSafety& safety)
    : m_viewer(viewer), m_registry(registry), m_trust(trust), m_safety(safety) {}

namespace {

QJsonObject failure(const QJsonValue& name, const QString& description) {
    return {{QStringLiteral("call"), name},
            {QStringLiteral("ok"), false},
            {QStringLiteral("error"), description}};
}

}  // namespace

QJsonObject HostCallRunner::run(const QJsonValue& call) const {
    const QJsonArray parts = call.toArray();
    if (!call.isArray() || parts.isEmpty() || !parts.first().isString()) {
        return failure(QJsonValue::Null,
                       QStringLiteral("a call is a list whose first element is the call's name"));
    }
    const QString name = parts.first().toString();
    const HostCallRegistry::Entry* entry = m_registry.find(name);
    if (entry == nullptr) {
        return failure(name, ScriptError::standardDescription(ScriptError::Code::NotSupported));
    }
    if (m_trust == Trust::Untrusted &&
        (entry->kind == CallKind::Pseudo || !m_safety.allowsScripting())) {
        return failure(name, ScriptError::standardDescription(ScriptError::Code::PermissionDenied));
    }
    try {
        QJsonArray args;
        for (qsizetype i = 1; i < parts.size(); ++i) {
            args.append(parts.at(i));
        }
        const CallerTrustScope caller(m_trust);
        QJsonObject reply = entry->handler(m_viewer, args);
        reply.insert(QStringLiteral("call"), name);
        reply.insert(QStringLiteral("ok"), true);
        return reply;
    } catch (const ScriptError& error) {
        return failure(name, error.description());
    } catch (const std::exception& error) {
        return failure(name, QString::fromUtf8(error.what()));
    }
}

QByteArray replyLine(const QJsonObject& reply) {
    auto compact = [](const QJsonValue& value) {
        const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
        return wrapped.mid(1, wrapped.size() - 2);
    };
    QByteArray line = "{\"call\":" + compact(reply.value(QStringLiteral("call"))) +
                      ",\"ok\":" + compact(reply.value(QStringLiteral("ok")));
    for (auto it = reply.begin(); it != reply.end(); ++it) {
        if (it.key() == QLatin1String("call") || it.key() == QLatin1String("ok")) {
            continue;
        }
        line += ',' + compact(it.key()) + ':' + compact(it.value());
    }
    return line + '}';
}

void expectArgumentCount(const QJsonArray& args, int min, int max) {
    if (args.size() < min) {
        throw ScriptError(ScriptError::Code::ArgumentNotOptional);
    }
    if (args.size() > max) {
        throw ScriptError(ScriptError::Code::WrongArguments);
    }
}

QString stringArgument(const QJsonArray& args, int index) {
    const QJsonValue value = args.at(index);
    switch (value.type()) {
        case QJsonValue::String:
            return value.toString();
        case QJsonValue::Double:
            return vb::doubleText(value.toDouble());
        case QJsonValue::Bool:
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case QJsonValue::Null:
            return {};
        case QJsonValue::Undefined:
            throw ScriptError(ScriptError::Code::ArgumentNotOptional);
        default:
            break;
    }
    throw ScriptError(ScriptError::Code::TypeMismatch);
}

std::int32_t longArgument(const QJsonArray& args, int index) {
    const QJsonValue value = args.at(index);
    switch (value.type()) {
        case QJsonValue::Double:
            return vb::toInt32(value.toDouble());
        case QJsonValue::String:
            if (const std::optional<double> number = vb::parseNumber(value.toString())) {
                return vb::toInt32(*number);
            }
            break;
        case QJsonValue::Bool:
            return value.toBool() ? -1 : 0;
        case QJsonValue::Null:
            return 0;
        case QJsonValue::Undefined:
            throw ScriptError(ScriptError::Code::ArgumentNotOptional);
        default:
            break;
    }
    throw ScriptError(ScriptError::Code::TypeMismatch);
}

}  // namespace sw::base
