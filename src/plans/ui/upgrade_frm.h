#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace sw::plans {

// "About Sheetwise": the product title, the logo, the label `version` with the build's version
// ("Version 1.0.0") and the note that markup is a feature of Sheetwise Pro. No buttons; the user
// closes it with the window's close box (or Escape).
//
// Ownership: deletes itself when closed (Qt::WA_DeleteOnClose). Modeless. UI thread only.
class UpgradeFrm : public QDialog {
    Q_OBJECT

public:
    static constexpr char kProOnlyText[] =
        "The ability to markup a drawing, as well as a score of other features, is available in "
        "Sheetwise Pro only.";

    explicit UpgradeFrm(QWidget* parent = nullptr);
    ~UpgradeFrm() override;

    // "Version " & major & "." & minor & "." & revision.
    static QString versionText(int major, int minor, int revision);
    // The text of `version` for this build (the project version CMake was given).
    static QString buildVersionText();

    QLabel* Picture1 = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* version = nullptr;
    QLabel* lblProOnly = nullptr;
};

}  // namespace sw::plans
