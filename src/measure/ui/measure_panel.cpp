#include "measure/ui/measure_panel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "measure/ui/measure_tool.h"

namespace sw::measure {

namespace {

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

MeasurePanel::MeasurePanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Measure"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setFixedWidth(kWidth);

    kind = named(new QComboBox(this), "Kind");
    for (const Kind k : {Kind::Length, Kind::Path, Kind::Area}) {
        kind->addItem(kindName(k));
    }
    kind->setToolTip(
        QStringLiteral("Length: two points. Path: points ended by a double click or "
                       "Enter. Area: a closed outline ended the same way."));
    units = named(new QComboBox(this), "Units");
    for (const Unit u : allUnits()) {
        units->addItem(unitName(u));
    }
    units->setToolTip(
        QStringLiteral("Feet and inches to 1/16\", decimal feet, inches, metres or "
                       "millimetres"));
    scale = named(new QComboBox(this), "Scale");
    scale->setEditable(true);
    scale->setInsertPolicy(QComboBox::NoInsert);
    for (const DrawingScale& s : presetScales()) {
        scale->addItem(s.text);
    }
    scale->setToolTip(
        QStringLiteral("The sheet's drawing scale: pick one or type it (1/4\" = "
                       "1'-0\", 1\" = 20', 1:50); \"paper\" measures the paper"));
    calibrate = named(new QPushButton(QStringLiteral("Calibrate"), this), "Calibrate");
    calibrate->setCheckable(true);
    calibrate->setToolTip(
        QStringLiteral("Click both ends of a known dimension, then type its "
                       "real length"));
    calibrationLabel = caption(QStringLiteral("Real length:"), this);
    calibration = named(new QLineEdit(this), "Calibration");
    calibration->setPlaceholderText(QStringLiteral("e.g. 12'-6\" or 3.8 m"));
    current = named(caption(QString(), this), "Current");
    current->setWordWrap(true);
    items = named(new QListWidget(this), "Items");
    items->setMinimumHeight(150);
    items->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    items->setTextElideMode(Qt::ElideMiddle);
    copy = named(new QPushButton(QStringLiteral("Copy"), this), "Copy");
    copy->setToolTip(QStringLiteral("Copy the list to the clipboard as text"));
    remove = named(new QPushButton(QStringLiteral("Delete"), this), "Delete");
    remove->setToolTip(QStringLiteral("Delete the selected measurement (Delete)"));
    store = named(caption(QString(), this), "Store");
    store->setWordWrap(true);
    store->setStyleSheet(QStringLiteral("color: palette(mid);"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setVerticalSpacing(4);
    auto* title = caption(QStringLiteral("Measure"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    grid->addWidget(title, 0, 0, 1, 4);
    grid->addWidget(caption(QStringLiteral("Kind"), this), 1, 0);
    grid->addWidget(kind, 1, 1);
    grid->addWidget(caption(QStringLiteral("Units"), this), 1, 2);
    grid->addWidget(units, 1, 3);
    grid->addWidget(caption(QStringLiteral("Scale"), this), 2, 0);
    grid->addWidget(scale, 2, 1, 1, 2);
    grid->addWidget(calibrate, 2, 3);
    grid->addWidget(calibrationLabel, 3, 0, 1, 2);
    grid->addWidget(calibration, 3, 2, 1, 2);
    grid->addWidget(current, 4, 0, 1, 4);
    grid->addWidget(items, 5, 0, 1, 4);
    grid->addWidget(copy, 6, 0, 1, 2);
    grid->addWidget(remove, 6, 2, 1, 2);
    grid->addWidget(store, 7, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

void MeasurePanel::refresh(const MeasureTool& tool, const QString& storeText,
                           const QString& storeDetail) {
    const SheetMeasurements& sheet = tool.measurements();
    {
        const QSignalBlocker blockKind(kind);
        const QSignalBlocker blockUnits(units);
        const QSignalBlocker blockScale(scale);
        const QSignalBlocker blockCalibrate(calibrate);
        const QSignalBlocker blockItems(items);
        kind->setCurrentIndex(kind->findText(kindName(tool.kind())));
        units->setCurrentIndex(units->findText(unitName(tool.unit())));
        if (!scale->lineEdit()->hasFocus()) {
            scale->setEditText(sheet.scale.text);
        }
        calibrate->setChecked(tool.calibrating());
        items->clear();
        for (const Measurement& m : sheet.items) {
            items->addItem(QStringLiteral("%1  %2\n      at %3")
                               .arg(kindTitle(m.kind),
                                    labelOf(m, sheet.dpi, sheet.scale, tool.unit()),
                                    sheet.scale.text));
        }
        items->setCurrentRow(tool.selected());
    }
    const bool waiting = tool.calibrating() && tool.pendingPoints().size() == 2;
    calibrationLabel->setVisible(tool.calibrating());
    calibration->setVisible(tool.calibrating());
    calibration->setEnabled(waiting);
    if (!tool.calibrating()) {
        calibration->clear();
    }
    remove->setEnabled(tool.selected() >= 0);
    copy->setEnabled(!sheet.items.isEmpty());
    store->setText(storeText);
    store->setToolTip(storeDetail);
}

void MeasurePanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}

void MeasurePanel::setCurrent(const QString& text) {
    current->setText(text);
}

}  // namespace sw::measure
