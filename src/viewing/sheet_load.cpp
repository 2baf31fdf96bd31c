#include "viewing/sheet_load.h"

#include <QFileInfo>

namespace sw::viewing {

namespace {

QString quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

}  // namespace

void SheetLoad::request(const QString& name, const QString& address) {
    m_state = State::Loading;
    m_name = name;
    m_address = address;
    m_reason.clear();
    m_savedFile = false;
}

void SheetLoad::finish() {
    m_state = State::Loaded;
}

void SheetLoad::fail(const QString& reason) {
    m_state = State::Failed;
    m_reason = reason;
}

void SheetLoad::openSavedFile(const QString& path) {
    m_state = State::Loaded;
    m_name.clear();
    m_address = path;
    m_reason.clear();
    m_savedFile = true;
}

std::optional<QString> SheetLoad::refusalToStore(const QString& sheetName) const {
    switch (m_state) {
        case State::Empty:
            return std::nullopt;
        case State::Loading:
            return QStringLiteral("%1 has not finished loading.").arg(quoted(m_name));
        case State::Failed:
            return QStringLiteral("%1 could not be loaded: %2").arg(quoted(m_name), m_reason);
        case State::Loaded:
            break;
    }
    if (m_savedFile) {
        return QStringLiteral("The sheet on screen was opened from %1, where it is saved already.")
            .arg(m_address);
    }
    if (m_name != sheetName) {
        return QStringLiteral("The sheet on screen was loaded as %1, not as %2.")
            .arg(quoted(m_name), quoted(sheetName));
    }
    return std::nullopt;
}

QString SheetLoad::titleName(const QString& currentPlanName) const {
    switch (m_state) {
        case State::Empty:
            return currentPlanName;
        case State::Loading:
            return m_name + QStringLiteral(" (loading)");
        case State::Failed:
            return m_name + QStringLiteral(" (not loaded)");
        case State::Loaded:
            break;
    }
    return m_savedFile ? QFileInfo(m_address).fileName() : m_name;
}

QString SheetLoad::placeholderText() const {
    const QString sheet = m_name.trimmed().isEmpty() ? m_address : m_name;
    switch (m_state) {
        case State::Loading:
            return QStringLiteral("Loading %1\u2026").arg(sheet);
        case State::Failed:
            return QStringLiteral("%1 could not be loaded:\n%2").arg(sheet, m_reason);
        case State::Empty:
        case State::Loaded:
            break;
    }
    return {};
}

}  // namespace sw::viewing
