#include "engine/DocumentList.h"

#include "engine/DocumentView.h"
#include "engine/HostLink.h"
#include "engine/RecentDocuments.h"
#include "settings/Prefer.h"

#include <algorithm>
#include <span>

void TDocumentList::SetSelDoc(int index)
{
    if (index != FSelDoc)
        FPreviousSelDoc = FSelDoc;
    FSelDoc = index;
}

int TDocumentList::Find(const QString &FN) const
{
    for (int i = 0; i < nDocuments; ++i)
        if (Documents[size_t(i)].FileName == FN)
            return i;
    return -1;
}

void TDocumentList::ResetSyncTeX(TDocument &Doc)
{
    if (!Doc.SyncTeX || Doc.SyncTeX->Loading)
        Doc.SyncTeX = std::make_shared<TSyncTeX>();
    else
        Doc.SyncTeX->Init();
}

void TDocumentList::InitDoc(TDocument &Doc)
{
    Doc.FileName.clear();
    Doc.FilePwd.clear();
    Doc.FileDate = 0;
    Doc.TriedDate = -1;
    Doc.Serial = 0;
    Doc.Deferred = TNavRequest();
    ResetSyncTeX(Doc);
    if (!Doc.Tree)
        Doc.Tree = std::make_shared<TTree>();
    Doc.Tree->Init();
    Doc.ZoomMode = TZoomMode(std::clamp<int32_t>(Prefer.ZoomMode, zfitPage, zCustom));
    Doc.Zoom = Prefer.Zoom;
    Doc.Rotate = Prefer.Rotate;
    Doc.PageView = Prefer.PageView;
    Doc.AllowScrolling = Prefer.AllowScrolling;
    Doc.RenderAnnot = Prefer.RenderAnnot;
    Doc.FrameLinks = Prefer.FrameLinks;
    Doc.ShowBookmarks = Prefer.ShowBookmarks;
    Doc.TrackBookmarks = Prefer.TrackBookmarks;
    Doc.ViewRemembered = false;
    Doc.SlotsPrepared = false;
    Doc.History.Clear();
    Doc.Position = TPosition();
    Doc.Mark = TPosition();
    Doc.Position.cp = 1;
    Doc.Selection = TTextSelection();
    Doc.PDFiumDocTextPages.clear();
    Doc.PDFiumDoc.reset();
    Doc.PDFiumDocBuf.clear();
    Doc.Exists = true;
    Doc.PDF = true;
    Doc.Locked = Doc.Modified = Doc.Error = Doc.Sync = false;
}

int TDocumentList::AddDocument(const QString &FN)
{
    if (Prefer.SDInterface && nDocuments > 0)
        CloseAllFiles(-1);
    if (nDocuments >= int(Documents.size()))
        Documents.resize(std::max(2 * Documents.size(), size_t(nDocuments) + 8));
    TDocument &d = Documents[size_t(nDocuments)];
    InitDoc(d);
    Recent.Recall(FN, d);
    // Opened in full screen or presentation: the document is shown as that state shows it.
    if (const auto state = TDisplayState(Host.Window().DisplayState()); state != TDisplayState::Normal) {
        d.PrepareSlots();
        d.SetViewSettings(d.Slot(state));
        // Shown as the state shows it, not by what fits the window.
        d.ViewRemembered = true;
    }
    d.FileName = FN;
    d.FileDate = 0;
    d.Serial = ++LastSerial;
    const int index = nDocuments++;
    Host.Window().AddTab(FN);
    Host.Window().SelectTab(index);
    return index;
}

bool TDocumentList::MoveDocument(int from, int to)
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

// ---- Closing -----------------------------------------------------------------------------

bool TDocumentList::CloseFile(const QString &FN, int ind)
{
    Host.View().HideCoordinates();
    if (!FN.isEmpty())
        ind = Find(FN);
    else if (ind == -1)
        ind = FSelDoc;
    if (ind < 0 || ind >= nDocuments)
        return false;
    const bool current = ind == FSelDoc;
    if (!FQuickClose && current)
        View.StoreDoc(ind);
    // The list keeps the normal view of a document closed in full screen or presentation.
    if (Host.Window().DisplayState() != 0)
        Documents[size_t(ind)].SetViewSettings(Documents[size_t(ind)].Slot(TDisplayState::Normal));
    Recent.Insert(Documents[size_t(ind)], 0);

    if (current)
        View.ReleasePages();
    TDocument &closed = Documents[size_t(ind)];
    closed.PDFiumDoc.reset();
    closed.PDFiumDocBuf.clear();
    // The closed slot becomes the spare one after the used slots, keeping its objects.
    std::rotate(Documents.begin() + ind, Documents.begin() + ind + 1, Documents.begin() + nDocuments);
    --nDocuments;
    InitDoc(Documents[size_t(nDocuments)]);
    Host.Window().DeleteTab(ind);

    if (nDocuments == 0) {
        SetSelDoc(-1);
        View.DocChanged();
        Host.Window().Relayout();
        View.ResetToDefaults();
        Host.View().SetVertRange(0);
        Host.View().SetHorzRange(0);
        Host.Window().SetCaption(QString());
    } else if (current) {
        // The one before it, or the last one when the first was closed.
        const int next = ind > 0 ? ind - 1 : nDocuments - 1;
        FSelDoc = -1;
        SetSelDoc(next);
        View.DocChanged();
        if (!FQuickClose) {
            Host.Window().SelectTab(next);
            View.RestoreDoc(next);
        }
    } else if (ind < FSelDoc) {
        FSelDoc -= 1;
        if (!FQuickClose)
            Host.Window().SelectTab(FSelDoc);
    }
    if (!FQuickClose) {
        Host.View().InvalidateView();
        View.UpdateStatus();
    }
    return true;
}

bool TDocumentList::CloseAllFiles(int Sel)
{
    const bool entered = SetQuickClose(true);
    bool any = false;
    for (int i = nDocuments - 1; i >= 0; --i)
        if (i != Sel && CloseFile(QString(), i))
            any = true;
    if (entered)
        SetQuickClose(false);
    return any;
}

void TDocumentList::Clear()
{
    for (TDocument &doc : Documents) {
        doc.PDFiumDoc.reset();
        doc.PDFiumDocBuf.clear();
        doc.SyncTeX.reset();
    }
    Documents.clear();
    nDocuments = 0;
}

// ---- Batching ----------------------------------------------------------------------------

void TDocumentList::ShowDocument()
{
    if (FSelDoc < 0) {
        Host.Window().SetCaption(QString());
        Host.Window().Relayout();
    } else {
        Host.Window().SelectTab(FSelDoc);
        View.RestoreDoc(FSelDoc);
        Host.Window().Relayout();
    }
    View.UpdateStatus();
    Host.View().InvalidateView();
}

bool TDocumentList::SetQuickOpen(bool q)
{
    if (q == FQuickOpen)
        return false;
    if (q) {
        Host.View().LockUpdate(true);
        UpdateDocList();
        View.StoreDoc(FSelDoc);
        FQuickOpen = true;
        Host.Window().Relayout();
    } else {
        FQuickOpen = false;
        Host.View().LockUpdate(false);
        ShowDocument();
    }
    return true;
}

bool TDocumentList::StopQuickOpen()
{
    if (!FQuickOpen)
        return false;
    SetQuickOpen(false);
    return true;
}

bool TDocumentList::SetQuickClose(bool q)
{
    if (q == FQuickClose)
        return false;
    if (q) {
        UpdateDocList();
        Host.View().LockUpdate(true);
        FQuickClose = true;
    } else {
        FQuickClose = false;
        Host.View().LockUpdate(false);
        ShowDocument();
    }
    return true;
}

void TDocumentList::UpdateDocList()
{
    View.StoreDoc(FSelDoc);
    // The list holds the normal views; the documents keep the state's views afterwards.
    const bool normal = Host.Window().DisplayState() == 0;
    std::vector<TPresentation> shown;
    if (!normal) {
        for (int i = 0; i < nDocuments; ++i) {
            TDocument &d = Documents[size_t(i)];
            shown.push_back(d.ViewSettings());
            d.SetViewSettings(d.Slot(TDisplayState::Normal));
        }
    }
    Recent.InsertOpen(std::span<const TDocument>(Documents.data(), size_t(nDocuments)), FSelDoc);
    for (size_t i = 0; i < shown.size(); ++i)
        Documents[i].SetViewSettings(shown[i]);
}
