#pragma once
// A document of given page sizes for layout tests, mapping points to pixels the way the PDF
// library does for pages without a rotation of their own: origin bottom-left in points,
// top-left in pixels, the user's rotation in quarter turns clockwise.
#include "engine/PageSource.h"

#include <cmath>
#include <vector>

class SyntheticPages : public TPageSource {
public:
    std::vector<FS_SIZEF> sizes;
    std::vector<QString> labels; // the document's own labels; missing or empty: none
    int loads = 0;

    explicit SyntheticPages(std::vector<FS_SIZEF> s = {}) : sizes(std::move(s)) {}

    const void *Document() const override { return sizes.empty() ? nullptr : this; }
    int PageCount() const override { return int(sizes.size()); }
    bool PageSize(int index, FS_SIZEF &size) override
    {
        if (index < 0 || index >= PageCount())
            return false;
        size = sizes[index];
        return true;
    }
    QString PageLabel(int index) override
    {
        return index >= 0 && index < int(labels.size()) ? labels[index] : QString();
    }
    bool LoadPage(int index) override
    {
        ++loads;
        return index >= 0 && index < PageCount();
    }
    bool DeviceToPage(int index, int sx, int sy, int w, int h, int rotate, int x, int y, double &px,
                      double &py) override
    {
        if (index < 0 || index >= PageCount() || w <= 0 || h <= 0)
            return false;
        const double pw = sizes[index].width, ph = sizes[index].height;
        const double u = double(x - sx) / w, v = double(y - sy) / h; // 0..1 across the box
        switch (rotate & 3) {
        case 0:
            px = u * pw;
            py = (1 - v) * ph;
            break;
        case 1:
            px = v * pw;
            py = u * ph;
            break;
        case 2:
            px = (1 - u) * pw;
            py = v * ph;
            break;
        default:
            px = (1 - v) * pw;
            py = (1 - u) * ph;
            break;
        }
        return true;
    }
    bool PageToDevice(int index, int sx, int sy, int w, int h, int rotate, double px, double py, int &x,
                      int &y) override
    {
        if (index < 0 || index >= PageCount())
            return false;
        const double a = px / sizes[index].width, b = py / sizes[index].height;
        double u, v;
        switch (rotate & 3) {
        case 0:
            u = a;
            v = 1 - b;
            break;
        case 1:
            u = b;
            v = a;
            break;
        case 2:
            u = 1 - a;
            v = b;
            break;
        default:
            u = 1 - b;
            v = 1 - a;
            break;
        }
        x = sx + int(std::lround(u * w));
        y = sy + int(std::lround(v * h));
        return true;
    }
};
