#include "engine/RecentDocuments.h"

#include "base/BusyIndicator.h"
#include "base/FileUtils.h"
#include "settings/Prefer.h"

#include <algorithm>

void TRecentDocuments::Insert(const TDocument &Doc, int opened)
{
    const int maxLen = std::max<int32_t>(1, Prefer.MaxListLen);
    if (Prefer.DocList.size() < maxLen + 1)
        Prefer.DocList.resize(maxLen + 1);
    Prefer.DocListCount = std::clamp<int32_t>(Prefer.DocListCount, 0, maxLen);
    int index = Prefer.DocListCount;
    for (int i = 0; i < Prefer.DocListCount; ++i)
        if (Prefer.DocList[i].FileName == Doc.FileName) {
            index = i;
            break;
        }
    // Shifting into the spare element past the end drops the oldest entry of a full list.
    for (int i = index; i > 0; --i)
        Prefer.DocList[i] = Prefer.DocList[i - 1];
    if (index == Prefer.DocListCount && Prefer.DocListCount < maxLen)
        ++Prefer.DocListCount;
    TDocInfo &e = Prefer.DocList[0];
    e.FileName = Doc.FileName;
    e.FilePwd = Doc.FilePwd;
    e.ZoomMode = Doc.ZoomMode;
    e.Zoom = Doc.Zoom;
    e.Rotate = Doc.Rotate;
    e.PageView = Doc.PageView;
    e.AllowScrolling = Doc.AllowScrolling;
    e.RenderAnnot = Doc.RenderAnnot;
    e.FrameLinks = Doc.FrameLinks;
    e.ShowBookmarks = Doc.ShowBookmarks;
    e.TrackBookmarks = Doc.TrackBookmarks;
    e.cp = Doc.Position.cp;
    e.Top = Doc.Position.Top;
    e.Left = Doc.Position.Left;
    e.wasOpened = opened;
}

void TRecentDocuments::InsertOpen(std::span<const TDocument> open, int selected)
{
    // Last first, so that the open documents end at the top in tab order.
    for (int i = int(open.size()) - 1; i >= 0; --i)
        Insert(open[size_t(i)], i == selected ? 2 : 1);
}

bool TRecentDocuments::Recall(const QString &FN, TDocument &d) const
{
    if (!Prefer.RememberDoc)
        return false;
    for (int i = 0; i < Prefer.DocListCount && i < Prefer.DocList.size(); ++i) {
        const TDocInfo &e = Prefer.DocList[i];
        if (e.FileName != FN)
            continue;
        d.FilePwd = e.FilePwd;
        d.ZoomMode = TZoomMode(std::clamp<int32_t>(e.ZoomMode, zfitPage, zCustom));
        d.Zoom = e.Zoom;
        d.Rotate = e.Rotate;
        d.PageView = e.PageView;
        d.AllowScrolling = e.AllowScrolling;
        d.RenderAnnot = e.RenderAnnot;
        d.FrameLinks = e.FrameLinks;
        d.ShowBookmarks = e.ShowBookmarks;
        d.TrackBookmarks = e.TrackBookmarks;
        d.Position = {std::max(1, e.cp), e.Top, e.Left};
        d.ViewRemembered = true;
        return true;
    }
    return false;
}

void TRecentDocuments::ForEachOpened(const std::function<void(const QString &FN, bool selected)> &open)
{
    // Opening does not touch the list, so its entries stay where they are during the walk.
    for (int i = 0; i < Prefer.DocListCount && Prefer.DocList[i].wasOpened > 0 && !EscapePressed(); ++i) {
        TDocInfo &e = Prefer.DocList[i];
        if (!FileExists(e.FileName)) {
            e.wasOpened = 0;
            continue;
        }
        open(e.FileName, e.wasOpened >= 2);
    }
}
