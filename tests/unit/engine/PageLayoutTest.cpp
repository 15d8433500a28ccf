#include "engine/PageLayout.h"

#include "RecordingHost.h"
#include "SyntheticPages.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

// At 72 pixels per inch and 100 % one point is one pixel; the default gap of 4 at 96 dpi
// becomes 3 pixels.
struct Layout72 : ::testing::Test {
    SyntheticPages pages;
    RecordingHost host;
    TPageLayout layout{pages, host};

    void setUp(std::vector<FS_SIZEF> sizes, int pageView, bool continuous, int rotate = 0)
    {
        pages.sizes = std::move(sizes);
        layout.FPixelsPerInch = 72;
        layout.FZoomMode = zActualSize;
        layout.PageView = TPageViewMode(pageView);
        layout.AllowScrolling = continuous;
        layout.FRotate = rotate;
        layout.SelPage = 1;
        layout.SetSelectedPage(1);
        layout.SetupView();
    }
    const TPageRect &pr(int page) const { return layout.PagesRect.PR[page - 1]; }
    const TLayout *entry(int page) const
    {
        for (int i = 0; i < layout.LayoutCount; ++i)
            if (layout.Layout[i].cp == page)
                return &layout.Layout[i];
        return nullptr;
    }
    int layoutAt(int t, int l)
    {
        return layout.GetLayout(t, l, host.clientHeight, host.clientWidth, {0, 0, host.clientWidth, host.clientHeight});
    }
};

void expectRect(const TPageRect &r, int left, int top, int right, int bottom)
{
    EXPECT_EQ(r.Left, left);
    EXPECT_EQ(r.Top, top);
    EXPECT_EQ(r.Right, right);
    EXPECT_EQ(r.Bottom, bottom);
}

} // namespace

TEST(PageLayoutPixels, HalvesRoundToEven)
{
    SyntheticPages pages;
    RecordingHost host;
    TPageLayout layout(pages, host);
    layout.FDpi = 72;
    EXPECT_EQ(layout.GetPxl(0.5), 0);
    EXPECT_EQ(layout.GetPxl(1.5), 2);
    EXPECT_EQ(layout.GetPxl(2.5), 2);
    EXPECT_EQ(layout.GetPxl(-2.5), -2);
    EXPECT_EQ(layout.GetPxl(2.500001), 3);
    layout.FDpi = 144;
    EXPECT_EQ(layout.GetPxl(36), 72);
    EXPECT_DOUBLE_EQ(layout.GetDim(72), 36);
    EXPECT_GT(layout.GetPxl(1e300), 0) << "huge values are clamped, not wrapped";
}

TEST_F(Layout72, DoubleViewPairsMeetAtTheGapAndAnOddLastPageStandsLeft)
{
    setUp({{100, 200}, {60, 100}, {80, 150}, {100, 120}, {50, 50}}, 1, true);
    ASSERT_EQ(layout.FGap, 3);
    expectRect(pr(1), 0, 0, 100, 200);
    expectRect(pr(2), 103, 0, 163, 100); // right column at the widest left page + gap
    expectRect(pr(3), 0, 203, 80, 353);  // rows as tall as their taller page
    expectRect(pr(4), 103, 203, 203, 323);
    expectRect(pr(5), 0, 356, 50, 406);
    EXPECT_EQ(layout.PagesRect.vsr, 406);
    EXPECT_EQ(layout.PagesRect.hsr, 203);

    host.clientWidth = 403;
    host.clientHeight = 1000;
    ASSERT_EQ(layoutAt(0, 0), 5);
    // The two columns (100 + 3 + 100) are centred in 403 pixels: 100 on each side. Narrower
    // left pages are right-aligned against the gap.
    EXPECT_EQ(entry(1)->destLeft, 100);
    EXPECT_EQ(entry(2)->destLeft, 203);
    EXPECT_EQ(entry(3)->destLeft + 80 + 3, entry(4)->destLeft);
    EXPECT_EQ(entry(5)->destLeft + 50 + 3, 203);
    EXPECT_EQ(entry(3)->destTop, 203);
}

TEST_F(Layout72, BookViewOfTwoPagesPutsPageOneRightAndPageTwoLeft)
{
    setUp({{100, 200}, {100, 200}}, 2, true);
    expectRect(pr(1), 103, 0, 203, 200);
    expectRect(pr(2), 0, 203, 100, 403);
}

TEST_F(Layout72, SingleViewCentresInAWideWindowAndStartsTheWidestPageAtZeroInANarrowOne)
{
    setUp({{100, 200}, {200, 100}, {100, 200}}, 0, true); // a landscape page among portrait ones
    host.clientHeight = 1000;
    host.clientWidth = 400;
    layoutAt(0, 0);
    EXPECT_EQ(entry(1)->destLeft, 150);
    EXPECT_EQ(entry(2)->destLeft, 100);
    host.clientWidth = 150;
    layoutAt(0, 0);
    EXPECT_EQ(entry(2)->destLeft, 0);
    EXPECT_EQ(entry(1)->destLeft, 50);
    EXPECT_EQ(entry(1)->width, 100);
    layoutAt(0, 30); // scrolled right: the landscape page is clipped on its left
    EXPECT_EQ(entry(2)->destLeft, 0);
    EXPECT_EQ(entry(2)->srcLeft, 30);
    EXPECT_EQ(entry(2)->width, 150);
}

TEST_F(Layout72, AQuarterTurnSwapsSizesFitZoomsAndRanges)
{
    host.clientWidth = 400;
    host.clientHeight = 300;
    setUp({{100, 200}}, 0, true);
    EXPECT_NEAR(layout.GetZoomFitWidth(), 400 * 100.0 / 101 - 0.25, 1e-9);
    EXPECT_NEAR(layout.GetZoomFitPage(), 300 * 100.0 / 201 - 0.1, 1e-9);
    EXPECT_EQ(layout.PagesRect.vsr, 200);
    EXPECT_EQ(layout.PagesRect.hsr, 100);

    setUp({{100, 200}}, 0, true, 1);
    EXPECT_NEAR(layout.GetZoomFitWidth(), 400 * 100.0 / 201 - 0.25, 1e-9);
    EXPECT_NEAR(layout.GetZoomFitPage(), 400 * 100.0 / 201 - 0.25, 1e-9) << "the width decides now";
    EXPECT_EQ(layout.PagesRect.vsr, 100);
    EXPECT_EQ(layout.PagesRect.hsr, 200);
    EXPECT_EQ(layout.FPageWidth, 200);
    EXPECT_EQ(layout.FPageHeight, 100);

    setUp({{100, 200}}, 0, false, 3);
    int vr, hr;
    layout.GetPageScrollRanges(1, vr, hr);
    EXPECT_EQ(vr, 100);
    EXPECT_EQ(hr, (400 - 200) / 2 + 200);
}

TEST_F(Layout72, FitZoomsStayWithinTenAndAThousandAndAnEmptyDocumentKeepsItsZoom)
{
    setUp({{100, 200}}, 0, true);
    host.clientWidth = host.clientHeight = 5;
    EXPECT_EQ(layout.GetZoomFitPage(), 10);
    host.clientWidth = host.clientHeight = 100000;
    EXPECT_EQ(layout.GetZoomFitWidth(), 1000);
    pages.sizes.clear();
    layout.FZoom = 123;
    EXPECT_EQ(layout.GetZoomFitPage(), 123);
    EXPECT_EQ(layout.GetZoomFitWidth(), 123);
}

TEST_F(Layout72, FitWidthOfADoubleViewCoversBothColumnsAndTheGap)
{
    host.clientWidth = 400;
    setUp({{100, 200}, {60, 100}, {80, 150}}, 1, true);
    // The widest left page (100) and the widest right page (60).
    EXPECT_NEAR(layout.GetZoomFitWidth(), 400 * 100.0 / (100 + 60 + 3 + 1) - 0.25, 1e-9);
    setUp({{100, 200}, {60, 100}, {80, 150}}, 1, false);
    EXPECT_NEAR(layout.GetZoomFitWidth(), 400 * 100.0 / (100 + 60 + 3 + 1) - 0.25, 1e-9);
}

TEST_F(Layout72, PageRectanglesAreRebuiltOnlyWhenAKeyChanges)
{
    setUp({{100, 200}, {100, 200}}, 0, true);
    EXPECT_EQ(layout.GetPagesRect(layout.PagesRect), 0) << "cached";
    layout.FZoom = 150;
    EXPECT_EQ(layout.GetPagesRect(layout.PagesRect), 0) << "the zoom only counts through the density";
    for (auto change : std::vector<std::function<void()>>{
             [&] { layout.FDpi = 100; }, [&] { layout.FGap = 7; }, [&] { layout.FRotate = 2; },
             [&] { layout.PageView = TPageViewMode::Double; }, [&] { layout.FZoomMode = zCustom; },
             [&] {
                 pages.sizes.push_back({50, 50});
             }}) {
        change();
        EXPECT_GT(layout.GetPagesRect(layout.PagesRect), 0);
        EXPECT_EQ(layout.GetPagesRect(layout.PagesRect), 0);
    }
    layout.AllowScrolling = false;
    layout.FDpi = 50;
    EXPECT_EQ(layout.GetPagesRect(layout.PagesRect), 0) << "nothing outside the continuous view";
}

TEST_F(Layout72, NonContinuousPairsAreTopAlignedWithTheLowerPageLeft)
{
    host.clientWidth = 500;
    host.clientHeight = 400;
    setUp({{100, 200}, {60, 100}, {80, 150}}, 1, false);
    layout.SelPage = 2;
    ASSERT_EQ(layoutAt(0, 0), 2);
    EXPECT_EQ(layout.Layout[0].cp, 1);
    EXPECT_EQ(layout.Layout[1].cp, 2);
    EXPECT_EQ(layout.Layout[0].destTop, 100); // (400 - 200) / 2 for both pages
    EXPECT_EQ(layout.Layout[1].destTop, 100);
    EXPECT_EQ(layout.Layout[0].destLeft, (500 - 163) / 2);
    EXPECT_EQ(layout.Layout[1].destLeft, (500 - 163) / 2 + 103);
    layout.SelPage = 3; // the last page of an odd count is alone
    ASSERT_EQ(layoutAt(0, 0), 1);
    EXPECT_EQ(layout.Layout[0].cp, 3);

    layout.PageView = TPageViewMode::Book; // book view: 1 alone, then 2-3
    layout.SelPage = 1;
    ASSERT_EQ(layoutAt(0, 0), 1);
    layout.SelPage = 3;
    ASSERT_EQ(layoutAt(0, 0), 2);
    EXPECT_EQ(layout.Layout[0].cp, 2);
}

TEST_F(Layout72, ThePageInViewIsTheLargestVisibleOneTiesGoingToTheSelectedPage)
{
    host.clientWidth = 200;
    host.clientHeight = 100;
    setUp({{100, 100}, {100, 100}, {100, 100}}, 0, true);
    host.vertPos = 30; // page 1 shows 70 rows, page 2 27
    EXPECT_EQ(layout.GetPageView(), 1);
    host.vertPos = 103 - 50 + 1; // page 1 shows 49, page 2 51
    EXPECT_EQ(layout.GetPageView(), 2);
    host.clientHeight = 103;
    host.vertPos = 50; // both show 50 rows
    layout.SelPage = 1;
    EXPECT_EQ(layout.GetPageView(), 1);
    layout.SelPage = 2;
    EXPECT_EQ(layout.GetPageView(), 2);
    layout.SelPage = 3;
    layout.matchCP = 2;
    EXPECT_EQ(layout.GetPageView(), 2) << "the page of the search match wins a tie too";
}

TEST_F(Layout72, APointInTheGapOfAPairGoesToTheLeftPageWithinAPointOfItsWidth)
{
    host.clientWidth = 203;
    host.clientHeight = 300;
    setUp({{100, 200}, {100, 200}}, 1, true);
    int cp = 0;
    double x, y;
    ASSERT_TRUE(layout.GetDocCoord(cp, 101, 50, x, y));
    EXPECT_EQ(cp, 1);
    EXPECT_NEAR(x, 101, 1e-9);
    ASSERT_TRUE(layout.GetDocCoord(cp, 102, 50, x, y));
    EXPECT_EQ(cp, 2);
    EXPECT_NEAR(x, -1, 1e-9);
    EXPECT_FALSE(layout.GetDocCoord(cp, 50, 250, x, y)) << "below every page";
    EXPECT_EQ(x, 0);
}

TEST_F(Layout72, ScreenToPageToScreenStaysWithinOnePixelInEveryView)
{
    const std::vector<FS_SIZEF> sizes{{612, 792}, {595, 842}, {842, 595}, {612, 792}, {300, 400}};
    host.clientWidth = 700;
    host.clientHeight = 500;
    for (int pageView = 0; pageView <= 2; ++pageView)
        for (bool continuous : {true, false})
            for (double zoom : {100.0, 173.0})
                for (int rotate = 0; rotate < 4; ++rotate)
                    for (int sel = 1; sel <= 5; ++sel) {
                        SCOPED_TRACE(testing::Message() << "view " << pageView << " continuous " << continuous
                                                        << " zoom " << zoom << " rotate " << rotate << " page " << sel);
                        setUp(sizes, pageView, continuous, rotate);
                        layout.FZoomMode = zCustom;
                        layout.FZoom = zoom;
                        ASSERT_TRUE(layout.MoveTo(sel, 30, 20));
                        TRect R; // wide pairs: bring the page in horizontally
                        ASSERT_GT(layout.GetPageRect(sel, R), 0);
                        host.SetHorzPos(host.horzPos + R.Left);
                        const int count = layout.GetLayoutView();
                        ASSERT_GT(count, 0);
                        const std::vector<TLayout> entries(layout.Layout.begin(), layout.Layout.begin() + count);
                        for (const TLayout &e : entries) {
                            // The page's corners land on the corners of its full image, which
                            // starts where the entry says.
                            const FS_SIZEF ps = sizes[e.cp - 1];
                            int minX = INT_MAX, minY = INT_MAX;
                            for (double cx : {0.0, double(ps.width)})
                                for (double cy : {0.0, double(ps.height)}) {
                                    int x, y;
                                    ASSERT_TRUE(layout.GetScrCoord(e.cp, cx, cy, x, y));
                                    minX = std::min(minX, x);
                                    minY = std::min(minY, y);
                                }
                            EXPECT_EQ(minX, e.destLeft - e.srcLeft);
                            EXPECT_EQ(minY, e.destTop - e.srcTop);
                            for (int fx = 0; fx <= 4; ++fx)
                                for (int fy = 0; fy <= 4; ++fy) {
                                    const int x = e.destLeft + (e.width - 1) * fx / 4;
                                    const int y = e.destTop + (e.height - 1) * fy / 4;
                                    int cp = 0;
                                    double px, py;
                                    ASSERT_TRUE(layout.GetDocCoord(cp, x, y, px, py));
                                    EXPECT_EQ(cp, e.cp);
                                    const FS_SIZEF s = sizes[cp - 1];
                                    EXPECT_GE(px, -1);
                                    EXPECT_LE(px, s.width + 1);
                                    EXPECT_GE(py, -1);
                                    EXPECT_LE(py, s.height + 1);
                                    int sx, sy;
                                    ASSERT_TRUE(layout.GetScrCoord(cp, px, py, sx, sy));
                                    EXPECT_LE(std::abs(sx - x), 1);
                                    EXPECT_LE(std::abs(sy - y), 1);
                                }
                        }
                    }
}

TEST_F(Layout72, PositionsSurviveAZoomChange)
{
    host.clientWidth = 500;
    host.clientHeight = 400;
    setUp({{612, 792}, {612, 792}, {612, 792}}, 0, true);
    ASSERT_TRUE(layout.MoveTo(2, 100, -1));
    int cp = 0;
    double top = 0, left = 0;
    layout.SavePosition(cp, top, left);
    EXPECT_EQ(cp, 2);
    EXPECT_NEAR(top, 100, 1);
    layout.FZoomMode = zCustom;
    layout.FZoom = 250;
    ASSERT_TRUE(layout.MoveTo(cp, top, left));
    layout.SavePosition(cp, top, left);
    EXPECT_EQ(cp, 2);
    EXPECT_NEAR(top, 100, 0.5);
    EXPECT_EQ(layout.SelPage, 2);
}

TEST_F(Layout72, MakeRectVisibleCentresARectangleBelowTheWindow)
{
    host.clientWidth = 700;
    host.clientHeight = 300;
    setUp({{612, 792}, {612, 792}}, 0, true);
    ASSERT_TRUE(layout.MoveTo(1, 0, 0));
    int cp = 1;
    double left = 0, top = 0;
    // A line near the bottom of page 2 in bottom-left points: 700 pixels from its top.
    layout.MakeRectVisible(cp, left, top, 2, 100, 82, 200, 10);
    EXPECT_EQ(cp, 2);
    EXPECT_EQ(left, -1) << "the rectangle fits horizontally";
    ASSERT_TRUE(layout.MoveTo(cp, top, left));
    int x1, y1;
    ASSERT_TRUE(layout.GetScrCoord(2, 100, 92, x1, y1));
    EXPECT_GE(y1, 0);
    EXPECT_LE(y1, host.clientHeight);
}

TEST_F(Layout72, MovingToAPageTheDocumentNoLongerHasStopsAtTheLastPage)
{
    setUp({{100, 100}, {100, 100}}, 0, true);
    ASSERT_TRUE(layout.MoveTo(9, 0, 0));
    EXPECT_EQ(layout.SelPage, 2);
    host.settingView = true;
    EXPECT_FALSE(layout.MoveTo(1, 0, 0)) << "refused while the view sets itself up";
}
