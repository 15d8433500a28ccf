#pragma once
#include <QPoint>
#include <QRect>

#include <algorithm>

// Top-left that centres a w x h box over the owner window, but never left of or above
// the monitor's top-left edge.
inline QPoint CenterOver(const QRect &owner, const QRect &monitor, int w, int h)
{
    const int left = owner.left() + (owner.width() - w) / 2;
    const int top = owner.top() + (owner.height() - h) / 2;
    return {std::max(left, monitor.left()), std::max(top, monitor.top())};
}
