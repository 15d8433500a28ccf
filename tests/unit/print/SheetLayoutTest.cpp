#include "print/SheetLayout.h"

#include <gtest/gtest.h>

namespace {

// A letter sheet at 600 dpi with a sixth of an inch lost at the top and left.
pl::PrinterCaps Caps()
{
    pl::PrinterCaps c;
    c.dpi = 600;
    c.paperWidth = 5100;
    c.paperHeight = 6600;
    c.offsetX = 100;
    c.offsetY = 100;
    c.canLandscape = true;
    return c;
}

const QSizeF A3(842, 1191);
const QSizeF A5(420, 595);

TSheetSettings Settings(TPrintZoomMode mode, bool center, bool marginOffset, QString custom = u"100"_qs)
{
    TSheetSettings s;
    s.zoomMode = mode;
    s.center = center;
    s.marginOffset = marginOffset;
    s.customZoom = custom;
    return s;
}

} // namespace

TEST(SheetLayout, TableOfModes)
{
    using M = TPrintZoomMode;
    struct Case {
        const char *what;
        QSizeF page;
        TSheetSettings settings;
        double scale;
        int pw, ph, mx, my, xo, yo;
    };
    const std::vector<Case> cases = {
        {"actual size overflows", A3, Settings(M::ActualSize, true, false), 1, 7017, 9925, 0, 0, -100, -100},
        {"shrink reduces A3", A3, Settings(M::ShrinkOversized, true, false), 6600.0 / 9925, 4666, 6600, 217, 0, 117,
         -100},
        {"shrink leaves A5", A5, Settings(M::ShrinkOversized, true, false), 1, 3500, 4958, 800, 821, 700, 721},
        {"fit enlarges A5", A5, Settings(M::FitPages, true, false), 6600.0 / 4958, 4659, 6600, 220, 0, 120, -100},
        {"no centring", A5, Settings(M::ShrinkOversized, false, false), 1, 3500, 4958, 0, 0, -100, -100},
        {"margin offset", A5, Settings(M::ShrinkOversized, false, true), 1, 3500, 4958, 100, 100, 0, 0},
        {"fit inside margins", A5, Settings(M::FitPages, true, true), 6400.0 / 4958, 4518, 6400, 291, 100, 191, 0},
        {"custom 1000", A5, Settings(M::CustomScale, false, false, u"1000"_qs), 10, 35000, 49580, 0, 0, -100, -100},
        {"custom 1", A5, Settings(M::CustomScale, false, false, u" 1 "_qs), 0.01, 35, 50, 0, 0, -100, -100},
        {"halves go to even", QSizeF(0.3, 1.5), Settings(M::ActualSize, false, false), 1, 2, 12, 0, 0, -100, -100},
        {"empty page", QSizeF(0, 0), Settings(M::FitPages, false, false), 1, 0, 0, 0, 0, -100, -100},
    };
    for (const Case &c : cases) {
        const TSheetLayout l = LayoutSheet(Caps(), c.page, c.settings);
        EXPECT_TRUE(l.scaleValid) << c.what;
        EXPECT_DOUBLE_EQ(l.scale, c.scale) << c.what;
        EXPECT_EQ(l.pageWidth, c.pw) << c.what;
        EXPECT_EQ(l.pageHeight, c.ph) << c.what;
        EXPECT_EQ(l.marginX, c.mx) << c.what;
        EXPECT_EQ(l.marginY, c.my) << c.what;
        EXPECT_EQ(l.xOffset, c.xo) << c.what;
        EXPECT_EQ(l.yOffset, c.yo) << c.what;
        EXPECT_DOUBLE_EQ(l.pdpi, 600 * c.scale) << c.what;
    }
}

TEST(SheetLayout, InvalidCustomScalePrintsAtActualSize)
{
    for (const QString &text : {u"1001"_qs, u"abc"_qs, u"0.5"_qs, u""_qs}) {
        const TSheetLayout l = LayoutSheet(Caps(), A5, Settings(TPrintZoomMode::CustomScale, false, false, text));
        EXPECT_FALSE(l.scaleValid) << text.toStdString();
        EXPECT_EQ(l.scale, 1) << text.toStdString();
        EXPECT_EQ(l.pageWidth, 3500) << text.toStdString();
    }
}

TEST(SheetLayout, Labels)
{
    const TSheetLabels actual =
        SheetLabels(Caps(), LayoutSheet(Caps(), A3, Settings(TPrintZoomMode::ActualSize, true, false)));
    EXPECT_EQ(actual.dpi, u"Printer DPI: 600"_qs);
    EXPECT_EQ(actual.offset, u"Margin Offset: 0.16 in (100 pxl)"_qs);
    EXPECT_EQ(actual.paper, u"Paper (w x h): 8.5 x 11.0 in"_qs);
    EXPECT_EQ(actual.page, u"Page (w x h): 11.6 x 16.5 in"_qs);
    EXPECT_EQ(actual.zoom, u"Zoom: 100.00%"_qs);
    const TSheetLabels shrunk =
        SheetLabels(Caps(), LayoutSheet(Caps(), A3, Settings(TPrintZoomMode::ShrinkOversized, true, false)));
    EXPECT_EQ(shrunk.page, u"Page (w x h): 11.6 x 16.5 in"_qs) << "the page's own size, not the scaled one";
    EXPECT_EQ(shrunk.zoom, u"Zoom: 66.49%"_qs) << "cut, not rounded";
    const TSheetLabels custom =
        SheetLabels(Caps(), LayoutSheet(Caps(), A5, Settings(TPrintZoomMode::CustomScale, false, false, u"33"_qs)));
    EXPECT_EQ(custom.zoom, u"Zoom: 33.00%"_qs);
}

TEST(SheetLayout, AutoOrientTurnsOnlyWhenTheOtherWayFitsBetter)
{
    struct Case {
        QSizeF page;
        bool canLandscape;
        bool turn;
    };
    const std::vector<Case> cases = {
        {QSizeF(842, 595), true, true},   // landscape page on portrait paper
        {QSizeF(595, 842), true, false},  // portrait page
        {QSizeF(500, 500), true, false},  // a square is as close either way
        {QSizeF(842, 595), false, false}, // the printer cannot turn
        {QSizeF(0, 595), true, false},
    };
    for (const Case &c : cases) {
        pl::PrinterCaps caps = Caps();
        caps.canLandscape = c.canLandscape;
        EXPECT_EQ(ShouldSwitchOrientation(caps, c.page), c.turn) << c.page.width() << "x" << c.page.height();
    }
}
