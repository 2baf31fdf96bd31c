#pragma once

#include <cstdint>
#include <functional>

#include <QDialog>
#include <QString>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace sw::plans {

// "Sheetwise Preferences": the plan folder where sheets are saved and looked up, and the two
// print options (print in blue, batch printing in reverse order). Edits section "Prefs" of the
// settings file set by SetIni; reads it afresh at every showing and writes all three entries on
// "Save". "Cancel" and the window's close box write nothing.
//
// Controls: frame " Print Options" (`Frame1`) with the check boxes `ReverseBatch` and `Check1`;
// frame " Saved Plans Folder " (`Frame2`) with the label `PlanFolder` and the button `Command1`
// "Choose Folder"; the label `Problem`, shown only when the settings cannot be read or saved;
// buttons `Command2` "Save" and `Command3` "Cancel".
//
// Ownership: deletes itself when closed (Qt::WA_DeleteOnClose). Modeless. UI thread only.
class PrefsForm : public QDialog {
    Q_OBJECT

public:
    // Asks the user for a folder, starting at `start` (may be empty or missing): returns the
    // chosen folder's full path, or an empty string when cancelled.
    using FolderChooser =
        std::function<QString(QWidget* parent, const QString& title, const QString& start)>;

    explicit PrefsForm(QWidget* parent = nullptr);
    ~PrefsForm() override;

    // The settings file the dialog reads and writes. Called before every showing.
    void SetIni(QString& path);
    [[nodiscard]] QString iniPath() const { return m_iniPath; }

    // Fills the controls from the settings: the plan folder (an absent entry, or "none", shows
    // the default folder with a trailing separator and writes it as "Plan Directory"), and each
    // check box ticked when its entry starts with "1". Runs when the dialog is shown. A settings
    // file that cannot be read or written is told in `Problem`.
    void LoadPrefs();
    // Writes "Plan Directory" (the text of PlanFolder as it stands, empty included), "Print In
    // Blue" and "Reverse Print" ("1" ticked, "0" cleared) in one replacement of the file. When
    // that fails (a read-only folder, a full disk), says why in `Problem` and returns false;
    // "Save" then keeps the dialog open with the user's choices.
    bool SavePrefs();

    // The folder chooser: `flags` 0 becomes 1 (the other arguments are kept for callers, the
    // chooser has no use for them); returns the chosen folder's full path or an empty string.
    QString BrowseForFolder(std::int32_t owner, const QString& title, std::int32_t& flags);
    // Replaces the chooser (tests, scripted runs). The default shows the Qt folder dialog; where
    // no user can answer it (the offscreen and minimal platforms) it returns at once as a cancel
    // would, so a headless run never waits on a modal dialog.
    void setFolderChooser(FolderChooser chooser);
    static QString defaultFolderChooser(QWidget* parent, const QString& title,
                                        const QString& start);

    // ---- Controls -------------------------------------------------------------------------------
    QGroupBox* Frame1 = nullptr;  // " Print Options"
    QCheckBox* ReverseBatch = nullptr;
    QCheckBox* Check1 = nullptr;
    QGroupBox* Frame2 = nullptr;  // " Saved Plans Folder "
    QLabel* PlanFolder = nullptr;
    QPushButton* Command1 = nullptr;  // "Choose Folder"
    QPushButton* Command2 = nullptr;  // "Save"
    QPushButton* Command3 = nullptr;  // "Cancel"
    QLabel* Problem = nullptr;        // why the settings cannot be read or saved; hidden if none

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void chooseFolderClicked();
    void saveClicked();
    void showProblem(const QString& text);

    QString m_iniPath;
    FolderChooser m_chooser;
    bool m_loaded = false;  // LoadPrefs ran for the current showing
};

}  // namespace sw::plans
