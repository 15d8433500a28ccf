#include "engine/OutlineReader.h"

#include "base/DebugLog.h"

#include <QHash>

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace {

// One walk of the outline: the bookmarks met so far, so that a Next or First entry that
// points back ends the branch instead of appending items until memory runs out.
class TOutlineWalk {
public:
    TOutlineWalk(const TOutlineReader &reader, FPDF_DOCUMENT doc, std::vector<TTreeItem> &items)
        : Reader(reader), Doc(doc), Items(items)
    {}

    void Walk(FPDF_BOOKMARK first, int level)
    {
        // Siblings in a loop, children one level deeper; the depth is capped, so the
        // recursion is too.
        for (FPDF_BOOKMARK bm = first; bm; bm = Reader.BMGetNextSibling(Doc, bm)) {
            if (!Visited.insert(bm).second) {
                if (!CycleLogged)
                    DebugLog(QStringLiteral("Tree Cycle: ") + Reader.BMGetTitle(bm));
                CycleLogged = true;
                return;
            }
            TTreeItem item;
            item.Caption = Reader.BMGetTitle(bm);
            item.BM = bm;
            item.Level = level;
            Items.push_back(std::move(item));
            FPDF_BOOKMARK child = Reader.BMGetFirstChild(Doc, bm);
            if (!child)
                continue;
            if (level + 1 >= TOutlineReader::kMaxDepth)
                DebugLog(QStringLiteral("Tree Depth: ") + QString::number(level + 1));
            else
                Walk(child, level + 1);
        }
    }

private:
    const TOutlineReader &Reader;
    FPDF_DOCUMENT Doc;
    std::vector<TTreeItem> &Items;
    std::unordered_set<FPDF_BOOKMARK> Visited;
    bool CycleLogged = false;
};

} // namespace

FPDF_BOOKMARK TOutlineReader::BMGetFirstChild(FPDF_DOCUMENT doc, FPDF_BOOKMARK bm) const
{
    return doc ? DLL.FPDFBookmark_GetFirstChild(doc, bm) : nullptr;
}

FPDF_BOOKMARK TOutlineReader::BMGetNextSibling(FPDF_DOCUMENT doc, FPDF_BOOKMARK bm) const
{
    return doc ? DLL.FPDFBookmark_GetNextSibling(doc, bm) : nullptr;
}

QString TOutlineReader::BMGetTitle(FPDF_BOOKMARK bm) const
{
    if (!bm)
        return QString();
    // Bytes of UTF-16 with the terminator.
    const unsigned long len = DLL.FPDFBookmark_GetTitle(bm, nullptr, 0);
    if (len <= 3 || (len & 1))
        return QString();
    std::vector<char16_t> buffer(len / 2, 0);
    DLL.FPDFBookmark_GetTitle(bm, buffer.data(), len);
    return QString::fromUtf16(buffer.data(), qsizetype(len / 2 - 1));
}

FPDF_DEST TOutlineReader::BMGetDest(FPDF_DOCUMENT doc, FPDF_BOOKMARK bm) const
{
    return doc && bm ? DLL.FPDFBookmark_GetDest(doc, bm) : nullptr;
}

FPDF_ACTION TOutlineReader::BMGetAction(FPDF_BOOKMARK bm) const
{
    return bm ? DLL.FPDFBookmark_GetAction(bm) : nullptr;
}

int TOutlineReader::BMGetPage(FPDF_DOCUMENT doc, FPDF_BOOKMARK bm) const
{
    if (!doc || !bm)
        return -1;
    if (FPDF_DEST dest = BMGetDest(doc, bm)) {
        const int index = DLL.FPDFDest_GetDestPageIndex(doc, dest);
        if (index >= 0)
            return index + 1;
    }
    FPDF_ACTION action = BMGetAction(bm);
    if (!action || DLL.FPDFAction_GetType(action) != PDFACTION_GOTO)
        return -1;
    FPDF_DEST dest = DLL.FPDFAction_GetDest(doc, action);
    const int index = dest ? DLL.FPDFDest_GetDestPageIndex(doc, dest) : -1;
    return index >= 0 ? index + 1 : -1;
}

int TOutlineReader::ReadTree(FPDF_DOCUMENT doc, TTree &tree) const
{
    tree.PagesReady = false;
    std::vector<TTreeItem> old = std::move(tree.Items);
    old.resize(size_t(std::clamp<int>(tree.Count, 0, int(old.size()))));
    tree.Items.clear();
    tree.Items.reserve(std::max<size_t>(old.size(), 256));
    TOutlineWalk(*this, doc, tree.Items).Walk(BMGetFirstChild(doc, nullptr), 0);
    tree.Items.shrink_to_fit();
    tree.Count = int(tree.Items.size());

    // The view state goes with the captions: the first new item of each caption takes it.
    QHash<QString, int> firstOf;
    for (int i = tree.Count - 1; i >= 0; --i)
        firstOf.insert(tree.Items[size_t(i)].Caption, i);
    for (const TTreeItem &o : old) {
        const int i = firstOf.value(o.Caption, -1);
        if (i < 0)
            continue;
        if (o.Expanded)
            tree.Items[size_t(i)].Expanded = true;
        if (o.Selected) {
            for (TTreeItem &item : tree.Items)
                item.Selected = false;
            tree.Items[size_t(i)].Selected = true;
        }
    }
    if (tree.TopItem >= tree.Count)
        tree.TopItem = -1;
    tree.Ready = true;
    return tree.Count;
}

void TOutlineReader::ReadPages(FPDF_DOCUMENT doc, TTree &tree) const
{
    if (tree.PagesReady)
        return;
    for (int i = 0; i < tree.Count; ++i) {
        TTreeItem &item = tree.Items[size_t(i)];
        item.Page = BMGetPage(doc, item.BM);
    }
    tree.PagesReady = true;
}
