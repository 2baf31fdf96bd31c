#include "plans/ui/prefs_form.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <QtDebug>

#include "host/ini_store.h"
#include "host/paths.h"
#include "host/preferences.h"

namespace sw::plans {

namespace {

// The owner and options the "Choose Folder" button passes: 858 is an arbitrary owner number,
// 2 the option that keeps the browser from going below the domain level.
constexpr std::int32_t kChooserOwner = 858;
constexpr std::int32_t kChooserFlags = 2;
const QString kChooserTitle = QStringLiteral("Choose a folder:");

QString readPref(const QString& ini, const char* key) {
    return host::readProfileString(ini, QLatin1String(host::kPrefsSection), QLatin1String(key),
                                   QLatin1String(host::kAbsentValue));
}

void writePref(const QString& ini, const char* key, const QString& value) {
    if (!host::writeProfileString(ini, QLatin1String(host::kPrefsSection), QLatin1String(key),
                                  value)) {
        qWarning("Cannot write \"%s\" into %s", key, qPrintable(ini));
    }
}

bool isOn(const QString& value) {
    return value.startsWith(QLatin1Char('1'));
}

}  // namespace

PrefsForm::PrefsForm(QWidget* parent) : QDialog(parent), m_chooser(defaultFolderChooser) {
    setObjectName(QStringLiteral("PrefsForm"));
    setWindowTitle(QStringLiteral("Sheetwise Preferences"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    Frame1 = new QGroupBox(QStringLiteral(" Print Options"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    ReverseBatch = new QCheckBox(QStringLiteral("Print Batch in Reverse Order"), Frame1);
    ReverseBatch->setObjectName(QStringLiteral("ReverseBatch"));
    Check1 = new QCheckBox(QStringLiteral("Print in blue"), Frame1);
    Check1->setObjectName(QStringLiteral("Check1"));
    auto* options = new QVBoxLayout(Frame1);
    options->addWidget(ReverseBatch);
    options->addWidget(Check1);

    Frame2 = new QGroupBox(QStringLiteral(" Saved Plans Folder "), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    PlanFolder = new QLabel(Frame2);
    PlanFolder->setObjectName(QStringLiteral("PlanFolder"));
    PlanFolder->setFrameShape(QFrame::StyledPanel);
    PlanFolder->setFrameShadow(QFrame::Sunken);
    PlanFolder->setWordWrap(true);
    PlanFolder->setMinimumWidth(300);
    PlanFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    PlanFolder->setTextFormat(Qt::PlainText);
    Command1 = new QPushButton(QStringLiteral("Choose Folder"), Frame2);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    auto* folder = new QHBoxLayout(Frame2);
    folder->addWidget(PlanFolder, 1);
    folder->addWidget(Command1, 0, Qt::AlignTop);

    Command2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton),
                               QStringLiteral("Save"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setDefault(true);
    Command3 = new QPushButton(QStringLiteral("Cancel"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &PrefsForm::chooseFolderClicked);
    connect(Command2, &QPushButton::clicked, this, &PrefsForm::saveClicked);
    connect(Command3, &QPushButton::clicked, this, &PrefsForm::close);
}

PrefsForm::~PrefsForm() = default;

void PrefsForm::SetIni(QString& path) {
    m_iniPath = path;
}

void PrefsForm::LoadPrefs() {
    QString folder = readPref(m_iniPath, host::kPlanDirectoryKey);
    if (folder.compare(QLatin1String(host::kAbsentValue), Qt::CaseInsensitive) == 0) {
        folder = host::withTrailingSeparator(host::defaultPlanDirectory());
        writePref(m_iniPath, host::kPlanDirectoryKey, folder);
    }
    PlanFolder->setText(folder);
    Check1->setChecked(isOn(readPref(m_iniPath, host::kPrintInBlueKey)));
    ReverseBatch->setChecked(isOn(readPref(m_iniPath, host::kReversePrintKey)));
    m_loaded = true;
}

void PrefsForm::SavePrefs() {
    const auto state = [](const QCheckBox* box) {
        return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    };
    writePref(m_iniPath, host::kPlanDirectoryKey, PlanFolder->text());
    writePref(m_iniPath, host::kPrintInBlueKey, state(Check1));
    writePref(m_iniPath, host::kReversePrintKey, state(ReverseBatch));
}

QString PrefsForm::BrowseForFolder(std::int32_t /*owner*/, const QString& title,
                                   std::int32_t& flags) {
    if (flags == 0) {
        flags = 1;
    }
    return m_chooser ? m_chooser(this, title, PlanFolder->text()) : QString();
}

void PrefsForm::setFolderChooser(FolderChooser chooser) {
    m_chooser = std::move(chooser);
}

QString PrefsForm::defaultFolderChooser(QWidget* parent, const QString& title,
                                        const QString& start) {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        return {};
    }
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

void PrefsForm::chooseFolderClicked() {
    std::int32_t flags = kChooserFlags;
    PlanFolder->setText(BrowseForFolder(kChooserOwner, kChooserTitle, flags));
}

void PrefsForm::saveClicked() {
    SavePrefs();
    close();
}

void PrefsForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && !m_loaded) {
        LoadPrefs();
    }
    QDialog::showEvent(event);
}

void PrefsForm::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        m_loaded = false;
    }
    QDialog::hideEvent(event);
}

}  // namespace sw::plans
