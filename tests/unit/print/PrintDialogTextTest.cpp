#include "print/CopiesText.h"
#include "print/PreviewLabel.h"

#include <gtest/gtest.h>

TEST(CopiesText, DigitsOfTheText)
{
    const std::vector<std::pair<QString, int>> cases = {
        {u"3"_qs, 3},      {u"1a2"_qs, 12},          {u""_qs, 1},       {u"0"_qs, 1}, {u"x"_qs, 1}, {u"999"_qs, 999},
        {u"1000"_qs, 999}, {QString(30, u'7'), 999}, {u" 0 0 5"_qs, 5},
    };
    for (const auto &[text, copies] : cases)
        EXPECT_EQ(CopiesFromText(text), copies) << text.toStdString();
}

TEST(PreviewLabel, NumberAndLabelWhereTheyTellMore)
{
    const auto roman = [](int p) { return p <= 3 ? QString(u"iii"_qs).left(p) : QString::number(p); };
    const auto plain = [](int p) { return QString::number(p); };
    EXPECT_EQ(PreviewPageLabel(2, {1, 2, 5}, plain), u"Page 2 of 3"_qs);
    EXPECT_EQ(PreviewPageLabel(2, {1, 2, 5}, roman), u"Page 2 of 3 [ii]"_qs);
    EXPECT_EQ(PreviewPageLabel(3, {1, 2, 5}, roman), u"Page 3 of 3 (5)"_qs);
    EXPECT_EQ(PreviewPageLabel(1, {3, 4}, roman), u"Page 1 of 2 (3: iii)"_qs);
}
