#include "base/ini_store.h"

#include <algorithm>
#include <optional>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "base/whole_file.h"

namespace sw::base {

namespace {

using RawLine = ProfileLine;

enum class LineKind { Other, Section, Entry };

// What a line means once decoded: a section header (name) or an entry (name = key, value).
struct ParsedLine {
    LineKind kind = LineKind::Other;
    QString name;
    QString value;
};

#ifdef Q_OS_WIN
const QByteArray kNativeEnding = QByteArrayLiteral("\r\n");
#else
const QByteArray kNativeEnding = QByteArrayLiteral("\n");
#endif

std::vector<RawLine> splitLines(const QByteArray& bytes) {
    std::vector<RawLine> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        if (newline < 0) {
            lines.push_back({bytes.mid(start), {}});
            break;
        }
        qsizetype end = newline;
        if (end > start && bytes.at(end - 1) == '\r') {
            --end;
        }
        lines.push_back({bytes.mid(start, end - start), bytes.mid(end, newline + 1 - end)});
        start = newline + 1;
    }
    return lines;
}

QString decodeLine(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        return QString::fromLatin1(bytes);
    }
    return text;
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString trimmed(QStringView text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlank(text.at(start))) {
        ++start;
    }
    while (end > start && isBlank(text.at(end - 1))) {
        --end;
    }
    return text.mid(start, end - start).toString();
}

ParsedLine parseLine(const QByteArray& content) {
    const QString text = trimmed(decodeLine(content));
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        const qsizetype end = close < 0 ? text.size() : close;
        return {LineKind::Section, trimmed(QStringView(text).mid(1, end - 1)), {}};
    }
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals < 0) {
        return {};
    }
    return {LineKind::Entry, trimmed(QStringView(text).left(equals)),
            trimmed(QStringView(text).mid(equals + 1))};
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString unquoted(const QString& value) {
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

QString cutToBuffer(const QString& value, int bufferSize) {
    if (bufferSize <= 0) {
        return {};
    }
    QString cut = value.left(bufferSize - 1);
    if (!cut.isEmpty() && cut.back().isHighSurrogate()) {
        cut.chop(1);
    }
    return cut;
}

// The half-open range of line indices that belong to the first section named `section`: from the
// line after its header to the next header. Empty optional when the section is absent.
struct SectionRange {
    std::size_t header;
    std::size_t end;
};

std::optional<SectionRange> findSection(const std::vector<RawLine>& lines, const QString& section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = parseLine(lines[i].content);
        if (parsed.kind != LineKind::Section || !sameName(parsed.name, section)) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < lines.size() && parseLine(lines[end].content).kind != LineKind::Section) {
            ++end;
        }
        return SectionRange{i, end};
    }
    return std::nullopt;
}

bool storableAsOneLine(const QString& text) {
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) &&
           !text.contains(QChar(0));
}

bool validEntry(const QString& section, const QString& key, const QString& value) {
    return storableAsOneLine(section) && storableAsOneLine(key) && storableAsOneLine(value) &&
           !section.isEmpty() && !section.contains(QLatin1Char(']')) && !key.isEmpty() &&
           !key.contains(QLatin1Char('=')) && !key.startsWith(QLatin1Char('['));
}

// Puts key=value into `lines`, changing nothing else.
void setEntry(std::vector<RawLine>& lines, const QString& section, const QString& key,
              const QString& value) {
    const QByteArray ending =
        lines.empty() || lines.front().ending.isEmpty() ? kNativeEnding : lines.front().ending;
    const QByteArray entry = (key + QLatin1Char('=') + value).toUtf8();
    const std::optional<SectionRange> range = findSection(lines, section);
    if (!range) {
        if (!lines.empty() && lines.back().ending.isEmpty()) {
            lines.back().ending = ending;
        }
        lines.push_back({(QLatin1Char('[') + section + QLatin1Char(']')).toUtf8(), ending});
        lines.push_back({entry, ending});
        return;
    }
    std::size_t insertAfter = range->header;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        const ParsedLine parsed = parseLine(lines[i].content);
        if (parsed.kind == LineKind::Entry && sameName(parsed.name, key)) {
            lines[i].content = entry;
            return;
        }
        if (!trimmed(decodeLine(lines[i].content)).isEmpty()) {
            insertAfter = i;
        }
    }
    if (lines[insertAfter].ending.isEmpty()) {
        lines[insertAfter].ending = ending;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAfter) + 1, {entry, ending});
}

}  // namespace

ProfileFile ProfileFile::read(const QString& path) {
    ProfileFile profile;
    profile.m_path = path;
    const QFileInfo info(path);
    if (!info.exists()) {
        profile.m_usable = true;
        return profile;
    }
    if (!info.isFile()) {
        profile.m_error = QStringLiteral("the settings file %1 is not a regular file").arg(path);
        return profile;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        profile.m_error =
            QStringLiteral("cannot read the settings file %1: %2").arg(path, file.errorString());
        return profile;
    }
    // The size is checked on what arrives, not only on what the folder says: the file may grow.
    const QByteArray bytes =
        file.size() > kMaxSettingsFileBytes ? QByteArray() : file.read(kMaxSettingsFileBytes + 1);
    const qint64 size = std::max<qint64>(file.size(), bytes.size());
    if (size > kMaxSettingsFileBytes) {
        profile.m_error = QStringLiteral("the settings file %1 is larger than 1 MB (%2 bytes)")
                              .arg(path)
                              .arg(size);
        return profile;
    }
    profile.m_lines = splitLines(bytes);
    profile.m_usable = true;
    return profile;
}

ProfileFile ProfileFile::fromBytes(const QByteArray& bytes) {
    ProfileFile profile;
    profile.m_lines = splitLines(bytes);
    return profile;
}

QString ProfileFile::value(const QString& section, const QString& key, const QString& defaultValue,
                           int bufferSize) const {
    if (const std::optional<SectionRange> range = findSection(m_lines, trimmed(section))) {
        const QString wanted = trimmed(key);
        for (std::size_t i = range->header + 1; i < range->end; ++i) {
            const ParsedLine parsed = parseLine(m_lines[i].content);
            if (parsed.kind == LineKind::Entry && sameName(parsed.name, wanted)) {
                return cutToBuffer(unquoted(parsed.value), bufferSize);
            }
        }
    }
    return cutToBuffer(defaultValue, bufferSize);
}

bool ProfileFile::setValue(const QString& section, const QString& key, const QString& value) {
    const QString cleanSection = trimmed(section);
    const QString cleanKey = trimmed(key);
    if (!validEntry(cleanSection, cleanKey, value)) {
        return false;
    }
    setEntry(m_lines, cleanSection, cleanKey, value);
    return true;
}

QByteArray ProfileFile::bytes() const {
    QByteArray out;
    for (const RawLine& line : m_lines) {
        out += line.content;
        out += line.ending;
    }
    return out;
}

bool ProfileFile::save() {
    if (!m_usable) {
        if (m_error.isEmpty()) {
            m_error = QStringLiteral("no settings file to save to");
        }
        return false;
    }
    const QString failure = replaceFileWhole(m_path, bytes());
    if (!failure.isEmpty()) {
        m_error = QStringLiteral("cannot write the settings file %1: %2").arg(m_path, failure);
    }
    return failure.isEmpty();
}

QString readProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue, int bufferSize) {
    return ProfileFile::read(path).value(section, key, defaultValue, bufferSize);
}

bool writeProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value) {
    ProfileFile profile = ProfileFile::read(path);
    return profile.error().isEmpty() && profile.setValue(section, key, value) && profile.save();
}

}  // namespace sw::base
