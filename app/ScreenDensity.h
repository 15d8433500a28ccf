#pragma once
// The screen's physical density for layout: the two axes' densities weighted by the screen's
// width and height, so that a screen with unequal pixels gets one figure that fits both.
#include <QSize>

class QScreen;

// All densities are per widget pixel; ratio is the device pixels per widget pixel. Falls back
// to the logical density when the physical figures are missing or absurd. An interface scaled
// above one device pixel per 96th of an inch (Xft.dpi, Qt's scale factor) says how dense the
// screen is at least: X servers often report a made-up 96 ppi size, so a physical figure below
// the logical density of such a screen is not believed.
double WeightedPixelsPerInch(double dpiX, double dpiY, QSize size, double logicalDpi, double ratio);
// The density of screen in its widget pixels; 96 without one.
double MonitorPixelsPerInch(const QScreen *screen);
