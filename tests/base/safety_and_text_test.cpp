#include "support/test_paths.h"
#include <gtest/gtest.h>

#include "base/get_part.h"
#include "base/object_safety.h"
#include "base/script_error.h"

namespace sw::base {
namespace {

using sw::test::PrintTo;

// ---- GetPart -----------------------------------------------------------------------------------

struct GetPartCase {
    const char* name;
    QString text;
    QString delimiter;
    QString part;  // "<description>" when the call fails
    QString rest;
};

class GetPartTable : public ::testing::TestWithParam<GetPartCase> {};

TEST_P(GetPartTable, CutsUpToAndIncludingTheDelimiter) {
    QString text = GetParam().text;
    QString part;
    try {
        part = GetPart(text, GetParam().delimiter);
    } catch (const ScriptError& e) {
        part = "<" + e.description() + ">";
    }
    EXPECT_EQ(QStringList({part, text}), QStringList({GetParam().part, GetParam().rest}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, GetPartTable,
    ::testing::Values(GetPartCase{"DriveLevel", "C:\\a\\b\\", "\\", "C:\\", "a\\b\\"},
                      GetPartCase{"DelimiterLast", "abc", "c", "abc", ""},
                      GetPartCase{"DelimiterFirst", "/x/", "/", "/", "x/"},
                      GetPartCase{"EmptyDelimiter", "abc", "", "abc", ""},
                      GetPartCase{"Missing", "abc", "/", "<Overflow>", "abc"},
                      GetPartCase{"TwoCharacterDelimiter", "a//b", "//", "<Overflow>", "a//b"},
                      GetPartCase{"EmptyTextMissing", "", "/", "<Overflow>", ""}),
    sw::test::byName);

TEST(GetPartLimits, DelimiterAtPosition32767IsFoundOnePastIsNot) {
    QString text = QString(32766, 'x') + '/';
    EXPECT_EQ(GetPart(text, "/").size(), 32767);
    QString longer = QString(32767, 'x') + '/';
    EXPECT_THROW(GetPart(longer, "/"), ScriptError);
    EXPECT_EQ(longer.size(), 32768);
}

// ---- Safety answers ----------------------------------------------------------------------------

std::optional<QUuid> interfaceId(const char* iid) {
    return iid == nullptr ? std::nullopt : std::optional<QUuid>(QUuid(QString::fromLatin1(iid)));
}

constexpr SafeCtl kOn{true, true};
constexpr SafeCtl kOff{false, false};

struct SafetyCase {
    const char* name;
    const char* iid;  // nullptr: no identifier
    SafeCtl flags;
    HResult result;
    std::uint32_t enabled;  // 77: left as it was
};

class GetSafetyTable : public ::testing::TestWithParam<SafetyCase> {};

TEST_P(GetSafetyTable, ReportsSupportedAndEnabled) {
    const SafetyCase& c = GetParam();
    std::uint32_t supported = 0;
    std::uint32_t enabled = 77;
    EXPECT_EQ(
        ObjectSafety(c.flags).GetInterfaceSafetyOptions(interfaceId(c.iid), supported, enabled),
        c.result);
    EXPECT_EQ(supported, 3u);
    EXPECT_EQ(enabled, c.enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GetSafetyTable,
    ::testing::Values(
        SafetyCase{"Dispatch", kIDispatch, kOn, kSOk, 1},
        SafetyCase{"DispatchLowerCase", "{00020400-0000-0000-c000-000000000046}", kOn, kSOk, 1},
        SafetyCase{"DispatchSwitchOff", kIDispatch, kOff, kSOk, 0},
        SafetyCase{"PropertyBag", kIPersistPropertyBag, kOn, kSOk, 2},
        SafetyCase{"Stream", kIPersistStream, kOn, kSOk, 2},
        SafetyCase{"StorageSwitchOff", kIPersistStorage, kOff, kSOk, 0},
        SafetyCase{"Unknown", "{00000000-0000-0000-C000-000000000046}", kOn, kENoInterface, 77},
        SafetyCase{"NoIdentifier", nullptr, kOn, kSOk, 77}),
    sw::test::byName);

struct SetSafetyCase {
    const char* name;
    const char* iid;
    std::uint32_t mask;
    std::uint32_t options;
    SafeCtl flags;
    HResult result;
};

class SetSafetyTable : public ::testing::TestWithParam<SetSafetyCase> {};

TEST_P(SetSafetyTable, AcceptsExactlyTheInterfacesBit) {
    const SetSafetyCase& c = GetParam();
    EXPECT_EQ(
        ObjectSafety(c.flags).SetInterfaceSafetyOptions(interfaceId(c.iid), c.mask, c.options),
        c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetSafetyTable,
    ::testing::Values(SetSafetyCase{"DispatchOne", kIDispatch, 1, 1, kOn, kSOk},
                      SetSafetyCase{"DispatchBoth", kIDispatch, 3, 3, kOn, kEFail},
                      SetSafetyCase{"DispatchMaskedToOne", kIDispatch, 1, 3, kOn, kSOk},
                      SetSafetyCase{"DispatchZero", kIDispatch, 0, 0, kOn, kEFail},
                      SetSafetyCase{"DispatchSwitchOff", kIDispatch, 1, 1, kOff, kEFail},
                      SetSafetyCase{"BagTwo", kIPersistPropertyBag, 2, 2, kOn, kSOk},
                      SetSafetyCase{"BagOne", kIPersistPropertyBag, 1, 1, kOn, kEFail},
                      SetSafetyCase{"StorageTwo", kIPersistStorage, 2, 2, kOn, kSOk},
                      SetSafetyCase{"StreamSwitchOff", kIPersistStream, 2, 2, kOff, kEFail},
                      SetSafetyCase{"Unknown", "{11111111-2222-3333-4444-555555555555}", 1, 1, kOn,
                                    kENoInterface},
                      SetSafetyCase{"NoIdentifier", nullptr, 3, 3, kOff, kSOk}),
    sw::test::byName);

}  // namespace
}  // namespace sw::base
