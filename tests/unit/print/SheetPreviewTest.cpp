#include "print/SheetPreview.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

pl::PrinterCaps Caps()
{
    pl::PrinterCaps c;
    c.dpi = 600;
    c.paperWidth = 5100;
    c.paperHeight = 6600;
    c.offsetX = 100;
    c.offsetY = 100;
    return c;
}

TSheetSettings ActualSize(bool marginOffset)
{
    TSheetSettings s;
    s.zoomMode = TPrintZoomMode::ActualSize;
    s.marginOffset = marginOffset;
    return s;
}

// A white A3 page with a black square near its corner.
void RenderMark(QImage &image, QPoint corner, double)
{
    QPainter(&image).fillRect(QRect(corner + QPoint(2, 2), QSize(40, 40)), Qt::black);
}

const QColor Background(10, 20, 30);

QColor At(const QImage &image, int x, int y) { return image.pixelColor(x, y); }

} // namespace

TEST(SheetPreview, TintsMarginsAndOverflowAndFramesBoth)
{
    const TSheetLayout layout = LayoutSheet(Caps(), QSizeF(842, 1191), ActualSize(false));
    const QImage image = DrawSheetPreview(Caps(), layout, {QSize(702, 993), Background, 1}, RenderMark);
    ASSERT_EQ(image.format(), QImage::Format_BGR888);
    ASSERT_EQ(image.size(), QSize(702, 993));
    EXPECT_EQ(At(image, 5, 300), QColor(192, 192, 255)) << "white in the left margin";
    EXPECT_EQ(At(image, 5, 5), QColor(Qt::black)) << "black stays black in the margin";
    EXPECT_EQ(At(image, 300, 300), QColor(Qt::white)) << "the printable area keeps its colour";
    EXPECT_EQ(At(image, 600, 300), QColor(255, 255, 192)) << "overflow at the right";
    EXPECT_EQ(At(image, 300, 800), QColor(255, 255, 192)) << "overflow at the bottom";
    EXPECT_EQ(At(image, 600, 800), QColor(255, 255, 192)) << "the corner is tinted once";
    EXPECT_EQ(At(image, 509, 300), QColor(Qt::black)) << "the paper's frame";
    EXPECT_EQ(At(image, 300, 659), QColor(Qt::black));
    EXPECT_EQ(At(image, 701, 300), QColor(Qt::red)) << "the page's frame";
    EXPECT_EQ(At(image, 300, 992), QColor(Qt::red));
}

TEST(SheetPreview, BesideTheOverflowIsTheDialogsBackground)
{
    const TSheetLayout layout = LayoutSheet(Caps(), QSizeF(842, 1191), ActualSize(true));
    const QImage image = DrawSheetPreview(Caps(), layout, {QSize(712, 1003), Background, 1}, RenderMark);
    ASSERT_EQ(image.size(), QSize(712, 1003));
    EXPECT_EQ(At(image, 700, 5), Background) << "above the right overflow";
    EXPECT_EQ(At(image, 5, 900), Background) << "left of the bottom overflow";
    EXPECT_EQ(At(image, 14, 14), QColor(Qt::black)) << "the page starts at the margin offset";
    EXPECT_EQ(At(image, 10, 100), QColor(Qt::red)) << "the page's frame, at the margin offset";
}

TEST(SheetPreview, TintFormula)
{
    QImage image(3, 1, QImage::Format_BGR888);
    image.setPixelColor(0, 0, Qt::white);
    image.setPixelColor(1, 0, Qt::black);
    image.setPixelColor(2, 0, QColor(128, 128, 128));
    TintRect(image, image.rect(), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(192, 192, 255));
    EXPECT_EQ(image.pixelColor(1, 0), QColor(0, 0, 0));
    // lum 128, weight (192 * 128 + 255 * 127) / 255 = 223: 128 * 223 / 255 and (128 * 223 + 255 * 32) / 255.
    EXPECT_EQ(image.pixelColor(2, 0), QColor(111, 111, 143));
}
