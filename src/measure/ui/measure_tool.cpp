#include "measure/ui/measure_tool.h"

#include <cmath>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "imaging/ui/imaging_control.h"
#include "measure/ui/measure_overlay.h"
#include "measure/ui/measure_panel.h"

namespace sw::measure {

namespace {

constexpr int kPanelMargin = 8;     // pixels between the panel and the sheet area's edges
constexpr double kSamePoint = 0.5;  // sheet pixels: a click this close to the last adds nothing

// Points are kept to a hundredth of a sheet pixel.
QPointF rounded(QPointF p) {
    return {std::round(p.x() * 100) / 100, std::round(p.y() * 100) / 100};
}

// A bare number typed as a real length counts in the unit shown (feet for feet and inches).
Unit bareUnitFor(Unit unit) {
    return unit == Unit::FeetInches ? Unit::Feet : unit;
}

}  // namespace

MeasureTool::MeasureTool(imaging::ImagingControl& control, QWidget& panelParent, Viewer viewer)
    : m_control(control), m_viewer(std::move(viewer)) {
    m_overlay = new MeasureOverlay(control, *this);
    m_overlay->show();
    m_panel = new MeasurePanel(&panelParent);
    m_panel->hide();
    control.installEventFilter(this);

    MeasurePanel& p = *m_panel;
    connect(p.kind, &QComboBox::currentIndexChanged, this, [this](int row) {
        setKind(parseKind(m_panel->kind->itemText(row)).value_or(Kind::Length));
    });
    connect(p.units, &QComboBox::currentIndexChanged, this, [this](int row) {
        setUnit(parseUnit(m_panel->units->itemText(row)).value_or(Unit::FeetInches));
    });
    const auto applyScale = [this](const QString& text) {
        m_panel->scale->setProperty("inputError", setScaleText(text));
        if (const QString refused = m_panel->scale->property("inputError").toString();
            !refused.isEmpty()) {
            m_panel->store->setText(refused);
        }
    };
    connect(p.scale, &QComboBox::textActivated, this, applyScale);
    connect(p.scale->lineEdit(), &QLineEdit::editingFinished, this,
            [this, applyScale] { applyScale(m_panel->scale->currentText()); });
    connect(p.calibrate, &QPushButton::clicked, this,
            [this](bool on) { on ? startCalibration() : setKind(m_kind); });
    connect(p.calibration, &QLineEdit::editingFinished, this, [this] {
        if (m_calibrating && !m_panel->calibration->text().trimmed().isEmpty()) {
            const QString refused = finishCalibration(m_panel->calibration->text());
            m_panel->calibration->setProperty("inputError", refused);
            if (!refused.isEmpty()) {
                m_panel->store->setText(refused);
            }
        }
    });
    connect(p.items, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> chosen = m_panel->items->selectedItems();
        select(chosen.isEmpty() ? -1 : m_panel->items->row(chosen.first()));
    });
    connect(p.copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(listText()); });
    connect(p.remove, &QPushButton::clicked, this, [this] { removeSelected(); });
    connect(this, &MeasureTool::changed, this, [this] {
        if (m_place.path.isEmpty()) {
            m_panel->refresh(*this, QStringLiteral("Not kept: this sheet has no project folder"),
                             QString());
        } else {
            m_panel->refresh(*this, QStringLiteral("Kept with the sheet in the plan folder"),
                             QDir::toNativeSeparators(m_place.path));
        }
        m_overlay->update();
        showFeedback();
    });
    emit changed();
}

MeasureTool::~MeasureTool() {
    m_control.removeEventFilter(this);
    delete m_overlay;
    delete m_panel;
}

// ---- On and off ----------------------------------------------------------------------------

void MeasureTool::setActive(bool on) {
    if (on == m_active) {
        return;
    }
    m_active = on;
    clearPending();
    m_calibrating = false;
    if (on) {
        m_control.setRubberBand(false);
        placePanel();
        m_panel->show();
        m_panel->raise();
    } else {
        if (!m_control.magnifierActive()) {
            m_control.setRubberBand(true);
        }
        m_panel->hide();
        m_viewer.setPanelText(4, QString());
        m_viewer.setPanelText(5, QString());
    }
    m_viewer.showButton(on);
    emit changed();
}

void MeasureTool::afterCommand(const QString& word) {
    if (word == QLatin1String("Magnify")) {
        setActive(false);
    } else if (m_active) {
        m_control.setRubberBand(false);
    }
}

bool MeasureTool::takeKey(int key) {
    if (!m_active) {
        return false;
    }
    switch (key) {
        case Qt::Key_Escape:
            setActive(false);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            finishShape();
            return true;
        case Qt::Key_Backspace:
            if (!m_pending.isEmpty()) {
                m_pending.removeLast();
                emit changed();
            }
            return true;
        case Qt::Key_Delete:
            removeSelected();
            return true;
        default:
            return false;
    }
}

// ---- The shown sheet -------------------------------------------------------------------------

void MeasureTool::sheetShown(const SidecarPlace& place, const QString& sheetName) {
    clearPending();
    m_calibrating = false;
    m_place = place;
    m_failureShown = false;
    m_damagedAside = true;
    m_selected = -1;
    const imaging::Sheet::Source& source = m_control.sheet().source();
    m_sheet = SheetMeasurements{sheetName, source.size, {source.dpiX, source.dpiY}, {}, {}};
    const SidecarRead read = readSidecar(place.path);
    QString problem = read.problem;
    if (read.found && problem.isEmpty() && read.sheet.size != m_sheet.size) {
        problem = QStringLiteral(
                      "The measurements kept in %1 were taken on a sheet of %2 x %3 "
                      "pixels, not on this one of %4 x %5; the sheet is shown without "
                      "them.")
                      .arg(QDir::toNativeSeparators(place.path))
                      .arg(read.sheet.size.width())
                      .arg(read.sheet.size.height())
                      .arg(m_sheet.size.width())
                      .arg(m_sheet.size.height());
    }
    if (!problem.isEmpty()) {
        m_damagedAside = false;
        m_viewer.showMessage(problem);
    } else if (read.found) {
        m_sheet.scale = read.sheet.scale;
        m_sheet.items = read.sheet.items;
    }
    if (m_active) {
        m_control.setRubberBand(false);
    }
    emit changed();
}

std::optional<QTransform> MeasureTool::sheetToWindow() const {
    const imaging::Sheet& sheet = m_control.sheet();
    const QRectF d = m_control.displayRect();
    if (sheet.isNull() || d.isEmpty()) {
        return std::nullopt;
    }
    return sheet.source().toImage *
           QTransform::fromScale(d.width() / sheet.width(), d.height() / sheet.height()) *
           QTransform::fromTranslate(d.left(), d.top());
}

std::optional<QPointF> MeasureTool::toSheet(QPointF pixels) const {
    const std::optional<QTransform> toWindow = sheetToWindow();
    if (!toWindow || !toWindow->isInvertible()) {
        return std::nullopt;
    }
    const QPointF p = toWindow->inverted().map(pixels);
    const QSizeF size(m_sheet.size);
    if (p.x() < -kSamePoint || p.y() < -kSamePoint || p.x() > size.width() + kSamePoint ||
        p.y() > size.height() + kSamePoint) {
        return std::nullopt;  // a click beside the sheet
    }
    return rounded({std::clamp(p.x(), 0.0, size.width()), std::clamp(p.y(), 0.0, size.height())});
}

// ---- Picking points ------------------------------------------------------------------------

bool MeasureTool::takeClick(QPointF pixels) {
    if (!m_active) {
        return false;
    }
    if (m_swallowRelease) {
        m_swallowRelease = false;
        return true;
    }
    if (const std::optional<QPointF> at = toSheet(pixels)) {
        addPoint(*at);
    }
    return true;
}

bool MeasureTool::takeDoubleClick() {
    if (!m_active) {
        return false;
    }
    m_swallowRelease = true;
    if (!m_calibrating && m_kind != Kind::Length) {
        finishShape();
    }
    return true;
}

void MeasureTool::pointerMoved(QPointF pixels) {
    m_pointer = pixels;
    if (m_active && !m_pending.isEmpty()) {
        showFeedback();
        m_overlay->update();
    }
}

void MeasureTool::addPoint(QPointF sheetPoint) {
    if (m_calibrating && m_pending.size() == 2) {
        m_pending.clear();  // a third click starts the known distance again
    }
    if (!m_pending.isEmpty() && QLineF(m_pending.back(), sheetPoint).length() < kSamePoint) {
        return;
    }
    m_pending.append(sheetPoint);
    if (!m_calibrating && m_kind == Kind::Length && m_pending.size() == 2) {
        finishMeasurement({Kind::Length, m_pending});
        return;
    }
    emit changed();
    if (m_calibrating && m_pending.size() == 2) {
        m_panel->calibration->setFocus();
    }
}

void MeasureTool::finishShape() {
    const Measurement m{m_kind, m_pending};
    if (!m_calibrating && m_kind != Kind::Length && isComplete(m)) {
        finishMeasurement(m);
    }
}

void MeasureTool::finishMeasurement(const Measurement& m) {
    m_sheet.items.append(m);
    m_selected = -1;
    clearPending();
    persist();
    emit changed();
}

void MeasureTool::clearPending() {
    m_pending.clear();
    m_swallowRelease = false;
}

// ---- Settings ----------------------------------------------------------------------------------

void MeasureTool::setKind(Kind kind) {
    m_kind = kind;
    m_calibrating = false;
    clearPending();
    emit changed();
}

void MeasureTool::setUnit(Unit unit) {
    m_unit = unit;
    emit changed();
}

QString MeasureTool::setScaleText(const QString& text) {
    const std::optional<DrawingScale> scale = parseScale(text);
    if (!scale) {
        return QStringLiteral(
                   "\"%1\" is not a drawing scale; write it as 1/4\" = 1'-0\", "
                   "1\" = 20', 1:50 or paper")
            .arg(text.trimmed());
    }
    if (scale->text != m_sheet.scale.text || scale->ratio != m_sheet.scale.ratio) {
        m_sheet.scale = *scale;
        persist();
        emit changed();
    }
    return {};
}

void MeasureTool::startCalibration() {
    clearPending();
    m_calibrating = true;
    emit changed();
}

QString MeasureTool::finishCalibration(const QString& realLength) {
    if (!m_calibrating || m_pending.size() != 2) {
        return QStringLiteral("Click both ends of a known dimension first");
    }
    const std::optional<double> real = parseLength(realLength, bareUnitFor(m_unit));
    const std::optional<DrawingScale> scale =
        real ? calibratedScale(paperLength(m_pending, m_sheet.dpi, false), *real) : std::nullopt;
    if (!scale) {
        return QStringLiteral(
                   "\"%1\" is not a length above zero; write it as 12'-6\", 3.8 m or "
                   "250 mm")
            .arg(realLength.trimmed());
    }
    m_sheet.scale = *scale;
    m_calibrating = false;
    clearPending();
    persist();
    emit changed();
    m_control.setFocus();  // the keys go to the sheet again
    return {};
}

void MeasureTool::select(int index) {
    const int wanted = index >= 0 && index < m_sheet.items.size() ? index : -1;
    if (wanted != m_selected) {
        m_selected = wanted;
        emit changed();
    }
}

void MeasureTool::removeSelected() {
    if (m_selected < 0 || m_selected >= m_sheet.items.size()) {
        return;
    }
    m_sheet.items.removeAt(m_selected);
    m_selected = -1;
    persist();
    emit changed();
}

QString MeasureTool::listText() const {
    QStringList lines{QStringLiteral("Sheet\t%1").arg(m_sheet.sheetName)};
    for (const Measurement& m : m_sheet.items) {
        lines << QStringLiteral("%1\t%2\t%3")
                     .arg(kindTitle(m.kind), labelOf(m, m_sheet.dpi, m_sheet.scale, m_unit),
                          m_sheet.scale.text);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QJsonObject MeasureTool::dumpState() const {
    QJsonArray items;
    for (const Measurement& m : m_sheet.items) {
        QJsonArray points;
        for (const QPointF& p : m.points) {
            points.append(QJsonArray{p.x(), p.y()});
        }
        items.append(QJsonObject{{"kind", kindName(m.kind)},
                                 {"points", points},
                                 {"real", valueOf(m, m_sheet.dpi, m_sheet.scale).real},
                                 {"text", labelOf(m, m_sheet.dpi, m_sheet.scale, m_unit)}});
    }
    return {{"active", m_active},
            {"kind", kindName(m_kind)},
            {"scale", m_sheet.scale.text},
            {"units", unitName(m_unit)},
            {"items", items}};
}

// ---- Keeping and showing -------------------------------------------------------------------

void MeasureTool::persist() {
    if (m_place.path.isEmpty()) {
        return;
    }
    if (!m_damagedAside) {
        setAsideDamaged(m_place.path);
        m_damagedAside = true;
    }
    const QString error = writeSidecar(m_place, m_sheet, m_unit);
    if (!error.isEmpty() && !m_failureShown) {
        m_failureShown = true;
        m_viewer.showMessage(
            QStringLiteral("The measurements of this sheet cannot be kept: %1").arg(error));
    }
}

// Status panels 4 and 5 and the panel's line: the segment to the pointer and the running total
// while points are picked; otherwise what to do next.
void MeasureTool::showFeedback() {
    if (!m_active) {
        return;
    }
    QString segment = m_calibrating ? QStringLiteral("Calibrate") : kindTitle(m_kind);
    QString total = m_sheet.scale.text;
    QString line;
    const std::optional<QPointF> at = m_pointer ? toSheet(*m_pointer) : std::nullopt;
    if (m_pending.isEmpty()) {
        line = m_calibrating
                   ? QStringLiteral("Click one end of a known dimension.")
                   : QStringLiteral("Click the first point of the %1.").arg(kindName(m_kind));
    } else if (m_calibrating && m_pending.size() == 2) {
        line = QStringLiteral("Type the real length of the picked distance (%1 on paper).")
                   .arg(formatLength(paperLength(m_pending, m_sheet.dpi, false), Unit::Inches));
    } else {
        QList<QPointF> points = m_pending;
        if (at) {
            points.append(*at);
        }
        const DrawingScale& scale = m_calibrating ? DrawingScale{} : m_sheet.scale;
        const Unit unit = m_calibrating ? Unit::Inches : m_unit;
        const Measurement m{m_calibrating ? Kind::Length : m_kind, points};
        const double last = paperLength(points.mid(points.size() - 2), m_sheet.dpi, false);
        segment = QStringLiteral("Seg ") + formatLength(last * scale.ratio, unit);
        total =
            m_kind == Kind::Area && !m_calibrating && points.size() >= 3
                ? QStringLiteral("Area ") + formatArea(valueOf(m, m_sheet.dpi, scale).real, unit)
                : QStringLiteral("Tot ") + formatLength(valueOf(m, m_sheet.dpi, scale).real, unit);
        line = QStringLiteral("%1, %2. %3")
                   .arg(segment, total,
                        m_kind == Kind::Length || m_calibrating
                            ? QStringLiteral("Click the end.")
                            : QStringLiteral("Double click or Enter ends it; Backspace takes "
                                             "the last point back."));
    }
    m_viewer.setPanelText(4, segment);
    m_viewer.setPanelText(5, total);
    m_panel->setCurrent(line);
}

void MeasureTool::placePanel() {
    const QRect area = m_control.geometry();
    m_panel->adjustSize();
    const int x = std::max(area.left(), area.right() - m_panel->width() - kPanelMargin);
    m_panel->move(x, area.top() + kPanelMargin);
}

bool MeasureTool::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_control &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        m_overlay->setGeometry(m_control.rect());
        placePanel();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace sw::measure
