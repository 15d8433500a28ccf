// The order of file names in the lists: numbers by value, case ignored, also under the C
// locale (CTest runs without LANG) and a Turkish one, and the built-in order that stands in
// when the collator does not order numbers.
#include "app/NaturalCompare.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char *a, *b;
    int sign;
};
const Case kCases[] = {
    {"file2", "file10", -1},         {"file10", "file2", 1}, {"a", "A", 0},
    {"File3", "file10", -1},         {"abc", "abd", -1},     {"x", "x1", -1},
    {"file2.pdf", "file10.pdf", -1},
};

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(NaturalCompareTest, NumbersByValueCaseIgnored)
{
    for (const Case &c : kCases) {
        EXPECT_EQ(Sign(NaturalCompare(c.a, c.b)), c.sign) << c.a << " " << c.b;
        EXPECT_EQ(Sign(BuiltInNaturalCompare(c.a, c.b)), c.sign) << c.a << " " << c.b;
    }
}

TEST(NaturalCompareTest, BuiltInDropsLeadingZeros)
{
    EXPECT_EQ(BuiltInNaturalCompare("file010", "file10"), 0);
    EXPECT_LT(BuiltInNaturalCompare("file009", "file10"), 0);
    EXPECT_GT(BuiltInNaturalCompare("file0100", "file99"), 0);
}

} // namespace
