#include "viewing/key_bindings.h"

#include <gtest/gtest.h>

#include "viewing/command_dispatcher.h"
#include "viewing/qt_printers.h"

namespace sw::viewing {
namespace {

using test::PrintTo;

struct KeyCase {
    const char* name;
    const char* key;      // as a host call writes it
    const char* command;  // nullptr: a pan or nothing
    QPoint pan;
};

class Shortcut : public ::testing::TestWithParam<KeyCase> {};

TEST_P(Shortcut, MapsTheKeyToItsAction) {
    const KeyCase& c = GetParam();
    const std::optional<QKeyCombination> key = parseKeyName(QString::fromLatin1(c.key));
    ASSERT_TRUE(key) << c.key;
    const std::optional<KeyAction> action = keyBinding(*key);
    if (c.command == nullptr && c.pan.isNull()) {
        EXPECT_FALSE(action);
        return;
    }
    ASSERT_TRUE(action);
    EXPECT_EQ(action->command, QString::fromLatin1(c.command == nullptr ? "" : c.command));
    EXPECT_EQ(action->panDirection, c.pan);
    if (c.command != nullptr) {
        EXPECT_TRUE(CommandDispatcher::toolbarCaptions().contains(action->command));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Shortcut,
    ::testing::Values(KeyCase{"Plus", "+", "In", {}}, KeyCase{"Equals", "=", "In", {}},
                      KeyCase{"Minus", "-", "Out", {}}, KeyCase{"Zero", "0", "Normal", {}},
                      KeyCase{"PageUp", "PgUp", "Previous", {}},
                      KeyCase{"PageDown", "pgdown", "Next", {}}, KeyCase{"R", "r", "+90", {}},
                      KeyCase{"ShiftR", "shift+r", "-90", {}},
                      KeyCase{"CtrlS", "ctrl+s", "Save", {}},
                      KeyCase{"CtrlP", "Ctrl+P", "Print", {}},
                      KeyCase{"LeftMovesSheetRight", "left", nullptr, {1, 0}},
                      KeyCase{"RightMovesSheetLeft", "Right", nullptr, {-1, 0}},
                      KeyCase{"UpMovesSheetDown", "up", nullptr, {0, 1}},
                      KeyCase{"DownMovesSheetUp", "down", nullptr, {0, -1}},
                      KeyCase{"PlainSDoesNothing", "s", nullptr, {}},
                      KeyCase{"CtrlRDoesNothing", "ctrl+r", nullptr, {}},
                      KeyCase{"AltLeftDoesNothing", "alt+left", nullptr, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Shortcut, KeypadKeysActLikeTheirMainKeyboardTwins) {
    EXPECT_EQ(keyBinding(QKeyCombination(Qt::KeypadModifier, Qt::Key_Plus)),
              keyBinding(QKeyCombination(Qt::Key_Plus)));
    EXPECT_EQ(keyBinding(QKeyCombination(Qt::KeypadModifier, Qt::Key_0))->command,
              QStringLiteral("Normal"));
}

TEST(ParseKeyName, RejectsTextThatNamesNoSingleKey) {
    for (const char* text : {"", "  ", "ctrl+s, ctrl+p", "nosuchkey"}) {
        EXPECT_FALSE(parseKeyName(QString::fromLatin1(text))) << text;
    }
}

TEST(WindowTitle, LeavesOutEmptyParts) {
    EXPECT_EQ(windowTitle(QStringLiteral("Main Street School"), QStringLiteral("A-101")),
              QStringLiteral("Sheetwise \u2014 Main Street School \u2014 A-101"));
    EXPECT_EQ(windowTitle(QString(), QStringLiteral("A-101")),
              QStringLiteral("Sheetwise \u2014 A-101"));
    EXPECT_EQ(windowTitle(QStringLiteral(" "), QString()), QStringLiteral("Sheetwise"));
}

}  // namespace
}  // namespace sw::viewing
