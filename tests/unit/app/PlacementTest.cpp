// The main window's placement arithmetic: stored sizes at another density, the rectangle
// restored on the screens there are, and one density figure for two axes.
#include "app/Placement.h"

#include "settings/Prefer.h"

#include <gtest/gtest.h>

namespace {

TWindowRect rect(int left, int top, int right, int bottom)
{
    TWindowRect r;
    r.Left = left;
    r.Top = top;
    r.Right = right;
    r.Bottom = bottom;
    return r;
}

} // namespace

TEST(Placement, StoredSizesFollowTheDensity)
{
    struct Case {
        int oldPPI, newPPI;
        TWindowRect expected;
        int bookmarks;
    };
    const Case cases[] = {
        {96, 144, rect(15, 30, 1215, 930), 300},
        {96, 48, rect(5, 10, 405, 310), 100},
        {96, 96, rect(10, 20, 810, 620), 200},
        // A density that is not known leaves everything as it is.
        {0, 144, rect(10, 20, 810, 620), 200},
        {96, 0, rect(10, 20, 810, 620), 200},
        {96, -96, rect(10, 20, 810, 620), 200},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.oldPPI << " -> " << c.newPPI);
        TPrefer prefer;
        prefer.WindowRect = rect(10, 20, 810, 620);
        prefer.BookmarksWidth = 200;
        ScaleStoredSizes(prefer, c.oldPPI, c.newPPI);
        EXPECT_EQ(prefer.WindowRect, c.expected);
        EXPECT_EQ(prefer.BookmarksWidth, c.bookmarks);
    }
}

TEST(Placement, TheStoredRectangleStaysReachable)
{
    const QRect primary(0, 0, 1920, 1040);
    const QRect second(1920, 0, 1280, 1024);
    struct Case {
        const char *what;
        TWindowRect stored;
        QList<QRect> screens;
        QRect primary;
        QRect expected;
    };
    const Case cases[] = {
        {"on the primary screen", rect(100, 50, 900, 650), {primary, second}, primary, QRect(100, 50, 800, 600)},
        {"on the second screen", rect(2000, 100, 2800, 700), {primary, second}, primary, QRect(2000, 100, 800, 600)},
        {"partly on a screen", rect(-700, -500, 100, 100), {primary}, primary, QRect(-700, -500, 800, 600)},
        {"on a screen that is gone", rect(2000, 100, 2800, 700), {primary}, primary, QRect(0, 0, 800, 600)},
        {"primary not at the origin",
         rect(5000, 5000, 5400, 5300),
         {QRect(100, 40, 800, 600)},
         QRect(100, 40, 800, 600),
         QRect(100, 40, 400, 300)},
        {"empty: one pixel", rect(10, 10, 10, 5), {primary}, primary, QRect(10, 10, 1, 1)},
        {"no screens at all", rect(10, 10, 110, 60), {}, QRect(), QRect(10, 10, 100, 50)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(StoredWindowRect(c.stored, c.screens, c.primary), c.expected);
    }
}

// What the settings store comes back through the restore unchanged.
TEST(Placement, AWindowRectangleRoundTrips)
{
    const QRect geometry(-30, 40, 1024, 700);
    const TWindowRect stored = WindowRectOf(geometry);
    EXPECT_EQ(stored, rect(-30, 40, 994, 740));
    EXPECT_EQ(StoredWindowRect(stored, {QRect(0, 0, 1920, 1080)}, QRect(0, 0, 1920, 1080)), geometry);
}

TEST(Placement, OneDensityForBothAxes)
{
    EXPECT_EQ(AveragePPI(96, 96), 96);
    EXPECT_EQ(AveragePPI(96, 97), 97);
    EXPECT_EQ(AveragePPI(120, 96), 108);
    EXPECT_EQ(AveragePPI(95.6, 96.4), 96);
    EXPECT_EQ(AveragePPI(143.5, 144.4), 144);
}

TEST(Placement, ScaledFollowsTheCurrentDensity)
{
    const int saved = CurrentPPI;
    CurrentPPI = 144;
    EXPECT_EQ(Scaled(228), 342);
    CurrentPPI = 96;
    EXPECT_EQ(Scaled(228), 228);
    CurrentPPI = saved;
}
