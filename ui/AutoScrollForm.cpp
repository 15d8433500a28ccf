#include "ui/AutoScrollForm.h"

#include "settings/Prefer.h"
#include "ui/ScrollForm.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <cmath>

namespace {

// Unit vectors of the arrow directions, screen y downwards.
const QPointF kUp(0, -1), kDown(0, 1), kLeft(-1, 0), kRight(1, 0);
const double kDiag = std::sqrt(0.5);

// An arrow head pointing along dir with its tip at tip: half-width s x 16 / 100, length s / 4.
QPolygonF ArrowHead(QPointF tip, QPointF dir, int s)
{
    const double half = s * 16 / 100;
    const double length = s / 4;
    const QPointF base = tip - dir * length;
    const QPointF across(-dir.y(), dir.x());
    return QPolygonF({tip, base + across * half, base - across * half});
}

// The arrow directions of each cursor.
std::vector<QPointF> Directions(TAutoScrollCursor c)
{
    switch (c) {
    case acAll: return {kUp, kDown, kLeft, kRight};
    case acVert: return {kUp, kDown};
    case acHorz: return {kLeft, kRight};
    case acUp: return {kUp};
    case acDown: return {kDown};
    case acLeft: return {kLeft};
    case acRight: return {kRight};
    case acUpLeft: return {QPointF(-kDiag, -kDiag)};
    case acUpRight: return {QPointF(kDiag, -kDiag)};
    case acDownLeft: return {QPointF(-kDiag, kDiag)};
    case acDownRight: return {QPointF(kDiag, kDiag)};
    case acCount: break;
    }
    return {};
}

// The eleven cursors drawn for one indicator size, kept until the size changes.
struct TCursorSet {
    int size = -1;
    std::array<QCursor, acCount> cursors;

    void Draw(int s)
    {
        size = s;
        const QPointF centre((s + 1) / 2.0, (s + 1) / 2.0);
        for (int i = 0; i < acCount; ++i) {
            QPixmap pixmap(s + 1, s + 1);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(128, 128, 128), 1));
            p.setBrush(Qt::white);
            for (const QPointF &dir : Directions(TAutoScrollCursor(i)))
                p.drawPolygon(ArrowHead(centre + dir * (s / 2.0 - 1), dir, s));
            p.end();
            cursors[size_t(i)] = QCursor(pixmap, s / 2, s / 2);
        }
    }
};

TCursorSet &CursorSet()
{
    static TCursorSet set;
    return set;
}

} // namespace

TAutoScrollForm::TAutoScrollForm(TScrollForm *scrForm, const QPoint &ptAutoScroll)
    : QWidget(scrForm), ScrForm(scrForm), ptAutoScroll(ptAutoScroll), Pointer(ptAutoScroll),
      Ppi(std::max(96, int(CurrentPPI))), S(IndicatorSize(Ppi))
{
    if (CursorSet().size != S)
        CursorSet().Draw(S);
    isVert = ScrForm->CanScrollVert();
    isHorz = ScrForm->CanScrollHorz();
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    resize(S + 1, S + 1);
    move(ScrForm->mapFromGlobal(ptAutoScroll) - QPoint(S / 2, S / 2));
    FCursor = CursorFor(0, 0, isVert, isHorz, Ppi);
    // The direction shows on the whole screen while the indicator holds the mouse.
    QGuiApplication::setOverrideCursor(DirectionCursor(FCursor));
    show();
    raise();
    grabMouse();
    PostStep();
}

TAutoScrollForm::~TAutoScrollForm() { Finish(); }

void TAutoScrollForm::Finish()
{
    if (Finished)
        return;
    Finished = true;
    hide();
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    QGuiApplication::restoreOverrideCursor();
}

int TAutoScrollForm::Speed(int d, int ppi)
{
    const int unit = ppi / 96;
    const int s = IndicatorSize(ppi);
    const int t = (unit + s + 1) / 2;
    const int a = std::abs(d);
    if (a <= t)
        return 0;
    const int dead = ppi * 12 / 96 + 4;
    const int speed = a < dead ? 0 : (a - dead) / (unit * 3 + 2);
    return (d < 0 ? -1 : 1) * std::max(1, speed);
}

TAutoScrollCursor TAutoScrollForm::CursorFor(int dx, int dy, bool vert, bool horz, int ppi)
{
    const int t = (ppi / 96 + IndicatorSize(ppi) + 1) / 2;
    const int zx = dx < -t ? -1 : dx > t ? 1 : 0;
    const int zy = dy < -t ? -1 : dy > t ? 1 : 0;
    if (vert && horz) {
        static const TAutoScrollCursor grid[3][3] = {
            {acUpLeft, acUp, acUpRight}, {acLeft, acAll, acRight}, {acDownLeft, acDown, acDownRight}};
        return grid[zy + 1][zx + 1];
    }
    if (vert)
        return zy < 0 ? acUp : zy > 0 ? acDown : acVert;
    if (horz)
        return zx < 0 ? acLeft : zx > 0 ? acRight : acHorz;
    return acAll;
}

const QCursor &TAutoScrollForm::DirectionCursor(TAutoScrollCursor c) { return CursorSet().cursors[size_t(c)]; }

void TAutoScrollForm::PostStep() { QCoreApplication::postEvent(this, new QEvent(AutoScrollStepEvent)); }

bool TAutoScrollForm::Step()
{
    if (Nesting > 0)
        return false;
    ++Nesting;
    QCoreApplication::processEvents();
    --Nesting;
    if (ScrForm->AutoScrollIndicator() != this)
        return false; // stopped meanwhile
    const QPoint d = Pointer - ptAutoScroll;
    const TAutoScrollCursor c = CursorFor(d.x(), d.y(), isVert, isHorz, Ppi);
    if (c != FCursor) {
        FCursor = c;
        QGuiApplication::changeOverrideCursor(DirectionCursor(c));
    }
    bool moved = false;
    const auto move = [&](bool vert, int speed) {
        if (speed == 0)
            return;
        const int before = vert ? ScrForm->VertPos() : ScrForm->HorzPos();
        vert ? ScrForm->SetVertPos(before + speed) : ScrForm->SetHorzPos(before + speed);
        moved |= (vert ? ScrForm->VertPos() : ScrForm->HorzPos()) != before;
    };
    move(true, isVert ? Speed(d.y(), Ppi) : 0);
    move(false, isHorz ? Speed(d.x(), Ppi) : 0);
    if (moved)
        ScrForm->viewport()->repaint();
    return moved;
}

void TAutoScrollForm::customEvent(QEvent *e)
{
    if (e->type() == AutoScrollStepEvent && Step())
        PostStep();
}

void TAutoScrollForm::mouseMoveEvent(QMouseEvent *e)
{
    Pointer = e->globalPosition().toPoint();
    PostStep();
}

void TAutoScrollForm::mousePressEvent(QMouseEvent *e)
{
    e->accept();
    ScrForm->StopAutoScroll();
}

void TAutoScrollForm::keyPressEvent(QKeyEvent *e)
{
    (void)e;
    ScrForm->StopAutoScroll();
}

void TAutoScrollForm::paintEvent(QPaintEvent *e)
{
    (void)e;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(144 / 255.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(254, 254, 254));
    p.drawEllipse(QRectF(0, 0, S, S));
    const QPointF centre(S / 2.0, S / 2.0);
    const double r = S / 8;
    p.setPen(Qt::black);
    p.setBrush(QColor(143, 143, 143));
    p.drawEllipse(centre, r, r);
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    std::vector<QPointF> dirs;
    if (isVert)
        dirs.insert(dirs.end(), {kUp, kDown});
    if (isHorz)
        dirs.insert(dirs.end(), {kLeft, kRight});
    for (const QPointF &dir : dirs)
        p.drawPolygon(ArrowHead(centre + dir * (S / 2.0 - 2), dir, S));
}
