#include "viewing/key_bindings.h"

#include <gtest/gtest.h>

#include "viewing/command_dispatcher.h"

namespace sw::viewing {
namespace {

// The action of a key written as a host call writes it: a toolbar caption, "pan x,y" (the way
// the sheet moves), "none", or "unparsed".
QString action(const char* keyName) {
    const std::optional<QKeyCombination> key = parseKeyName(QString::fromLatin1(keyName));
    if (!key) {
        return "unparsed";
    }
    const std::optional<KeyAction> action = keyBinding(*key);
    if (!action) {
        return "none";
    }
    if (action->command.isEmpty()) {
        return QString("pan %1,%2").arg(action->panDirection.x()).arg(action->panDirection.y());
    }
    EXPECT_TRUE(CommandDispatcher::toolbarCaptions().contains(action->command));
    return action->command;
}

TEST(KeyBinding, MapsEachKeyToItsCommandOrPan) {
    const std::pair<const char*, const char*> table[] = {{"+", "In"},
                                                         {"=", "In"},
                                                         {"-", "Out"},
                                                         {"0", "Normal"},
                                                         {"PgUp", "Previous"},
                                                         {"pgdown", "Next"},
                                                         {"r", "+90"},
                                                         {"shift+r", "-90"},
                                                         {"ctrl+s", "Save"},
                                                         {"Ctrl+P", "Print"},
                                                         {"m", "Measure"},
                                                         {"ctrl+m", "none"},
                                                         {"left", "pan 1,0"},
                                                         {"Right", "pan -1,0"},
                                                         {"up", "pan 0,1"},
                                                         {"down", "pan 0,-1"},
                                                         {"s", "none"},
                                                         {"ctrl+r", "none"},
                                                         {"alt+left", "none"},
                                                         {"", "unparsed"},
                                                         {"  ", "unparsed"},
                                                         {"nosuchkey", "unparsed"},
                                                         {"ctrl+s, ctrl+p", "unparsed"}};
    for (const auto& [key, expected] : table) {
        EXPECT_EQ(action(key), expected) << key;
    }
}

TEST(KeyBinding, KeypadKeysActLikeTheirMainKeyboardTwins) {
    EXPECT_EQ(keyBinding(QKeyCombination(Qt::KeypadModifier, Qt::Key_Plus)),
              keyBinding(QKeyCombination(Qt::Key_Plus)));
    EXPECT_EQ(keyBinding(QKeyCombination(Qt::KeypadModifier, Qt::Key_0))->command, "Normal");
}

TEST(WindowTitle, LeavesOutEmptyParts) {
    EXPECT_EQ(windowTitle("Main Street School", "A-101"),
              "Sheetwise \u2014 Main Street School \u2014 A-101");
    EXPECT_EQ(windowTitle(QString(), "A-101"), "Sheetwise \u2014 A-101");
    EXPECT_EQ(windowTitle(" ", QString()), "Sheetwise");
}

}  // namespace
}  // namespace sw::viewing
