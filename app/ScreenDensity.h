#pragma once
// The screen's physical density for layout: the two axes' densities weighted by the screen's
// width and height, so that a screen with unequal pixels gets one figure that fits both.
#include <QSize>

class QScreen;

// Falls back to the logical density when the physical figures are missing or absurd.
double WeightedPixelsPerInch(double dpiX, double dpiY, QSize size, double logicalDpi);
// The density of screen; 96 without one.
double MonitorPixelsPerInch(const QScreen *screen);
