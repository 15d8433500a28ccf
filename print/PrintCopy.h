#pragma once
#include "engine/PdfHandles.h"

#include <QByteArray>
#include <QPoint>
#include <QSizeF>

class QPainter;
class TQPDF;

// A private copy of an open document to print from: printing flattens annotations into the
// pages, and the document on screen must keep its links and save unchanged. The copy lives in
// memory only (the saved bytes without their security handler, loaded again).
class TPrintCopy {
public:
    // Copies document docIndex of the engine; Valid() tells whether that worked.
    TPrintCopy(TQPDF &engine, int docIndex);
    bool Valid() const { return bool(doc); }
    int PageCount() const;
    FPDF_DOCUMENT Document() const { return doc.get(); }

    // The page's size in points as it stands (its own rotation applied); with autoOrient a
    // quarter-turned page gives its size before the turn, as it prints then.
    QSizeF PageSize(int page, bool autoOrient = false) const;
    // The page's own rotation in quarter turns clockwise (0 when it does not load).
    int PageRotation(int page) const;

    // Draws page (1-based) with its top-left corner at corner, at dpi device pixels per inch,
    // onto a device of deviceDpi whose drawable rows are rows (from the painter's origin). The
    // page is rasterised at the device's resolution but at most 600 dpi, in bands of bounded
    // memory, and only where it lands inside rows; bands meet without gap or overlap. With
    // autoOrient a page with its own rotation prints as it stands before that rotation.
    bool PrintPage(QPainter &painter, int page, QPoint corner, double dpi, int deviceDpi, int firstRow, int rowCount,
                   bool autoOrient = false) const;

    static constexpr int MaxRasterDpi = 600;
    // The memory of one band of raster rows.
    void SetBandBytes(qsizetype bytes) { bandBytes = bytes; }
    // How many raster rows a band of a page rasterWidth pixels wide holds.
    int BandRows(int rasterWidth) const;

    // The device row where raster row k begins, for a raster of rasterRows over deviceRows.
    static int DeviceRow(int k, int rasterRows, int deviceRows);

private:
    TQPDF &engine;
    QByteArray bytes; // the copy's data, which the library reads while the copy is open
    TPdfDocument doc;
    qsizetype bandBytes = 16 << 20;
};
