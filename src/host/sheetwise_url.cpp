#include "host/sheetwise_url.h"

#include "base/host_calls.h"

namespace sw::host {

namespace {

constexpr int kShownUrlLength = 80;  // characters of a refused URL quoted in a message

QString shownUrl(const QString& text) {
    return text.size() <= kShownUrlLength ? text : text.left(kShownUrlLength) + QStringLiteral("…");
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Decodes a query value as form encoding: "%XX" gives the byte, "+" a space. Nothing when a "%"
// is not followed by two hexadecimal digits.
std::optional<QByteArray> decodeQueryValue(const QByteArray& encoded) {
    QByteArray out;
    out.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded.at(i);
        if (c == '+') {
            out += ' ';
        } else if (c != '%') {
            out += c;
        } else {
            const int high = i + 2 < encoded.size() ? hexValue(encoded.at(i + 1)) : -1;
            const int low = high >= 0 ? hexValue(encoded.at(i + 2)) : -1;
            if (low < 0) {
                return std::nullopt;
            }
            out += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return out;
}

struct Query {
    QByteArray key;  // the one parameter the action takes
    std::optional<QByteArray> value;
};

// Reads the query of an action that takes exactly the parameter `key`; returns the error sentence
// or an empty text.
QString readQuery(const QByteArray& query, Query& result) {
    for (const QByteArray& part : query.split('&')) {
        if (part.isEmpty()) {
            continue;
        }
        const qsizetype equals = part.indexOf('=');
        const QByteArray key = equals < 0 ? part : part.left(equals);
        if (key != result.key) {
            return QStringLiteral("the link has an unknown parameter \"%1\"")
                .arg(shownUrl(QString::fromUtf8(key)));
        }
        if (result.value) {
            return QStringLiteral("the link gives \"%1\" twice").arg(QString::fromUtf8(key));
        }
        result.value = decodeQueryValue(equals < 0 ? QByteArray() : part.mid(equals + 1));
        if (!result.value) {
            return QStringLiteral("the link has a broken %-escape in \"%1\"")
                .arg(QString::fromUtf8(key));
        }
    }
    if (!result.value || result.value->isEmpty()) {
        return QStringLiteral("the link has no \"%1\" parameter")
            .arg(QString::fromUtf8(result.key));
    }
    return {};
}

QString checkDocumentAddress(const QByteArray& address, QUrl& url) {
    url = QUrl(QString::fromUtf8(address), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.isRelative()) {
        return QStringLiteral("\"%1\" is not a valid address").arg(shownUrl(url.toString()));
    }
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        return QStringLiteral("only http and https addresses can be opened, not %1:").arg(scheme);
    }
    if (url.host().isEmpty()) {
        return QStringLiteral("the address \"%1\" names no server").arg(shownUrl(url.toString()));
    }
    return {};
}

}  // namespace

bool isSheetwiseUrl(const QString& text) {
    return text.startsWith(QLatin1String(kSheetwiseScheme) + u':', Qt::CaseInsensitive);
}

std::optional<SheetwiseUrl> parseSheetwiseUrl(const QString& text, QString* error) {
    auto fail = [&](const QString& problem) -> std::optional<SheetwiseUrl> {
        if (error != nullptr) {
            *error = QStringLiteral("The sheetwise: link was refused: %1.").arg(problem);
        }
        return std::nullopt;
    };
    if (text.size() > kMaxSheetwiseUrlLength) {
        return fail(QStringLiteral("it is longer than %1 characters").arg(kMaxSheetwiseUrlLength));
    }
    if (!isSheetwiseUrl(text)) {
        return fail(QStringLiteral("\"%1\" does not start with sheetwise:").arg(shownUrl(text)));
    }
    const qsizetype schemeLength = QLatin1String(kSheetwiseScheme).size() + 1;  // with ':'
    QByteArray rest = text.mid(schemeLength).toUtf8();
    if (rest.startsWith("//")) {
        rest.remove(0, 2);
    }
    if (const qsizetype hash = rest.indexOf('#'); hash >= 0) {
        rest.truncate(hash);  // a fragment is not part of the request
    }
    const qsizetype question = rest.indexOf('?');
    QByteArray action = (question < 0 ? rest : rest.left(question)).toLower();
    if (action.endsWith('/')) {
        action.chop(1);
    }
    const QByteArray query = question < 0 ? QByteArray() : rest.mid(question + 1);

    SheetwiseUrl url;
    Query parameter;
    if (action == "calls") {
        parameter.key = "json";
    } else if (action == "open") {
        url.action = SheetwiseUrl::Action::Open;
        parameter.key = "url";
    } else {
        return fail(QStringLiteral("\"%1\" is not an action (calls or open)")
                        .arg(shownUrl(QString::fromUtf8(action))));
    }
    if (const QString problem = readQuery(query, parameter); !problem.isEmpty()) {
        return fail(problem);
    }
    if (url.action == SheetwiseUrl::Action::Calls) {
        url.document = *parameter.value;
        if (url.document.size() > kMaxDocumentBytes) {
            return fail(QStringLiteral("its host-call document is larger than 1 MB (%1 bytes)")
                            .arg(url.document.size()));
        }
    } else if (const QString problem = checkDocumentAddress(*parameter.value, url.documentUrl);
               !problem.isEmpty()) {
        return fail(problem);
    }
    return url;
}

QString sheetwiseCallsUrl(const QByteArray& document) {
    return QStringLiteral("sheetwise:calls?json=") +
           QString::fromLatin1(document.toPercentEncoding());
}

std::optional<QJsonArray> readUntrustedDocument(const QByteArray& document, QString* error) {
    QString problem;
    std::optional<QJsonArray> calls;
    if (document.size() > kMaxDocumentBytes) {
        problem = QStringLiteral("it is larger than 1 MB (%1 bytes)").arg(document.size());
    } else {
        calls = base::parseHostCallDocument(document, &problem);
    }
    if (!calls && error != nullptr) {
        *error = QStringLiteral("The host-call document was refused: %1.").arg(problem);
    }
    return calls;
}

}  // namespace sw::host
