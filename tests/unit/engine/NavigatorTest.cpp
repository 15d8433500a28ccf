#include "engine/Navigator.h"

#include "RecordingHost.h"
#include "SyntheticPages.h"

#include <gtest/gtest.h>

namespace {

struct Nav : ::testing::Test {
    SyntheticPages pages{std::vector<FS_SIZEF>(6, FS_SIZEF{100, 200})};
    RecordingHost host;
    TPageLayout view{pages, host};
    TNavigator nav{view, pages, host};
    int statusUpdates = 0;

    void SetUp() override
    {
        host.clientWidth = 300;
        host.clientHeight = 150;
        view.FPixelsPerInch = 72;
        view.FZoomMode = zActualSize;
        view.SelPage = 1;
        nav.StatusChanged = [this] { ++statusUpdates; };
        nav.RestorePosition(1, 0, 0);
    }
    int page()
    {
        int cp = view.SelPage;
        double top = 0, left = 0;
        nav.SavePosition(cp, top, left);
        return cp;
    }
};

} // namespace

TEST_F(Nav, JumpsAreStoredSoBackAndForwardReturn)
{
    EXPECT_FALSE(nav.CanPrevPosition());
    ASSERT_TRUE(nav.GOTOPage(4, nullptr));
    EXPECT_EQ(page(), 4);
    ASSERT_TRUE(nav.GOTOPage(6, nullptr));
    EXPECT_FALSE(nav.GOTOPage(7, nullptr));
    EXPECT_FALSE(nav.GOTOPage(0, nullptr));
    EXPECT_FALSE(nav.CanNextPosition());
    ASSERT_TRUE(nav.PrevPosition());
    EXPECT_EQ(page(), 4);
    ASSERT_TRUE(nav.PrevPosition());
    EXPECT_EQ(page(), 1);
    EXPECT_FALSE(nav.CanPrevPosition());
    ASSERT_TRUE(nav.NextPosition());
    ASSERT_TRUE(nav.NextPosition());
    EXPECT_EQ(page(), 6);
}

TEST_F(Nav, ADestinationPutsItsTopAtTheWindowsTop)
{
    const TDest dest{0, 150, 0}; // 50 points below the top of a 200-point page
    ASSERT_TRUE(nav.GOTOPage(3, &dest));
    int cp = view.SelPage;
    double top = 0, left = 0;
    nav.SavePosition(cp, top, left);
    EXPECT_EQ(cp, 3);
    EXPECT_NEAR(top, 50, 0.01);
}

TEST_F(Nav, TheMarkIsStoredAndReturnedTo)
{
    EXPECT_FALSE(nav.CanGotoMark());
    EXPECT_TRUE(nav.SetMark());
    EXPECT_FALSE(nav.CanGotoMark()) << "the view is on the mark";
    nav.GOTOPage(5, nullptr);
    ASSERT_TRUE(nav.GotoMark());
    EXPECT_EQ(page(), 1);
}

TEST_F(Nav, LabelsAreMadeUniqueAndAPageWithoutOneShowsItsNumber)
{
    pages.labels = {"i", "i", "i", "ii", "", "1"};
    EXPECT_EQ(nav.GetPageLabelEx(1), "i");
    EXPECT_EQ(nav.GetPageLabelEx(2), "i.1");
    EXPECT_EQ(nav.GetPageLabelEx(3), "i.2");
    EXPECT_EQ(nav.GetPageLabelEx(4), "ii");
    EXPECT_EQ(nav.GetPageLabelEx(5), "5");
    EXPECT_EQ(nav.GetPageLabelEx(6), "1");
}

TEST_F(Nav, TypedPageTextsALeadingSpaceForcesAPageNumber)
{
    pages.labels = {"i", "ii", "1", "2", "3", "4"};
    struct Case {
        const char *typed;
        int page;
    };
    for (const Case &c : {Case{"3", 5}, Case{" 3", 3}, Case{"ii", 2}, Case{" 6", 6}, Case{"9", 0}, Case{" 9", 0},
                          Case{" ", 0}, Case{"iii", 0}}) {
        host.calls.clear();
        nav.RestorePosition(1, 0, 0);
        EXPECT_EQ(nav.doGOTOPageLabel(c.typed), c.page > 0) << c.typed;
        EXPECT_EQ(page(), c.page > 0 ? c.page : 1) << c.typed;
        if (c.page == 0) {
            EXPECT_TRUE(host.calls.contains(QStringLiteral("Info 2222: Page \"%1\" not found.").arg(c.typed)))
                << host.calls.join('|').toStdString();
        }
    }
    EXPECT_TRUE(nav.GOTOPageLabel("4", nullptr)) << "the label";
    EXPECT_EQ(page(), 6);
    pages.labels.clear();
    EXPECT_TRUE(nav.GOTOPageLabel("2", nullptr));
    EXPECT_EQ(page(), 2);
}

TEST_F(Nav, TypedZoomTexts)
{
    EXPECT_TRUE(nav.doSetZoom("250 %"));
    EXPECT_EQ(view.FZoom, 250);
    EXPECT_EQ(view.FZoomMode, zCustom);
    // The box reaches both ends of the range the zoom steps and the wheel reach.
    EXPECT_TRUE(nav.doSetZoom("10000%"));
    EXPECT_EQ(view.FZoom, kMaxZoom);
    EXPECT_TRUE(nav.doSetZoom("5"));
    EXPECT_EQ(view.FZoom, kMinZoom);
    EXPECT_TRUE(nav.doSetZoom("100%\t"));
    EXPECT_EQ(view.FZoomMode, zActualSize);
    for (const char *bad : {"4", "10001", "abc", ""}) {
        host.calls.clear();
        EXPECT_FALSE(nav.doSetZoom(bad)) << bad;
        EXPECT_TRUE(host.calls.contains(QStringLiteral("Info 2222: Illegal Zoom Specification: ") + bad));
    }
    EXPECT_EQ(view.FZoom, 100);
}

TEST_F(Nav, ZoomInStopsAtFitWidthThenActualSize)
{
    host.clientWidth = 96; // fit width: 96 * 100 / 101 - 0.25 = 94.80 %
    nav.ZoomCustom(90, nullptr);
    ASSERT_TRUE(nav.ZoomIn(nullptr));
    EXPECT_EQ(view.FZoomMode, zfitWidth);
    EXPECT_NEAR(view.FZoom, 96 * 100.0 / 101 - 0.25, 1e-9);
    ASSERT_TRUE(nav.ZoomIn(nullptr));
    EXPECT_EQ(view.FZoomMode, zActualSize);
    EXPECT_EQ(view.FZoom, 100);
    nav.ZoomCustom(5, nullptr);
    EXPECT_FALSE(nav.ZoomOut(nullptr));
    nav.ZoomCustom(10000, nullptr);
    EXPECT_FALSE(nav.ZoomIn(nullptr));
}

TEST_F(Nav, AZoomStepKeepsThePagePointUnderTheMouse)
{
    nav.ZoomCustom(200, nullptr); // wider than the window: free to scroll both ways
    nav.GOTOPage(3, nullptr);
    TMatchPoint ex;
    ex.x = 140;
    ex.y = 100;
    int cp = 0;
    double px, py;
    ASSERT_TRUE(view.GetDocCoord(cp, ex.x, ex.y, px, py));
    ASSERT_TRUE(nav.ZoomIn(&ex));
    EXPECT_EQ(ex.pp, cp);
    int x, y;
    ASSERT_TRUE(view.GetScrCoord(cp, px, py, x, y));
    EXPECT_LE(std::abs(x - ex.x), 2);
    EXPECT_LE(std::abs(y - ex.y), 2);
}

TEST_F(Nav, NextPageOnTheLastPageScrollsToItsBottom)
{
    nav.LastPage();
    EXPECT_EQ(view.SelPage, 6);
    nav.NextPage();
    EXPECT_EQ(host.vertPos, host.vertRange - host.clientHeight);
}

TEST_F(Nav, PrevPageGoesToTheTopOfTheCurrentPageFirst)
{
    nav.RestorePosition(3, 60, -1);
    EXPECT_FALSE(nav.PrevPage());
    EXPECT_EQ(page(), 3);
    EXPECT_EQ(host.vertPos, view.PagesRect.PR[2].Top);
    EXPECT_TRUE(nav.PrevPage());
    EXPECT_EQ(page(), 2);
    EXPECT_EQ(host.vertPos, view.PagesRect.PR[1].Top);
}

// The queries beside the page and history steps answer without moving the view.
TEST_F(Nav, QueriesTellWhetherAStepLeadsSomewhereAndMoveNothing)
{
    struct Case {
        int page;
        TPageViewMode mode;
        bool canPrev, canNext;
    };
    const Case cases[] = {
        {1, TPageViewMode::Single, false, true}, {3, TPageViewMode::Single, true, true},
        {6, TPageViewMode::Single, true, false}, {1, TPageViewMode::Double, false, true},
        {5, TPageViewMode::Double, true, true},  {2, TPageViewMode::Book, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.page);
        view.PageView = c.mode;
        nav.RestorePosition(c.page, 0, -1);
        const int vert = host.vertPos;
        EXPECT_EQ(nav.CanPrevPage(), c.canPrev);
        EXPECT_EQ(nav.CanNextPage(), c.canNext);
        EXPECT_EQ(nav.CanPrevPosition(), nav.CanPrevPosition());
        nav.CanGotoMark();
        nav.CanNextPosition();
        EXPECT_EQ(view.SelPage, c.page);
        EXPECT_EQ(host.vertPos, vert);
    }
    ASSERT_TRUE(nav.GOTOPage(4, nullptr));
    EXPECT_TRUE(nav.CanPrevPosition());
    EXPECT_EQ(page(), 4);
    ASSERT_TRUE(nav.PrevPosition());
    EXPECT_TRUE(nav.CanNextPosition());
    EXPECT_NE(page(), 4);
}

TEST_F(Nav, SwitchesKeepTheViewOnTheSamePage)
{
    nav.GOTOPage(4, nullptr);
    EXPECT_TRUE(nav.SetContinuousView(true)) << "already on: the state is returned";
    EXPECT_TRUE(view.AllowScrolling);
    EXPECT_FALSE(nav.ToggleContinuousView());
    EXPECT_EQ(view.SelPage, 4);
    EXPECT_EQ(page(), 4);
    EXPECT_TRUE(nav.ToggleContinuousView());
    EXPECT_TRUE(nav.ChangeView(TPageViewMode::Book));
    EXPECT_FALSE(nav.ChangeView(TPageViewMode::Book));
    EXPECT_EQ(page(), 4);
    nav.SetRotate(1);
    EXPECT_EQ(page(), 4);
    nav.SetZoomMode(zfitPage);
    EXPECT_EQ(page(), 4);
}

// A window height less a line at a time; in the views of one page or pair, the bottom goes on
// to the top of the next one and the top back to the bottom of the previous one.
TEST_F(Nav, PageDownAndPageUpStepByTheWindow)
{
    const int step = host.clientHeight - host.lineIncrement;
    nav.PageDown();
    EXPECT_EQ(host.vertPos, step);
    nav.PageDown();
    EXPECT_EQ(host.vertPos, 2 * step);
    nav.PageUp();
    EXPECT_EQ(host.vertPos, step);

    nav.SetZoomMode(zfitPage);
    nav.RestorePosition(2, 0, -1);
    nav.PageDown();
    EXPECT_EQ(page(), 3) << "a whole page in view: a page step";
    nav.PageUp();
    EXPECT_EQ(page(), 2);

    nav.SetZoomMode(zActualSize);
    nav.SetContinuousView(false);
    nav.RestorePosition(1, 0, -1);
    const int bottom = 200 - host.clientHeight; // a page of 200 pixels
    nav.PageDown();
    EXPECT_EQ(host.vertPos, bottom);
    EXPECT_EQ(page(), 1);
    nav.PageDown();
    EXPECT_EQ(page(), 2);
    EXPECT_EQ(host.vertPos, 0);
    nav.PageUp();
    EXPECT_EQ(page(), 1);
    EXPECT_EQ(host.vertPos, bottom);
    nav.PageUp();
    EXPECT_EQ(host.vertPos, 0);
    nav.PageUp();
    EXPECT_EQ(page(), 1) << "the first page stays";
    EXPECT_EQ(host.vertPos, 0);

    nav.ChangeView(TPageViewMode::Double);
    nav.RestorePosition(1, 0, -1);
    nav.PageDown();
    nav.PageDown();
    EXPECT_EQ(host.vertPos, 0);
    ASSERT_EQ(view.GetLayoutView(), 2);
    EXPECT_EQ(view.Layout[0].cp, 3) << "the next pair";
    EXPECT_EQ(view.Layout[1].cp, 4);
    nav.PageUp();
    EXPECT_EQ(host.vertPos, bottom);
    EXPECT_EQ(view.GetLayoutView(), 2);
    EXPECT_EQ(view.Layout[0].cp, 1) << "back to the bottom of the first pair";
}
