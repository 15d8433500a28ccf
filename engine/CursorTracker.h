#pragma once
// What lies under the mouse pointer in the page view: outside it, beside the pages, on a
// page, close to a character of a page's text, or on a link; and the nearest character with the side
// of it the pointer is on, where a selection begins or ends.
#include "engine/DPLPDFiumDLL.h"

class TDPLPDFiumDLL;
class THostLink;
class TPageLayout;
class TPdfPageSource;
class TTextSearch;

enum TCursorCode : int { tcNone = 0, tcOutside = 1, tcBesidePages = 2, tcOnPage = 3, tcText = 4, tcLink = 5 };

class TCursorTracker {
public:
    TCursorTracker(const TDPLPDFiumDLL &dll, TPageLayout &view, TPdfPageSource &source, TTextSearch &search,
                   const THostLink &host)
        : DLL(dll), View(view), Source(source), Search(search), Host(host)
    {}
    TCursorTracker(const TCursorTracker &) = delete;
    TCursorTracker &operator=(const TCursorTracker &) = delete;

    // Looks at the pointer's position in the page view (isSel: during a drag selection, when
    // a pointer outside the view counts as at its edge, and links do not count). tcNone
    // without a document. A press
    // of the primary button on a page (not isSel) sets where the next search step goes on.
    // The loaded page is the same before and after.
    TCursorCode TrackCursor(bool hasDocument, bool isSel);

    // The page under the pointer (0 none), the nearest character of its text (-1 none) and
    // the side: +1 after the character's box in reading direction, -1 before it, 0 within.
    int ptPage = 0;
    int ptChar = -1;
    int ptDelta = 0;
    // The link under the pointer, null none; valid while its page's document is open.
    FPDF_LINK ptAnnot = nullptr;

private:
    const TDPLPDFiumDLL &DLL;
    TPageLayout &View;
    TPdfPageSource &Source;
    TTextSearch &Search;
    const THostLink &Host;
};
