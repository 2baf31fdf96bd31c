#pragma once

#include <functional>
#include <map>

#include <QString>
#include <QStringList>

#include "viewing/view_controller.h"

namespace sw::viewing {

// DoCommand: the one entry of every user command. The toolbar passes the clicked button's caption
// as the command word, so the captions are the vocabulary. Every word first runs the preamble
// (stop the magnifier, rubber band on, repaint, magnifier button back to "Magnify"), then its
// action. The viewing words ("In", "Out", "Normal", "Magnify", "Turn Off", "+90", "-90",
// "Previous", "Next") are built in; the words that open another part of the system ("Plans",
// "Saved", "Print", "Save", "Download", "Prefs", "Markup", ...) are hand-offs that their owners
// register, so new ones need no change here. Words are compared exactly and case-sensitively; an
// unknown word runs the preamble only.
//
// Does not own the controller. UI thread only. Errors of an action reach the caller.
class CommandDispatcher {
public:
    using HandOff = std::function<void()>;

    explicit CommandDispatcher(ViewController& controller);

    void DoCommand(const QString& command);

    // Registers (or replaces) the action of a hand-off word. Built-in words cannot be taken over:
    // returns false and changes nothing. An empty handler removes the word.
    bool registerHandOff(const QString& word, HandOff handOff);
    [[nodiscard]] bool hasHandOff(const QString& word) const;

    // The toolbar's captions in button order: the original fifteen (button 4 shows "Magnify" or
    // "Turn Off"), then the tools added after them ("Measure", "Compare").
    static const QStringList& toolbarCaptions();
    [[nodiscard]] static bool isBuiltIn(const QString& word);

    static constexpr int kMagnifierButton = 4;  // 1-based index of the magnifier button

private:
    void preamble();
    void magnify();
    void turnOff();
    void adjacentPlan(bool previous);

    ViewController& m_controller;
    std::map<QString, HandOff> m_handOffs;
};

}  // namespace sw::viewing
