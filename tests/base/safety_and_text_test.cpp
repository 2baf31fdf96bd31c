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

// Positions are 16-bit: a delimiter at position 32767 is the last one found.
const QString kLongest = QString(32766, 'x') + '/';

INSTANTIATE_TEST_SUITE_P(
    Table, GetPartTable,
    ::testing::Values(GetPartCase{"DriveLevel", "C:\\a\\b\\", "\\", "C:\\", "a\\b\\"},
                      GetPartCase{"DelimiterLast", "abc", "c", "abc", ""},
                      GetPartCase{"DelimiterFirst", "/x/", "/", "/", "x/"},
                      GetPartCase{"EmptyDelimiter", "abc", "", "abc", ""},
                      GetPartCase{"Missing", "abc", "/", "<Overflow>", "abc"},
                      GetPartCase{"TwoCharacterDelimiter", "a//b", "//", "<Overflow>", "a//b"},
                      GetPartCase{"EmptyTextMissing", "", "/", "<Overflow>", ""},
                      GetPartCase{"DelimiterAt32767", kLongest, "/", kLongest, ""},
                      GetPartCase{"DelimiterAt32768", "x" + kLongest, "/", "<Overflow>",
                                  "x" + kLongest}),
    sw::test::byName);

// ---- Safety answers ----------------------------------------------------------------------------

std::optional<QUuid> interfaceId(const char* iid) {
    return iid == nullptr ? std::nullopt : std::optional<QUuid>(QUuid(QString::fromLatin1(iid)));
}

constexpr SafeCtl kOn{true, true};
constexpr SafeCtl kOff{false, false};

// What a container is told about each interface (supported and enabled options), and which
// option it may switch on: exactly the interface's own bit, and only while its switch is on.
struct SafetyCase {
    const char* name;
    const char* iid;  // nullptr: no identifier
    SafeCtl flags;
    HResult getResult;
    std::uint32_t enabled;  // 77: left as it was
    std::uint32_t setMask;
    std::uint32_t setOptions;
    HResult setResult;
};

class SafetyAnswers : public ::testing::TestWithParam<SafetyCase> {};

TEST_P(SafetyAnswers, ReportTheSwitchesAndAcceptExactlyTheInterfacesBit) {
    const SafetyCase& c = GetParam();
    const ObjectSafety safety(c.flags);
    std::uint32_t supported = 0;
    std::uint32_t enabled = 77;
    EXPECT_EQ(safety.GetInterfaceSafetyOptions(interfaceId(c.iid), supported, enabled),
              c.getResult);
    EXPECT_EQ(supported, 3u);
    EXPECT_EQ(enabled, c.enabled);
    EXPECT_EQ(safety.SetInterfaceSafetyOptions(interfaceId(c.iid), c.setMask, c.setOptions),
              c.setResult);
}

const char* const kUnknownIid = "{00000000-0000-0000-C000-000000000046}";

INSTANTIATE_TEST_SUITE_P(
    Table, SafetyAnswers,
    ::testing::Values(
        SafetyCase{"Dispatch", kIDispatch, kOn, kSOk, 1, 1, 1, kSOk},
        SafetyCase{"DispatchLowerCaseBothBits", "{00020400-0000-0000-c000-000000000046}", kOn, kSOk,
                   1, 3, 3, kEFail},
        SafetyCase{"DispatchMaskedToOne", kIDispatch, kOn, kSOk, 1, 1, 3, kSOk},
        SafetyCase{"DispatchZero", kIDispatch, kOn, kSOk, 1, 0, 0, kEFail},
        SafetyCase{"DispatchSwitchOff", kIDispatch, kOff, kSOk, 0, 1, 1, kEFail},
        SafetyCase{"PropertyBag", kIPersistPropertyBag, kOn, kSOk, 2, 2, 2, kSOk},
        SafetyCase{"StreamCallersBit", kIPersistStream, kOn, kSOk, 2, 1, 1, kEFail},
        SafetyCase{"Storage", kIPersistStorage, kOn, kSOk, 2, 2, 2, kSOk},
        SafetyCase{"StorageSwitchOff", kIPersistStorage, kOff, kSOk, 0, 2, 2, kEFail},
        SafetyCase{"Unknown", kUnknownIid, kOn, kENoInterface, 77, 1, 1, kENoInterface},
        SafetyCase{"NoIdentifier", nullptr, kOff, kSOk, 77, 3, 3, kSOk}),
    sw::test::byName);

}  // namespace
}  // namespace sw::base
