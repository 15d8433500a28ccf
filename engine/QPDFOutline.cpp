// The engine's side of the bookmarks panel: the current document's outline read into its
// tree and handed to the panel.
#include "engine/QPDF.h"

int TQPDF::BuildTree(const std::shared_ptr<TTree> &tree)
{
    if (!tree)
        return 0;
    Host.Window().BookmarksBuilding();
    if (!tree->Ready)
        OutlineRead.ReadTree(CurrentPdf(), *tree);
    Host.Window().ShowBookmarkTree(tree, TrackBookmarks);
    return tree->Count;
}

void TQPDF::ShowTree(bool opened, bool newSlot)
{
    const int count = BuildTree(FTree);
    if (opened && ((count == 0 && newSlot) || !ShowBookmarks)) {
        ShowBookmarks = false;
        Host.Window().ShowBookmarksPanel(false);
    } else if (opened) {
        ShowBookmarks = true;
        Host.Window().ShowBookmarksPanel(true);
    } else if (ShowBookmarks && count == 0) {
        // Nothing to show (yet: a document still loading); the document keeps its choice.
        Host.Window().ShowBookmarksPanel(false);
        ShowBookmarks = true;
    } else {
        Host.Window().ShowBookmarksPanel(ShowBookmarks);
    }
}

void TQPDF::ReadTreePages(TTree &tree)
{
    // A tree not read from the shown document may hold handles of a document closed since.
    if (&tree == FTree.get() && tree.Ready)
        OutlineRead.ReadPages(CurrentPdf(), tree);
}
