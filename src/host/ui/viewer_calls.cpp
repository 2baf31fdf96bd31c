// Host calls that drive the viewing side of FastViewer as a user would (commands, pointer, keys,
// window size), wait for a load, and the viewing keys of the Dump state.
#include <algorithm>

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QJsonArray>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>

#include "base/script_error.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"
#include "imaging/ui/imaging_control.h"
#include "viewing/key_bindings.h"
#include "viewing/ui/command_toolbar.h"
#include "widgets/sw_ruler.h"
#include "widgets/twips.h"

namespace sw::host {

namespace {

constexpr int kLongestWaitMs = 600000;
constexpr char kHeldButtons[] = "sw_heldMouseButtons";

QJsonArray rectJson(const QRectF& r) {
    return {r.left(), r.top(), r.width(), r.height()};
}

// A 16-bit ruler property; null when the stored value does not fit (its getter refuses it).
QJsonValue rulerValue(std::int16_t (widgets::SWRuler::*getter)() const,
                      const widgets::SWRuler& ruler) {
    try {
        return (ruler.*getter)();
    } catch (const std::exception&) {
        return QJsonValue::Null;
    }
}

QJsonObject rulerJson(const widgets::SWRuler& r) {
    return {{"Min", rulerValue(&widgets::SWRuler::Min, r)},
            {"Max", rulerValue(&widgets::SWRuler::Max, r)},
            {"Offset", rulerValue(&widgets::SWRuler::Offset, r)},
            {"Left", r.leftTwips()},
            {"Top", r.topTwips()},
            {"Width", r.widthTwips()},
            {"Height", r.heightTwips()}};
}

QJsonObject imagingJson(const imaging::ImagingControl& c) {
    return {{"loaded", c.loadedImage()},
            {"loading", c.isLoading()},
            {"width", c.imageWidth()},
            {"height", c.imageHeight()},
            {"resolutionX", c.resolutionX()},
            {"resolutionY", c.resolutionY()},
            {"paintSizeMode", c.paintSizeMode()},
            {"zoom", c.zoom()},
            {"displayRect", rectJson(c.displayRect())},
            {"clipRect", rectJson(c.clipRect())},
            {"rubberBandRect", rectJson(c.rubberBandRect())},
            {"rubberBand", c.rubberBand()},
            {"magnifierActive", c.magnifierActive()},
            {"loadAddress", c.loadAddress()}};
}

void addViewingState(FastViewer& v, QJsonObject& state) {
    const QAction* lens = v.toolbar->magnifierButton();
    QJsonArray captions;
    for (int i = 1; v.toolbar->button(i) != nullptr; ++i) {
        captions.append(v.toolbar->button(i)->text());
    }
    state.insert("HorRuler", rulerJson(*v.HorRuler));
    state.insert("VertRuler", rulerJson(*v.VertRuler));
    state.insert("imaging", imagingJson(*v.viewer));
    const QRect area = v.viewer->geometry();
    const double tppx = widgets::twipsPerPixelX();
    const double tppy = widgets::twipsPerPixelY();
    state.insert("viewerLayout", QJsonObject{{"Left", area.x() * tppx},
                                             {"Top", area.y() * tppy},
                                             {"Width", area.width() * tppx},
                                             {"Height", area.height() * tppy}});
    state.insert("magnifierButton",
                 QJsonObject{{"caption", lens->text()}, {"pressed", lens->isChecked()}});
    state.insert("toolbar", captions);
    state.insert("progress", v.statusbar->value());
    state.insert("pointer", QJsonObject{{"panning", v.panning},
                                        {"panLastX", v.panLastX},
                                        {"panLastY", v.panLastY},
                                        {"suppressClickZoom", v.suppressClickZoom}});
    state.insert("currentPlanIndex", v.currentPlanIndex);
    state.insert("title", v.windowTitle());
    state.insert("popups", QJsonObject{{"pmn", v.pmn->isVisible()},
                                       {"LocalPlans", v.LocalPlans->isVisible()},
                                       {"Timer1", v.Timer1->isActive()}});
    const viewing::SheetLoad& load = v.sheetLoad();
    static const char* const kStates[] = {"empty", "loading", "loaded", "failed"};
    state.insert("lastLoad",
                 QJsonObject{{"state", kStates[static_cast<int>(load.state())]},
                             {"name", load.name()},
                             {"address", load.address()},
                             {"ended", load.state() == viewing::SheetLoad::State::Loaded ||
                                           load.state() == viewing::SheetLoad::State::Failed},
                             {"ok", load.state() == viewing::SheetLoad::State::Loaded},
                             {"reason", load.reason()}});
}

base::CallReply doCommand(FastViewer& v, const QJsonArray& args) {
    base::expectArgumentCount(args, 1, 1);
    v.DoCommand(base::stringArgument(args, 0));
    return {};
}

// Waits until the running load ends; replies with the imaging state, or fails with the load's
// failure reason or "timeout".
base::CallReply waitLoaded(FastViewer& v, const QJsonArray& args) {
    base::expectArgumentCount(args, 1, 1);
    const int ms = std::clamp(base::longArgument(args, 0), 0, kLongestWaitMs);
    using State = viewing::SheetLoad::State;
    if (v.sheetLoad().state() == State::Loading) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        QObject::connect(&v, &FastViewer::loadEnded, &loop, &QEventLoop::quit);
        loop.exec();
    }
    QCoreApplication::processEvents();
    if (v.sheetLoad().state() == State::Loading) {
        throw base::ScriptError::custom(QStringLiteral("timeout"));
    }
    if (v.sheetLoad().state() == State::Failed) {
        throw base::ScriptError::custom(v.sheetLoad().reason());
    }
    return {{QStringLiteral("result"), imagingJson(*v.viewer)}};
}

Qt::MouseButton mouseButton(std::int32_t code) {
    switch (code) {
        case 0:
            return Qt::NoButton;
        case 1:
            return Qt::LeftButton;
        case 2:
            return Qt::RightButton;
        case 4:
            return Qt::MiddleButton;
        default:
            throw base::ScriptError::invalidArgument();
    }
}

// ["Mouse", "down|move|up|dblclick", button, x, y]: a real mouse event at window pixel (x, y)
// of the imaging control. Buttons stay held from "down" to "up", so a "move" in between drags.
base::CallReply mouse(FastViewer& v, const QJsonArray& args) {
    base::expectArgumentCount(args, 4, 4);
    const QString kind = base::stringArgument(args, 0).toLower();
    const Qt::MouseButton button = mouseButton(base::longArgument(args, 1));
    const QPointF at(args.at(2).toDouble(), args.at(3).toDouble());
    auto held = Qt::MouseButtons(v.property(kHeldButtons).toInt());
    QEvent::Type type = QEvent::MouseMove;
    if (kind == QLatin1String("down")) {
        type = QEvent::MouseButtonPress;
        held |= button;
    } else if (kind == QLatin1String("up")) {
        type = QEvent::MouseButtonRelease;
        held &= ~Qt::MouseButtons(button);
    } else if (kind == QLatin1String("dblclick")) {
        type = QEvent::MouseButtonDblClick;
        held |= button;
    } else if (kind != QLatin1String("move")) {
        throw base::ScriptError::invalidArgument();
    }
    v.setProperty(kHeldButtons, static_cast<int>(held));
    const QPointF global = v.viewer->mapToGlobal(at);
    QCursor::setPos(global.toPoint());
    QMouseEvent event(type, at, global, type == QEvent::MouseMove ? Qt::NoButton : button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(v.viewer, &event);
    QCoreApplication::processEvents();
    return {};
}

// ["Resize", w, h]: the viewer control's size in pixels (its window grows or shrinks with it).
base::CallReply resize(FastViewer& v, const QJsonArray& args) {
    base::expectArgumentCount(args, 2, 2);
    const QSize wanted(base::longArgument(args, 0), base::longArgument(args, 1));
    if (wanted.width() < 1 || wanted.height() < 1) {
        throw base::ScriptError::invalidArgument();
    }
    QWidget* window = v.window();
    if (window != &v) {
        window->resize(window->size() + wanted - v.size());
    } else {
        v.resize(wanted);
    }
    QCoreApplication::processEvents();
    return {{QStringLiteral("result"), QJsonArray{v.width(), v.height()}}};
}

// ["Key", "ctrl+s"]: a key press and release as the keyboard would deliver them.
base::CallReply key(FastViewer& v, const QJsonArray& args) {
    base::expectArgumentCount(args, 1, 1);
    const std::optional<QKeyCombination> combination =
        viewing::parseKeyName(base::stringArgument(args, 0));
    if (!combination) {
        throw base::ScriptError::custom(
            QStringLiteral("Unknown key %1").arg(base::stringArgument(args, 0)));
    }
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr || (target != &v && !v.isAncestorOf(target))) {
        target = &v;
    }
    const auto code = static_cast<int>(combination->key());
    const QString text = code < 0x100 ? QString(QChar(code)).toLower() : QString();
    QKeyEvent press(QEvent::KeyPress, code, combination->keyboardModifiers(), text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, combination->keyboardModifiers(), text);
    QApplication::sendEvent(target, &release);
    QCoreApplication::processEvents();
    return {};
}

}  // namespace

void registerViewerCalls(base::HostCallRegistry& registry) {
    registry.add("DoCommand", base::CallKind::Pseudo, doCommand);
    registry.add("WaitLoaded", base::CallKind::Pseudo, waitLoaded);
    registry.add("Mouse", base::CallKind::Pseudo, mouse);
    registry.add("Resize", base::CallKind::Pseudo, resize);
    registry.add("Key", base::CallKind::Pseudo, key);
    registry.addStateProvider(addViewingState);
}

}  // namespace sw::host
