// The colour text of the preferences: what Edit Colors shows and Import Colors reads back.
#include "settings/ColorText.h"
#include "settings/Colors.h"

#include <gtest/gtest.h>

namespace {

TColorTextSets Defaults()
{
    LoadColorDefaults();
    return TColorTextSets{DefaultMenuColors(), Colors.PdfLight, Colors.PdfDark};
}

TEST(ColorTextTest, DefaultsAsText)
{
    const QString text = ExportColors(Defaults());
    const QString expectedStart = QStringLiteral("// Light Theme (Active Window):\r\n"
                                                 "#6B7891 TitleBarBk\r\n"
                                                 "#F8F8F8 TitleBarText\r\n"
                                                 "#808080 WindowBorder\r\n"
                                                 "> 0 BorderWidth\r\n"
                                                 "\r\n"
                                                 "// Light Theme (Inctive Window):\r\n"
                                                 "#F0F0F0 TitleBarBk\r\n"
                                                 "#808080 TitleBarText\r\n"
                                                 "#B0B0B0 WindowBorder\r\n"
                                                 "> 0 BorderWidth\r\n"
                                                 "\r\n"
                                                 "// Dark Theme (Active Window):\r\n"
                                                 "#3B4861 TitleBarBk\r\n"
                                                 "#F4F4F4 TitleBarText\r\n"
                                                 "#747474 WindowBorder\r\n"
                                                 "> 0 BorderWidth\r\n"
                                                 "\r\n"
                                                 "// Dark Theme (Inctive Window):\r\n"
                                                 "#1B2841 TitleBarBk\r\n"
                                                 "#C0C0C0 TitleBarText\r\n"
                                                 "#484848 WindowBorder\r\n"
                                                 "> 0 BorderWidth\r\n"
                                                 "\r\n"
                                                 "* --=============================\r\n"
                                                 "\r\n"
                                                 "// Light Mode Colors  ...\r\n"
                                                 "#FF00FF lcr_OriginB\r\n"
                                                 "#FF00FF lcr_OriginW\r\n"
                                                 "\r\n"
                                                 "#3D3623 lcr_BookmarksB\r\n"
                                                 "#FCFCFC lcr_BookmarksW\r\n");
    EXPECT_TRUE(text.startsWith(expectedStart)) << text.left(expectedStart.size()).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n// Dark Mode Colors ...\r\n#FF00FF dcr_OriginB\r\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("#008080 dcr_ForwardSearchB\r\n#FFFFFF dcr_ForwardSearchW\r\n\r\n")));
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 4 * 6 + 2 + 2 * (1 + 3 * cc_Last));
}

TEST(ColorTextTest, ExportThenImportRestoresEveryValue)
{
    TColorTextSets changed = Defaults();
    changed.frames[1][5] = RgbColor(0x123456);
    changed.frames[0][3] = 7;
    changed.light[cc_FoundString].W = RgbColor(0xABCDEF);
    changed.dark[cc_Workspace].B = RgbColor(0x010203);
    const QString text = ExportColors(changed);
    TColorTextSets read = Defaults();
    const TColorImport r = ImportColors(text, read);
    EXPECT_TRUE(r.ok()) << r.line << " " << r.text.toStdString();
    EXPECT_EQ(read, changed);
}

struct TBadLine {
    const char *name;
    const char *line;
};

TEST(ColorTextTest, MalformedLinesAreRefusedAndReportedEarlierLinesKept)
{
    const TBadLine cases[] = {
        {"bad colour", "#12345G lcr_OriginB"},
        {"unknown name", "#123456 lcr_NothingB"},
        {"no B or W", "#123456 lcr_Origin"},
        {"neither l nor d", "#123456 xcr_OriginB"},
    };
    for (const TBadLine &c : cases) {
        SCOPED_TRACE(c.name);
        TColorTextSets sets = Defaults();
        const QString text = QStringLiteral("* start\r\n#0A0B0C lcr_WorkspaceW\r\n") + QLatin1String(c.line)
            + QStringLiteral("\r\n#0D0E0F dcr_WorkspaceW\r\n");
        const TColorImport r = ImportColors(text, sets);
        EXPECT_EQ(r.line, 3);
        EXPECT_EQ(r.text, QLatin1String(c.line));
        EXPECT_EQ(sets.light[cc_Workspace].W, RgbColor(0x0A0B0C));
        EXPECT_EQ(sets.dark[cc_Workspace].W, RgbColor(0x0D0E0F));
    }
}

TEST(ColorTextTest, FrameLinesRefused)
{
    const TBadLine cases[] = {
        {"a fourth colour", "#111111 a\r\n#222222 b\r\n#333333 c\r\n#444444 d\r\n"},
        {"width above 99", "#111111 a\r\n> 100 BorderWidth\r\n"},
        {"bad colour", "#11111 a\r\n"},
    };
    for (const TBadLine &c : cases) {
        SCOPED_TRACE(c.name);
        TColorTextSets sets = Defaults();
        const TColorImport r = ImportColors(QLatin1String(c.line), sets);
        EXPECT_FALSE(r.ok());
        // The first caption read stays applied (light, active).
        if (QLatin1String(c.line).startsWith(QLatin1String("#111111"))) {
            EXPECT_EQ(sets.frames[0][4], RgbColor(0x111111));
        }
    }
    TColorTextSets sets = Defaults();
    EXPECT_EQ(ImportColors(QStringLiteral("#111111 a\r\n> 100 BorderWidth\r\n"), sets).line, 2);
    EXPECT_EQ(sets.frames[0][7], 0);
}

} // namespace
