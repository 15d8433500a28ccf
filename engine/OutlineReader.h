#pragma once
// Reading a document's outline through the PDF library: the bookmark accessors, the walk that
// fills a TTree, the bookmarks' pages and the list of named destinations. A null document or
// bookmark where a handle is asked for means the outline's root.
#include "engine/DPLPDFiumDLL.h"
#include "engine/Outline.h"

#include <QString>

class TOutlineReader {
public:
    // Levels 0 to kMaxDepth - 1 are read; deeper bookmarks are left out.
    static constexpr int kMaxDepth = 8;

    explicit TOutlineReader(const TDPLPDFiumDLL &dll) : DLL(dll) {}

    FPDF_BOOKMARK BMGetFirstChild(FPDF_DOCUMENT doc, FPDF_BOOKMARK bm) const;
    FPDF_BOOKMARK BMGetNextSibling(FPDF_DOCUMENT doc, FPDF_BOOKMARK bm) const;
    QString BMGetTitle(FPDF_BOOKMARK bm) const;
    FPDF_DEST BMGetDest(FPDF_DOCUMENT doc, FPDF_BOOKMARK bm) const;
    FPDF_ACTION BMGetAction(FPDF_BOOKMARK bm) const;
    // The bookmark's page (1-based) from its destination, else from its go-to action's; -1.
    int BMGetPage(FPDF_DOCUMENT doc, FPDF_BOOKMARK bm) const;

    // Fills tree from doc's outline, depth first; the expansion and selection of the items it
    // held carry over to the first new items of the same captions. A depth cut and a
    // bookmark met a second time (a damaged outline that loops) end that branch with a line
    // in the log. The number of items.
    int ReadTree(FPDF_DOCUMENT doc, TTree &tree) const;
    // Every item's Page, once.
    void ReadPages(FPDF_DOCUMENT doc, TTree &tree) const;

private:
    const TDPLPDFiumDLL &DLL;
};
