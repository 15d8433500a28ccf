#include "app/ToolbarLanguage.h"
#include "settings/ToolbarDefinition.h"

#include <QFont>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

struct Log {
    QStringList lines;
    TToolbarLog sink()
    {
        return [this](const QString &s) { lines << s; };
    }
};

std::vector<TXToolbarItem> compile(const QStringList &lines, Log &log)
{
    return TToolbarLanguage::Compile(lines, log.sink());
}

struct ItemCase {
    const char *line;
    bool kept;
    TToolbarItemKind kind;
    const char *name;
    char flag;
    int priority;
    const char *extra;   // nullptr: none given
    const char *caption; // nullptr: none given
    const char *logged;  // nullptr: nothing
};

class ToolbarItemLine : public ::testing::TestWithParam<ItemCase> {};

TEST_P(ToolbarItemLine, Parses)
{
    const ItemCase &c = GetParam();
    Log log;
    const auto items = compile({QString::fromUtf8(c.line)}, log);
    ASSERT_EQ(items.size(), c.kept ? 1u : 0u) << c.line;
    EXPECT_EQ(log.lines, c.logged ? QStringList{QString::fromUtf8(c.logged)} : QStringList()) << c.line;
    if (!c.kept)
        return;
    const TXToolbarItem &item = items.front();
    EXPECT_EQ(item.xtype, c.kind);
    EXPECT_EQ(item.name, QString::fromUtf8(c.name));
    EXPECT_EQ(item.flt, QChar(c.flag));
    EXPECT_EQ(item.priority, c.priority);
    EXPECT_EQ(item.fltprior, c.priority);
    EXPECT_EQ(item.hasExtra, c.extra != nullptr);
    EXPECT_EQ(item.extra, QString::fromUtf8(c.extra ? c.extra : ""));
    EXPECT_EQ(item.hasCaption, c.caption != nullptr);
    EXPECT_EQ(item.caption, QString::fromUtf8(c.caption ? c.caption : ""));
    EXPECT_FALSE(item.vis);
}

using K = TToolbarItemKind;
INSTANTIATE_TEST_SUITE_P(
    Table, ToolbarItemLine,
    ::testing::Values(
        ItemCase{"9 Open", true, K::Button, "Open", ' ', 9, nullptr, nullptr, nullptr},
        ItemCase{"2S FindNext", true, K::Button, "FindNext", 'S', 2, nullptr, nullptr, nullptr},
        ItemCase{"9 ShowBookmarks \"Bookmark\"", true, K::Button, "ShowBookmarks", ' ', 9, "Bookmark", nullptr,
                 nullptr},
        // Words before the first quote are ignored; both strings are kept with their blanks.
        ItemCase{"9 PageGoto Selector \"  9999  \"", true, K::Control, "PageGoto", ' ', 9, "  9999  ", nullptr,
                 nullptr},
        ItemCase{"9 PageLabel \" Page: \" \"Page:\"", true, K::Control, "PageLabel", ' ', 9,
                 " Page: ", "Page:", nullptr},
        // A missing closing quote takes the rest of the line.
        ItemCase{"3 ZoomLabel \"Zo \" \"om ", true, K::Control, "ZoomLabel", ' ', 3, "Zo ", "om ", nullptr},
        ItemCase{"4\tZoom\t\"99%", true, K::Control, "Zoom", '\t', 4, "99%", nullptr, nullptr},
        ItemCase{"0x FoundCount", true, K::Control, "FoundCount", 'x', 0, nullptr, nullptr, nullptr},
        // The second character is always the flag: "pen" is in neither table.
        ItemCase{"9Open", false, K::Button, "", ' ', 0, nullptr, nullptr, nullptr},
        ItemCase{"5", false, K::Button, "", ' ', 0, nullptr, nullptr, "No Name in Toolbar Line: 5"},
        ItemCase{"5S   ", false, K::Button, "", ' ', 0, nullptr, nullptr, "No Name in Toolbar Line: 5S   "},
        ItemCase{"5 Foo", false, K::Button, "", ' ', 0, nullptr, nullptr, nullptr},
        // Names are matched exactly.
        ItemCase{"5 open", false, K::Button, "", ' ', 0, nullptr, nullptr, nullptr},
        ItemCase{"Open", false, K::Button, "", ' ', 0, nullptr, nullptr, "Toolbar! IgnoredLine Line: Open"},
        ItemCase{" 9 Open", false, K::Button, "", ' ', 0, nullptr, nullptr, "Toolbar! IgnoredLine Line:  9 Open"},
        ItemCase{";9 Open", false, K::Button, "", ' ', 0, nullptr, nullptr, nullptr}));

TEST(ToolbarLanguage, SeparatorsNeverFollowEachOther)
{
    Log log;
    const auto items = compile({"|", "|", "9 Open", "|", "", ";x", "|", "9 Print", "|"}, log);
    QStringList names;
    for (const auto &item : items)
        names << item.name;
    EXPECT_EQ(names, (QStringList{"|", "Open", "|", "Print", "|"}));
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST(ToolbarLanguage, ItemsBeyond256AreDroppedWithALine)
{
    Log log;
    QStringList lines;
    for (int i = 0; i < 260; ++i)
        lines << QStringLiteral("9 Open");
    EXPECT_EQ(compile(lines, log).size(), 256u);
    EXPECT_EQ(log.lines, QStringList(4, QStringLiteral("Too many toolbar items!")));
}

TEST(ToolbarLanguage, ADefinitionOf1200LinesKeeps999)
{
    QString text;
    for (int i = 0; i < 1200; ++i)
        text += QStringLiteral("9 Open\n");
    TToolbarDefinition definition;
    EXPECT_EQ(definition.ReadFromString(text), 999);
    EXPECT_EQ(definition.lines.size(), 999);
}

struct FlagCase {
    bool search;
    bool adobe;
};

class DefaultDefinition : public ::testing::TestWithParam<FlagCase> {};

TEST_P(DefaultDefinition, CompilesTo29ItemsWhoseFlagsFollowBothSettings)
{
    TToolbarDefinition definition;
    Log log;
    auto items = compile(definition.lines, log);
    EXPECT_TRUE(log.lines.isEmpty());
    ASSERT_EQ(items.size(), 29u);
    EXPECT_EQ(items.front().name, QStringLiteral("FileList"));
    int buttons = 0, controls = 0, separators = 0;
    for (const auto &item : items) {
        buttons += item.xtype == K::Button;
        controls += item.xtype == K::Control;
        separators += item.xtype == K::Separator;
    }
    EXPECT_EQ(buttons, 16);
    EXPECT_EQ(controls, 7);
    EXPECT_EQ(separators, 6);

    const FlagCase c = GetParam();
    EXPECT_TRUE(TToolbarLanguage::FixPriority(items, c.search, c.adobe));
    QStringList excluded;
    for (const auto &item : items)
        if (item.priority < 0)
            excluded << item.name;
    QStringList expected =
        c.search ? QStringList{"Find"} : QStringList{"FindOpt", "FindString", "FindNext", "FindPrev", "FoundCount"};
    if (!c.adobe)
        expected.prepend(QStringLiteral("OpenAdobe"));
    EXPECT_EQ(excluded, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, DefaultDefinition,
                         ::testing::Values(FlagCase{true, false}, FlagCase{false, false}, FlagCase{true, true},
                                           FlagCase{false, true}));

TEST(ToolbarLanguage, UnknownFlagsKeepThePriorityAndUnflaggedDefinitionsSaySo)
{
    Log log;
    auto items = compile({"4x Open", "3 Print"}, log);
    EXPECT_TRUE(TToolbarLanguage::FixPriority(items, false, false));
    EXPECT_EQ(items[0].priority, 4);
    items.erase(items.begin());
    EXPECT_FALSE(TToolbarLanguage::FixPriority(items, false, false));
}

// ---- Trimming ----------------------------------------------------------------------------

class ToolbarTrim : public ::testing::Test {
protected:
    // The default definition at ppi in the main font, search in the toolbar.
    void SetUpAt(int ppi)
    {
        Log log;
        items = compile(TToolbarDefinition().lines, log);
        TToolbarLanguage::FixPriority(items, true, false);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize((ppi * 90 + 360) / 720);
        const QFontMetrics fm(font);
        metrics.ppi = ppi;
        const int image = (16 * ppi + 47) / 96;
        metrics.buttonWidth = TToolbarGeometry::Of(ppi, 26, 16, fm.height(), image).buttonWidth;
        for (const auto &item : items)
            metrics.controlWidths.push_back(
                item.xtype == K::Control ? ToolbarControlWidth(item.control, item.extra, fm, ppi) : 0);
    }
    QStringList Shown(int width)
    {
        metrics.stripWidth = width;
        placement = TrimToolbarItems(items, metrics);
        QStringList names;
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].vis, placement.left[i].has_value());
            if (items[i].vis)
                names << items[i].name;
        }
        return names;
    }
    // The row's width with every item down to the threshold.
    int RowWidth(int threshold)
    {
        metrics.stripWidth = 0;
        for (int w = 1; w < 5000; ++w) {
            metrics.stripWidth = w;
            if (TrimToolbarItems(items, metrics).threshold <= threshold)
                return w;
        }
        return -1;
    }
    std::vector<TXToolbarItem> items;
    TToolbarMetrics metrics;
    TToolbarPlacement placement;
};

TEST_F(ToolbarTrim, WholeLevelsGoAsTheStripNarrows)
{
    SetUpAt(96);
    const QStringList nine{"FileList",     "Open",        "|", "DocumentProperties", "|",   "PageLabel",
                           "PageGoto",     "PageCount",   "|", "ShowBookmarks",      "|",   "CountiniousView",
                           "ZoomFitWidth", "ZoomFitPage", "|", "ZoomLabel",          "Zoom"};
    QStringList all = nine;
    all.insert(4, QStringLiteral("OpenFolder"));
    all.insert(5, QStringLiteral("Print"));
    QStringList zoomSteps = all;
    zoomSteps << "ZoomIn"
              << "ZoomOut";
    QStringList everything = zoomSteps;
    everything << "|"
               << "FindOpt"
               << "FindString"
               << "FindNext"
               << "FindPrev"
               << "FoundCount";

    // The narrowest strips that hold everything, and everything down to level 3.
    const int full = RowWidth(0), noSearch = RowWidth(3);
    ASSERT_GT(full, noSearch);
    EXPECT_EQ(Shown(full), everything);
    EXPECT_EQ(placement.threshold, 0);
    EXPECT_EQ(Shown(full - 1), zoomSteps);
    EXPECT_EQ(placement.threshold, 3);
    EXPECT_EQ(Shown(noSearch - 1), all);
    EXPECT_EQ(placement.threshold, 4);
    EXPECT_EQ(Shown(RowWidth(8) - 1), nine) << "Print and Open Folder go with levels 7 and 8";
    EXPECT_EQ(placement.threshold, 9);
}

TEST_F(ToolbarTrim, PriorityNineIsPlacedEvenPastTheRightEdge)
{
    for (int ppi : {96, 144, 192}) {
        SetUpAt(ppi);
        const QStringList shown = Shown(50);
        EXPECT_EQ(placement.threshold, 9);
        EXPECT_EQ(shown.size(), 17) << ppi;
        EXPECT_GT(placement.rowWidth, 50);
        // Left edges grow along the row.
        std::optional<int> last;
        for (const auto &left : placement.left)
            if (left) {
                if (last) {
                    EXPECT_GT(*left, *last);
                }
                last = left;
            }
    }
}

TEST_F(ToolbarTrim, SeparatorsShowOnlyBetweenShownItems)
{
    Log log;
    items = compile({"|", "9 Open", "|", "2 Print", "|", "|", "2 Copy", "|", "9 Close", "|", "1 Reload", "|"}, log);
    metrics = {};
    metrics.buttonWidth = 24;
    metrics.controlWidths.assign(items.size(), 0);
    EXPECT_EQ(Shown(10), (QStringList{"Open", "|", "Close"}));
    EXPECT_EQ(Shown(1000), (QStringList{"Open", "|", "Print", "|", "Copy", "|", "Close", "|", "Reload"}));
}

TEST_F(ToolbarTrim, ButtonsNamingTheirImageKeepAGap)
{
    // A (68 + 2P) / 96, C (68 + P) / 96 at 96: 2 and 1; the left edge 1.
    Log log;
    items = compile({"9 Open", "9 Print \"x\"", "9 Copy", "|", "9 Zoom", "9 PageCount", "9 Close"}, log);
    metrics = {};
    metrics.buttonWidth = 24;
    metrics.controlWidths = {0, 0, 0, 0, 50, 30, 0};
    Shown(1000);
    // Open 1..25; Print after 2 + C; Copy after 2; the line at x + A + 1, the row on by 2A + 3;
    // Zoom after 2; PageCount after A + C + 1; Close after A.
    const std::vector<std::optional<int>> expected{1, 28, 54, 81, 87, 141, 173};
    EXPECT_EQ(placement.left, expected);
}

TEST(ToolbarGeometry, StripAndButtonsFollowTheDensity)
{
    // 26 px at 96: (68 + 26 * 96) / 96 = 26; images of 16: 16 + 4 = 20 (plus the rounding).
    const TToolbarGeometry g96 = TToolbarGeometry::Of(96, 26, 16, 15, 16);
    EXPECT_EQ(g96.stripHeight, 26);
    EXPECT_EQ(g96.buttonTop, 1);
    EXPECT_EQ(g96.buttonHeight, 22);
    EXPECT_EQ(g96.buttonWidth, 26);
    // A tall font makes the strip taller.
    EXPECT_EQ(TToolbarGeometry::Of(96, 26, 16, 30, 16).stripHeight, 36);
    const TToolbarGeometry g144 = TToolbarGeometry::Of(144, 26, 16, 22, 24);
    EXPECT_EQ(g144.stripHeight, 39);
    EXPECT_EQ(g144.buttonTop, 2);
    EXPECT_EQ(g144.buttonHeight, 33);
    EXPECT_EQ(g144.buttonWidth, 38); // 33 + 3 + 1, even
    // Images of 24 in a strip of 28: buttons of 28 leave 4 pixels, so two more.
    EXPECT_EQ(TToolbarGeometry::Of(96, 10, 24, 10, 24).buttonWidth, 30);
}

} // namespace
