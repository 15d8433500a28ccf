#include "app/ScreenDensity.h"

#include <QScreen>

#include <algorithm>
#include <cmath>

double WeightedPixelsPerInch(double dpiX, double dpiY, QSize size, double logicalDpi, double ratio)
{
    const int weight = size.width() + size.height();
    double dpi = weight > 0 ? (dpiX * size.width() + dpiY * size.height()) / weight : 0.0;
    if (!std::isfinite(dpi) || dpi <= 0)
        dpi = logicalDpi;
    if (logicalDpi * ratio > 96)
        dpi = std::max(dpi, logicalDpi);
    return std::max(1.0, dpi);
}

double MonitorPixelsPerInch(const QScreen *screen)
{
    if (!screen)
        return 96.0;
    return WeightedPixelsPerInch(screen->physicalDotsPerInchX(), screen->physicalDotsPerInchY(),
                                 screen->geometry().size(), screen->logicalDotsPerInch(), screen->devicePixelRatio());
}
