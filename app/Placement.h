#pragma once
// The arithmetic of the main window's placement: the stored rectangle and sizes at another
// density, the rectangle to restore on the screens there are now, and the density of a
// screen as one figure.
#include <QList>
#include <QRect>

struct TPrefer;
struct TWindowRect;

// The settings' sizes that hold pixels (window rectangle, bookmarks width) from oldPPI to
// newPPI; nothing for a density that is not positive.
void ScaleStoredSizes(TPrefer &prefer, int oldPPI, int newPPI);
// The stored rectangle, at least one pixel wide and high. When it meets none of the screens'
// available areas it would be out of reach: it moves to the primary screen's available
// top-left corner, keeping its size.
QRect StoredWindowRect(const TWindowRect &stored, const QList<QRect> &available, const QRect &primary);
// A window geometry as the settings store it.
TWindowRect WindowRectOf(const QRect &geometry);
// n pixels at 96 per inch at the current density.
int Scaled(int n);
// The two axes' logical densities as one rounded figure.
int AveragePPI(double dpiX, double dpiY);
