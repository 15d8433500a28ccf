#include "ui/style/ImageListStyle.h"

#include "ui/ImageRes.h"

#include <QApplication>

// Not owning the application's style: a change of the application's style reaches the menus
// through QProxyStyle's own following of it.
TImageListStyle::TImageListStyle() : QProxyStyle(QApplication::style()->name()) {}

int TImageListStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    if (metric == PM_SmallIconSize && ImageListsLoaded())
        return ImageListOf(1).Size();
    return QProxyStyle::pixelMetric(metric, option, widget);
}
