// Draws the interface's pictures into a Resources folder: one 48-pixel PNG per image name in
// PNGImages (the set for light and dark surroundings) and PNGImages/HC (light strokes on dark
// fills for a dark system), the pan cursor Cursors/Grab.png and the About box's logo.
// Every picture is made of the same few shapes with one stroke weight and round corners, so
// the set looks alike at 16, 20, 24 and 32 pixels.
//
//   orvale-make-images OUTDIR
#include "app/ImageNames.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>
#include <map>
#include <string>

namespace {

constexpr int kSize = 48;
constexpr qreal kStroke = 3.5;

struct Palette {
    QColor line;   // outlines
    QColor paper;  // page and object fills
    QColor blue;   // arrows, magnifier, frames
    QColor green;  // synchronised, positive
    QColor red;    // errors, closing, deleting
    QColor orange; // changes, marks
};

// Mid-tone outlines around pale fills read on white and on black.
const Palette kMain{QColor(0x56, 0x67, 0x7D), QColor(0xF4, 0xF6, 0xFA), QColor(0x2F, 0x74, 0xC8),
                    QColor(0x2E, 0x9A, 0x48), QColor(0xD0, 0x33, 0x2E), QColor(0xE8, 0x8A, 0x12)};
// For a dark system: light outlines around dark fills, brighter accents.
const Palette kDark{QColor(0xD8, 0xE0, 0xEA), QColor(0x2A, 0x31, 0x3B), QColor(0x6C, 0xB4, 0xFF),
                    QColor(0x5C, 0xD6, 0x7A), QColor(0xFF, 0x6A, 0x5E), QColor(0xFF, 0xB8, 0x4A)};

class Canvas {
public:
    Canvas(QPainter &p, const Palette &c) : p(p), c(c) {}
    QPainter &p;
    const Palette &c;

    QPen pen(const QColor &color, qreal width = kStroke) const
    {
        return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    }
    // A page with a folded corner.
    void page(QRectF r, bool dashed = false)
    {
        const qreal fold = r.width() * 0.32;
        QPainterPath path;
        path.moveTo(r.left(), r.top());
        path.lineTo(r.right() - fold, r.top());
        path.lineTo(r.right(), r.top() + fold);
        path.lineTo(r.right(), r.bottom());
        path.lineTo(r.left(), r.bottom());
        path.closeSubpath();
        QPen outline = pen(c.line);
        if (dashed)
            outline.setDashPattern({1.2, 1.4});
        p.setPen(outline);
        // A page that is gone keeps a faint paper, so that it reads on any background.
        QColor paper = c.paper;
        if (dashed)
            paper.setAlpha(110);
        p.setBrush(paper);
        p.drawPath(path);
        QPainterPath corner;
        corner.moveTo(r.right() - fold, r.top());
        corner.lineTo(r.right() - fold, r.top() + fold);
        corner.lineTo(r.right(), r.top() + fold);
        p.setBrush(Qt::NoBrush);
        p.drawPath(corner);
    }
    void defaultPage() { page(QRectF(9, 4, 30, 40)); }
    void textLines(QRectF r, int n)
    {
        p.setPen(pen(c.line, 2.5));
        for (int i = 0; i < n; ++i) {
            const qreal y = r.top() + i * r.height() / std::max(1, n - 1);
            p.drawLine(QPointF(r.left(), y), QPointF(r.right() - (i % 2) * r.width() * 0.3, y));
        }
    }
    void folder(bool open)
    {
        QPainterPath back;
        back.moveTo(4, 40);
        back.lineTo(4, 10);
        back.lineTo(17, 10);
        back.lineTo(21, 15);
        back.lineTo(40, 15);
        back.lineTo(40, 40);
        back.closeSubpath();
        p.setPen(pen(c.line));
        p.setBrush(c.orange.lighter(open ? 130 : 115));
        p.drawPath(back);
        if (open) {
            QPainterPath front;
            front.moveTo(4, 40);
            front.lineTo(11, 22);
            front.lineTo(45, 22);
            front.lineTo(40, 40);
            front.closeSubpath();
            p.setBrush(c.orange);
            p.drawPath(front);
        }
    }
    // A straight arrow from a to b with its head at b.
    void arrow(QPointF a, QPointF b, const QColor &color, qreal width = 5)
    {
        p.setPen(pen(color, width));
        p.drawLine(a, b);
        const QLineF shaft(b, a);
        for (qreal turn : {-38.0, 38.0}) {
            QLineF wing = QLineF::fromPolar(width * 2.4, shaft.angle() + turn);
            wing.translate(b);
            p.drawLine(wing);
        }
    }
    // A circular arrow about centre, from start degrees over span degrees.
    void circleArrow(QPointF centre, qreal radius, qreal start, qreal span, const QColor &color)
    {
        const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        p.setPen(pen(color, 5));
        p.setBrush(Qt::NoBrush);
        p.drawArc(box, int(start * 16), int(span * 16));
        const qreal end = qDegreesToRadians(start + span);
        const QPointF tip(centre.x() + radius * std::cos(end), centre.y() - radius * std::sin(end));
        const qreal tangent = start + span + (span > 0 ? 90 : -90);
        for (qreal turn : {-40.0, 40.0}) {
            QLineF wing = QLineF::fromPolar(10, tangent + 180 + turn);
            wing.translate(tip);
            p.drawLine(wing);
        }
    }
    void magnifier(QPointF centre = {19, 19}, qreal radius = 12)
    {
        p.setPen(pen(c.line, 6));
        p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.9, radius * 1.9));
        p.setPen(pen(c.blue));
        p.setBrush(c.paper);
        p.drawEllipse(centre, radius, radius);
    }
    void plus(QPointF centre, qreal half, const QColor &color, qreal width = 4.5)
    {
        p.setPen(pen(color, width));
        p.drawLine(centre - QPointF(half, 0), centre + QPointF(half, 0));
        p.drawLine(centre - QPointF(0, half), centre + QPointF(0, half));
    }
    void minus(QPointF centre, qreal half, const QColor &color, qreal width = 4.5)
    {
        p.setPen(pen(color, width));
        p.drawLine(centre - QPointF(half, 0), centre + QPointF(half, 0));
    }
    void cross(QPointF centre, qreal half, const QColor &color, qreal width = 5)
    {
        p.setPen(pen(color, width));
        p.drawLine(centre - QPointF(half, half), centre + QPointF(half, half));
        p.drawLine(centre + QPointF(-half, half), centre + QPointF(half, -half));
    }
    void triangle(QPointF a, QPointF b, QPointF d, const QColor &color)
    {
        p.setPen(pen(color, 2));
        p.setBrush(color);
        p.drawPolygon(QPolygonF({a, b, d}));
    }
    void badge(QPointF centre, qreal radius, const QColor &fill)
    {
        p.setPen(pen(c.line, 2.5));
        p.setBrush(fill);
        p.drawEllipse(centre, radius, radius);
    }
    void check(QPointF at, const QColor &color)
    {
        p.setPen(pen(color, 5));
        p.drawPolyline(QPolygonF({at + QPointF(-8, 0), at + QPointF(-2, 6), at + QPointF(9, -7)}));
    }
    void star(QPointF centre, qreal r, const QColor &color)
    {
        p.setPen(pen(color, 4));
        for (int i = 0; i < 3; ++i) {
            QLineF l = QLineF::fromPolar(r, 90 + 60 * i);
            l.translate(centre);
            p.drawLine(l.p2(), centre - (l.p2() - centre));
        }
    }
    void padlock(QPointF at)
    {
        p.setPen(pen(c.line, 3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(at.x() - 6, at.y() - 10, 12, 14), 0, 180 * 16);
        p.drawLine(at + QPointF(-6, -3), at + QPointF(-6, 0));
        p.drawLine(at + QPointF(6, -3), at + QPointF(6, 0));
        p.setBrush(c.orange);
        p.drawRoundedRect(QRectF(at.x() - 9, at.y(), 18, 13), 2, 2);
    }
    void exclamation(QPointF at, const QColor &color)
    {
        triangle(at + QPointF(0, -12), at + QPointF(-12, 9), at + QPointF(12, 9), color);
        p.setPen(pen(c.paper, 3.5));
        p.drawLine(at + QPointF(0, -5), at + QPointF(0, 1));
        p.drawPoint(at + QPointF(0, 5.5));
    }
    void flag(const QColor &color)
    {
        p.setPen(pen(c.line));
        p.drawLine(QPointF(12, 6), QPointF(12, 43));
        QPainterPath cloth;
        cloth.moveTo(12, 7);
        cloth.lineTo(38, 13);
        cloth.lineTo(12, 25);
        cloth.closeSubpath();
        p.setBrush(color);
        p.drawPath(cloth);
    }
    void clock(QPointF centre, qreal r)
    {
        p.setPen(pen(c.line));
        p.setBrush(c.paper);
        p.drawEllipse(centre, r, r);
        p.setPen(pen(c.blue, 4));
        p.drawLine(centre, centre + QPointF(0, -r * 0.65));
        p.drawLine(centre, centre + QPointF(r * 0.5, r * 0.2));
    }
    void chevron(bool right, const QColor &color)
    {
        const qreal s = right ? 1 : -1;
        p.setPen(pen(color, 7));
        p.drawPolyline(QPolygonF({QPointF(24 - 7 * s, 9), QPointF(24 + 8 * s, 24), QPointF(24 - 7 * s, 39)}));
    }
    void sortLines(bool growing)
    {
        p.setPen(pen(c.line, 4));
        for (int i = 0; i < 4; ++i) {
            const qreal len = 6 + 5 * (growing ? i : 3 - i);
            p.drawLine(QPointF(22, 9 + 10 * i), QPointF(22 + len, 9 + 10 * i));
        }
        arrow(QPointF(11, 6), QPointF(11, 42), c.blue, 4);
    }
    void box(bool withPlus)
    {
        p.setPen(pen(c.line));
        p.setBrush(c.paper);
        p.drawRoundedRect(QRectF(7, 7, 34, 34), 5, 5);
        if (withPlus)
            plus(QPointF(24, 24), 10, c.blue);
        else
            minus(QPointF(24, 24), 10, c.blue);
    }
};

using Draw = std::function<void(Canvas &)>;

const std::map<std::string, Draw> &Drawings()
{
    static const std::map<std::string, Draw> drawings{
        {"Open", [](Canvas &k) { k.folder(true); }},
        {"Explorer", [](Canvas &k) { k.folder(false); }},
        {"Save",
         [](Canvas &k) {
             k.p.setPen(k.pen(k.c.line));
             k.p.setBrush(k.c.blue);
             k.p.drawRoundedRect(QRectF(6, 6, 36, 36), 4, 4);
             k.p.setBrush(k.c.paper);
             k.p.drawRect(QRectF(13, 6, 22, 13));
             k.p.drawRect(QRectF(12, 27, 24, 15));
         }},
        {"Print",
         [](Canvas &k) {
             k.page(QRectF(13, 4, 22, 18));
             k.p.setPen(k.pen(k.c.line));
             k.p.setBrush(k.c.blue);
             k.p.drawRoundedRect(QRectF(4, 19, 40, 17), 4, 4);
             k.p.setBrush(k.c.paper);
             k.p.drawRect(QRectF(13, 30, 22, 14));
         }},
        {"SendMail",
         [](Canvas &k) {
             k.p.setPen(k.pen(k.c.line));
             k.p.setBrush(k.c.paper);
             k.p.drawRoundedRect(QRectF(4, 11, 40, 27), 3, 3);
             k.p.setPen(k.pen(k.c.blue));
             k.p.drawPolyline(QPolygonF({QPointF(6, 13), QPointF(24, 27), QPointF(42, 13)}));
         }},
        {"AcroRead",
         [](Canvas &k) {
             k.defaultPage();
             k.arrow(QPointF(20, 34), QPointF(40, 14), k.c.red);
         }},
        {"FileSYNC",
         [](Canvas &k) {
             k.page(QRectF(5, 4, 26, 34));
             k.circleArrow(QPointF(32, 32), 10, 200, -250, k.c.green);
         }},
        {"DocInfo",
         [](Canvas &k) {
             k.defaultPage();
             k.badge(QPointF(31, 31), 12, k.c.blue);
             k.p.setPen(k.pen(k.c.paper, 4));
             k.p.drawLine(QPointF(31, 29), QPointF(31, 37));
             k.p.drawPoint(QPointF(31, 24));
         }},
        {"Reload", [](Canvas &k) { k.circleArrow(QPointF(24, 24), 16, 100, -300, k.c.green); }},
        {"Close",
         [](Canvas &k) {
             k.defaultPage();
             k.cross(QPointF(31, 32), 8, k.c.red);
         }},
        {"CloseAll",
         [](Canvas &k) {
             k.page(QRectF(4, 4, 24, 32));
             k.page(QRectF(14, 10, 24, 32));
             k.cross(QPointF(33, 35), 8, k.c.red);
         }},
        {"History", [](Canvas &k) { k.clock(QPointF(24, 24), 18); }},
        {"SelectAll",
         [](Canvas &k) {
             QColor fill = k.c.blue;
             fill.setAlpha(70);
             k.p.setBrush(fill);
             QPen dash = k.pen(k.c.blue, 3);
             dash.setDashPattern({2, 1.5});
             k.p.setPen(dash);
             k.p.drawRect(QRectF(6, 6, 36, 36));
             k.textLines(QRectF(13, 14, 22, 20), 3);
         }},
        {"SelectPage",
         [](Canvas &k) {
             k.defaultPage();
             QPen dash = k.pen(k.c.blue, 3);
             dash.setDashPattern({2, 1.5});
             k.p.setPen(dash);
             k.p.setBrush(Qt::NoBrush);
             k.p.drawRect(QRectF(14, 12, 20, 26));
         }},
        {"Copy",
         [](Canvas &k) {
             k.page(QRectF(5, 4, 24, 32));
             k.page(QRectF(19, 12, 24, 32));
         }},
        {"Find", [](Canvas &k) { k.magnifier(); }},
        {"FindNext",
         [](Canvas &k) {
             k.magnifier(QPointF(17, 17), 11);
             k.triangle(QPointF(31, 28), QPointF(45, 37), QPointF(31, 46), k.c.blue);
         }},
        {"FindPrevious",
         [](Canvas &k) {
             k.magnifier(QPointF(17, 17), 11);
             k.triangle(QPointF(45, 28), QPointF(31, 37), QPointF(45, 46), k.c.blue);
         }},
        {"FindOpt",
         [](Canvas &k) {
             k.magnifier(QPointF(17, 17), 11);
             k.triangle(QPointF(30, 32), QPointF(46, 32), QPointF(38, 42), k.c.line);
         }},
        {"GotoPage",
         [](Canvas &k) {
             k.page(QRectF(15, 4, 28, 40));
             k.arrow(QPointF(3, 24), QPointF(27, 24), k.c.blue);
         }},
        {"Mark", [](Canvas &k) { k.flag(k.c.orange); }},
        {"GotoMark",
         [](Canvas &k) {
             k.flag(k.c.orange);
             k.arrow(QPointF(20, 36), QPointF(44, 36), k.c.blue, 4);
         }},
        {"Previous", [](Canvas &k) { k.arrow(QPointF(42, 24), QPointF(7, 24), k.c.blue, 6); }},
        {"Next", [](Canvas &k) { k.arrow(QPointF(6, 24), QPointF(41, 24), k.c.blue, 6); }},
        {"Right", [](Canvas &k) { k.chevron(true, k.c.green); }},
        {"Left", [](Canvas &k) { k.chevron(false, k.c.green); }},
        {"Toggle",
         [](Canvas &k) {
             k.arrow(QPointF(6, 15), QPointF(40, 15), k.c.blue, 4.5);
             k.arrow(QPointF(42, 33), QPointF(8, 33), k.c.green, 4.5);
         }},
        {"RotateRight",
         [](Canvas &k) {
             k.page(QRectF(14, 14, 22, 30));
             k.circleArrow(QPointF(24, 26), 18, 160, -120, k.c.blue);
         }},
        {"RotateLeft",
         [](Canvas &k) {
             k.page(QRectF(12, 14, 22, 30));
             k.circleArrow(QPointF(24, 26), 18, 20, 120, k.c.blue);
         }},
        {"ZoomIn",
         [](Canvas &k) {
             k.magnifier();
             k.plus(QPointF(19, 19), 6, k.c.line);
         }},
        {"ZoomOut",
         [](Canvas &k) {
             k.magnifier();
             k.minus(QPointF(19, 19), 6, k.c.line);
         }},
        {"UserPrefs",
         [](Canvas &k) {
             k.p.setPen(k.pen(k.c.line, 7));
             for (int i = 0; i < 8; ++i) {
                 QLineF tooth = QLineF::fromPolar(19, 45 * i);
                 tooth.translate(24, 24);
                 k.p.drawLine(QLineF(tooth.pointAt(0.6), tooth.p2()));
             }
             k.p.setPen(k.pen(k.c.line));
             k.p.setBrush(k.c.blue);
             k.p.drawEllipse(QPointF(24, 24), 13, 13);
             k.p.setBrush(k.c.paper);
             k.p.drawEllipse(QPointF(24, 24), 5, 5);
         }},
        {"Help",
         [](Canvas &k) {
             k.badge(QPointF(24, 24), 19, k.c.blue);
             k.p.setPen(k.pen(k.c.paper, 5));
             k.p.setBrush(Qt::NoBrush);
             k.p.drawArc(QRectF(17, 11, 14, 13), -60 * 16, 240 * 16);
             k.p.drawLine(QPointF(27.5, 22), QPointF(24, 27));
             k.p.drawPoint(QPointF(24, 35));
         }},
        {"Bookmark",
         [](Canvas &k) {
             QPainterPath ribbon;
             ribbon.moveTo(12, 4);
             ribbon.lineTo(36, 4);
             ribbon.lineTo(36, 44);
             ribbon.lineTo(24, 33);
             ribbon.lineTo(12, 44);
             ribbon.closeSubpath();
             k.p.setPen(k.pen(k.c.line));
             k.p.setBrush(k.c.red);
             k.p.drawPath(ribbon);
         }},
        {"ContView",
         [](Canvas &k) {
             k.page(QRectF(11, 2, 26, 20));
             k.page(QRectF(11, 26, 26, 20));
         }},
        {"FitWidth",
         [](Canvas &k) {
             k.page(QRectF(8, 4, 32, 40));
             k.arrow(QPointF(24, 26), QPointF(40, 26), k.c.blue, 4);
             k.arrow(QPointF(24, 26), QPointF(8, 26), k.c.blue, 4);
         }},
        {"FitPage",
         [](Canvas &k) {
             k.page(QRectF(8, 4, 32, 40));
             k.arrow(QPointF(24, 24), QPointF(24, 42), k.c.blue, 4);
             k.arrow(QPointF(24, 24), QPointF(24, 8), k.c.blue, 4);
         }},
        {"Doc", [](Canvas &k) { k.defaultPage(); }},
        {"DocPdf",
         [](Canvas &k) {
             k.defaultPage();
             k.textLines(QRectF(15, 20, 18, 16), 3);
         }},
        {"DocSync",
         [](Canvas &k) {
             k.defaultPage();
             k.check(QPointF(28, 31), k.c.green);
         }},
        {"DocErr",
         [](Canvas &k) {
             k.defaultPage();
             k.exclamation(QPointF(31, 33), k.c.red);
         }},
        {"DocMod",
         [](Canvas &k) {
             k.defaultPage();
             k.star(QPointF(30, 32), 9, k.c.orange);
         }},
        {"DocLocked",
         [](Canvas &k) {
             k.defaultPage();
             k.padlock(QPointF(31, 30));
         }},
        {"DocLockedMod",
         [](Canvas &k) {
             k.defaultPage();
             k.padlock(QPointF(22, 30));
             k.star(QPointF(38, 12), 7, k.c.orange);
         }},
        {"DocGone",
         [](Canvas &k) {
             k.page(QRectF(9, 4, 30, 40), true);
             k.cross(QPointF(24, 28), 6, k.c.line, 3.5);
         }},
        {"Files",
         [](Canvas &k) {
             k.page(QRectF(4, 2, 24, 32));
             k.page(QRectF(11, 7, 24, 32));
             k.page(QRectF(18, 12, 24, 32));
         }},
        {"Expand", [](Canvas &k) { k.box(true); }},
        {"Collapse", [](Canvas &k) { k.box(false); }},
        {"Sort", [](Canvas &k) { k.sortLines(true); }},
        {"SortInv", [](Canvas &k) { k.sortLines(false); }},
        {"Delete", [](Canvas &k) { k.cross(QPointF(24, 24), 15, k.c.red, 7); }},
        {"Recycle",
         [](Canvas &k) {
             k.p.setPen(k.pen(k.c.line));
             k.p.setBrush(k.c.paper);
             QPainterPath bin;
             bin.moveTo(11, 13);
             bin.lineTo(37, 13);
             bin.lineTo(34, 44);
             bin.lineTo(14, 44);
             bin.closeSubpath();
             k.p.drawPath(bin);
             k.p.drawLine(QPointF(6, 11), QPointF(42, 11));
             k.p.drawLine(QPointF(19, 5), QPointF(29, 5));
             k.p.setPen(k.pen(k.c.line, 2.5));
             for (qreal x : {19.0, 24.0, 29.0})
                 k.p.drawLine(QPointF(x, 19), QPointF(x, 38));
         }},
        {"ClearHistory",
         [](Canvas &k) {
             k.clock(QPointF(21, 21), 17);
             k.cross(QPointF(36, 36), 7, k.c.red);
         }},
        {"Key",
         [](Canvas &k) {
             k.p.setPen(k.pen(k.c.line));
             k.p.setBrush(k.c.orange);
             k.p.drawEllipse(QPointF(15, 24), 10, 10);
             k.p.setBrush(k.c.paper);
             k.p.drawEllipse(QPointF(12, 24), 3, 3);
             k.p.setPen(k.pen(k.c.line, 5));
             k.p.drawLine(QPointF(25, 24), QPointF(44, 24));
             k.p.drawLine(QPointF(38, 24), QPointF(38, 32));
             k.p.drawLine(QPointF(43, 24), QPointF(43, 30));
         }},
    };
    return drawings;
}

QImage render(const Draw &draw, const Palette &palette, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(qreal(size) / kSize, qreal(size) / kSize);
    Canvas canvas(p, palette);
    draw(canvas);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// An open hand, white with a black outline, so that it shows on white and on black pages.
QImage grabCursor()
{
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hand;
    hand.addRoundedRect(QRectF(12, 20, 26, 22), 9, 9);
    for (const QRectF &finger :
         {QRectF(12, 10, 6, 20), QRectF(19, 5, 6, 22), QRectF(26, 6, 6, 21), QRectF(33, 10, 6, 18)})
        hand.addRoundedRect(finger, 3, 3);
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(2, 24, 18, 6), 3, 3);
    QTransform turn;
    turn.translate(11, 27);
    turn.rotate(40);
    turn.translate(-11, -27);
    hand = hand.united(turn.map(thumb)).simplified();
    p.setPen(QPen(Qt::black, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The About box's logo: a page with the synchronising arrow, larger.
QImage logo() { return render(Drawings().at("FileSYNC"), kMain, 128); }

bool save(const QImage &image, const QString &file)
{
    if (image.save(file, "PNG"))
        return true;
    std::fprintf(stderr, "orvale-make-images: cannot write %s\n", qPrintable(file));
    return false;
}

// The program's icon for the desktop, the logo's drawing at the theme's sizes:
// DIR/NxN/apps/orvalepdf.png.
bool saveIcons(const QString &dir)
{
    bool ok = true;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = dir + QStringLiteral("/%1x%1/apps").arg(size);
        ok = QDir().mkpath(folder) && save(render(Drawings().at("FileSYNC"), kMain, size), folder + "/orvalepdf.png")
            && ok;
    }
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--icons")
        return saveIcons(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvale-make-images OUTDIR\n       orvale-make-images --icons HICOLORDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString main = out + QStringLiteral("/PNGImages");
    const QString hc = main + QStringLiteral("/HC");
    const QString cursors = out + QStringLiteral("/Cursors");
    for (const QString &dir : {hc, cursors})
        if (!QDir().mkpath(dir)) {
            std::fprintf(stderr, "orvale-make-images: cannot create %s\n", qPrintable(dir));
            return 1;
        }
    bool ok = true;
    for (const char *name : ImageNames) {
        const auto it = Drawings().find(name);
        if (it == Drawings().end()) {
            std::fprintf(stderr, "orvale-make-images: no drawing for %s\n", name);
            return 1;
        }
        const QString file = QLatin1String(name) + QStringLiteral(".png");
        ok = save(render(it->second, kMain, kSize), main + QLatin1Char('/') + file) && ok;
        ok = save(render(it->second, kDark, kSize), hc + QLatin1Char('/') + file) && ok;
    }
    if (Drawings().size() != ImageNames.size()) {
        std::fprintf(stderr, "orvale-make-images: drawings without a name\n");
        return 1;
    }
    ok = save(grabCursor(), cursors + QStringLiteral("/Grab.png")) && ok;
    ok = save(logo(), out + QStringLiteral("/OrvalePDFSync.png")) && ok;
    return ok ? 0 : 1;
}
