#include "compare/ui/comparison_controller.h"

#include <algorithm>
#include <utility>

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QUrl>

#include "base/script_error.h"
#include "compare/ui/compare_host.h"
#include "imaging/imaging_error.h"
#include "imaging/sheet_loader.h"
#include "imaging/ui/imaging_control.h"
#include "plans/saved_plans.h"

namespace sw::compare {

namespace {

constexpr int kBigStep = 10;  // pixels an arrow key with Shift moves the earlier sheet

QString swatch(QRgb colour) {
    return QStringLiteral("<span style=\"color:%1\">&#9632;</span>").arg(QColor(colour).name());
}

QList<EarlierSheet> projectSheets(const CompareHost& host) {
    QList<EarlierSheet> sheets;
    const QStringList labels = host.planLabels();
    const QStringList files = host.planFiles();
    for (qsizetype i = 0; i < labels.size() && i < files.size(); ++i) {
        const QStringList fields = labels[i].split(QLatin1Char('~'));
        if (fields.size() >= 2 && !files[i].isEmpty()) {
            sheets.append({fields[1], host.planUrl() + files[i]});
        }
    }
    return sheets;
}

// The sheets of the saved-plans tree (site / project / file), with their files.
QList<EarlierSheet> savedSheets(const CompareHost& host) {
    const plans::SavedPlans saved = plans::FillSavedPlans(host.planDirectory());
    QList<EarlierSheet> sheets;
    for (const plans::TreeNode& node : saved.nodes) {
        if (!plans::isSavedSheetName(node.text)) {
            continue;
        }
        QStringList texts{node.text};
        for (QString parent = node.parentKey; !parent.isEmpty();) {
            const auto it = std::find_if(saved.nodes.begin(), saved.nodes.end(),
                                         [&](const plans::TreeNode& n) { return n.key == parent; });
            if (it == saved.nodes.end()) {
                break;
            }
            texts.prepend(it->text);
            parent = it->parentKey;
        }
        if (texts.size() == 3) {
            sheets.append({texts.join(QStringLiteral(" / ")),
                           plans::savedSheetPath(host.planDirectory(), texts, saved.savedFolders)});
        }
    }
    return sheets;
}

}  // namespace

ComparisonController::ComparisonController(imaging::ImagingControl& viewer, CompareHost& host,
                                           QWidget& window)
    : QObject(&window), m_viewer(viewer), m_host(host) {
    m_legend = new QLabel(&window);
    m_legend->setObjectName(QStringLiteral("compareLegend"));
    m_legend->setTextFormat(Qt::RichText);
    m_legend->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_legend->setAutoFillBackground(true);
    m_legend->setIndent(4);
    m_legend->setToolTip(
        QStringLiteral("O overlay, N new sheet only, E earlier sheet only; arrows move the earlier "
                       "sheet a pixel (Shift: 10); A automatic alignment; Esc leaves"));
    m_legend->hide();
    m_loader = new imaging::SheetLoader(this);
    connect(m_loader, &imaging::SheetLoader::progress, this, [this](int percent) {
        updateLegend(QStringLiteral("Loading the earlier revision: %1%").arg(percent));
    });
    connect(m_loader, &imaging::SheetLoader::loaded, this, [this](const imaging::Sheet& sheet) {
        m_downloading = false;
        startWith(sheet, m_label);
    });
    connect(m_loader, &imaging::SheetLoader::failed, this, [this](const QString& reason) {
        const QString label = m_label;
        leave();
        m_host.showMessage(
            QStringLiteral("The earlier revision %1 could not be opened: %2").arg(label, reason));
    });
}

ComparisonController::~ComparisonController() = default;

const CompareOverlay* ComparisonController::shown() const {
    return comparisonOverlay(m_viewer.sheet());
}

bool ComparisonController::isActive() const {
    return shown() != nullptr;
}

void ComparisonController::command() {
    if (isActive() || m_downloading) {
        leave();
        return;
    }
    if (!m_chosen.isNull()) {
        const imaging::Sheet earlier = std::exchange(m_chosen, imaging::Sheet());
        startWith(earlier, std::exchange(m_chosenLabel, QString()));
        return;
    }
    m_host.showCompareButton(false);
    if (m_viewer.loadedImage() == 0) {
        m_host.showMessage(
            QStringLiteral("Open a sheet first: it is compared with an earlier revision."));
        return;
    }
    openChooser();
}

void ComparisonController::openChooser() {
    if (m_chooser && m_chooser->isVisible()) {
        m_chooser->raise();
        return;
    }
    delete m_chooser.data();  // the last one, closed
    m_chooser = new EarlierChooser(projectSheets(m_host), savedSheets(m_host), m_legend->window());
    connect(m_chooser, &EarlierChooser::chosen, this, &ComparisonController::download);
    m_chooser->open();
}

void ComparisonController::download(const EarlierSheet& sheet) {
    leave();
    m_label = sheet.label;
    m_downloading = true;
    m_host.showCompareButton(true);
    updateLegend(QStringLiteral("Loading the earlier revision: 0%"));
    m_loader->start(sheet.address);
}

QString ComparisonController::addressOf(const QString& text) const {
    const QUrl url(text);
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
        scheme == QLatin1String("file")) {
        return text;
    }
    if (QDir::isAbsolutePath(text) || QFileInfo::exists(text)) {
        return QFileInfo(text).absoluteFilePath();
    }
    return m_host.planUrl() + text;
}

void ComparisonController::setEarlier(const QString& addressOrPath) {
    imaging::SheetLoader loader;
    QEventLoop loop;
    bool done = false;
    imaging::Sheet loaded;
    QString failure;
    connect(&loader, &imaging::SheetLoader::loaded, &loop, [&](const imaging::Sheet& sheet) {
        loaded = sheet;
        done = true;
        loop.quit();
    });
    connect(&loader, &imaging::SheetLoader::failed, &loop, [&](const QString& reason) {
        failure = reason;
        done = true;
        loop.quit();
    });
    loader.start(addressOf(addressOrPath));
    if (!done) {
        loop.exec();
    }
    if (loaded.isNull()) {
        const QString text = QStringLiteral("The earlier revision %1 could not be opened: %2")
                                 .arg(addressOrPath, failure);
        m_host.showMessage(text);
        throw base::ScriptError::custom(text);
    }
    if (isActive()) {
        startWith(loaded, addressOrPath);
        return;
    }
    m_chosen = loaded;
    m_chosenLabel = addressOrPath;
}

void ComparisonController::startWith(const imaging::Sheet& earlier, const QString& label) {
    const CompareMode mode = shown() ? shown()->mode() : CompareMode::Overlay;
    try {
        const auto comparison = Comparison::make(m_viewer.sheet(), earlier);
        m_label = label;
        show(comparison, mode);
    } catch (const imaging::ImagingError& e) {
        leave();
        m_host.showMessage(QStringLiteral("The sheets cannot be compared: %1").arg(e.message()));
    }
}

void ComparisonController::show(std::shared_ptr<const Comparison> comparison, CompareMode mode) {
    m_viewer.setOverlay(std::make_shared<CompareOverlay>(std::move(comparison), mode));
    m_host.showCompareButton(true);
    updateLegend();
}

void ComparisonController::leave() {
    m_loader->cancel();
    m_downloading = false;
    if (shown() != nullptr) {
        m_viewer.setOverlay(nullptr);
    }
    m_label.clear();
    m_legend->hide();
    m_host.showCompareButton(false);
}

void ComparisonController::sheetReplaced() {
    if (!isActive()) {
        leave();
    }
}

void ComparisonController::setMode(const QString& name) {
    if (name == QLatin1String("off")) {
        leave();
        return;
    }
    const std::optional<CompareMode> mode = modeFromName(name);
    if (!mode) {
        throw base::ScriptError::custom(
            QStringLiteral("Unknown comparison mode %1 (overlay, new, earlier or off)").arg(name));
    }
    if (!isActive() && !m_chosen.isNull()) {
        command();
    }
    if (!isActive()) {
        throw base::ScriptError::custom(
            QStringLiteral("Nothing is being compared: choose the earlier revision first"));
    }
    show(shown()->shared(), *mode);
}

void ComparisonController::moveEarlier(QPoint step) {
    if (const CompareOverlay* overlay = shown()) {
        const Comparison& c = overlay->comparison();
        show(c.withShift(c.shift() + step), overlay->mode());
    }
}

void ComparisonController::resetAlignment() {
    if (const CompareOverlay* overlay = shown()) {
        const Comparison& c = overlay->comparison();
        show(c.withShift(c.automaticShift()), overlay->mode());
    }
}

bool ComparisonController::handleKey(const QKeyEvent& key) {
    if (!isActive()) {
        return false;
    }
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    const bool plain = mods == Qt::NoModifier;
    const int step = mods == Qt::ShiftModifier ? kBigStep : 1;
    const bool arrow = plain || mods == Qt::ShiftModifier;
    switch (key.key()) {
        case Qt::Key_O:
        case Qt::Key_N:
        case Qt::Key_E:
            if (!plain) {
                return false;
            }
            show(shown()->shared(), key.key() == Qt::Key_O   ? CompareMode::Overlay
                                    : key.key() == Qt::Key_N ? CompareMode::NewOnly
                                                             : CompareMode::EarlierOnly);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down: {
            if (!arrow) {
                return false;
            }
            const QPoint direction = key.key() == Qt::Key_Left    ? QPoint(-1, 0)
                                     : key.key() == Qt::Key_Right ? QPoint(1, 0)
                                     : key.key() == Qt::Key_Up    ? QPoint(0, -1)
                                                                  : QPoint(0, 1);
            moveEarlier(direction * step);
            return true;
        }
        case Qt::Key_A:
            if (!plain) {
                return false;
            }
            resetAlignment();
            return true;
        case Qt::Key_Escape:
            leave();
            return true;
        default:
            return false;
    }
}

ComparisonController::State ComparisonController::state() const {
    State s;
    s.mode = QStringLiteral("off");
    s.earlier = m_chosen.isNull() ? m_label : m_chosenLabel;
    if (const CompareOverlay* overlay = shown()) {
        const Comparison& c = overlay->comparison();
        s.active = true;
        s.earlier = m_label;
        s.offset = c.offset();
        s.mode = modeName(overlay->mode());
        s.added = c.added();
        s.removed = c.removed();
    }
    return s;
}

void ComparisonController::updateLegend(const QString& loading) {
    const CompareOverlay* overlay = shown();
    if (overlay == nullptr && loading.isEmpty()) {
        m_legend->hide();
        return;
    }
    QString text = QStringLiteral("Earlier: %1").arg(m_label.toHtmlEscaped());
    if (!loading.isEmpty()) {
        text += QStringLiteral(" &middot; ") + loading;
    } else {
        const QPoint offset = overlay->comparison().offset();
        text +=
            QStringLiteral(" &middot; offset %1, %2 px &middot; ").arg(offset.x()).arg(offset.y());
        switch (overlay->mode()) {
            case CompareMode::Overlay:
                text += swatch(kBothInk) + QStringLiteral(" both ") + swatch(kNewInk) +
                        QStringLiteral(" new ") + swatch(kEarlierInk) + QStringLiteral(" earlier");
                break;
            case CompareMode::NewOnly:
                text += QStringLiteral("new sheet only (O overlay)");
                break;
            case CompareMode::EarlierOnly:
                text += QStringLiteral("earlier sheet only (O overlay)");
                break;
        }
    }
    m_legend->setText(text);
    m_legend->show();
    m_legend->raise();
    placeLegend(m_statusBar);
}

void ComparisonController::placeLegend(const QRect& statusBar) {
    m_statusBar = statusBar;
    if (statusBar.isEmpty()) {
        return;
    }
    const int width = std::min(m_legend->sizeHint().width() + 8, statusBar.width() - 4);
    m_legend->setGeometry(statusBar.right() - 2 - width, statusBar.top() + 2, width,
                          statusBar.height() - 4);
}

}  // namespace sw::compare
