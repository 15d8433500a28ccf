#pragma once
// A document whose pages tell themselves apart at a glance, for the print tests: which page of
// the original a printed page came from is the one whose small render is nearest to it.
#include "engine/QPDF.h"

#include "RawPdf.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include <cstdlib>
#include <utility>
#include <vector>

// Five pages; page i carries a large black block in a place of its own: a column and a row of
// a 3 x 3 grid.
inline QByteArray MarkedPages()
{
    std::vector<QByteArray> pages;
    for (int i = 0; i < 5; ++i) {
        const int x = 40 + 180 * (i % 3), y = 80 + 250 * (i / 3);
        pages.push_back("0 g " + QByteArray::number(x) + " " + QByteArray::number(y) + " 160 230 re f");
    }
    return RawPdf(pages);
}

// Writes them to path.
inline bool WriteMarkedPages(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(MarkedPages()) > 0;
}

// Page page (1-based) of doc at 30 x 42 pixels in grey.
inline QImage SmallRender(FPDF_DOCUMENT doc, TQPDF &engine, int page)
{
    QImage image(30, 42, QImage::Format_BGR888);
    EXPECT_TRUE(engine.RenderPageBitmap(image, doc, page, 0, 0, 30, 42, 0, 0));
    return image.convertToFormat(QImage::Format_Grayscale8);
}

// Mean absolute difference of two small grey images, 0 to 255.
inline double GreyDistance(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return sum / (a.width() * a.height());
}

// The page of original nearest to page page of printed, and its distance.
inline std::pair<int, double> NearestMarkedPage(FPDF_DOCUMENT printed, int page, FPDF_DOCUMENT original, TQPDF &engine)
{
    const QImage got = SmallRender(printed, engine, page);
    std::pair<int, double> best{0, 1e9};
    for (int p = 1; p <= 5; ++p)
        if (const double d = GreyDistance(got, SmallRender(original, engine, p)); d < best.second)
            best = {p, d};
    return best;
}
