#pragma once
// Which monitor a window shows on, for covering it in full screen.
#include <QList>
#include <QRect>

// The index of the monitor the window overlaps most (the first of equals); a window on none
// takes the nearest one; -1 without monitors.
int MonitorOfWindow(const QRect &window, const QList<QRect> &monitors);
