#include "settings/Colors.h"
#include "settings/DataFile.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

struct TextCase {
    const char *text;
    int32_t value;
};

class ColorText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ColorText, Parses)
{
    EXPECT_EQ(ColorFromText(QString::fromUtf8(GetParam().text)), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Table, ColorText,
                         ::testing::Values(TextCase{"#AA0000", 0x0000AA}, // red, swapped into 0x00BBGGRR
                                           TextCase{"$AA0000", 0xAA0000}, // taken as written: blue
                                           TextCase{"#FF00FF", 0xFF00FF}, TextCase{"#3D3623", 0x23363D},
                                           TextCase{"255", 255}, TextCase{"-1", -1},
                                           TextCase{"#1000000", -1}, // above FFFFFF
                                           TextCase{"-2", -1}, TextCase{"red", -1}, TextCase{"", -1}));

TEST(Colors, DefaultsOfTheDocumentViewSets)
{
    LoadColorDefaults();
    EXPECT_EQ(Colors.PdfLight[cc_FoundString].name, QStringLiteral("cr_FoundString"));
    EXPECT_EQ(Colors.PdfLight[cc_FoundStrings].name, QStringLiteral("cr_FoundStrings"));
    EXPECT_EQ(Colors.PdfDark[cc_FoundStrings].name, QStringLiteral("cr_FoundStrings"));
    EXPECT_EQ(Colors.PdfLight[cc_Tree].name, QStringLiteral("cr_Bookmarks"));
    EXPECT_EQ(Colors.PdfLight[cc_Tree].B, ColorFromText(QStringLiteral("#3D3623")));
    EXPECT_EQ(Colors.PdfDark[cc_TextSelect].B, ColorFromText(QStringLiteral("#0058A8")));
    EXPECT_EQ(Colors.PdfLight[cc_ForwardSearch].W, ColorFromText(QStringLiteral("#F08650")));
    EXPECT_EQ(Colors.Pdf, Colors.PdfLight);
    EXPECT_EQ(Colors.Theme, Colors.ThemeSystem);
}

TEST(Colors, DarkTreeSelectionsAreMixturesOfBlackAndBlue)
{
    LoadColorDefaults();
    EXPECT_EQ(Colors.ThemeDark[tvcSelectedFocusedBk].def, ColorFromText(QStringLiteral("#2D5AB3")));
    EXPECT_EQ(Colors.ThemeDark[tvcSelectedBk].def, ColorFromText(QStringLiteral("#264D99")));
    EXPECT_EQ(Colors.ThemeDark[tvcSelectedBk].val, Colors.ThemeDark[tvcSelectedBk].def);
    EXPECT_EQ(Colors.ThemeLight[tbcCustomLabelText].name, QStringLiteral("Toobar Label Text"));
}

TEST(Colors, SystemColoursStayDistinctAndResolveAgainstTheRememberedPalette)
{
    QPalette system;
    system.setColor(QPalette::Base, QColor(1, 2, 3));
    system.setColor(QPalette::Text, QColor(10, 20, 30));
    system.setColor(QPalette::Disabled, QPalette::Text, QColor(7, 7, 7));
    RememberSystemPalette(system);
    LoadColorDefaults();

    const int32_t window = Colors.ThemeSystem[tbcCustomBk].val;
    EXPECT_TRUE(IsSystemColor(window));
    EXPECT_EQ(window, SystemColor(COLOR_WINDOW));
    EXPECT_NE(window, clNone);
    EXPECT_EQ(ResolveColor(window), RgbColor(0x010203));
    EXPECT_EQ(ResolveColor(SystemColor(COLOR_GRAYTEXT)), RgbColor(0x070707));
    EXPECT_EQ(ToQColor(window), QColor(1, 2, 3));
    EXPECT_FALSE(ToQColor(clNone).isValid());
    // "Tree Lines" is fixed at start to the window text colour of that moment.
    EXPECT_EQ(Colors.ThemeSystem[tvcLines].val, RgbColor(0x0A141E));

    // A theme changing the application palette later does not feed back.
    QPalette themed = system;
    themed.setColor(QPalette::Base, Qt::black);
    QGuiApplication::setPalette(themed);
    EXPECT_EQ(ResolveColor(window), RgbColor(0x010203));
    QGuiApplication::setPalette(QPalette());
}

TEST(Colors, SelectionsChooseTheSets)
{
    LoadColorDefaults();
    for (int mode : {1, 2}) {
        SelectPdfColors(mode);
        EXPECT_EQ(Colors.Pdf, Colors.PdfDark) << mode;
    }
    SelectPdfColors(0);
    EXPECT_EQ(Colors.Pdf, Colors.PdfLight);
    SelectThemeColors(1);
    EXPECT_EQ(Colors.Theme, Colors.ThemeDark);
    SelectThemeColors(2);
    EXPECT_EQ(Colors.Theme, Colors.ThemeLight);
    SelectThemeColors(7);
    EXPECT_EQ(Colors.Theme, Colors.ThemeLight);
    SelectThemeColors(0);
    EXPECT_EQ(Colors.Theme, Colors.ThemeSystem);
}

TEST(Colors, StorageOrderInTheDataFile)
{
    LoadColorDefaults();
    MenuColors = DefaultMenuColors();
    TDataFile df;
    df.Rewrite(0, 0);
    ASSERT_TRUE(WritePdfColorSets(df));
    ASSERT_TRUE(WriteMenuColorSets(df));
    const QStringList lines = df.Text().toString().split('\n');
    // Light set entry 0, then entry 1 ...; an empty line after each set of 8 entries.
    EXPECT_EQ(lines[0], QString::number(RgbColor(0xFF00FF)));
    EXPECT_EQ(lines[2], QStringLiteral("cr_Origin"));
    EXPECT_EQ(lines[3], QString::number(RgbColor(0x3D3623)));
    EXPECT_EQ(lines[24], QString());
    EXPECT_EQ(lines[25 + 3 * cc_TextSelect], QString::number(RgbColor(0x0058A8)));
    EXPECT_EQ(lines[49], QString());
    // Menu sets: values 5-8 first, then 1-4.
    EXPECT_EQ(lines[50], QString::number(RgbColor(0x6B7891)));
    EXPECT_EQ(lines[54], QString());
    EXPECT_EQ(lines[55], QString::number(RgbColor(0xF0F0F0)));
    EXPECT_EQ(lines[60], QString::number(RgbColor(0x3B4861)));
    EXPECT_EQ(lines[65], QString::number(RgbColor(0x1B2841)));

    // Reading restores what was written.
    const TColors written = Colors;
    Colors.PdfLight[cc_Workspace].W = 0;
    Colors.PdfDark[cc_Origin].name.clear();
    MenuColors[1][7] = 5;
    df.Reset();
    ASSERT_TRUE(ReadPdfColorSets(df));
    ASSERT_TRUE(ReadMenuColorSets(df));
    EXPECT_EQ(Colors.PdfLight, written.PdfLight);
    EXPECT_EQ(Colors.PdfDark, written.PdfDark);
    EXPECT_EQ(MenuColors, DefaultMenuColors());
}

} // namespace
