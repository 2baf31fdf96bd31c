#include "plans/ui/prefs_form.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

#include "base/ini_store.h"
#include "base/paths.h"
#include "base/preferences.h"

namespace sw::plans {

namespace {

// The owner and options the "Choose Folder" button passes: 858 is an arbitrary owner number,
// 2 the option that keeps the browser from going below the domain level.
constexpr std::int32_t kChooserOwner = 858;
constexpr std::int32_t kChooserFlags = 2;
const QString kChooserTitle = QStringLiteral("Choose a folder:");

QString readPref(const base::ProfileFile& settings, const char* key) {
    return settings.value(QLatin1String(base::kPrefsSection), QLatin1String(key),
                          QLatin1String(base::kAbsentValue));
}

void setPref(base::ProfileFile& settings, const char* key, const QString& value) {
    settings.setValue(QLatin1String(base::kPrefsSection), QLatin1String(key), value);
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
    Problem = new QLabel(this);
    Problem->setObjectName(QStringLiteral("Problem"));
    Problem->setWordWrap(true);
    Problem->setTextFormat(Qt::PlainText);
    Problem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Problem->setMaximumWidth(440);
    QPalette warning = Problem->palette();
    warning.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x20));
    Problem->setPalette(warning);
    Problem->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    layout->addWidget(Problem);
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
    base::ProfileFile settings = base::ProfileFile::read(m_iniPath);
    QString problem = settings.error();
    QString folder = readPref(settings, base::kPlanDirectoryKey);
    if (folder.compare(QLatin1String(base::kAbsentValue), Qt::CaseInsensitive) == 0) {
        folder = base::withTrailingSeparator(base::defaultPlanDirectory());
        setPref(settings, base::kPlanDirectoryKey, folder);
        if (problem.isEmpty() && !settings.save()) {
            problem = settings.error();
        }
    }
    PlanFolder->setText(folder);
    Check1->setChecked(isOn(readPref(settings, base::kPrintInBlueKey)));
    ReverseBatch->setChecked(isOn(readPref(settings, base::kReversePrintKey)));
    showProblem(problem.isEmpty()
                    ? QString()
                    : QStringLiteral("Preferences cannot be saved: %1.").arg(problem));
    m_loaded = true;
}

bool PrefsForm::SavePrefs() {
    const auto state = [](const QCheckBox* box) {
        return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    };
    base::ProfileFile settings = base::ProfileFile::read(m_iniPath);
    setPref(settings, base::kPlanDirectoryKey, PlanFolder->text());
    setPref(settings, base::kPrintInBlueKey, state(Check1));
    setPref(settings, base::kReversePrintKey, state(ReverseBatch));
    if (!settings.save()) {
        showProblem(QStringLiteral("The preferences were not saved: %1.").arg(settings.error()));
        return false;
    }
    showProblem({});
    return true;
}

void PrefsForm::showProblem(const QString& text) {
    Problem->setText(text);
    Problem->setVisible(!text.isEmpty());
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
    if (SavePrefs()) {
        close();
    }
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
