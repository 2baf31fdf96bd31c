#include "widgets/property_bag.h"

#include <gtest/gtest.h>

namespace sw::widgets {
namespace {

TEST(PropertyBag, DefaultsAreSkippedAndRewritingTheDefaultRemovesTheKey) {
    PropertyBag bag;
    bag.write("HoverTime", 400, 400);
    EXPECT_FALSE(bag.contains("HoverTime"));
    bag.write("HoverTime", 250, 400);
    bag.write("Max", 24, 36);
    EXPECT_EQ(bag.writtenKeys(), QStringList({"HoverTime", "Max"}));
    bag.write("HoverTime", 400, 400);
    EXPECT_EQ(bag.writtenKeys(), QStringList({"Max"}));
    EXPECT_EQ(bag.read("HoverTime", 400).toInt(), 400);
}

TEST(PropertyBag, ReadConvertsCleanValuesAndRejectsOthers) {
    const PropertyBag bag(
        {{"Number", QStringLiteral("250")}, {"Word", QStringLiteral("soon")}, {"Flag", "true"}});
    EXPECT_EQ(bag.read("Number", 400).toInt(), 250);
    EXPECT_EQ(bag.read("Word", 400).toInt(), 400);
    EXPECT_EQ(bag.read("Flag", false).toBool(), false) << "text is no boolean";
    EXPECT_EQ(bag.read("Missing", 7).toInt(), 7);
}

}  // namespace
}  // namespace sw::widgets
