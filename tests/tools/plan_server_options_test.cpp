// The plan server's command line and path globs: the rule options, repeated options, and the
// values that must be refused with a message instead of starting a misconfigured server (the
// --status and --truncate rules at work: plan_server_test.cpp; the root and help:
// planserver_process_test.cpp).
#include "planserver/plan_server_options.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

using sw::test::PrintTo;
using sw::tools::parsePlanServerArguments;
using sw::tools::PlanServerArguments;

// A glob matches the whole decoded path; "*" spans "/" too.
TEST(Glob, MatchesTheWholeDecodedPath) {
    const std::tuple<const char*, const char*, bool> table[] = {
        {"*", "/2004/0815/plans/A-101.tif", true},
        {"*.tif", "/2004/0815/plans/planlist.txt", false},
        {"*/A-102.tif", "/2004/0815/plans/A-1020.tif", false},
        {"A-102.tif", "/2004/0815/plans/A-102.tif", false},
        {"/2004/*/plans/S-*", "/2004/0815/plans/S-201.tif", true},
        {"*/[AS]-10?.tif", "/x/S-105.tif", true},
        {"*/[AS]-10?.tif", "/x/M-105.tif", false},
        {"*/A 101 Site Plan.tif", "/x/A 101 Site Plan.tif", true}};
    for (const auto& [glob, path, matches] : table) {
        EXPECT_EQ(sw::tools::globMatches(glob, path), matches) << glob << " ~ " << path;
    }
}

// Rules keep the order they were given in; a rule without a glob covers every path.
TEST(PlanServerArguments, RepeatedRulesKeepTheirOrderAndAGloblessRuleCoversEveryPath) {
    const PlanServerArguments parsed = parsePlanServerArguments(
        {"--root", QDir::tempPath(), "--throttle", "20000", "--delay-ms", "*.txt=250", "--stall",
         "*/M-301.tif", "--stall", "*/M-302.tif", "--port", "8123", "--log"});
    ASSERT_TRUE(parsed.options) << parsed.message.toStdString();
    const sw::tools::PlanServerOptions& o = *parsed.options;
    EXPECT_EQ(QString("%1=%2 %3=%4")
                  .arg(o.throttle.value(0).glob)
                  .arg(o.throttle.value(0).value)
                  .arg(o.delayMs.value(0).glob)
                  .arg(o.delayMs.value(0).value),
              "*=20000 *.txt=250");
    EXPECT_EQ(o.stall, (QStringList{"*/M-301.tif", "*/M-302.tif"}));
    EXPECT_EQ(o.port, 8123);
    EXPECT_TRUE(o.log);
}

struct BadCase {
    const char* name;
    QStringList arguments;
    const char* mentions;  // the message names what is wrong
};

class BadArguments : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadArguments, AreRefusedWithAMessage) {
    const PlanServerArguments parsed =
        parsePlanServerArguments(QStringList{"--root", QDir::tempPath()} + GetParam().arguments);
    EXPECT_FALSE(parsed.options);
    EXPECT_FALSE(parsed.helpRequested);
    EXPECT_TRUE(parsed.message.contains(GetParam().mentions)) << parsed.message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadArguments,
    ::testing::Values(BadCase{"StatusWithoutGlob", {"--status", "404"}, "--status"},
                      BadCase{"StatusOutOfRange", {"--status", "*=99"}, "--status"},
                      BadCase{"StatusNotANumber", {"--status", "*=gone"}, "*=gone"},
                      BadCase{"ThrottleZero", {"--throttle", "0"}, "--throttle"},
                      BadCase{"DelayNegative", {"--delay-ms", "-1"}, "--delay-ms"},
                      BadCase{"PortTooLarge", {"--port", "70000"}, "70000"},
                      BadCase{"UnknownOption", {"--upload"}, "upload"},
                      BadCase{"MissingValue", {"--stall"}, "stall"},
                      BadCase{"StrayArgument", {"extra"}, "extra"}),
    sw::test::byName);

}  // namespace
