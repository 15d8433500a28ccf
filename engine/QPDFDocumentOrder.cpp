// The order of the open documents: the tab strip reorders them by dragging.
#include "engine/QPDF.h"

#include <utility>

bool TQPDF::SwapDocuments(int a, int b)
{
    if (a < 0 || b < 0 || a >= nDocuments || b >= nDocuments)
        return false;
    if (a == b)
        return true;
    // Whole records move: the handles, buffers and SyncTeX objects stay with their documents,
    // so the shown document keeps its pages and view while only its index changes.
    std::swap(Documents[size_t(a)], Documents[size_t(b)]);
    const auto follow = [a, b](int &index) {
        if (index == a)
            index = b;
        else if (index == b)
            index = a;
    };
    follow(FSelDoc);
    follow(FPreviousSelDoc);
    return true;
}
