// The images the build draws, as the lists load them at 16, 20, 24 and 32 pixels: each must
// stand out on white and on black (the main set) or on black (the dark system's set). The
// sheet of all of them is written to image-sheet.png beside the test programs, to be looked at.
#include "app/ImageNames.h"
#include "ui/ImageRes.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

constexpr int kSizes[] = {16, 20, 24, 32};

QImage load(const QString &set, const char *name, int size)
{
    const QImage image(QStringLiteral(ORVALE_BIN_DIR "/Resources/PNGImages") + set + QLatin1Char('/')
                       + QLatin1String(name) + QStringLiteral(".png"));
    return ResizeImage(image, size);
}

// Pixels of the picture drawn on background that differ from it in luma by at least 64.
int standingOut(const QImage &image, QColor background)
{
    QImage canvas(image.size(), QImage::Format_ARGB32);
    canvas.fill(background);
    QPainter(&canvas).drawImage(0, 0, image);
    int n = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            n += std::abs(Luma(canvas.pixelColor(x, y)) - Luma(background)) >= 64;
    return n;
}

TEST(ImageSheet, EveryImageStandsOutOnItsBackgroundsAtEverySize)
{
    const struct {
        const char *set;
        QColor background;
    } panels[] = {{"", Qt::white}, {"", Qt::black}, {"/HC", Qt::black}, {"/HC", QColor(0x20, 0x20, 0x20)}};
    constexpr int cell = 36;
    const int width = int(std::size(panels)) * int(std::size(kSizes)) * cell;
    QImage sheet(width, int(ImageNames.size()) * cell, QImage::Format_ARGB32);
    QPainter p(&sheet);
    for (size_t row = 0; row < ImageNames.size(); ++row) {
        int x = 0;
        for (const auto &panel : panels) {
            for (int size : kSizes) {
                const QImage image = load(QLatin1String(panel.set), ImageNames[row], size);
                ASSERT_EQ(image.size(), QSize(size, size)) << ImageNames[row];
                // At least a tenth of the picture's area reads against the background.
                EXPECT_GE(standingOut(image, panel.background), size * size / 10)
                    << ImageNames[row] << panel.set << " at " << size << " on "
                    << panel.background.name().toStdString();
                p.fillRect(x, int(row) * cell, cell, cell, panel.background);
                p.drawImage(x + (cell - size) / 2, int(row) * cell + (cell - size) / 2, image);
                x += cell;
            }
        }
    }
    p.end();
    EXPECT_TRUE(sheet.save(QStringLiteral(ORVALE_TEST_BIN_DIR "/image-sheet.png")));
}

// The ink of a picture on white: the pixels darker than a light grey.
QImage ink(const QImage &image)
{
    QImage canvas(image.size(), QImage::Format_ARGB32);
    canvas.fill(Qt::white);
    QPainter(&canvas).drawImage(0, 0, image);
    QImage mask(image.size(), QImage::Format_Mono);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            mask.setPixel(x, y, Luma(canvas.pixelColor(x, y)) < 180 ? 1 : 0);
    return mask;
}

// The document states differ by shape, not only by colour: their ink differs.
TEST(ImageSheet, DocumentStatesDifferByShape)
{
    const char *states[] = {"Doc", "DocPdf", "DocSync", "DocErr", "DocMod", "DocLocked", "DocLockedMod", "DocGone"};
    for (int size : {16, 24}) {
        std::vector<QImage> masks;
        for (const char *state : states) {
            QImage mask = ink(load(QString(), state, size));
            for (const QImage &other : masks)
                EXPECT_NE(mask, other) << state << " at " << size;
            masks.push_back(mask);
        }
    }
}

} // namespace
