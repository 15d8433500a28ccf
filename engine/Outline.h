#pragma once
// A document's bookmark tree: the outline's items in depth-first order with the state the
// bookmarks panel showed them in (expanded, selected, the item at the top), kept with the
// document while another one is shown.
#include "engine/DPLPDFiumDLL.h"

#include <QString>

#include <vector>

struct TTreeItem {
    QString Caption;
    int Level = 0; // depth from 0
    int Page = -1; // the bookmark's page once read; below 1 none
    FPDF_BOOKMARK BM = nullptr;
    bool Expanded = false;
    bool Selected = false;
};

class TTree {
public:
    // Ready: the items reflect the outline. PagesReady: every item's Page is known.
    bool Ready = false;
    bool PagesReady = false;
    int TopItem = -1;
    int Count = 0;
    std::vector<TTreeItem> Items;

    // Empties the tree.
    void Init();
    // The item that belongs to page: the one with the largest Page not above it; of several
    // on that page the first, of several on an earlier page the last. -1 none.
    int ItemForPage(int page) const;
    // The index of item's parent, -1 for a top-level item.
    int Parent(int item) const;
};
