#include "app/ScreenDensity.h"

#include <QScreen>

#include <algorithm>
#include <cmath>

double WeightedPixelsPerInch(double dpiX, double dpiY, QSize size, double logicalDpi)
{
    const int weight = size.width() + size.height();
    const double dpi = weight > 0 ? (dpiX * size.width() + dpiY * size.height()) / weight : 0.0;
    return std::max(1.0, std::isfinite(dpi) && dpi > 0 ? dpi : logicalDpi);
}

double MonitorPixelsPerInch(const QScreen *screen)
{
    if (!screen)
        return 96.0;
    return WeightedPixelsPerInch(screen->physicalDotsPerInchX(), screen->physicalDotsPerInchY(),
        screen->geometry().size(), screen->logicalDotsPerInch());
}
