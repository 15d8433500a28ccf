#include "engine/Outline.h"

void TTree::Init()
{
    Ready = false;
    PagesReady = false;
    TopItem = -1;
    Count = 0;
    Items.clear();
}

int TTree::ItemForPage(int page) const
{
    int chosen = -1;
    int best = 0;
    for (int i = 0; i < Count && i < int(Items.size()); ++i) {
        const int p = Items[size_t(i)].Page;
        if (p < 1 || p > page)
            continue;
        if (p == page)
            return i;
        if (p >= best) {
            best = p;
            chosen = i;
        }
    }
    return chosen;
}

int TTree::Parent(int item) const
{
    if (item < 0 || item >= Count)
        return -1;
    const int level = Items[size_t(item)].Level;
    for (int i = item - 1; i >= 0; --i)
        if (Items[size_t(i)].Level < level)
            return i;
    return -1;
}
