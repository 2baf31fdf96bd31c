#include "viewing/command_dispatcher.h"

#include "viewing/status_texts.h"

namespace sw::viewing {
namespace {

const QStringList kBuiltIn = {
    QStringLiteral("In"),      QStringLiteral("Out"),      QStringLiteral("Normal"),
    QStringLiteral("Magnify"), QStringLiteral("Turn Off"), QStringLiteral("+90"),
    QStringLiteral("-90"),     QStringLiteral("Previous"), QStringLiteral("Next"),
};

}  // namespace

CommandDispatcher::CommandDispatcher(ViewController& controller) : m_controller(controller) {}

const QStringList& CommandDispatcher::toolbarCaptions() {
    static const QStringList captions = {
        QStringLiteral("In"),      QStringLiteral("Out"),      QStringLiteral("Normal"),
        QStringLiteral("Magnify"), QStringLiteral("+90"),      QStringLiteral("-90"),
        QStringLiteral("Print"),   QStringLiteral("Save"),     QStringLiteral("Download"),
        QStringLiteral("Plans"),   QStringLiteral("Previous"), QStringLiteral("Next"),
        QStringLiteral("Saved"),   QStringLiteral("Prefs"),    QStringLiteral("Markup"),
        QStringLiteral("Measure"),
        QStringLiteral("Compare"),
    };
    return captions;
}

bool CommandDispatcher::isBuiltIn(const QString& word) {
    return kBuiltIn.contains(word);
}

bool CommandDispatcher::registerHandOff(const QString& word, HandOff handOff) {
    if (isBuiltIn(word)) {
        return false;
    }
    if (handOff) {
        m_handOffs[word] = std::move(handOff);
    } else {
        m_handOffs.erase(word);
    }
    return true;
}

bool CommandDispatcher::hasHandOff(const QString& word) const {
    return m_handOffs.find(word) != m_handOffs.end();
}

void CommandDispatcher::preamble() {
    ImagingView& view = m_controller.view();
    view.stopMagnifier();
    view.setRubberBand(true);
    view.repaintNow();
    m_controller.shell().showMagnifierButton(false);
}

void CommandDispatcher::magnify() {
    ImagingView& view = m_controller.view();
    if (view.loadedImage() >= 1) {
        view.setMagnifierNumber(1, 0);
        view.setMagnifierNumber(2, 2);
        view.setMagnifierSwitch(1, false);
        view.setRubberBand(false);
        view.setMagnifierSwitch(2, false);
        view.startMagnifier(imaging::MagnifierOptions{});
    }
    m_controller.shell().showMagnifierButton(true);
}

void CommandDispatcher::turnOff() {
    ImagingView& view = m_controller.view();
    if (view.loadedImage() >= 1) {
        view.stopMagnifier();
        view.setRubberBand(true);
    }
    m_controller.shell().showMagnifierButton(false);
}

void CommandDispatcher::adjacentPlan(bool previous) {
    ViewerShell& shell = m_controller.shell();
    const std::optional<AdjacentPlan> plan =
        FindAdjacentPlan(shell.planLabels(), shell.planFiles(), shell.panelText(1), previous);
    if (!plan) {
        return;
    }
    if (plan->name) {
        shell.setCurrentPlanName(*plan->name);
    }
    if (!plan->address.isEmpty()) {
        shell.setImage(plan->address);
    }
}

void CommandDispatcher::DoCommand(const QString& command) {
    preamble();
    ImagingView& view = m_controller.view();
    if (command == QLatin1String("In")) {
        view.stopMagnifier();
        m_controller.ZoomIn();
    } else if (command == QLatin1String("Out")) {
        m_controller.ZoomOut();
        view.stopMagnifier();
    } else if (command == QLatin1String("Normal")) {
        view.setPaintSizeMode(ImagingView::kFit);
        view.stopMagnifier();
        m_controller.shell().refreshRulers();
    } else if (command == QLatin1String("-90") || command == QLatin1String("+90")) {
        view.stopMagnifier();
        m_controller.RotateQuarter(command == QLatin1String("+90") ? 9000 : -9000);
    } else if (command == QLatin1String("Magnify")) {
        magnify();
    } else if (command == QLatin1String("Turn Off")) {
        turnOff();
    } else if (command == QLatin1String("Previous") || command == QLatin1String("Next")) {
        adjacentPlan(command == QLatin1String("Previous"));
    } else if (const auto it = m_handOffs.find(command); it != m_handOffs.end()) {
        // Copied: a hand-off may register or remove words while it runs.
        const HandOff handOff = it->second;
        handOff();
    }
}

}  // namespace sw::viewing
