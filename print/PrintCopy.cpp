#include "print/PrintCopy.h"

#include "base/DebugLog.h"
#include "engine/QPDF.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

struct TMemoryWriter : FPDF_FILEWRITE {
    QByteArray *bytes = nullptr;
};

int WriteBlock(FPDF_FILEWRITE *self, const void *data, unsigned long size)
{
    static_cast<TMemoryWriter *>(self)->bytes->append(static_cast<const char *>(data), qsizetype(size));
    return 1;
}

} // namespace

TPrintCopy::TPrintCopy(TQPDF &engine, int docIndex) : engine(engine)
{
    const TDPLPDFiumDLL *dll = engine.PDFium();
    if (!dll || docIndex < 0 || docIndex >= engine.DocumentCount() || !engine.Document(docIndex).PDFiumDoc)
        return;
    TMemoryWriter writer;
    writer.version = 1;
    writer.WriteBlock = WriteBlock;
    writer.bytes = &bytes;
    if (!dll->FPDF_SaveAsCopy(engine.Document(docIndex).PDFiumDoc.get(), &writer, FPDF_REMOVE_SECURITY)) {
        DebugLog(QStringLiteral("Print copy: the document could not be written to memory"));
        return;
    }
    doc = AdoptPdf<TPdfDocument>(*dll, dll->FPDF_LoadMemDocument64(bytes.constData(), size_t(bytes.size()), nullptr));
    if (!doc)
        DebugLog(QStringLiteral("Print copy: the copy could not be loaded"));
}

int TPrintCopy::PageCount() const { return doc ? engine.PDFium()->FPDF_GetPageCount(doc.get()) : 0; }

QSizeF TPrintCopy::PageSize(int page, bool autoOrient) const
{
    FS_SIZEF size{0, 0};
    if (!doc || !engine.PDFium()->FPDF_GetPageSizeByIndexF(doc.get(), page - 1, &size))
        return {};
    if (autoOrient && (PageRotation(page) & 1))
        return QSizeF(size.height, size.width);
    return QSizeF(size.width, size.height);
}

int TPrintCopy::PageRotation(int page) const
{
    const TDPLPDFiumDLL &dll = *engine.PDFium();
    FS_SIZEF size{0, 0};
    if (!doc || !dll.FPDF_GetPageSizeByIndexF(doc.get(), page - 1, &size))
        return 0;
    const TPdfPage loaded = AdoptPdf<TPdfPage>(dll, dll.FPDF_LoadPage(doc.get(), page - 1));
    if (!loaded)
        return 0;
    // At rotation 0 the library maps the page's own rotation only: where the page's corners
    // land tells the turn.
    const int sx = std::max(1, int(size.width)), sy = std::max(1, int(size.height));
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    dll.FPDF_PageToDevice(loaded.get(), 0, 0, sx, sy, 0, 0, 0, &x0, &y0);
    dll.FPDF_PageToDevice(loaded.get(), 0, 0, sx, sy, 0, size.width, size.height, &x1, &y1);
    if (x1 >= x0)
        return y1 > y0 ? 1 : 0;
    return y1 < y0 ? 3 : 2;
}

int TPrintCopy::BandRows(int rasterWidth) const
{
    return int(std::clamp<qsizetype>(bandBytes / (qsizetype(std::max(rasterWidth, 1)) * 3), 1, 1 << 20));
}

int TPrintCopy::DeviceRow(int k, int rasterRows, int deviceRows)
{
    return rasterRows <= 0 ? 0 : int(qint64(k) * deviceRows / rasterRows);
}

bool TPrintCopy::PrintPage(QPainter &painter, int page, QPoint corner, double dpi, int deviceDpi, int firstRow,
                           int rowCount, bool autoOrient) const
{
    if (!doc || page < 1 || page > PageCount() || dpi <= 0 || deviceDpi <= 0)
        return false;
    // The library turns the page by its own rotation and then by ours: a quarter turn more
    // after an odd one, a half turn after a half turn, brings it back to where it stood.
    const int own = autoOrient ? PageRotation(page) : 0;
    const int rotate = (own & 1) ? (own + 2) % 4 : own;
    const QSizeF points = PageSize(page, autoOrient);
    const int width = int(std::nearbyint(points.width() / 72 * dpi));
    const int height = int(std::nearbyint(points.height() / 72 * dpi));
    if (width <= 0 || height <= 0)
        return true;
    // At the printer's own resolution (up to 600 dpi) one raster pixel is one device pixel.
    const int rasterDpi = std::min(deviceDpi, MaxRasterDpi);
    const int rasterW = rasterDpi == deviceDpi ? width : std::max(1, int(qint64(width) * rasterDpi / deviceDpi));
    const int rasterH = rasterDpi == deviceDpi ? height : std::max(1, int(qint64(height) * rasterDpi / deviceDpi));
    const int bandRows = BandRows(rasterW);
    // Only the raster rows whose device rows fall inside the drawable rows.
    int k = 0;
    while (k < rasterH && corner.y() + DeviceRow(k + 1, rasterH, height) <= firstRow)
        ++k;
    bool loaded = true;
    while (k < rasterH && corner.y() + DeviceRow(k, rasterH, height) < firstRow + rowCount) {
        const int end = std::min(rasterH, k + bandRows);
        QImage band(rasterW, end - k, QImage::Format_BGR888);
        if (!engine.RenderPageBitmap(band, doc.get(), page, 0, -k, rasterW, rasterH, rotate, FPDF_PRINTING)) {
            loaded = false;
            break;
        }
        const int top = DeviceRow(k, rasterH, height), bottom = DeviceRow(end, rasterH, height);
        painter.drawImage(QRect(corner.x(), corner.y() + top, width, bottom - top), band);
        k = end;
    }
    return loaded;
}
