#include "print/SheetPreview.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

int Scaled(double x, double m) { return int(std::nearbyint(x * m)); }

int Mix(int channel, int weight, int tint) { return (channel * weight + tint * (255 - weight)) / 255; }

} // namespace

void TintRect(QImage &image, const QRect &rect, QColor tint)
{
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        // Format_BGR888 keeps blue, green, red in that order.
        uchar *px = image.scanLine(y) + 3 * r.left();
        for (int x = r.left(); x <= r.right(); ++x, px += 3) {
            const int b = px[0], g = px[1], red = px[2];
            const int lum = (299 * red + 587 * g + 114 * b) / 1000;
            const int weight = (192 * lum + 255 * (255 - lum)) / 255;
            px[0] = uchar(Mix(b, weight, tint.blue()));
            px[1] = uchar(Mix(g, weight, tint.green()));
            px[2] = uchar(Mix(red, weight, tint.red()));
        }
    }
}

QImage DrawSheetPreview(const pl::PrinterCaps &caps, const TSheetLayout &layout, const TPreviewStyle &style,
                        const TPreviewRender &render)
{
    const int fullW = std::max(caps.paperWidth, layout.pageWidth + layout.marginX);
    const int fullH = std::max(caps.paperHeight, layout.pageHeight + layout.marginY);
    if (fullW <= 0 || fullH <= 0 || style.area.isEmpty())
        return {};
    const double m = std::min(double(style.area.width()) / fullW, double(style.area.height()) / fullH);
    const int w = std::max(1, Scaled(fullW, m)), h = std::max(1, Scaled(fullH, m));
    const int paperW = Scaled(caps.paperWidth, m), paperH = Scaled(caps.paperHeight, m);
    const int offX = Scaled(caps.offsetX, m), offY = Scaled(caps.offsetY, m);
    const int mx = Scaled(layout.marginX, m), my = Scaled(layout.marginY, m);
    const int pw = Scaled(layout.pageWidth, m), ph = Scaled(layout.pageHeight, m);

    QImage image(w, h, QImage::Format_BGR888);
    image.fill(Qt::white);
    render(image, QPoint(mx, my), caps.dpi * m * layout.scale);
    {
        QPainter p(&image);
        p.fillRect(0, 0, w, my, Qt::white);
        p.fillRect(0, 0, mx, h, Qt::white);
    }
    const QColor blue(0, 0, 255), yellow(255, 255, 0);
    TintRect(image, QRect(0, 0, offX, paperH), blue);
    TintRect(image, QRect(paperW - offX, 0, offX, paperH), blue);
    TintRect(image, QRect(offX, 0, paperW - 2 * offX, offY), blue);
    TintRect(image, QRect(offX, paperH - offY, paperW - 2 * offX, offY), blue);

    QPainter p(&image);
    if (mx + pw > paperW) {
        TintRect(image, QRect(paperW, my, mx + pw - paperW, ph), yellow);
        p.fillRect(paperW, 0, w - paperW, my, style.background);
        p.fillRect(paperW, my + ph, w - paperW, h - my - ph, style.background);
    }
    if (my + ph > paperH) {
        TintRect(image, QRect(mx, paperH, std::min(pw, paperW - mx), my + ph - paperH), yellow);
        p.fillRect(0, paperH, mx, h - paperH, style.background);
        p.fillRect(mx + pw, paperH, w - mx - pw, h - paperH, style.background);
    }
    const int pen = std::max(1, style.penWidth);
    const double inset = pen / 2.0;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::red, pen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(QRectF(mx + inset, my + inset, pw - pen, ph - pen));
    p.setPen(QPen(Qt::black, pen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(QRectF(inset, inset, paperW - pen, paperH - pen));
    return image;
}
