#include "support/qt_print.h"
#include <gtest/gtest.h>

#include "host/get_part.h"
#include "host/object_safety.h"
#include "host/script_error.h"

namespace sw::host {
namespace {

// ---- GetPart -----------------------------------------------------------------------------------

struct GetPartCase {
    const char* name;
    QString text;
    QString delimiter;
    QString part;  // "<overflow>": the call fails
    QString rest;
};

void PrintTo(const GetPartCase& c, std::ostream* os) {
    *os << c.name;
}

class GetPartTable : public ::testing::TestWithParam<GetPartCase> {};

TEST_P(GetPartTable, CutsUpToAndIncludingTheDelimiter) {
    const GetPartCase& c = GetParam();
    QString text = c.text;
    if (c.part == "<overflow>") {
        try {
            GetPart(text, c.delimiter);
            FAIL() << "no overflow";
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.description(), "Overflow");
        }
    } else {
        EXPECT_EQ(GetPart(text, c.delimiter), c.part);
    }
    EXPECT_EQ(text, c.rest);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GetPartTable,
    ::testing::Values(GetPartCase{"DriveLevel", "C:\\a\\b\\", "\\", "C:\\", "a\\b\\"},
                      GetPartCase{"SecondLevel", "a\\b\\", "\\", "a\\", "b\\"},
                      GetPartCase{"DelimiterLast", "abc", "c", "abc", ""},
                      GetPartCase{"DelimiterFirst", "/x/", "/", "/", "x/"},
                      GetPartCase{"EmptyDelimiter", "abc", "", "abc", ""},
                      GetPartCase{"EmptyTextEmptyDelimiter", "", "", "", ""},
                      GetPartCase{"Missing", "abc", "/", "<overflow>", "abc"},
                      GetPartCase{"TwoCharacterDelimiter", "a//b", "//", "<overflow>", "a//b"},
                      GetPartCase{"EmptyTextMissing", "", "/", "<overflow>", ""}));

TEST(GetPartLimits, DelimiterAtPosition32767IsFoundOnePastIsNot) {
    QString text = QString(32766, 'x') + '/';
    EXPECT_EQ(GetPart(text, "/").size(), 32767);
    QString longer = QString(32767, 'x') + '/';
    EXPECT_THROW(GetPart(longer, "/"), ScriptError);
    EXPECT_EQ(longer.size(), 32768);
}

TEST(GetPartLimits, RepeatedCallsRebuildThePath) {
    QString path = "/home/u/SheetwisePlans/north/1-2/";
    QString rebuilt;
    while (!path.isEmpty()) {
        const QString part = GetPart(path, "/");
        EXPECT_TRUE(part.endsWith('/'));
        rebuilt += part;
    }
    EXPECT_EQ(rebuilt, "/home/u/SheetwisePlans/north/1-2/");
}

// ---- Safety answers ----------------------------------------------------------------------------

struct SafetyCase {
    const char* name;
    const char* iid;  // nullptr: no identifier
    SafeCtl flags;
    HResult result;
    std::uint32_t enabled;  // 77: left as it was
};

void PrintTo(const SafetyCase& c, std::ostream* os) {
    *os << c.name;
}

class GetSafetyTable : public ::testing::TestWithParam<SafetyCase> {};

TEST_P(GetSafetyTable, ReportsSupportedAndEnabled) {
    const SafetyCase& c = GetParam();
    std::uint32_t supported = 0;
    std::uint32_t enabled = 77;
    const std::optional<QUuid> iid =
        c.iid == nullptr ? std::nullopt : std::optional<QUuid>(QUuid(QString::fromLatin1(c.iid)));
    EXPECT_EQ(ObjectSafety(c.flags).GetInterfaceSafetyOptions(iid, supported, enabled), c.result);
    EXPECT_EQ(supported, 3u);
    EXPECT_EQ(enabled, c.enabled);
}

constexpr SafeCtl kOn{true, true};
constexpr SafeCtl kOff{false, false};

INSTANTIATE_TEST_SUITE_P(
    Table, GetSafetyTable,
    ::testing::Values(
        SafetyCase{"Dispatch", kIDispatch, kOn, kSOk, 1},
        SafetyCase{"DispatchLowerCase", "{00020400-0000-0000-c000-000000000046}", kOn, kSOk, 1},
        SafetyCase{"DispatchSwitchOff", kIDispatch, kOff, kSOk, 0},
        SafetyCase{"PropertyBag", kIPersistPropertyBag, kOn, kSOk, 2},
        SafetyCase{"Stream", kIPersistStream, kOn, kSOk, 2},
        SafetyCase{"Storage", kIPersistStorage, kOn, kSOk, 2},
        SafetyCase{"StorageSwitchOff", kIPersistStorage, kOff, kSOk, 0},
        SafetyCase{"Unknown", "{00000000-0000-0000-C000-000000000046}", kOn, kENoInterface, 77},
        SafetyCase{"NoIdentifier", nullptr, kOn, kSOk, 77}));

struct SetSafetyCase {
    const char* name;
    const char* iid;
    std::uint32_t mask;
    std::uint32_t options;
    SafeCtl flags;
    HResult result;
};

void PrintTo(const SetSafetyCase& c, std::ostream* os) {
    *os << c.name;
}

class SetSafetyTable : public ::testing::TestWithParam<SetSafetyCase> {};

TEST_P(SetSafetyTable, AcceptsExactlyTheInterfacesBit) {
    const SetSafetyCase& c = GetParam();
    const std::optional<QUuid> iid =
        c.iid == nullptr ? std::nullopt : std::optional<QUuid>(QUuid(QString::fromLatin1(c.iid)));
    EXPECT_EQ(ObjectSafety(c.flags).SetInterfaceSafetyOptions(iid, c.mask, c.options), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetSafetyTable,
    ::testing::Values(SetSafetyCase{"DispatchOne", kIDispatch, 1, 1, kOn, kSOk},
                      SetSafetyCase{"DispatchBoth", kIDispatch, 3, 3, kOn, kEFail},
                      SetSafetyCase{"DispatchMaskedToOne", kIDispatch, 1, 3, kOn, kSOk},
                      SetSafetyCase{"DispatchZero", kIDispatch, 0, 0, kOn, kEFail},
                      SetSafetyCase{"DispatchTwo", kIDispatch, 2, 2, kOn, kEFail},
                      SetSafetyCase{"DispatchSwitchOff", kIDispatch, 1, 1, kOff, kEFail},
                      SetSafetyCase{"BagTwo", kIPersistPropertyBag, 2, 2, kOn, kSOk},
                      SetSafetyCase{"BagOne", kIPersistPropertyBag, 1, 1, kOn, kEFail},
                      SetSafetyCase{"StreamSwitchOff", kIPersistStream, 2, 2, kOff, kEFail},
                      SetSafetyCase{"Unknown", "{11111111-2222-3333-4444-555555555555}", 1, 1, kOn,
                                    kENoInterface},
                      SetSafetyCase{"NoIdentifier", nullptr, 3, 3, kOff, kSOk}));

TEST(SafeCtl, LibraryLoadTurnsBothSwitchesOn) {
    EXPECT_TRUE(safeCtl().SafeForScripting);
    EXPECT_TRUE(safeCtl().SafeForInitializing);
    EXPECT_TRUE(ObjectSafety().allowsScripting());
    EXPECT_FALSE(ObjectSafety(kOff).allowsScripting());
    EXPECT_EQ(safeClassNames().size(), 8);
}

TEST(RegistryGuidText, UpperCaseWithBraces) {
    EXPECT_EQ(registryGuidText(QUuid("37d84f60-42cb-11ce-8135-00aa004bb851")),
              QString::fromLatin1(kIPersistPropertyBag));
}

}  // namespace
}  // namespace sw::host
