#include "base/TextUtils.h"

#include <gtest/gtest.h>

TEST(CompareIgnoringCase, SimpleFolding)
{
    EXPECT_EQ(CompareIgnoringCase("Hello", "hELLO"), 0);
    EXPECT_EQ(CompareIgnoringCase(QStringLiteral("Ärger"), QStringLiteral("ärger")), 0);
    EXPECT_NE(CompareIgnoringCase(QStringLiteral("Straße"), QStringLiteral("STRASSE")), 0);
    EXPECT_LT(CompareIgnoringCase("abc", "ABD"), 0);
    EXPECT_GT(CompareIgnoringCase("abcd", "ABC"), 0);
    EXPECT_LT(CompareIgnoringCase("ab", "ABC"), 0);
    // Only the first n characters count.
    EXPECT_EQ(CompareIgnoringCase("FILE.pdf", "file.TEX", 5), 0);
    EXPECT_NE(CompareIgnoringCase("FILE.pdf", "file.TEX", 6), 0);
    EXPECT_LT(CompareIgnoringCase("ab", "abc", 3), 0);
    EXPECT_TRUE(SameTextIgnoringCase(QStringLiteral("ΣΊΣΥΦΟΣ"), QStringLiteral("σίσυφοσ")));
    EXPECT_FALSE(SameTextIgnoringCase("a", "ab"));
}

TEST(TextUtils, SplitAtBarAndStripPrefix)
{
    QString left, right;
    SplitAtBar("cmd|arg|more", left, right);
    EXPECT_EQ(left, "cmd");
    EXPECT_EQ(right, "arg|more");
    SplitAtBar("plain", left, right);
    EXPECT_EQ(left, "plain");
    EXPECT_EQ(right, "");
    QString same = "x|y";
    SplitAtBar(same, same, right);
    EXPECT_EQ(same, "x");
    EXPECT_EQ(right, "y");

    QString text = "-Page-Index=3";
    EXPECT_TRUE(StripPrefix(text, "-page-index="));
    EXPECT_EQ(text, "3");
    EXPECT_FALSE(StripPrefix(text, "34"));
    EXPECT_EQ(text, "3");
}

TEST(TextUtils, HexDigitValue)
{
    const struct {
        char16_t ch;
        int value;
    } cases[] = {{u'0', 0},  {u'1', 1}, {u'9', 9}, {u'A', 10},    {u'f', 15},
                 {u'F', 15}, {u'g', 0}, {u' ', 0}, {u'\xFF11', 0}};
    for (const auto &c : cases)
        EXPECT_EQ(HexDigitValue(QChar(c.ch)), c.value) << int(c.ch);
}
