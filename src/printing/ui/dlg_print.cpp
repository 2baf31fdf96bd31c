// DlgPrint: controls, layout and event wiring.
#include "printing/ui/dlg_print.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "imaging/ui/imaging_control.h"
#include "printing/ui/printer_setup.h"
#include "printing/ui/qt_printer_device.h"

namespace sw::printing {

namespace {

template <typename W, typename... Args>
W* named(QWidget* parent, const char* name, Args&&... args) {
    auto* widget = new W(std::forward<Args>(args)..., parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The still picture of the two status panels: a small printer with a sheet coming out.
QPixmap statusPicture(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 32.0;
    p.scale(s, s);
    p.setPen(QPen(QColor(60, 70, 90), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10));  // paper in
    p.setBrush(QColor(120, 135, 160));
    p.drawRoundedRect(QRectF(3, 11, 26, 12), 2, 2);  // body
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 19, 16, 11));  // sheet out
    p.setPen(QPen(QColor(40, 90, 200), 1));
    for (int y = 22; y <= 27; y += 2) {
        p.drawLine(QPointF(10, y), QPointF(22, y));
    }
    return pixmap;
}

// Background of the batch list panel: a soft vertical gradient.
class GradientFrame : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, QColor(236, 241, 250));
        g.setColorAt(1, QColor(204, 216, 236));
        p.fillRect(rect(), g);
        QFrame::paintEvent(event);
    }
};

QLabel* valueLabel(QWidget* parent, const char* name) {
    auto* label = named<QLabel>(parent, name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

DlgPrint::DlgPrint(QWidget* parent, PrinterCatalog* printers)
    : QDialog(parent),
      m_printers(printers != nullptr ? *printers : systemPrinters()),
      m_setup(std::make_unique<QtPrinterSetup>()) {
    setObjectName(QStringLiteral("DlgPrint"));
    setWindowTitle(QStringLiteral("Print Sheetwise Plan"));
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(true);
    buildControls();
    buildLayout();
    connectControls();
    resize(1040, 720);
    ShowPrintStatus(false);
    ShowBatchList(false);
    ShowBatchStatus(false);
}

DlgPrint::~DlgPrint() {
    // Deleted without closing (by its owner) while a batch runs: scripts waiting on the batch
    // must still hear that it ended.
    if (m_batchPrinting && !m_batchEnded) {
        m_batchEnded = true;
        m_batchReport.stopped = true;
        BatchPrintMonitor::instance().batchEnded(m_batchReport);
    }
}

void DlgPrint::setPrinterSetup(std::unique_ptr<PrinterSetupComponent> setup) {
    m_setup = std::move(setup);
}

void DlgPrint::buildControls() {
    m_viewer = named<imaging::ImagingControl>(this, "viewer");
    m_viewer->setMinimumSize(420, 360);
    m_viewer->setPaintSizeMode(imaging::ImagingControl::kFit);
    m_viewer->setRubberBand(false);

    fraPrinterSelect = named<QGroupBox>(this, "fraPrinterSelect");
    Label1 = named<QLabel>(fraPrinterSelect, "Label1", QStringLiteral("Printer"));
    QFont heading = Label1->font();
    heading.setBold(true);
    Label1->setFont(heading);
    lbPrinter = valueLabel(fraPrinterSelect, "lbPrinter");
    lpPaper = valueLabel(fraPrinterSelect, "lpPaper");
    lpPaperInUse = valueLabel(fraPrinterSelect, "lpPaperInUse");
    lbPrinter->setWordWrap(true);
    lpPaper->setWordWrap(true);
    lpPaperInUse->setWordWrap(true);
    lpPaperInUse->setVisible(false);
    btnPrintSetup =
        named<QPushButton>(fraPrinterSelect, "btnPrintSetup", QStringLiteral("Printer Setup"));

    Frame2 = named<QGroupBox>(this, "Frame2", QStringLiteral("Printer Settings"));
    Label2 = named<QLabel>(Frame2, "Label2", QStringLiteral("Scale"));
    Combo1 = named<QComboBox>(Frame2, "Combo1");
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->addItems({QStringLiteral("100%"), QStringLiteral("75%"), QStringLiteral("66%"),
                      QStringLiteral("50%"), QStringLiteral("33%"), QStringLiteral("25%"),
                      kFitToPage});
    Label2->setBuddy(Combo1);
    SelectionOnly =
        named<QCheckBox>(Frame2, "SelectionOnly", QStringLiteral("Print Selected Area Only"));
    SelectionOnly->setChecked(true);
    SelectionOnly->setEnabled(false);
    AutoClip = named<QCheckBox>(Frame2, "AutoClip", QStringLiteral("Crop to 1 Page"));
    AutoClip->setChecked(true);
    Marks = named<QCheckBox>(Frame2, "Marks", QStringLiteral("Registration marks"));
    Marks->setToolTip(QStringLiteral(
        "Alignment marks on the shared edges and the row/column on every tiled page, "
        "for taping the pages together"));

    Frame1 = named<QGroupBox>(this, "Frame1", QStringLiteral("# of Pages"));
    lblNumVert = named<QLabel>(Frame1, "lblNumVert");
    Label5 = named<QLabel>(Frame1, "Label5", QStringLiteral("x"));
    lblNumHor = named<QLabel>(Frame1, "lblNumHor");
    Label6 = named<QLabel>(Frame1, "Label6", QStringLiteral("="));
    lblNumTotal = named<QLabel>(Frame1, "lblNumTotal");
    QFont big = lblNumTotal->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    for (QLabel* label : {lblNumVert, Label5, lblNumHor, Label6, lblNumTotal}) {
        label->setFont(big);
        label->setAlignment(Qt::AlignCenter);
    }

    StatusWin = named<QLabel>(this, "StatusWin");
    StatusWin->setPixmap(statusPicture(40));
    PrintHeader = named<QLabel>(this, "PrintHeader", QStringLiteral("Printing . . ."));
    PrintHeader->setFont(heading);
    POut = named<QLabel>(this, "POut", QStringLiteral("Printing"));
    WhichPage = named<QLabel>(this, "WhichPage", QString());
    const QFont arial(QStringLiteral("Arial"), POut->font().pointSize());
    POut->setFont(arial);
    WhichPage->setFont(arial);

    Command1 = named<QPushButton>(this, "Command1", QStringLiteral("Print"));
    Command1->setDefault(true);
    Command2 = named<QPushButton>(this, "Command2", QStringLiteral("Print Batch"));
    Command3 = named<QPushButton>(this, "Command3", QStringLiteral("Exit"));

    BatchWin = new GradientFrame(this);
    BatchWin->setObjectName(QStringLiteral("BatchWin"));
    BatchWin->setFrameShape(QFrame::StyledPanel);
    BatchList = named<QListWidget>(BatchWin, "BatchList");
    BatchList->setSelectionMode(QAbstractItemView::MultiSelection);
    Command4 = named<QPushButton>(BatchWin, "Command4", QStringLiteral("Select All"));
    BatchOk = named<QPushButton>(BatchWin, "BatchOk", QStringLiteral("Download and Print"));
    BatchCancel = named<QPushButton>(BatchWin, "BatchCancel", QStringLiteral("Cancel"));
    batchNote = named<QLabel>(BatchWin, "batchNote");
    batchNote->setWordWrap(true);

    sFrame = named<QFrame>(this, "sFrame");
    sFrame->setFrameShape(QFrame::StyledPanel);
    statFrame = named<QFrame>(sFrame, "statFrame");
    statWin = named<QLabel>(statFrame, "statWin");
    statWin->setPixmap(statusPicture(32));
    dstat = named<QLabel>(statFrame, "dstat");
    dstat->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statProgress = named<QProgressBar>(statFrame, "statProgress");
    statProgress->setRange(0, 100);
    batchMessages = named<QListWidget>(sFrame, "batchMessages");
    batchMessages->setMaximumHeight(72);
    batchMessages->setToolTip(QStringLiteral("Sheets and files the batch skipped"));
    batchMessages->setVisible(false);
    tp = named<QProgressBar>(this, "tp");
    tp->setRange(0, 100);
    tp->setVisible(false);

    ld = named<QListWidget>(this, "ld");
    ld->setMaximumHeight(64);
    ld->setToolTip(QStringLiteral("Layout errors"));
    clear = named<QPushButton>(this, "clear", QStringLiteral("Clear"));

    APIPicture = named<QWidget>(this, "APIPicture");
    APIPicture->setVisible(false);
}

void DlgPrint::buildLayout() {
    // Left: the sheet with its preview (the batch list panel lies over it), the batch status,
    // the error list.
    auto* sheetArea = new QGridLayout;
    sheetArea->addWidget(m_viewer, 0, 0);
    sheetArea->addWidget(BatchWin, 0, 0);
    auto* batchLayout = new QVBoxLayout(BatchWin);
    batchLayout->setContentsMargins(24, 24, 24, 24);
    auto* batchTitle = new QLabel(QStringLiteral("Sheets to download and print"), BatchWin);
    QFont bold = batchTitle->font();
    bold.setBold(true);
    batchTitle->setFont(bold);
    batchLayout->addWidget(batchTitle);
    batchLayout->addWidget(BatchList, 1);
    batchLayout->addWidget(batchNote);
    auto* batchButtons = new QHBoxLayout;
    batchButtons->addWidget(Command4);
    batchButtons->addStretch(1);
    batchButtons->addWidget(BatchOk);
    batchButtons->addWidget(BatchCancel);
    batchLayout->addLayout(batchButtons);

    auto* statLayout = new QHBoxLayout(statFrame);
    statLayout->setContentsMargins(0, 0, 0, 0);
    statLayout->addWidget(statWin);
    auto* statText = new QVBoxLayout;
    statText->addWidget(dstat);
    statText->addWidget(statProgress);
    statLayout->addLayout(statText, 1);
    auto* sLayout = new QVBoxLayout(sFrame);
    sLayout->setContentsMargins(8, 6, 8, 6);
    sLayout->addWidget(statFrame);
    sLayout->addWidget(batchMessages);

    auto* errors = new QHBoxLayout;
    errors->addWidget(ld, 1);
    errors->addWidget(clear, 0, Qt::AlignTop);

    auto* left = new QVBoxLayout;
    left->addLayout(sheetArea, 1);
    left->addWidget(sFrame);
    left->addWidget(tp);
    left->addLayout(errors);

    // Right: printer, settings, page count, printing status, buttons.
    auto* printerLayout = new QFormLayout(fraPrinterSelect);
    printerLayout->addRow(Label1);
    auto* nameCaption = new QLabel(QStringLiteral("&Name:"), fraPrinterSelect);
    nameCaption->setBuddy(btnPrintSetup);
    printerLayout->addRow(nameCaption, lbPrinter);
    printerLayout->addRow(new QLabel(QStringLiteral("Size:"), fraPrinterSelect), lpPaper);
    printerLayout->addRow(lpPaperInUse);
    printerLayout->addRow(btnPrintSetup);

    auto* settingsLayout = new QVBoxLayout(Frame2);
    auto* scaleRow = new QHBoxLayout;
    scaleRow->addWidget(Label2);
    scaleRow->addWidget(Combo1, 1);
    settingsLayout->addLayout(scaleRow);
    settingsLayout->addWidget(SelectionOnly);
    settingsLayout->addWidget(AutoClip);
    settingsLayout->addWidget(Marks);

    auto* pagesLayout = new QHBoxLayout(Frame1);
    for (QLabel* label : {lblNumVert, Label5, lblNumHor, Label6, lblNumTotal}) {
        pagesLayout->addWidget(label, label == Label5 || label == Label6 ? 0 : 1);
    }

    auto* statusLayout = new QGridLayout;
    statusLayout->addWidget(StatusWin, 0, 0, 3, 1, Qt::AlignTop);
    statusLayout->addWidget(PrintHeader, 0, 1);
    statusLayout->addWidget(POut, 1, 1);
    statusLayout->addWidget(WhichPage, 2, 1);
    statusLayout->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command2);
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command3);

    auto* right = new QVBoxLayout;
    right->addWidget(fraPrinterSelect);
    right->addWidget(Frame2);
    right->addWidget(Frame1);
    right->addLayout(statusLayout);
    right->addStretch(1);
    right->addLayout(buttons);

    auto* rightPanel = new QWidget(this);
    rightPanel->setLayout(right);
    rightPanel->setFixedWidth(300);
    right->setContentsMargins(0, 0, 0, 0);

    auto* main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addWidget(rightPanel);
}

void DlgPrint::connectControls() {
    connect(Combo1, &QComboBox::editTextChanged, this, [this] { UpdatePageLayout(); });
    connect(Combo1, &QComboBox::activated, this, [this] { UpdatePageLayout(); });
    connect(AutoClip, &QCheckBox::clicked, this, [this] { UpdatePageLayout(); });
    connect(SelectionOnly, &QCheckBox::clicked, this, [this] { selectionOnlyClicked(); });
    connect(btnPrintSetup, &QPushButton::clicked, this, [this] { printerSetup(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] {
        ShowBatchList(true);
        FillBatchList();
    });
    connect(Command3, &QPushButton::clicked, this, [this] {
        if (m_jobs.isRunning()) {
            m_closeAfterJob = true;
            return;
        }
        SavePrinterSettings();
        CloseDialog();
    });
    connect(Command4, &QPushButton::clicked, this, [this] { toggleSelectAll(); });
    connect(BatchOk, &QPushButton::clicked, this, [this] { BatchOk_Click(); });
    connect(BatchCancel, &QPushButton::clicked, this, [this] { ShowBatchList(false); });
    connect(clear, &QPushButton::clicked, ld, &QListWidget::clear);
    connect(m_viewer, &imaging::ImagingControl::viewChanged, this, [this] { UpdatePageLayout(); });
    // The control announces only loads from an address as loaded: the hand-over of the sheet and
    // the files PrintSavedSheets loads never reach OnViewerLoadComplete.
    connect(m_viewer, &imaging::ImagingControl::loadProgress, this,
            [this](int percent) { OnViewerLoadProgress(percent); });
    connect(m_viewer, &imaging::ImagingControl::imageLoaded, this,
            [this] { OnViewerLoadComplete(); });
    connect(m_viewer, &imaging::ImagingControl::loadFailed, this,
            [this](const QString& reason) { onViewerLoadFailed(reason); });
}

void DlgPrint::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The stored printer is applied once more when the dialog first appears; later activations
    // (returning from the set-up dialog, switching windows) keep the user's choice.
    if (!m_shownOnce) {
        m_shownOnce = true;
        LoadPrinterSettings();
        ShowPrinterAndPaper();
    }
}

bool DlgPrint::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate) {
        UpdatePageLayout();
    }
    return handled;
}

void DlgPrint::closeEvent(QCloseEvent* event) {
    // A running job handles events between pages; the dialog cannot go away under it.
    if (m_jobs.isRunning()) {
        m_closeAfterJob = true;
        event->ignore();
        return;
    }
    // Closing stops a running batch: no further download, print or event of its loads.
    if (m_batchPrinting && !m_batchEnded) {
        endBatch(true);
    }
    QDialog::closeEvent(event);
}

void DlgPrint::mouseDoubleClickEvent(QMouseEvent* event) {
    QDialog::mouseDoubleClickEvent(event);
    m_viewer->repaintNow();
}

}  // namespace sw::printing
