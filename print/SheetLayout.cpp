#include "print/SheetLayout.h"

#include "base/NumberParse.h"

#include <algorithm>
#include <cmath>

namespace {

// Halves go to the even neighbour, as everywhere pixels are counted from points.
int RoundPixels(double x) { return int(std::nearbyint(x)); }

double Scale(const pl::PrinterCaps &caps, int pw, int ph, int mx, int my, const TSheetSettings &settings, bool &valid)
{
    valid = true;
    switch (settings.zoomMode) {
    case TPrintZoomMode::ActualSize: return 1;
    case TPrintZoomMode::FitPages:
    case TPrintZoomMode::ShrinkOversized: {
        // A page without area has nothing to fit.
        if (pw <= 0 || ph <= 0)
            return 1;
        const double fit = std::min(double(caps.paperWidth - 2 * mx) / pw, double(caps.paperHeight - 2 * my) / ph);
        return settings.zoomMode == TPrintZoomMode::FitPages ? fit : std::min(fit, 1.0);
    }
    case TPrintZoomMode::CustomScale: {
        double percent = 0;
        valid = ParseReal(settings.customZoom, 1, 1000, percent);
        return valid ? percent / 100 : 1;
    }
    }
    return 1;
}

} // namespace

TSheetLayout LayoutSheet(const pl::PrinterCaps &caps, QSizeF pageSize, const TSheetSettings &settings)
{
    TSheetLayout l;
    const int pw = RoundPixels(pageSize.width() / 72 * caps.dpi);
    const int ph = RoundPixels(pageSize.height() / 72 * caps.dpi);
    l.marginX = settings.marginOffset ? caps.offsetX : 0;
    l.marginY = settings.marginOffset ? caps.offsetY : 0;
    l.scale = Scale(caps, pw, ph, l.marginX, l.marginY, settings, l.scaleValid);
    l.pageWidth = RoundPixels(pw * l.scale);
    l.pageHeight = RoundPixels(ph * l.scale);
    if (settings.center) {
        if (l.pageWidth + 2 * l.marginX < caps.paperWidth)
            l.marginX += (caps.paperWidth - l.pageWidth - 2 * l.marginX) / 2;
        if (l.pageHeight + 2 * l.marginY < caps.paperHeight)
            l.marginY += (caps.paperHeight - l.pageHeight - 2 * l.marginY) / 2;
    }
    l.pdpi = caps.dpi * l.scale;
    l.xOffset = l.marginX - caps.offsetX;
    l.yOffset = l.marginY - caps.offsetY;
    return l;
}

bool ShouldSwitchOrientation(const pl::PrinterCaps &caps, QSizeF pageSize)
{
    if (!caps.canLandscape || pageSize.width() <= 0 || pageSize.height() <= 0 || caps.paperWidth <= 0
        || caps.paperHeight <= 0)
        return false;
    const double e = pageSize.width() / pageSize.height();
    const double asIs = double(caps.paperWidth) / caps.paperHeight;
    const double turned = double(caps.paperHeight) / caps.paperWidth;
    return std::fabs(asIs - e) > std::fabs(turned - e) + 0.01;
}

TSheetLabels SheetLabels(const pl::PrinterCaps &caps, const TSheetLayout &layout)
{
    const double dpi = caps.dpi;
    const double pageDpi = layout.scale * dpi;
    TSheetLabels t;
    t.dpi = QStringLiteral("Printer DPI: %1").arg(RoundPixels(dpi));
    t.offset =
        QStringLiteral("Margin Offset: %1 in (%2 pxl)").arg(FormatReal(caps.offsetX / dpi, 2, 0)).arg(caps.offsetX);
    t.paper = QStringLiteral("Paper (w x h): %1 x %2 in")
                  .arg(FormatReal(caps.paperWidth / dpi, 1, 0), FormatReal(caps.paperHeight / dpi, 1, 0));
    t.page = QStringLiteral("Page (w x h): %1 x %2 in")
                 .arg(FormatReal(layout.pageWidth / pageDpi, 1, 0), FormatReal(layout.pageHeight / pageDpi, 1, 0));
    t.zoom = QStringLiteral("Zoom: %1%").arg(FormatReal(layout.scale * 100, 2, 0));
    return t;
}

QString ZoomErrorCaption() { return QStringLiteral("Zoom Specification Error"); }

QString ZoomErrorText() { return QStringLiteral("Scale value must be between 1 and 1000%."); }
