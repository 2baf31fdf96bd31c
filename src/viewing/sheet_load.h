#pragma once

#include <optional>

#include <QString>

namespace sw::viewing {

// Which sheet the viewer was last asked to show, under which name, and how far its load has come.
//
// The imaging control keeps showing the previous picture while a new load runs, so "an image is
// held" does not say which sheet it is. Everything that stores or names "the sheet on screen"
// ("Save", the print hand-off, the title, the status texts) asks this record instead:
//
//   Empty --request--> Loading --finish--> Loaded
//                         |
//                         +----fail-----> Failed
//
// A new request starts Loading from any state; opening a saved sheet from the plan folder gives
// Loaded with the file as its source. Plain value, UI thread only.
class SheetLoad {
public:
    enum class State { Empty, Loading, Loaded, Failed };

    // A load from `address` (the full URL) was started for the sheet called `name`.
    void request(const QString& name, const QString& address);
    // The running load ended with its image in the viewer.
    void finish();
    // The running load ended without an image, for `reason` ("HTTP 404 Not Found", ...).
    void fail(const QString& reason);
    // A sheet saved earlier was opened from the file at `path`; it carries no sheet name.
    void openSavedFile(const QString& path);

    [[nodiscard]] State state() const { return m_state; }
    [[nodiscard]] const QString& name() const { return m_name; }
    [[nodiscard]] const QString& address() const { return m_address; }  // URL or file path
    [[nodiscard]] const QString& reason() const { return m_reason; }
    [[nodiscard]] bool fromSavedFile() const { return m_savedFile; }

    // Why the sheet on screen must not be stored as the sheet called `sheetName`: it is still
    // loading, its load failed, it was opened from the plan folder, or it was loaded under another
    // name. One sentence for the user; nothing when it may be stored (also when nothing was ever
    // requested: then no image is held and the caller's own "nothing loaded" rule applies).
    [[nodiscard]] std::optional<QString> refusalToStore(const QString& sheetName) const;

    // The sheet's name as the window title shows it: the name asked for, marked while it loads
    // and after it failed; for a saved sheet, its file name. `currentPlanName` is used while
    // nothing was requested yet.
    [[nodiscard]] QString titleName(const QString& currentPlanName) const;

    // What the imaging control shows in place of a sheet while it holds none: the sheet being
    // loaded, or the failed sheet with its reason. Empty otherwise.
    [[nodiscard]] QString placeholderText() const;

private:
    State m_state = State::Empty;
    QString m_name;
    QString m_address;
    QString m_reason;
    bool m_savedFile = false;
};

}  // namespace sw::viewing
