#include "plans/ui/batch_download.h"

#include <exception>

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/script_error.h"
#include "base/vb.h"
#include "imaging/imaging_error.h"
#include "imaging/ui/imaging_control.h"
#include "plans/batch_plan.h"
#include "plans/local_cache.h"
#include "plans/ui/dialog_art.h"

namespace sw::plans {

namespace {

const QString kSelectAll = QStringLiteral("Select All");
const QString kDeselectAll = QStringLiteral("Deselect All");
constexpr int kPictureSize = 48;   // logical pixels
constexpr int kPanelWidth = 460;   // progress panel, logical pixels
constexpr int kFormatGroup4 = 29;  // the imaging control's TIFF Group 4 format code
constexpr int kBatchSaveFlag = 9;

QString describe(const std::exception& error) {
    if (const auto* script = dynamic_cast<const base::ScriptError*>(&error)) {
        return script->description();
    }
    if (const auto* imaging = dynamic_cast<const imaging::ImagingError*>(&error)) {
        return imaging->message();
    }
    return QString::fromUtf8(error.what());
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLabel* makeLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

BatchDownload::BatchDownload(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("BatchDownload"));
    setWindowTitle(QStringLiteral("Batch Download"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    buildSelectionPanel();
    buildProgressPanel();
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    Frame2->hide();

    viewer = new imaging::ImagingControl(this);
    viewer->setObjectName(QStringLiteral("viewer"));
    viewer->setAutoRepaint(false);
    viewer->hide();
    connect(viewer, &imaging::ImagingControl::loadProgress, this, &BatchDownload::onLoadProgress);
    connect(viewer, &imaging::ImagingControl::imageLoaded, this, &BatchDownload::onImageLoaded);
    // Queued: a load that fails at once (a bad address) must not re-enter DownloadNext.
    connect(viewer, &imaging::ImagingControl::loadFailed, this, &BatchDownload::onLoadFailed,
            Qt::QueuedConnection);
}

BatchDownload::~BatchDownload() = default;

void BatchDownload::buildSelectionPanel() {
    Frame1 = new QGroupBox(QStringLiteral(" Select Files To Download "), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    thelist = new QListWidget(Frame1);
    thelist->setObjectName(QStringLiteral("thelist"));
    thelist->setSelectionMode(QAbstractItemView::MultiSelection);
    thelist->setMinimumSize(380, 300);
    m_note = makeLabel(Frame1, QStringLiteral("lblNote"));
    m_note->hide();
    Command3 = makeButton(Frame1, QStringLiteral("Command3"), kSelectAll);
    Command1 = makeButton(Frame1, QStringLiteral("Command1"), QStringLiteral("Download"));
    Command1->setDefault(true);
    Command2 = makeButton(Frame1, QStringLiteral("Command2"), QStringLiteral("Cancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command3);
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* panel = new QVBoxLayout(Frame1);
    panel->addWidget(thelist, 1);
    panel->addWidget(m_note);
    panel->addLayout(buttons);

    connect(Command3, &QPushButton::clicked, this, &BatchDownload::selectAllClicked);
    connect(Command1, &QPushButton::clicked, this, &BatchDownload::downloadClicked);
    connect(Command2, &QPushButton::clicked, this, &BatchDownload::close);
    connect(thelist, &QListWidget::itemSelectionChanged, m_note, &QLabel::hide);
}

void BatchDownload::buildProgressPanel() {
    Frame2 = new QWidget(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setFixedWidth(kPanelWidth);
    Frame2->setAutoFillBackground(true);
    Picture1 = new QLabel(Frame2);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(downloadPicture(kPictureSize, devicePixelRatioF()));
    Picture1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    m_count = makeLabel(Frame2, QStringLiteral("lblCount"));
    QFont bold = m_count->font();
    bold.setBold(true);
    m_count->setFont(bold);
    m_sheet = makeLabel(Frame2, QStringLiteral("lblSheet"));
    Label1 = makeLabel(Frame2, QStringLiteral("Label1"));
    pbar = new QProgressBar(Frame2);
    pbar->setObjectName(QStringLiteral("pbar"));
    pbar->setRange(0, 100);
    pbar->setValue(0);
    m_failuresTitle = makeLabel(Frame2, QStringLiteral("lblFailures"));
    m_failuresTitle->hide();
    m_failureList = new QListWidget(Frame2);
    m_failureList->setObjectName(QStringLiteral("lstFailures"));
    m_failureList->setFixedHeight(110);
    m_failureList->hide();
    m_close = makeButton(Frame2, QStringLiteral("cmdClose"), QStringLiteral("Close"));
    m_close->hide();
    connect(m_close, &QPushButton::clicked, this, &BatchDownload::close);

    auto* texts = new QVBoxLayout;
    texts->addWidget(m_count);
    texts->addWidget(m_sheet);
    texts->addWidget(Label1);
    auto* top = new QHBoxLayout;
    top->addWidget(Picture1);
    top->addLayout(texts, 1);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(m_close);
    auto* panel = new QVBoxLayout(Frame2);
    panel->addLayout(top);
    panel->addWidget(pbar);
    panel->addWidget(m_failuresTitle);
    panel->addWidget(m_failureList);
    panel->addLayout(closeRow);
}

void BatchDownload::LoadPlans(const QStringList& names, const QStringList& files,
                              const QString& url, const QString& folder, std::int16_t rotation,
                              const QString& projectName) {
    batchNames = names;
    batchFiles = files;
    batchUrl = url;
    batchFolder = folder;
    batchRotation = rotation;
    thelist->clear();
    thelist->addItems(batchListRows(names));
    writeDescriptionOnce(folder, projectName);
}

void BatchDownload::selectAllClicked() {
    if (Command3->text() == kSelectAll) {
        Command3->setText(kDeselectAll);
        thelist->selectAll();
    } else {
        Command3->setText(kSelectAll);
        thelist->clearSelection();
    }
}

void BatchDownload::downloadClicked() {
    QList<int> rows;
    for (int i = 0; i < thelist->count(); ++i) {
        if (thelist->item(i)->isSelected()) {
            rows << i;
        }
    }
    try {
        if (rows.isEmpty()) {
            throw base::ScriptError::custom(
                QStringLiteral("Select one or more sheets to download."));
        }
        const BatchChoice choice = chooseSheets(batchNames, batchFiles, rows);
        chosenFiles = choice.chosenFiles;
        chosenNames = choice.chosenNames;
    } catch (const std::exception& error) {
        m_note->setText(describe(error));
        m_note->show();
        return;
    }
    showProgressPanel();
    m_phase = Phase::Downloading;
    batchIndex = 0;
    DownloadNext();
}

void BatchDownload::showProgressPanel() {
    const QColor blue(kProgressRed, kProgressGreen, kProgressBlue);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, blue);
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);
    Frame1->hide();
    Frame2->setPalette(colours);
    Label1->setPalette(colours);
    Frame2->show();
    layout()->activate();
}

void BatchDownload::DownloadNext() {
    while (m_phase == Phase::Downloading) {
        const QString file = chosenFiles.value(batchIndex);
        if (!file.isEmpty()) {
            const QString address = batchUrl + file;
            Label1->setText(address);
            m_count->setText(QStringLiteral("Sheet %1 of %2")
                                 .arg(countFetched(chosenFiles, batchIndex))
                                 .arg(countFetched(chosenFiles, chosenFiles.size())));
            m_sheet->setText(currentSheetName());
            pbar->setValue(0);
            viewer->setLoadSwitch(true);
            viewer->setLoadAddress(address);
            return;
        }
        if (batchIndex >= chosenFiles.size() - 1) {
            finishBatch();
            return;
        }
        batchIndex = base::vb::add16(batchIndex, 1);
    }
}

void BatchDownload::onLoadProgress(int percent) {
    if (m_phase == Phase::Downloading) {
        pbar->setValue(percent);
    }
}

void BatchDownload::onImageLoaded() {
    if (m_phase != Phase::Downloading) {
        return;
    }
    storeLoadedSheet();
    advance();
}

void BatchDownload::onLoadFailed(const QString& reason) {
    if (m_phase != Phase::Downloading) {
        return;
    }
    recordFailure(reason);
    advance();
}

void BatchDownload::storeLoadedSheet() {
    const QString file = sheetFilePath(batchFolder, currentSheetName());
    try {
        viewer->rotate(batchRotation, 1, 0);
        viewer->saveFile(file, kFormatGroup4, 1, -1, kBatchSaveFlag);
        m_saved << file;
    } catch (const std::exception& error) {
        recordFailure(describe(error));
    }
    viewer->clearImage();
}

void BatchDownload::recordFailure(const QString& reason) {
    const QString line = QStringLiteral("%1: %2").arg(currentSheetName(), reason);
    m_failures << line;
    m_failureList->addItem(line);
    m_failureList->scrollToBottom();
    m_failuresTitle->setText(
        m_failures.size() == 1
            ? QStringLiteral("1 sheet could not be downloaded:")
            : QStringLiteral("%1 sheets could not be downloaded:").arg(m_failures.size()));
    m_failuresTitle->show();
    m_failureList->show();
}

void BatchDownload::advance() {
    if (batchIndex >= chosenFiles.size() - 1) {
        finishBatch();
        return;
    }
    batchIndex = base::vb::add16(batchIndex, 1);
    DownloadNext();
}

void BatchDownload::finishBatch() {
    m_phase = Phase::Finished;
    pbar->setValue(100);
    const int saved = static_cast<int>(m_saved.size());
    const int failed = static_cast<int>(m_failures.size());
    emit batchFinished(saved, failed);
    if (failed == 0) {
        close();
        return;
    }
    m_count->setText(QStringLiteral("Stored %1 of %2 sheets").arg(saved).arg(saved + failed));
    m_sheet->setText(QStringLiteral("in %1").arg(batchFolder));
    Label1->clear();
    Label1->hide();
    m_close->show();
    m_close->setDefault(true);
    m_close->setFocus();
}

void BatchDownload::stopDownload() {
    m_phase = Phase::Stopped;
    disconnect(viewer, nullptr, this, nullptr);
}

void BatchDownload::hideEvent(QHideEvent* event) {
    if (m_phase == Phase::Downloading && !event->spontaneous()) {
        stopDownload();
    }
    QDialog::hideEvent(event);
}

QString BatchDownload::currentSheetName() const {
    return batchSheetName(chosenNames.value(batchIndex));
}

}  // namespace sw::plans
