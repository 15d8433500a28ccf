#include "app/ViewStatusFormatter.h"

#include <algorithm>

TViewStatusText TViewStatusFormatter::Format(const TViewStatus &status, bool pageBoxFocused, bool zoomBoxFocused)
{
    TViewStatusText text;
    text.SyncTeX = status.SyncTeX;
    if (!status.Document) {
        text.PageBox = QString();
        text.CountBox = QString();
        text.ZoomBox = QStringLiteral("100%");
        LastZoomShown = 100;
        return text;
    }

    const QString pages = QStringLiteral("(%1/%2)").arg(status.Page).arg(status.PageCount);
    text.PagePanel = QStringLiteral("Page:  ") + status.Label;
    text.PagesPanel = pages;
    if (!pageBoxFocused) {
        text.PageBox = status.Label;
        text.CountBox = pages;
    }
    text.PageBoxEnabled = status.PageCount > 0;

    static const QString modes[] = {QStringLiteral("Fit Page"), QStringLiteral("Fit Width"),
                                    QStringLiteral("Actual Size"), QStringLiteral("Custom Zoom")};
    const QString zoom = QString::number(status.Zoom) + QLatin1Char('%');
    text.ZoomPanel = QStringLiteral("Zoom:  ") + zoom;
    text.ZoomModePanel = modes[std::clamp<int>(status.ZoomMode, zfitPage, zCustom)];
    text.ZoomBoxEnabled = true;
    if (status.Zoom != LastZoomShown || !zoomBoxFocused) {
        LastZoomShown = status.Zoom;
        text.CheckedZoomMode = status.ZoomMode;
        text.ZoomBox = zoom;
        text.FocusView = zoomBoxFocused;
    }
    return text;
}
