#include "viewing/ui/command_toolbar.h"

#include <QAction>
#include <QMap>

#include "viewing/command_dispatcher.h"
#include "viewing/ui/toolbar_icons.h"

namespace sw::viewing {
namespace {

QString toolTipFor(const QString& caption) {
    static const QMap<QString, QString> tips = {
        {QStringLiteral("In"), QStringLiteral("Zoom in (+)")},
        {QStringLiteral("Out"), QStringLiteral("Zoom out (-)")},
        {QStringLiteral("Normal"), QStringLiteral("Fit the whole sheet (0)")},
        {QStringLiteral("Magnify"), QStringLiteral("Magnifying lens")},
        {QStringLiteral("+90"), QStringLiteral("Turn clockwise (R)")},
        {QStringLiteral("-90"), QStringLiteral("Turn anticlockwise (Shift+R)")},
        {QStringLiteral("Print"), QStringLiteral("Print the sheet (Ctrl+P)")},
        {QStringLiteral("Save"), QStringLiteral("Save the sheet in the plan folder (Ctrl+S)")},
        {QStringLiteral("Download"), QStringLiteral("Download several sheets")},
        {QStringLiteral("Plans"), QStringLiteral("Sheets of the project")},
        {QStringLiteral("Previous"), QStringLiteral("Previous sheet (Page Up)")},
        {QStringLiteral("Next"), QStringLiteral("Next sheet (Page Down)")},
        {QStringLiteral("Saved"), QStringLiteral("Sheets saved on this computer")},
        {QStringLiteral("Prefs"), QStringLiteral("Preferences")},
        {QStringLiteral("Markup"), QStringLiteral("About Sheetwise")},
        {QStringLiteral("Measure"),
         QStringLiteral("Measure lengths, paths and areas on the sheet (M)")},
        {QStringLiteral("Compare"),
         QStringLiteral("Compare with an earlier revision (O overlay, N new, E earlier; arrows "
                        "move the earlier sheet, Shift for 10 pixels; A back to the automatic "
                        "alignment; Esc leaves)")},
    };
    return tips.value(caption, caption);
}

}  // namespace

CommandToolBar::CommandToolBar(QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("toolbar"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(22, 22));
    setContextMenuPolicy(Qt::PreventContextMenu);
    // The rulers slide under the toolbar when the sheet is panned; they must not show through.
    setAutoFillBackground(true);
    for (const QString& caption : CommandDispatcher::toolbarCaptions()) {
        QAction* action = addAction(toolbarIcon(caption), caption);
        action->setToolTip(toolTipFor(caption));
        action->setObjectName(QStringLiteral("button_") + caption);
        // The caption at the moment of the click is the command word.
        connect(action, &QAction::triggered, this,
                [this, action] { emit commandTriggered(action->text()); });
        m_buttons << action;
    }
    magnifierButton()->setCheckable(true);
    button(kMeasureButton)->setCheckable(true);
    // Pressed while a comparison is shown; the comparison sets it.
    compareButton()->setCheckable(true);
}

QAction* CommandToolBar::button(int index) const {
    return index >= 1 && index <= m_buttons.size() ? m_buttons.at(index - 1) : nullptr;
}

void CommandToolBar::showMeasuring(bool on) {
    button(kMeasureButton)->setChecked(on);
}

QAction* CommandToolBar::compareButton() const {
    return findChild<QAction*>(QStringLiteral("button_Compare"));
}

void CommandToolBar::showMagnifier(bool on) {
    QAction* button = magnifierButton();
    const QString caption = on ? QStringLiteral("Turn Off") : QStringLiteral("Magnify");
    button->setText(caption);
    button->setChecked(on);
    button->setIcon(toolbarIcon(caption));
    button->setToolTip(on ? QStringLiteral("Turn the lens off") : toolTipFor(caption));
}

}  // namespace sw::viewing
