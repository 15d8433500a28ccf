#include "print/PageRange.h"

#include <gtest/gtest.h>

namespace {

const QString PageExpected = QStringLiteral("Page number in range 1-20 expected.");
const QString AfterSeparator = QStringLiteral("Page number in range 1-20 expected after a list separator.");
const QString SeparatorExpected = QStringLiteral("Range \"-\" or list\",\" separator expected.");
const QString NoPages = QStringLiteral("No pages match the specified range.");

} // namespace

TEST(PageRange, TableOfFormsAndErrors)
{
    struct Case {
        QString text;
        std::vector<int> pages;
        QString error;
    };
    const QString blanks = QStringLiteral(" \t\r\n\x01\x1f");
    const std::vector<Case> cases = {
        {u"7"_qs, {7}, {}},
        {u"3-5"_qs, {3, 4, 5}, {}},
        {u"5-3"_qs, {3, 4, 5}, {}},
        {u"3-1, 2, 2"_qs, {1, 2, 3}, {}},
        {u"4,4,4-4"_qs, {4}, {}},
        {u"1 - 20"_qs, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, {}},
        {u"2,7-13,19"_qs, {2, 7, 8, 9, 10, 11, 12, 13, 19}, {}},
        {blanks + u"2"_qs + blanks + u"-"_qs + blanks + u"3"_qs + blanks + u","_qs + blanks + u"9"_qs + blanks,
         {2, 3, 9},
         {}},
        {u"20"_qs, {20}, {}},
        {u"0"_qs, {}, PageExpected},
        {u"21"_qs, {}, PageExpected},
        {u"3-21"_qs, {}, PageExpected},
        {u"000000000005"_qs, {5}, {}},
        {u"100000000005"_qs, {}, PageExpected},
        {u"4294967297"_qs, {}, PageExpected}, // wraps to 1 in 32 bits
        {u"3-"_qs, {}, PageExpected},
        {u"3-x"_qs, {}, PageExpected},
        {u"5,"_qs, {}, AfterSeparator},
        {u"5, \t"_qs, {}, AfterSeparator},
        {u",5"_qs, {}, PageExpected},
        {u"5,,6"_qs, {}, PageExpected},
        {u"-5"_qs, {}, PageExpected},
        {u"abc"_qs, {}, PageExpected},
        {u"1 2"_qs, {}, SeparatorExpected},
        {u"1\u30002"_qs, {}, SeparatorExpected},
        {u"\u30001"_qs, {}, PageExpected},
        {u"3-4-5"_qs, {}, SeparatorExpected},
        {u"2;3"_qs, {}, SeparatorExpected},
        {u""_qs, {}, NoPages},
        {u"  \t "_qs, {}, NoPages},
    };
    for (const Case &c : cases) {
        const TPageRangeParse r = ParsePageRange(c.text, 20);
        EXPECT_EQ(r.error, c.error) << c.text.toStdString();
        EXPECT_EQ(r.pages, c.pages) << c.text.toStdString();
    }
}

TEST(PageRange, ErrorTextAddsTheExample)
{
    EXPECT_EQ(PageRangeErrorText(NoPages),
              u"No pages match the specified range.\r\n\r\nSpecify a non-empty, comma separated list of pages and "
              "ranges (e.g. 2,7-13,19)."_qs);
}

TEST(PageList, ChoicesAndOddEvenRules)
{
    struct Case {
        const char *what;
        TPageChoice choice;
        TOddEven oddEven;
        int count;
        QString range;
        std::vector<int> pages;
        TOddEven oddEvenAfter;
        bool oddEvenEnabled;
        QString rangeText;
        bool rangeEnabled;
    };
    const std::vector<Case> cases = {
        {"all", TPageChoice::All, TOddEven::Both, 5, {}, {1, 2, 3, 4, 5}, TOddEven::Both, true, u"1 - 5"_qs, false},
        {"all odd", TPageChoice::All, TOddEven::Odd, 5, {}, {1, 3, 5}, TOddEven::Odd, true, u"1 - 5"_qs, false},
        {"all even", TPageChoice::All, TOddEven::Even, 5, {}, {2, 4}, TOddEven::Even, true, u"1 - 5"_qs, false},
        {"one page", TPageChoice::All, TOddEven::Even, 1, {}, {1}, TOddEven::Both, false, u"1 - 1"_qs, false},
        {"current", TPageChoice::Current, TOddEven::Even, 5, {}, {3}, TOddEven::Both, false, u"3"_qs, false},
        {"range odd", TPageChoice::Range, TOddEven::Odd, 5, u"1-4"_qs, {1, 3}, TOddEven::Odd, true, u"1-4"_qs, true},
        {"2,4 odd", TPageChoice::Range, TOddEven::Odd, 5, u"2,4"_qs, {2, 4}, TOddEven::Both, true, u"2,4"_qs, true},
    };
    for (const Case &c : cases) {
        const TPageList l = ComputePageList(c.choice, c.oddEven, c.count, 3, c.range);
        EXPECT_TRUE(l.error.isEmpty()) << c.what;
        EXPECT_EQ(l.pages, c.pages) << c.what;
        EXPECT_EQ(l.oddEven, c.oddEvenAfter) << c.what;
        EXPECT_EQ(l.oddEvenEnabled, c.oddEvenEnabled) << c.what;
        EXPECT_EQ(l.rangeText, c.rangeText) << c.what;
        EXPECT_EQ(l.rangeEnabled, c.rangeEnabled) << c.what;
    }
}

TEST(PageList, RangeErrorKeepsNoPagesAndTellsWhy)
{
    const TPageList l = ComputePageList(TPageChoice::Range, TOddEven::Odd, 5, 1, u"1 2"_qs);
    EXPECT_EQ(l.error, SeparatorExpected);
    EXPECT_TRUE(l.pages.empty());
    EXPECT_EQ(l.oddEven, TOddEven::Odd) << "an error changes no choice";
}
