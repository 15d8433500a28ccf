#include "ui/TabImages.h"

#include <QPainter>

void TTabImageList::Add(const QString &name, const QPixmap &image)
{
    if (Names.isEmpty())
        FSize = image.size();
    Names << name;
    Images.push_back(image);
}

QPixmap TTabImageList::Image(int index) const
{
    return index >= 0 && index < int(Images.size()) ? Images[size_t(index)] : QPixmap();
}

TTabImageList TTabImageList::DocumentStates(int size)
{
    static const struct {
        const char *name;
        QRgb mark; // 0: a plain page
    } states[] = {{"Doc", 0},
                  {"DocPdf", 0xFFC62828},
                  {"DocSync", 0xFF2E7D32},
                  {"DocErr", 0xFFB80000},
                  {"DocMod", 0xFFE68A00},
                  {"DocLocked", 0xFF555555},
                  {"DocLockedMod", 0xFF900000},
                  {"DocGone", 0xFFAA0000}};
    TTabImageList list;
    size = std::max(size, 8);
    const int unit = std::max(1, size / 8);
    for (const auto &s : states) {
        QPixmap image(size, size);
        image.fill(Qt::transparent);
        QPainter p(&image);
        const QRect page(size / 8, 0, size * 3 / 4 - 1, size - 1);
        p.setPen(QColor(0x60, 0x60, 0x60));
        p.setBrush(QString::fromLatin1(s.name) == QLatin1String("DocGone") ? QColor(0xF0, 0xD1, 0xB3)
                                                                           : QColor(Qt::white));
        p.drawRect(page);
        if (s.mark)
            p.fillRect(QRect(page.left() + unit, page.bottom() - 3 * unit, page.width() - unit, 3 * unit),
                       QColor::fromRgba(s.mark));
        list.Add(QString::fromLatin1(s.name), image);
    }
    return list;
}
