#include "engine/QPDF.h"

#include "base/AppState.h"
#include "base/DebugLog.h"
#include "base/FileUtils.h"
#include "base/TextCodec.h"
#include "engine/InfoNote.h"
#include "settings/Prefer.h"
#include "settings/PreferStore.h"

#include <algorithm>
#include <cmath>
#include <utility>

TQPDF::TQPDF(double pixelsPerInch) : Source(Library.DLL()), View(Source, Host), Nav(View, Source, Host), Recent(Prefer)
{
    Nav.StatusChanged = [this] { UpdateStatus(); };
    Nav.StopQuickOpen = [this] { Docs.StopQuickOpen(); };
    if (!Library.Bind(App.ExeFolder))
        return;
    QPDFStatus = 1;
    SetPixelsPerInch(pixelsPerInch);
    ResetToDefaults();
    PDFiumDocChanged();
    // Saving the settings first puts the open documents at the top of the recent list.
    PreferStoreHooks.updateDocList = [this] { UpdateDocList(); };
}

TQPDF::~TQPDF()
{
    if (QPDFStatus == 1)
        PreferStoreHooks.updateDocList = nullptr;
    Docs.FSelDoc = -1;
    PDFiumDocChanged();
    FSyncTeX.reset();
    Docs.Clear();
}

void TQPDF::SetPixelsPerInch(double ppi) { View.FPixelsPerInch = std::max(1.0, ppi); }

void TQPDF::PDFiumDocChanged()
{
    Source.SetDocument(FSelDoc >= 0 ? Current().PDFiumDoc.get() : nullptr);
    View.PageUnloaded();
}

void TQPDF::DocChanged()
{
    ResetMark();
    PDFiumDocChanged();
    Search.Reset();
    if (FTree)
        FTree->Ready = false;
}

void TQPDF::ResetToDefaults()
{
    View.FZoomMode = TZoomMode(std::clamp<int32_t>(Prefer.ZoomMode, zfitPage, zCustom));
    View.FZoom = Prefer.Zoom;
    View.FRotate = Prefer.Rotate;
    View.PageView = Prefer.PageView;
    View.AllowScrolling = Prefer.AllowScrolling;
    RenderAnnot = Prefer.RenderAnnot;
    FrameLinks = Prefer.FrameLinks;
    ShowBookmarks = Prefer.ShowBookmarks;
    TrackBookmarks = Prefer.TrackBookmarks;
    View.PageGap = Prefer.PageGap;
    View.SelPage = 0;
    Nav.History.Clear();
    Nav.Mark = TPosition();
    Sel.State = TTextSelection();
    FSyncTeX.reset();
    // The last document went: the panel lets its tree go and stops following.
    FTree.reset();
    Host.Window().ShowBookmarkTree(nullptr, false);
}

void TQPDF::ReleasePages() { Source.SetDocument(nullptr); }

void TQPDF::StoreDoc(int Doc)
{
    if (Doc < 0 || Doc >= nDocuments)
        return;
    TDocument &d = Documents[size_t(Doc)];
    d.ZoomMode = View.FZoomMode;
    d.Zoom = View.FZoom;
    d.Rotate = View.FRotate;
    d.PageView = View.PageView;
    d.AllowScrolling = View.AllowScrolling;
    d.RenderAnnot = RenderAnnot;
    d.FrameLinks = FrameLinks;
    d.ShowBookmarks = ShowBookmarks;
    d.TrackBookmarks = TrackBookmarks;
    d.History = Nav.History;
    d.Mark = Nav.Mark;
    d.Selection = Sel.State;
    if (Doc == FSelDoc && FTree == d.Tree)
        Host.Window().SaveBookmarkTree(*d.Tree);
    // Only the shown document has a view to read the position from.
    if (Doc == FSelDoc && Source.Document()) {
        TPosition p{View.SelPage, 0, 0};
        Nav.SavePosition(p.cp, p.Top, p.Left);
        if (p.cp > 0)
            d.Position = p;
    }
}

void TQPDF::RestoreDoc(int Doc)
{
    if (Doc < 0 || Doc >= nDocuments)
        return;
    TDocument &d = Documents[size_t(Doc)];
    if (Restoring) {
        DebugLog(QStringLiteral("Already Restoring: ") + d.FileName);
        return;
    }
    Restoring = true;
    // Another document's mark and search end; the shown one's stay when its view is only
    // restored.
    if (Doc != FSelDoc) {
        ResetMark();
        Search.Reset();
    }
    const bool quick = FQuickOpen || FQuickClose;
    if (!quick)
        Host.Window().SetCaption(d.FileName);
    View.FZoom = d.Zoom;
    View.FZoomMode = d.ZoomMode;
    View.FRotate = d.Rotate;
    View.PageView = d.PageView;
    View.AllowScrolling = d.AllowScrolling;
    RenderAnnot = d.RenderAnnot;
    FrameLinks = d.FrameLinks;
    ShowBookmarks = d.ShowBookmarks;
    TrackBookmarks = d.TrackBookmarks;
    View.PageGap = Prefer.PageGap;
    if (d.History.Empty()) {
        d.History.CPos = 1;
        d.History.Positions[0] = d.Position;
    }
    Nav.History = d.History;
    Nav.Mark = d.Mark;
    Sel.State = d.Selection;
    FSyncTeX = d.SyncTeX;
    FTree = d.Tree;
    SetSelDoc(Doc);
    PDFiumDocChanged();
    View.SelPage = d.Position.cp;
    View.SetSelectedPage(d.Position.cp);
    View.SetupView();
    Nav.RestorePosition(d.Position.cp, d.Position.Top, d.Position.Left);
    Restoring = false;
    if (!quick)
        ShowTree(false, false);
    UpdateStatus();
}

void TQPDF::UpdateStatus()
{
    if (StatusWaits())
        return;
    const TViewStatus status = ViewStatus();
    Host.Window().ShowViewStatus(status);
    if (FSelDoc >= 0) {
        Host.Window().FollowPage(status.Page);
        UpdateTab(-1, TTabUpdate::IfChanged);
    }
    Host.Window().StatusUpdated();
}

bool TQPDF::StatusWaits() const { return Nav.noUpdating || Restoring || FQuickOpen || FQuickClose; }

TViewStatus TQPDF::ViewStatus()
{
    TViewStatus status;
    status.SyncTeX = SyncTeXStatus();
    if (FSelDoc < 0)
        return status;
    status.Document = true;
    View.GetPageView();
    const int n = Source.PageCount();
    status.Label = View.SelPage <= 0 || n <= 0 ? QStringLiteral("?") : Nav.GetPageLabelEx(View.SelPage);
    View.SelPage = std::min(View.SelPage, n);
    status.Page = View.SelPage;
    status.PageCount = n;
    status.Zoom = int(std::trunc(View.FZoom + 0.0001));
    status.ZoomMode = View.FZoomMode;
    return status;
}

void TQPDF::UpdateTab(int ind, TTabUpdate upd)
{
    if (ind < 0)
        ind = FSelDoc;
    if (ind < 0 || ind >= nDocuments) {
        DebugLog(QStringLiteral("UpdateTab Index out of bounds: ") + QString::number(ind));
        return;
    }
    TDocument &d = Documents[size_t(ind)];
    const bool before[] = {d.Exists, d.Locked, d.Modified, d.Error, d.Sync, d.PDF};
    d.Error = !d.PDFiumDoc;
    d.PDF = FileExtension(d.FileName).compare(QLatin1String(".pdf"), Qt::CaseInsensitive) == 0;
    d.Exists = FileExists(d.FileName);
    d.Locked = d.Exists && FileLocked(d.FileName, true, true);
    d.Modified = d.Exists && d.FileDate > 0 && FileTime64(d.FileName) != d.FileDate;
    d.Sync = d.Exists && d.SyncTeX && (d.SyncTeX->Ready || d.SyncTeX->Pending || d.SyncTeX->Loading);
    const bool after[] = {d.Exists, d.Locked, d.Modified, d.Error, d.Sync, d.PDF};
    const bool changed = !std::equal(std::begin(before), std::end(before), std::begin(after));
    if (upd == TTabUpdate::Redraw || (upd == TTabUpdate::IfChanged && changed))
        Host.Window().UpdateTabIcon(ind);
}

int TQPDF::RestoreOpenedDocuments()
{
    const bool entered = SetQuickOpen(true);
    int opened = 0;
    int select = -1;
    Recent.ForEachOpened([&](const QString &FN, bool selected) {
        const int before = nDocuments;
        OpenDocument(FN, false, QString(), 0, TDestType::ForwardSearch);
        if (nDocuments > before)
            ++opened;
        if (selected)
            select = (FSelDoc >= 0 && Current().PDFiumDoc) ? FSelDoc : -1;
    });
    if (select >= 0 && select < nDocuments) {
        StoreDoc(FSelDoc);
        SetSelDoc(select);
    }
    if (entered)
        SetQuickOpen(false);
    return opened;
}

// ---- Opening -----------------------------------------------------------------------------

bool TQPDF::LoadFile(const QString &FN)
{
    if (Loader.PasswordPrompt() || !OpenDocument(FN, false, QString(), 0, TDestType::ForwardSearch))
        return false;
    Host.Window().Relayout();
    return true;
}

bool TQPDF::ReloadFile(const QString &FN)
{
    if (Loader.PasswordPrompt() || !OpenDocument(FN, true, QString(), 0, TDestType::ForwardSearch))
        return false;
    Host.Window().Relayout();
    return true;
}

void TQPDF::ChooseInitialZoom()
{
    if (!Source.Document())
        return;
    if (FSelDoc == 0)
        View.SetupView();
    if (View.SelPage < 1)
        View.SelPage = 1;
    View.SetSelectedPage(View.SelPage);
    const int n = Source.PageCount();
    if (n <= 0 || View.FDocPageWidth == 0 || View.FDocPageHeight == 0)
        return;
    // Page pixels at 100 %.
    const double dpi = View.FDpi;
    View.FDpi = View.FPixelsPerInch;
    const bool odd = View.FRotate & 1;
    const int w = View.GetPxl(odd ? View.FDocPageHeight : View.FDocPageWidth);
    const int h = View.GetPxl(odd ? View.FDocPageWidth : View.FDocPageHeight);
    View.FDpi = dpi;
    const int cols = View.PageView != TPageViewMode::Single ? 2 : 1;
    const int gap = View.PageView != TPageViewMode::Single ? View.FGap : 0;
    const int zw = Host.View().ClientWidth() * 100 / std::max(1, gap + cols * w) + 1;
    const int zh = Host.View().ClientHeight() * 100 / std::max(1, h) + 1;
    const int z = int(std::lround(View.FZoom));
    const bool fitWidth = View.FZoomMode == zfitWidth;
    if ((fitWidth && zh <= zw && 4 * zh >= 3 * zw) || std::min(zw, zh) >= z * 111 / 100
        || (fitWidth && std::min(zw, zh) >= z * 99 / 100 && zw >= 222))
        View.FZoomMode = zfitPage;
    else if (z * 99 / 100 <= zw && zw <= 222)
        View.FZoomMode = zfitWidth;
    if (View.FZoomMode == zfitPage)
        View.AllowScrolling = false;
    // Pages of different widths do not scroll well as one column.
    for (int i = 0; n > 1 && i < n; ++i) {
        FS_SIZEF size{0, 0};
        if (!Source.PageSize(i, size) || size.width != float(View.FDocPageWidth)) {
            View.AllowScrolling = false;
            break;
        }
    }
}

void TQPDF::FinishDisplay()
{
    StopQuickOpen();
    Host.View().InvalidateView();
}

void TQPDF::Navigate(const QString &SRC, int lnum, TDestType dest_type)
{
    switch (dest_type) {
    case TDestType::PageIndex:
        if (lnum <= 0)
            return;
        FinishDisplay();
        if (!Nav.GOTOPage(lnum, nullptr))
            Host.View().ShowInfo(QStringLiteral("Page Index out of bounds: ") + QString::number(lnum), kInfoNoteMs);
        return;
    case TDestType::PageLabel:
        if (SRC.isEmpty())
            return;
        FinishDisplay();
        if (!Nav.GOTOPageLabel(SRC, nullptr))
            Host.View().ShowInfo(QStringLiteral("Page Label not found: ") + Quoted(SRC), kInfoNoteMs);
        return;
    case TDestType::NamedDest: {
        if (SRC.isEmpty())
            return;
        FinishDisplay();
        FPDF_DOCUMENT doc = Current().PDFiumDoc.get();
        FPDF_DEST dest = doc ? Library.DLL().FPDF_GetNamedDestByName(doc, ToUtf8(SRC).constData()) : nullptr;
        if (!dest)
            Host.View().ShowInfo(QStringLiteral("Named Destination not found: ") + Quoted(SRC), kInfoNoteMs);
        else if (!ExeDest(doc, dest))
            Host.View().ShowInfo(QStringLiteral("Named Destination GoTo Error: ") + Quoted(SRC), kInfoNoteMs);
        return;
    }
    case TDestType::ForwardSearch: Mark.Search(SRC, lnum); return;
    default: return;
    }
}

bool TQPDF::ExeDest(FPDF_DOCUMENT doc, FPDF_DEST dest)
{
    const int page = Library.DLL().FPDFDest_GetDestPageIndex(doc, dest);
    if (page < 0)
        return false;
    FPDF_BOOL hasX = 0, hasY = 0, hasZoom = 0;
    FS_FLOAT x = 0, y = 0, zoom = 0;
    Library.DLL().FPDFDest_GetLocationInPage(dest, &hasX, &hasY, &hasZoom, &x, &y, &zoom);
    const TDest target{hasX ? x : 0, hasY ? y : 0, hasZoom ? zoom : 0};
    // A destination without the coordinate that gives the top (a /Fit one) shows the page from
    // its top, not from its bottom edge, where a missing y of 0 would put it.
    const bool hasTop = View.GetPageOrientation(page + 1) == 1 ? hasX : hasY;
    return Nav.GOTOPage(page + 1, hasTop ? &target : nullptr);
}

bool TQPDF::OpenDocument(QString FN, bool force_reload, const QString &SRC, int lnum, TDestType dest_type)
{
    if (Loader.PasswordPrompt())
        return false;
    if (QPDFStatus != 1)
        return true;
    FN = TDocumentLoader::ResolveName(FN, FileName());
    if (FN.isEmpty())
        return true;

    const bool folder = FolderExists(FN);
    const bool unloadable = !TDocumentLoader::Readable(FN);
    Host.View().FocusView();
    if (!FQuickOpen)
        StoreDoc(FSelDoc);

    bool newSlot = false;
    if (FSelDoc < 0 || FN != FileName()) {
        Host.View().HideCoordinates();
        int found = Docs.Find(FN);
        if (found >= 0) {
            Host.Window().SelectTab(found);
        } else {
            found = Docs.AddDocument(FN);
            newSlot = true;
        }
        SetSelDoc(found);
        RestoreDoc(found);
    }
    TDocument &slot = Current();
    // A request replaces one that waits; a plain load of a readable file runs the waiting one.
    TNavRequest nav{SRC, lnum, dest_type};
    if (nav.Asked())
        slot.Deferred = TNavRequest();
    else if (!unloadable)
        nav = std::exchange(slot.Deferred, TNavRequest());

    if (!force_reload && !newSlot && FileTime64(FN) == slot.FileDate) {
        TDocumentLoader::ReloadNewerSyncTeX(
            slot.SyncTeX, Prefer.UseThreads && (nav.dest_type != TDestType::ForwardSearch || nav.SRC.isEmpty()));
        Navigate(nav.SRC, nav.lnum, nav.dest_type);
    } else if (unloadable) {
        // The document stays as it was until its file can be read again; so does the request.
        if (nav.Asked())
            slot.Deferred = nav;
        if (folder)
            Loader.NoteFailedVersion(slot, FileTime64(FN), true);
    } else {
        // A reload keeps the place; a document shown for the first time goes where it was left.
        TPosition start = slot.Position;
        if (slot.PDFiumDoc && !newSlot) {
            start.cp = View.SelPage;
            Nav.SavePosition(start.cp, start.Top, start.Left);
        }
        if (force_reload)
            DebugLog(QStringLiteral("Force reload: ") + FN);
        TDocumentLoader::TVersion version = Loader.Load(slot, FN);
        if (!version.Doc && nav.Asked())
            slot.Deferred = nav;
        if (version.Doc || !slot.PDFiumDoc) {
            DocChanged();
            Source.SetDocument(nullptr);
            TDocumentLoader::Install(slot, std::move(version));
            PDFiumDocChanged();
            TDocumentLoader::LoadSyncTeX(slot, nav.SRC.isEmpty() && Prefer.UseThreads, FSyncTeX);
            if (newSlot && FQuickOpen && slot.PDFiumDoc
                && !Library.DLL().FPDFBookmark_GetFirstChild(slot.PDFiumDoc.get(), nullptr))
                ShowBookmarks = false;
            if (newSlot && Prefer.ZoomAuto && !slot.ViewRemembered)
                ChooseInitialZoom();
            View.SelPage = start.cp;
            Nav.RestorePosition(start.cp, start.Top, start.Left);
            StoreDoc(FSelDoc);
            if (!FQuickOpen || nav.Asked()) {
                Host.Window().Relayout();
                ShowTree(true, newSlot);
                FinishDisplay();
                Nav.RestorePosition(start.cp, start.Top, start.Left);
                // A request for a file that did not load waits for one that does.
                if (slot.PDFiumDoc)
                    Navigate(nav.SRC, nav.lnum, nav.dest_type);
                StoreDoc(FSelDoc);
            }
        } else {
            DebugLog(QStringLiteral("Previous document kept: ") + FN);
        }
    }
    // A forward search that waited for SyncTeX data may have seen its document closed.
    if (FSelDoc >= 0)
        UpdateTab(-1, TTabUpdate::Redraw);
    Host.View().InvalidateView();
    return true;
}
