#pragma once
// What the page layout reads of the current document: the page count, page sizes and the
// library's mapping between page points and device pixels.
#include <fpdf_compat.h>

#include <QString>

class TPageSource {
public:
    virtual ~TPageSource() = default;
    // Identity of the current document; null when none is open.
    virtual const void *Document() const = 0;
    virtual int PageCount() const = 0;
    // Size in points of the 0-based page as the library reports it.
    virtual bool PageSize(int index, FS_SIZEF &size) = 0;
    // The document's own label of the 0-based page; empty when it has none.
    virtual QString PageLabel(int index) = 0;
    // Makes the 0-based page the loaded one; false when it cannot be loaded.
    virtual bool LoadPage(int index) = 0;
    // The library's conversions for the 0-based page laid out at (startX, startY) with the
    // pixel size (sizeX, sizeY) and the user's rotation in quarter turns.
    virtual bool DeviceToPage(int index, int startX, int startY, int sizeX, int sizeY, int rotate, int x, int y,
                              double &px, double &py) = 0;
    virtual bool PageToDevice(int index, int startX, int startY, int sizeX, int sizeY, int rotate, double px, double py,
                              int &x, int &y) = 0;
};
