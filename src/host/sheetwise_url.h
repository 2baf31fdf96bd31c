#pragma once

#include <optional>

#include <QByteArray>
#include <QJsonArray>
#include <QString>
#include <QUrl>

// `sheetwise:` URLs, through which a plan-room web page hands host calls to the installed viewer:
//   sheetwise:calls?json=<percent-encoded host-call document>
//   sheetwise:open?url=<percent-encoded http(s) address of a host-call document>
// The scheme and the action are matched without regard to letter case, "sheetwise://calls?..."
// is read like "sheetwise:calls?...", and a query value is decoded as a browser's form encoding
// writes it ("%XX" escapes, "+" for a space; a plus sign itself is "%2B"). Anything else (another
// scheme, an unknown action or parameter, a parameter given twice, a broken escape) is refused.
//
// Documents from such a URL come from an untrusted caller: they are limited to
// kMaxDocumentBytes and must be valid JSON before any call runs.
//
// Pure functions; callable from any thread.
namespace sw::host {

// The largest host-call document taken from an untrusted caller, in bytes (1 MB).
inline constexpr qsizetype kMaxDocumentBytes = 1024 * 1024;
// The longest `sheetwise:` URL read: a document of kMaxDocumentBytes with every byte escaped.
inline constexpr qsizetype kMaxSheetwiseUrlLength = 3 * kMaxDocumentBytes + 1024;

inline constexpr char kSheetwiseScheme[] = "sheetwise";

struct SheetwiseUrl {
    enum class Action { Calls, Open };
    Action action = Action::Calls;
    QByteArray document;  // Calls: the decoded host-call document
    QUrl documentUrl;     // Open: the http or https address of the document
};

// True when `text` starts with the scheme "sheetwise:" (any letter case).
bool isSheetwiseUrl(const QString& text);

// Reads a `sheetwise:` URL. Returns nothing with `error` set to a sentence for the user when the
// URL is malformed, names no known action, or its document or address is not acceptable (over
// kMaxDocumentBytes, not http or https).
std::optional<SheetwiseUrl> parseSheetwiseUrl(const QString& text, QString* error);

// The `sheetwise:calls?json=` URL that carries `document` (every byte but letters, digits and
// "-._~" escaped).
QString sheetwiseCallsUrl(const QByteArray& document);

// The calls of a document from an untrusted caller. Returns nothing with `error` set when the
// document is larger than kMaxDocumentBytes, is not valid JSON or has no "calls" list.
std::optional<QJsonArray> readUntrustedDocument(const QByteArray& document, QString* error);

}  // namespace sw::host
