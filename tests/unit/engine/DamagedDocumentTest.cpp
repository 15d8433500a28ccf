// Documents whose structure lies, opened through the engine: the viewer lays out and renders
// what the file really holds instead of what it claims.
#include "EngineFixture.h"
#include "RawPdf.h"

#include <QImage>

namespace {

struct ForgedCount {
    int pages;
    QByteArray count;
};

class DamagedDocument : public EngineFixture, public ::testing::WithParamInterface<ForgedCount> {};

// The page tree's count replaced with a forged one.
QByteArray WithCount(int pages, const QByteArray &count)
{
    QByteArray bytes = RawPdf(std::vector<QByteArray>(size_t(pages), "0 g 0 0 100 100 re f"), 100, 100);
    const QByteArray real = "/Count " + QByteArray::number(pages) + " ";
    const qsizetype at = bytes.indexOf(real);
    bytes.replace(at, real.size(), "/Count " + count + " ");
    return bytes;
}

} // namespace

TEST_P(DamagedDocument, ForgedPageCountOpensThePagesOfTheTree)
{
    // A count of two billion pages once had the layout ask for a rectangle per page and
    // end the program for want of memory.
    const QString path = dir.filePath("forged.pdf");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(WithCount(GetParam().pages, GetParam().count));
    f.close();
    ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
    ASSERT_TRUE(current().PDFiumDoc);
    EXPECT_EQ(pageCount(), GetParam().pages);
    QImage bmp(100, 100, QImage::Format_BGR888);
    bmp.fill(Qt::white);
    EXPECT_TRUE(engine->RenderPageBitmap(bmp, current().PDFiumDoc.get(), GetParam().pages, 0, 0, 100, 100, 0, 0));
    EXPECT_EQ(bmp.pixelColor(50, 50), QColor(Qt::black));
}

INSTANTIATE_TEST_SUITE_P(Counts, DamagedDocument,
                         ::testing::Values(ForgedCount{1, "2147483647"}, ForgedCount{1, "-2147483649"},
                                           ForgedCount{3, "99999999999999999999"}, ForgedCount{3, "65535"}));
