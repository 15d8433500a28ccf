#include "engine/PageLayout.h"
#include "engine/PdfPageSource.h"

#include "RecordingHost.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace {

struct PdfPages : ::testing::Test {
    TDPLPDFiumDLL dll;
    TPdfDocument doc;
    void SetUp() override
    {
        ASSERT_TRUE(dll.Init(binPath("libpdfium.so")));
        doc = AdoptPdf<TPdfDocument>(
            dll, dll.FPDF_LoadDocument(fixturePath("pdfium/geom.pdf").toUtf8().constData(), nullptr));
        ASSERT_TRUE(doc);
    }
};

} // namespace

// The fixture's four pages turn by 0, 90, 180 and 270 degrees of their own and have a crop box
// away from the origin: the library's mapping, not the layout's, decides where points land.
TEST_F(PdfPages, ScreenToPageToScreenThroughTheLibraryInEveryViewAndRotation)
{
    RecordingHost host;
    host.clientWidth = 640;
    host.clientHeight = 480;
    TPdfPageSource pages(dll);
    pages.SetDocument(doc.get());
    ASSERT_EQ(pages.PageCount(), 4);
    TPageLayout layout(pages, host);
    layout.FPixelsPerInch = 100; // what the offscreen screen reports
    for (int p = 1; p <= 4; ++p)
        EXPECT_EQ(layout.GetPageOrientation(p), p - 1) << "page " << p;
    for (int pageView = 0; pageView <= 2; ++pageView)
        for (bool continuous : {true, false})
            for (double zoom : {100.0, 173.0})
                for (int rotate = 0; rotate < 4; ++rotate)
                    for (int sel = 1; sel <= 4; ++sel) {
                        SCOPED_TRACE(testing::Message() << "view " << pageView << " continuous " << continuous
                                                        << " zoom " << zoom << " rotate " << rotate << " page " << sel);
                        layout.PageView = TPageViewMode(pageView);
                        layout.AllowScrolling = continuous;
                        layout.FRotate = rotate;
                        layout.FZoomMode = zCustom;
                        layout.FZoom = zoom;
                        ASSERT_TRUE(layout.MoveTo(sel, 20, -1));
                        TRect R; // wide pairs: bring the page in horizontally
                        ASSERT_GT(layout.GetPageRect(sel, R), 0);
                        host.SetHorzPos(host.horzPos + R.Left);
                        const int count = layout.GetLayoutView();
                        ASSERT_GT(count, 0);
                        const std::vector<TLayout> entries(layout.Layout.begin(), layout.Layout.begin() + count);
                        for (const TLayout &e : entries)
                            for (int f = 0; f <= 4; ++f) {
                                const int x = e.destLeft + (e.width - 1) * f / 4;
                                const int y = e.destTop + (e.height - 1) * (4 - f) / 4;
                                int cp = 0;
                                double px, py;
                                ASSERT_TRUE(layout.GetDocCoord(cp, x, y, px, py));
                                ASSERT_EQ(cp, e.cp);
                                int sx, sy;
                                ASSERT_TRUE(layout.GetScrCoord(cp, px, py, sx, sy));
                                EXPECT_LE(std::abs(sx - x), 1);
                                EXPECT_LE(std::abs(sy - y), 1);
                            }
                    }
    pages.SetDocument(nullptr);
}

TEST_F(PdfPages, APageOutsideTheDocumentHasNoSizeAndNoLabel)
{
    TPdfPageSource pages(dll);
    pages.SetDocument(doc.get());
    FS_SIZEF size{0, 0};
    EXPECT_FALSE(pages.PageSize(4, size));
    EXPECT_FALSE(pages.PageSize(-1, size));
    EXPECT_TRUE(pages.PageLabel(7).isEmpty());
    EXPECT_FALSE(pages.LoadPage(9));
    EXPECT_TRUE(pages.LoadPage(1));
    EXPECT_NE(pages.TextPage(), nullptr);
    pages.SetDocument(nullptr);
}
