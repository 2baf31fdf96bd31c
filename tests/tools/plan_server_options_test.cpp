// The plan server's command line and path globs: every rule option, repeated options, and the
// values that must be refused with a message instead of starting a misconfigured server.
#include "planserver/plan_server_options.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

using sw::tools::parsePlanServerArguments;
using sw::tools::PlanServerArguments;

struct GlobCase {
    const char* glob;
    const char* path;
    bool matches;
};

void PrintTo(const GlobCase& c, std::ostream* os) {
    *os << c.glob << " ~ " << c.path;
}

class GlobTest : public ::testing::TestWithParam<GlobCase> {};

TEST_P(GlobTest, MatchesTheWholeDecodedPath) {
    EXPECT_EQ(sw::tools::globMatches(GetParam().glob, GetParam().path), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Globs, GlobTest,
    ::testing::Values(GlobCase{"*", "/2004/0815/plans/A-101.tif", true},
                      GlobCase{"*.tif", "/2004/0815/plans/A-101.tif", true},
                      GlobCase{"*.tif", "/2004/0815/plans/planlist.txt", false},
                      GlobCase{"*/A-102.tif", "/2004/0815/plans/A-102.tif", true},
                      GlobCase{"*/A-102.tif", "/2004/0815/plans/A-1020.tif", false},
                      GlobCase{"A-102.tif", "/2004/0815/plans/A-102.tif", false},
                      GlobCase{"/2004/*/plans/S-*", "/2004/0815/plans/S-201.tif", true},
                      GlobCase{"*/[AS]-10?.tif", "/x/S-105.tif", true},
                      GlobCase{"*/[AS]-10?.tif", "/x/M-105.tif", false},
                      GlobCase{"*/A 101 Site Plan.tif", "/x/A 101 Site Plan.tif", true}));

class ArgumentsTest : public ::testing::Test {
protected:
    PlanServerArguments parse(QStringList arguments) {
        return parsePlanServerArguments(QStringList{"--root", m_root.path()} + arguments);
    }
    QTemporaryDir m_root;
};

// Rules as "glob=value", in order.
QStringList rules(const QList<sw::tools::PathRule>& list) {
    QStringList out;
    for (const sw::tools::PathRule& rule : list) {
        out << rule.glob + '=' + QString::number(rule.value);
    }
    return out;
}

TEST_F(ArgumentsTest, RepeatedRulesKeepTheirOrderAndAGloblessRuleCoversEveryPath) {
    const PlanServerArguments parsed =
        parse({"--status", "*/A-102.tif=404", "--status", "*.tif=500", "--throttle", "20000",
               "--delay-ms", "*.txt=250", "--truncate", "*/S-*", "--stall", "*/M-301.tif",
               "--stall", "*/M-302.tif", "--port", "8123", "--log"});
    ASSERT_TRUE(parsed.options) << parsed.message.toStdString();
    const sw::tools::PlanServerOptions& o = *parsed.options;
    EXPECT_EQ(o.root, m_root.path());
    EXPECT_EQ(rules(o.status), QStringList({"*/A-102.tif=404", "*.tif=500"}));
    EXPECT_EQ(rules(o.throttle), QStringList{"*=20000"});
    EXPECT_EQ(rules(o.delayMs), QStringList{"*.txt=250"});
    EXPECT_EQ(o.truncate, QStringList{"*/S-*"});
    EXPECT_EQ(o.stall, (QStringList{"*/M-301.tif", "*/M-302.tif"}));
    EXPECT_EQ(o.port, 8123);
    EXPECT_TRUE(o.log);
}

struct BadCase {
    const char* name;
    QStringList arguments;
    const char* mentions;  // the message names what is wrong
};

using sw::test::PrintTo;

class BadArgumentsTest : public ArgumentsTest, public ::testing::WithParamInterface<BadCase> {};

TEST_P(BadArgumentsTest, AreRefusedWithAMessage) {
    const PlanServerArguments parsed = parse(GetParam().arguments);
    EXPECT_FALSE(parsed.options);
    EXPECT_FALSE(parsed.helpRequested);
    EXPECT_TRUE(parsed.message.contains(GetParam().mentions)) << parsed.message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadArgumentsTest,
    ::testing::Values(BadCase{"StatusWithoutGlob", {"--status", "404"}, "--status"},
                      BadCase{"StatusOutOfRange", {"--status", "*=99"}, "--status"},
                      BadCase{"StatusNotANumber", {"--status", "*=gone"}, "*=gone"},
                      BadCase{"StatusEmptyGlob", {"--status", "=404"}, "--status"},
                      BadCase{"ThrottleZero", {"--throttle", "0"}, "--throttle"},
                      BadCase{"ThrottleNegative", {"--throttle", "*.tif=-5"}, "--throttle"},
                      BadCase{"DelayNegative", {"--delay-ms", "-1"}, "--delay-ms"},
                      BadCase{"PortTooLarge", {"--port", "70000"}, "70000"},
                      BadCase{"PortText", {"--port", "http"}, "http"},
                      BadCase{"UnknownOption", {"--upload"}, "upload"},
                      BadCase{"MissingValue", {"--stall"}, "stall"},
                      BadCase{"StrayArgument", {"extra"}, "extra"}),
    sw::test::byName);

TEST(PlanServerArguments, RootMustBeGivenAndBeAFolderAndHelpIsNoError) {
    EXPECT_TRUE(parsePlanServerArguments({}).message.contains("--root"));
    const PlanServerArguments missing = parsePlanServerArguments({"--root", "/nonexistent/plans"});
    EXPECT_FALSE(missing.options);
    EXPECT_TRUE(missing.message.contains("/nonexistent/plans"));
    const PlanServerArguments help = parsePlanServerArguments({"--help"});
    EXPECT_TRUE(help.helpRequested);
    EXPECT_TRUE(help.message.contains("--throttle"));
}

}  // namespace
