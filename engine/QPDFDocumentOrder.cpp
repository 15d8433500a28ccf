// The order of the open documents: the tab strip reorders them by dragging.
#include "engine/QPDF.h"

#include <algorithm>

bool TQPDF::MoveDocument(int from, int to)
{
    if (from < 0 || to < 0 || from >= nDocuments || to >= nDocuments)
        return false;
    if (from == to)
        return true;
    // Whole records move: the handles, buffers and SyncTeX objects stay with their documents,
    // so the shown document keeps its pages and view while only its index changes.
    const auto first = Documents.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
    const auto follow = [from, to](int &index) {
        if (index == from)
            index = to;
        else if (from < to && index > from && index <= to)
            --index;
        else if (to < from && index >= to && index < from)
            ++index;
    };
    follow(FSelDoc);
    follow(FPreviousSelDoc);
    return true;
}
