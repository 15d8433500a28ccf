#include "app/Placement.h"

#include "settings/Prefer.h"

#include <QtMath>

#include <algorithm>

void ScaleStoredSizes(TPrefer &prefer, int oldPPI, int newPPI)
{
    if (oldPPI <= 0 || newPPI <= 0)
        return;
    prefer.BookmarksWidth = MulDiv(prefer.BookmarksWidth, newPPI, oldPPI);
    TWindowRect &r = prefer.WindowRect;
    r.Left = MulDiv(r.Left, newPPI, oldPPI);
    r.Top = MulDiv(r.Top, newPPI, oldPPI);
    r.Right = MulDiv(r.Right, newPPI, oldPPI);
    r.Bottom = MulDiv(r.Bottom, newPPI, oldPPI);
}

QRect StoredWindowRect(const TWindowRect &r, const QList<QRect> &available, const QRect &primary)
{
    QRect rect(QPoint(r.Left, r.Top), QSize(std::max(1, r.Right - r.Left), std::max(1, r.Bottom - r.Top)));
    const bool onScreen =
        std::any_of(available.begin(), available.end(), [&](const QRect &screen) { return screen.intersects(rect); });
    if (!onScreen && primary.isValid())
        rect.moveTopLeft(primary.topLeft());
    return rect;
}

TWindowRect WindowRectOf(const QRect &geometry)
{
    TWindowRect r;
    r.Left = geometry.left();
    r.Top = geometry.top();
    r.Right = geometry.left() + geometry.width();
    r.Bottom = geometry.top() + geometry.height();
    return r;
}

int Scaled(int n) { return MulDiv(n, CurrentPPI, 96); }

int AveragePPI(double dpiX, double dpiY) { return (qRound(dpiX) + qRound(dpiY) + 1) / 2; }
