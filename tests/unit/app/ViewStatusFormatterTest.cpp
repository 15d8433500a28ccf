// The status line's and the toolbar boxes' texts for a view status, and the boxes the user
// is typing in.
#include "app/ViewStatusFormatter.h"

#include <gtest/gtest.h>

namespace {

TViewStatus document(int page, int count, const QString &label, int zoom, TZoomMode mode)
{
    TViewStatus s;
    s.Document = true;
    s.Page = page;
    s.PageCount = count;
    s.Label = label;
    s.Zoom = zoom;
    s.ZoomMode = mode;
    return s;
}

} // namespace

TEST(ViewStatusFormatter, TextsOfTheViewWithoutFocus)
{
    struct Case {
        TViewStatus status;
        QStringList panels; // page, pages, zoom, zoom mode
        QString pageBox, countBox, zoomBox;
        bool pageEnabled, zoomEnabled;
    };
    const Case cases[] = {
        {TViewStatus(), {"", "", "", ""}, "", "", "100%", false, false},
        {document(4, 12, "iv", 125, zfitWidth),
         {"Page:  iv", "(4/12)", "Zoom:  125%", "Fit Width"},
         "iv",
         "(4/12)",
         "125%",
         true,
         true},
        {document(1, 1, "1", 100, zfitPage),
         {"Page:  1", "(1/1)", "Zoom:  100%", "Fit Page"},
         "1",
         "(1/1)",
         "100%",
         true,
         true},
        {document(3, 7, "3", 72, zActualSize),
         {"Page:  3", "(3/7)", "Zoom:  72%", "Actual Size"},
         "3",
         "(3/7)",
         "72%",
         true,
         true},
        // A document that did not load has no page to show.
        {document(0, 0, "?", 100, zCustom),
         {"Page:  ?", "(0/0)", "Zoom:  100%", "Custom Zoom"},
         "?",
         "(0/0)",
         "100%",
         false,
         true},
        // A mode from damaged settings shows as the nearest one.
        {document(2, 2, "2", 50, TZoomMode(9)),
         {"Page:  2", "(2/2)", "Zoom:  50%", "Custom Zoom"},
         "2",
         "(2/2)",
         "50%",
         true,
         true},
        {document(2, 2, "2", 50, TZoomMode(-3)),
         {"Page:  2", "(2/2)", "Zoom:  50%", "Fit Page"},
         "2",
         "(2/2)",
         "50%",
         true,
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.panels.join('|')));
        TViewStatusFormatter formatter;
        const TViewStatusText t = formatter.Format(c.status, false, false);
        EXPECT_EQ(QStringList({t.PagePanel, t.PagesPanel, t.ZoomPanel, t.ZoomModePanel}), c.panels);
        EXPECT_EQ(t.PageBox, c.pageBox);
        EXPECT_EQ(t.CountBox, c.countBox);
        EXPECT_EQ(t.ZoomBox, c.zoomBox);
        EXPECT_EQ(t.PageBoxEnabled, c.pageEnabled);
        EXPECT_EQ(t.ZoomBoxEnabled, c.zoomEnabled);
        EXPECT_EQ(t.CheckedZoomMode.has_value(), c.status.Document) << "no mode is checked without a document";
        EXPECT_FALSE(t.FocusView);
    }
}

// The SyncTeX field is written only when the status carries its text.
TEST(ViewStatusFormatter, TheSyncTeXFieldPassesThrough)
{
    TViewStatusFormatter formatter;
    TViewStatus s = document(1, 3, "1", 100, zfitPage);
    EXPECT_FALSE(formatter.Format(s, false, false).SyncTeX.has_value());
    s.SyncTeX = QStringLiteral("SyncTeX.gz: Ready");
    EXPECT_EQ(formatter.Format(s, false, false).SyncTeX, "SyncTeX.gz: Ready");
    TViewStatus none;
    none.SyncTeX = QString();
    EXPECT_EQ(formatter.Format(none, false, false).SyncTeX, "");
}

// The boxes keep what the user types: the page box while it has the focus (the status line
// follows anyway), the zoom box until the zoom changes, when the page view takes the focus.
TEST(ViewStatusFormatter, FocusedBoxesKeepTheUsersText)
{
    TViewStatusFormatter formatter;
    ASSERT_EQ(formatter.Format(document(1, 7, "i", 100, zfitPage), false, false).ZoomBox, "100%");

    TViewStatusText t = formatter.Format(document(5, 7, "3", 100, zfitPage), true, false);
    EXPECT_FALSE(t.PageBox.has_value());
    EXPECT_FALSE(t.CountBox.has_value());
    EXPECT_EQ(t.PagePanel, "Page:  3");
    EXPECT_EQ(t.PagesPanel, "(5/7)");
    EXPECT_TRUE(t.PageBoxEnabled);

    t = formatter.Format(document(6, 7, "4", 100, zfitPage), false, true);
    EXPECT_FALSE(t.ZoomBox.has_value()) << "the same zoom leaves the typed text";
    EXPECT_FALSE(t.CheckedZoomMode.has_value());
    EXPECT_FALSE(t.FocusView);
    EXPECT_EQ(t.ZoomPanel, "Zoom:  100%");

    t = formatter.Format(document(6, 7, "4", 300, zCustom), false, true);
    EXPECT_EQ(t.ZoomBox, "300%");
    EXPECT_EQ(t.CheckedZoomMode, zCustom);
    EXPECT_TRUE(t.FocusView);

    // Without the focus the box is written every time, and nobody takes a focus.
    t = formatter.Format(document(6, 7, "4", 300, zCustom), false, false);
    EXPECT_EQ(t.ZoomBox, "300%");
    EXPECT_FALSE(t.FocusView);
}

// Without a document the boxes are written whatever has the focus, and the zoom box's
// 100 % counts as shown.
TEST(ViewStatusFormatter, NoDocumentResetsTheBoxes)
{
    TViewStatusFormatter formatter;
    formatter.Format(document(2, 7, "ii", 250, zCustom), false, false);
    TViewStatusText t = formatter.Format(TViewStatus(), true, true);
    EXPECT_EQ(t.PageBox, "");
    EXPECT_EQ(t.CountBox, "");
    EXPECT_EQ(t.ZoomBox, "100%");
    EXPECT_FALSE(t.FocusView);

    t = formatter.Format(document(1, 3, "1", 100, zActualSize), false, true);
    EXPECT_FALSE(t.ZoomBox.has_value());
    t = formatter.Format(document(1, 3, "1", 101, zCustom), false, true);
    EXPECT_EQ(t.ZoomBox, "101%");
}
