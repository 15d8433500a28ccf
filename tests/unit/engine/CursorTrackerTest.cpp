// What lies under the pointer: outside the view, beside the pages, on a page, near its text;
// the nearest character and the side of it; a drag beyond the view counting at its edge.
#include "SearchFixture.h"

namespace {

struct CursorTracker : SearchFixture {
    void SetUp() override
    {
        SearchFixture::SetUp();
        open("pdfium/text.pdf");
    }
};

} // namespace

TEST_F(CursorTracker, TheCodeCharacterAndSideUnderThePointer)
{
    // Page 1 (420 x 595 points, one pixel a point) is centred: its left edge at x 190.
    const int one = indexOf(1, QStringLiteral("one."));
    struct Case {
        const char *name;
        QPoint at;
        bool isSel;
        TCursorCode code;
        int page, chr, delta;
    };
    const Case cases[] = {
        {"left of the view", {-5, 100}, false, tcOutside, 0, -1, 0},
        {"below the view", {100, 600}, false, tcOutside, 0, -1, 0},
        {"beside the page", {100, 100}, false, tcBesidePages, 0, -1, 0},
        {"in a character", charPoint(1, one), false, tcText, 1, one, 0},
        {"just before it", besideChar(1, one, false), false, tcText, 1, one, -1},
        {"just after the word", besideChar(1, one + 3, true), false, tcText, 1, -2, 1},
        {"on the page far from text", {400, 500}, false, tcOnPage, 1, -2, -2},
        // A drag beyond the view selects up to its edge: at (1, 1), beside the page.
        {"a drag above the view", {300, -40}, true, tcOnPage, 1, -2, -2},
        {"a drag left of the view", {-40, 300}, true, tcBesidePages, 0, -1, 0},
    };
    engine->Layout().SetSelectedPage(2);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        host.cursorPos = c.at;
        EXPECT_EQ(engine->TrackCursor(c.isSel), c.code);
        EXPECT_EQ(engine->ptPage, c.page);
        // -2: some character of the page, on whichever side.
        if (c.chr == -2)
            EXPECT_GE(engine->ptChar, 0);
        else
            EXPECT_EQ(engine->ptChar, c.chr);
        if (c.delta != -2) {
            EXPECT_EQ(engine->ptDelta, c.delta);
        }
        EXPECT_EQ(engine->Layout().SelectedPage(), 2) << "the loaded page is the one before";
    }
}

// On a page turned by its own rotation the pointer and the boxes are in the page's own
// space, where the text reads left to right: a drag from before its first letter to after
// its last selects the whole line.
TEST_F(CursorTracker, APageTurnedByItsRotationSelectsInReadingOrder)
{
    host.clientHeight = 3000;
    engine->Layout().SetupView();
    ASSERT_EQ(engine->Layout().GetPageOrientation(4), 1);
    const int first = indexOf(4, QStringLiteral("Rotated text line."));
    const int last = first + 17;
    host.cursorPos = besideChar(4, first, false);
    ASSERT_EQ(engine->TrackCursor(false), tcText);
    EXPECT_EQ(engine->ptChar, first);
    EXPECT_EQ(engine->ptDelta, -1);
    engine->StartSelection(smRange, engine->ptPage, engine->ptChar, engine->ptDelta);
    host.cursorPos = besideChar(4, last, true);
    engine->TrackCursor(true);
    EXPECT_EQ(engine->ptDelta, 1);
    engine->ChangeSelection(engine->ptPage, engine->ptChar, engine->ptDelta);
    EXPECT_EQ(engine->GetSelectedText(), QStringLiteral("Rotated text line."));
}
