#include "print/CopyPrintSource.h"

QSizeF TCopyPrintSource::PageSize(int page, bool autoOrient) { return copy.PageSize(page, autoOrient); }

bool TCopyPrintSource::PrintPage(QPainter &painter, int page, QPoint corner, double dpi)
{
    // The painter's origin is the printable corner: the paper begins at minus the offsets.
    return copy.PrintPage(painter, page, corner, dpi, caps.dpi, -caps.offsetY, caps.paperHeight, autoOrient);
}
