#include "engine/DPLPDFiumDLL.h"
#include "engine/PdfHandles.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

const QString kLibrary = binPath("libpdfium.so");
const QString kMissingExport = QStringLiteral(ORVALE_MISSING_EXPORT_LIBRARY);
const QString kNoRenderPage = QStringLiteral(ORVALE_NO_RENDER_PAGE_LIBRARY);

// Whether the library at the path is in the process right now.
bool InProcess(const QString &path)
{
    pl::DynLib probe;
    return probe.attach(path);
}

template <typename F>
F Function(const pl::DynLib &lib, const char *name)
{
    return reinterpret_cast<F>(lib.symbol(name));
}

} // namespace

TEST(DPLPDFiumDLLTest, BindsEveryFunctionOfTheBuiltLibraryAndOpensADocument)
{
    {
        TDPLPDFiumDLL dll;
        ASSERT_TRUE(dll.Init(kLibrary));
        EXPECT_TRUE(dll.CanRelease());
        EXPECT_TRUE(dll.LoadErrFunction().isEmpty());
#define EXPECT_BOUND(name, required) EXPECT_NE(dll.name, nullptr) << #name;
        ORVALE_PDFIUM_FUNCTIONS(EXPECT_BOUND)
#undef EXPECT_BOUND

        const QByteArray file = QFile::encodeName(fixturePath("pdfium/text.pdf"));
        auto doc = AdoptPdf<TPdfDocument>(dll, dll.FPDF_LoadDocument(file.constData(), nullptr));
        ASSERT_TRUE(doc);
        EXPECT_GT(dll.FPDF_GetPageCount(doc.get()), 0);
        auto page = AdoptPdf<TPdfPage>(dll, dll.FPDF_LoadPage(doc.get(), 0));
        ASSERT_TRUE(page);
        auto text = AdoptPdf<TPdfTextPage>(dll, dll.FPDFText_LoadPage(page.get()));
        EXPECT_GT(dll.FPDFText_CountChars(text.get()), 0);
        auto bitmap = AdoptPdf<TPdfBitmap>(dll, dll.FPDFBitmap_CreateEx(40, 50, FPDFBitmap_BGR, nullptr, 0));
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(dll.FPDFBitmap_GetStride(bitmap.get()), 120);
        text.reset();
        page.reset();
        doc.reset();
        EXPECT_TRUE(dll.Delete());
    }
    EXPECT_FALSE(InProcess(kLibrary)) << "loaded here, so unloaded with the binding";
}

TEST(DPLPDFiumDLLTest, FailedLoadsReportTheFirstMissingFunction)
{
    struct Case {
        QString path;
        QByteArray missing;
    };
    const Case cases[] = {
        {kMissingExport, "FPDFText_IsGenerated"},
        {fixturePath("pdfium/text.pdf"), ""}, // not a library at all
        {binPath("no-such-library.so"), ""},
        {QString(), ""},
    };
    for (const Case &c : cases) {
        TDPLPDFiumDLL dll;
        EXPECT_FALSE(dll.Init(c.path)) << c.path.toStdString();
        EXPECT_EQ(dll.LoadErrFunction(), c.missing) << c.path.toStdString();
        EXPECT_EQ(dll.FPDFText_IsGenerated, nullptr);
        EXPECT_FALSE(dll.Delete()) << "nothing was initialised to shut down";
    }
}

TEST(DPLPDFiumDLLTest, RelativeNamesAreNeverSearched)
{
    TDPLPDFiumDLL dll;
    EXPECT_FALSE(dll.Init(QStringLiteral("libpdfium.so")));
    EXPECT_FALSE(dll.Loaded());
}

TEST(DPLPDFiumDLLTest, RenderPageIsBoundOnlyWhenPresent)
{
    TDPLPDFiumDLL dll;
    ASSERT_TRUE(dll.Init(kNoRenderPage));
    EXPECT_EQ(dll.FPDF_RenderPage, nullptr);
    EXPECT_NE(dll.FPDF_RenderPageBitmap, nullptr);
    EXPECT_TRUE(dll.LoadErrFunction().isEmpty());
    dll.Delete();
}

// Someone else loaded and initialised the library: a failed binding must neither shut it
// down nor drop that owner's reference.
TEST(DPLPDFiumDLLTest, LibraryLoadedBySomeoneElseIsLeftAsItWas)
{
    pl::DynLib owner;
    ASSERT_TRUE(owner.load(kMissingExport));
    Function<decltype(&::FPDF_InitLibraryWithConfig)>(owner, "FPDF_InitLibraryWithConfig")(nullptr);
    {
        TDPLPDFiumDLL dll;
        EXPECT_FALSE(dll.Init(kMissingExport));
        EXPECT_FALSE(dll.CanRelease());
        EXPECT_EQ(dll.LoadErrFunction(), "FPDFText_IsGenerated");
        EXPECT_FALSE(dll.Delete());
    }
    ASSERT_TRUE(InProcess(kMissingExport));
    // Still initialised: a document opens through the owner's reference.
    const QByteArray file = QFile::encodeName(fixturePath("pdfium/text.pdf"));
    FPDF_DOCUMENT doc = Function<decltype(&::FPDF_LoadDocument)>(owner, "FPDF_LoadDocument")(file.constData(), nullptr);
    EXPECT_NE(doc, nullptr);
    Function<decltype(&::FPDF_CloseDocument)>(owner, "FPDF_CloseDocument")(doc);
    Function<decltype(&::FPDF_DestroyLibrary)>(owner, "FPDF_DestroyLibrary")();
    owner.unload();
    EXPECT_FALSE(InProcess(kMissingExport));
}
