#include "print/PrintCopy.h"

#include "EngineFixture.h"
#include "RawPdf.h"

#include <QImage>
#include <QPainter>

namespace {

int LinkCount(const TDPLPDFiumDLL &dll, FPDF_DOCUMENT doc)
{
    TPdfPage page = AdoptPdf<TPdfPage>(dll, dll.FPDF_LoadPage(doc, 0));
    int count = 0, start = 0;
    FPDF_LINK link = nullptr;
    while (page && dll.FPDFLink_Enumerate(page.get(), &start, &link))
        ++count;
    return count;
}

struct PrintCopyTest : EngineFixture {
    // One page of 100 x 100 points, black all over.
    void OpenBlackPage()
    {
        const QString path = dir.filePath(u"black.pdf"_qs);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(RawPdf({"0 g 0 0 100 100 re f"}, 100, 100));
        f.close();
        ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
    }
};

} // namespace

TEST_F(PrintCopyTest, PrintingLeavesTheShownDocumentAsItWas)
{
    ASSERT_TRUE(engine->OpenDocument(copy(u"pdfium/misc.pdf"_qs, u"misc.pdf"_qs), false, QString(), 0,
                                     TDestType::ForwardSearch));
    const TDPLPDFiumDLL &dll = *engine->PDFium();
    FPDF_DOCUMENT shown = current().PDFiumDoc.get();
    ASSERT_EQ(LinkCount(dll, shown), 2);

    TPrintCopy printCopy(*engine, engine->SelDoc());
    ASSERT_TRUE(printCopy.Valid());
    EXPECT_EQ(printCopy.PageCount(), 1);
    EXPECT_EQ(printCopy.PageSize(1), QSizeF(612, 792));
    QImage sheet(612, 792, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        ASSERT_TRUE(printCopy.PrintPage(painter, 1, QPoint(0, 0), 72, 72, 0, 792));
    }
    EXPECT_EQ(sheet.pixelColor(375, 117), QColor(Qt::black)) << "the printable square prints";
    EXPECT_EQ(sheet.pixelColor(475, 117), QColor(Qt::white)) << "the square without the print flag does not";

    // The shown document rendered for printing directly is not flattened either.
    QImage direct(61, 79, QImage::Format_BGR888);
    EXPECT_TRUE(engine->RenderPageBitmap(direct, shown, 1, 0, 0, 61, 79, 0, FPDF_PRINTING));
    EXPECT_TRUE(log().contains(u"RenderPageBitmap: a shown document is not flattened"_qs));

    EXPECT_EQ(LinkCount(dll, shown), 2) << "links survive the preview and the print";
    const QByteArray saved = engine->GetDocAsString(engine->SelDoc());
    EXPECT_EQ(saved.count("/Type/Annot"), 4) << "a saved copy keeps the page's annotations";
    EXPECT_TRUE(saved.contains("/Annots[")) << "and the page still lists them";
}

TEST_F(PrintCopyTest, BandsMeetWithoutAGapAtTwiceTheRasterResolution)
{
    ASSERT_NO_FATAL_FAILURE(OpenBlackPage());
    TPrintCopy printCopy(*engine, engine->SelDoc());
    ASSERT_TRUE(printCopy.Valid());
    // 1667 device pixels at 1200 dpi from a raster of 833 rows at 600 dpi, 40 rows a band.
    printCopy.SetBandBytes(833 * 3 * 40);
    ASSERT_EQ(printCopy.BandRows(833), 40);
    QImage sheet(1700, 1700, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        ASSERT_TRUE(printCopy.PrintPage(painter, 1, QPoint(10, 10), 1200, 1200, 0, 1700));
    }
    for (int y = 10; y < 10 + 1667; ++y)
        ASSERT_LT(qGray(sheet.pixel(800, y)), 64) << "light row " << y;
    EXPECT_EQ(sheet.pixelColor(800, 9), QColor(Qt::white));
    EXPECT_EQ(sheet.pixelColor(800, 10 + 1667), QColor(Qt::white)) << "no overlap past the page";
}

TEST_F(PrintCopyTest, OnlyRowsOnTheDrawableAreaAreRendered)
{
    ASSERT_NO_FATAL_FAILURE(OpenBlackPage());
    TPrintCopy printCopy(*engine, engine->SelDoc());
    printCopy.SetBandBytes(834 * 3 * 10);
    QImage sheet(900, 900, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        // Rows 100 to 199 only: the page starts 50 rows above them.
        ASSERT_TRUE(printCopy.PrintPage(painter, 1, QPoint(0, 50), 600, 600, 100, 100));
    }
    EXPECT_EQ(sheet.pixelColor(400, 60), QColor(Qt::white)) << "above the drawable rows";
    EXPECT_EQ(sheet.pixelColor(400, 150), QColor(Qt::black));
    EXPECT_EQ(sheet.pixelColor(400, 215), QColor(Qt::white)) << "below them, past the last band";
}

namespace {

QImage Printed(const TPrintCopy &printCopy, int page, bool autoOrient)
{
    const QSizeF size = printCopy.PageSize(page, autoOrient);
    QImage sheet(int(size.width()), int(size.height()), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    if (!printCopy.PrintPage(painter, page, QPoint(0, 0), 72, 72, 0, sheet.height(), autoOrient))
        return {};
    return sheet;
}

} // namespace

// geom.pdf: one content (a red block near the crop box's lower left corner) on four pages turned
// 0, 90, 180 and 270 degrees by their own rotation.
TEST_F(PrintCopyTest, AutoOrientPrintsAQuarterTurnedPageAsItStoodBeforeTheTurn)
{
    ASSERT_TRUE(engine->OpenDocument(copy(u"pdfium/geom.pdf"_qs, u"geom.pdf"_qs), false, QString(), 0,
                                     TDestType::ForwardSearch));
    TPrintCopy printCopy(*engine, engine->SelDoc());
    ASSERT_TRUE(printCopy.Valid());
    EXPECT_EQ(printCopy.PageRotation(1), 0);
    EXPECT_EQ(printCopy.PageRotation(2), 1);
    EXPECT_EQ(printCopy.PageRotation(3), 2);
    EXPECT_EQ(printCopy.PageRotation(4), 3);
    EXPECT_EQ(printCopy.PageSize(2, false), QSizeF(360, 280)) << "as shown: turned";
    EXPECT_EQ(printCopy.PageSize(2, true), QSizeF(280, 360)) << "width and height swapped back";
    EXPECT_EQ(printCopy.PageSize(3, true), QSizeF(280, 360));

    const QImage upright = Printed(printCopy, 1, true);
    ASSERT_FALSE(upright.isNull());
    const QPoint block(45, 360 - 35); // the red block, 40..60 from the left, 30..40 from the bottom
    EXPECT_EQ(upright.pixelColor(block), QColor(Qt::red));
    for (int page : {2, 3, 4}) {
        SCOPED_TRACE(page);
        const QImage turned = Printed(printCopy, page, true);
        ASSERT_EQ(turned.size(), upright.size());
        EXPECT_EQ(turned, upright) << "printed as it stood before its own rotation";
    }

    // Without auto-orient the quarter-turned page prints as the view shows it.
    const QImage shown = Printed(printCopy, 2, false);
    ASSERT_EQ(shown.size(), QSize(360, 280));
    EXPECT_EQ(shown.pixelColor(360 - 1 - block.y(), block.x()), QColor(Qt::red)) << "the block turned clockwise";
    EXPECT_NE(shown.pixelColor(block), QColor(Qt::red));
}
