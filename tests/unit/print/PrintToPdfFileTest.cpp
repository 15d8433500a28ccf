// Chosen pages of a document printed through the job into a PDF file, read back.
#include "QuietPrintProgress.h"
#include "print/CopyPrintSource.h"
#include "print/PageRange.h"

#include "EngineFixture.h"
#include "ManualClock.h"
#include "MarkedPages.h"

#include <QImage>

namespace {

struct PrintToPdfFileTest : EngineFixture {};

} // namespace

TEST_F(PrintToPdfFileTest, ARangePrintsThosePagesEachLikeItsOriginal)
{
    const QString source = dir.filePath(u"marks.pdf"_qs);
    ASSERT_TRUE(WriteMarkedPages(source));
    ASSERT_TRUE(engine->OpenDocument(source, false, QString(), 0, TDestType::ForwardSearch));
    const TPageList list = ComputePageList(TPageChoice::Range, TOddEven::Both, 5, 1, u"2-3,5"_qs);
    ASSERT_EQ(list.pages, (std::vector<int>{2, 3, 5}));

    const QString output = dir.filePath(u"printed.pdf"_qs);
    std::shared_ptr<pl::PrinterDevice> printer = pl::makePdfFilePrinter(output, 72);
    TPrintCopy printCopy(*engine, engine->SelDoc());
    ASSERT_TRUE(printCopy.Valid());
    TCopyPrintSource pages(printCopy, printer->caps(), TPrintSettings().autoOrient);
    QuietPrintProgress progress;
    std::unique_ptr<TPrintThread> endThread;
    pl::fake::ScopedManualTime time;
    TPrintJob job(printer, list.pages, u"marks.pdf"_qs);
    ASSERT_EQ(job.Run(pages, progress, TPrintSettings(), nullptr, endThread), mrOk);
    ASSERT_TRUE(endThread && endThread->WaitFor(10000));
    ASSERT_TRUE(QFile::exists(output));

    const TDPLPDFiumDLL &dll = *engine->PDFium();
    QFile f(output);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    TPdfDocument printed =
        AdoptPdf<TPdfDocument>(dll, dll.FPDF_LoadMemDocument64(bytes.constData(), size_t(bytes.size()), nullptr));
    ASSERT_TRUE(printed);
    ASSERT_EQ(dll.FPDF_GetPageCount(printed.get()), 3);
    FPDF_DOCUMENT original = current().PDFiumDoc.get();
    // Each printed page is nearest to the page it was printed from, and close to it: at 72 dpi
    // and 30 x 42 pixels only the block's edges may differ (under 10 of 255 on average).
    for (int i = 0; i < 3; ++i) {
        const auto [best, bestDistance] = NearestMarkedPage(printed.get(), i + 1, original, *engine);
        EXPECT_EQ(best, list.pages[size_t(i)]) << "printed page " << i + 1;
        EXPECT_LT(bestDistance, 10.0) << "printed page " << i + 1;
    }
}
