#include "engine/QPDF.h"

#include "base/AppState.h"
#include "base/BusyIndicator.h"
#include "base/DebugLog.h"
#include "base/DurableWrite.h"
#include "base/FileIO.h"
#include "base/FileUtils.h"
#include "base/MessageDialog.h"
#include "settings/Prefer.h"
#include "settings/PreferStore.h"
#include "base/PathMacros.h"
#include "base/TextCodec.h"
#include "engine/OpenFailure.h"
#include "synctex/SyncTeXLoader.h"

#include "platform/Files.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

const QString kLibraryErrorTitle = QStringLiteral("PDFuium Library Error");
// Larger files are read by the library from disk rather than from a copy in memory.
constexpr qint64 kMemoryLimit = 1073741824;
constexpr int kMaxPasswordAttempts = 4;
constexpr unsigned long kPasswordError = 4;   // FPDF_ERR_PASSWORD
// Notes of an open stay 555 ms for the open to finish, then the usual 2222 ms.
constexpr int kInfoMs = 555 + 2222;

void ShowLibraryError(const QString &text)
{
    MessageDialog(kLibraryErrorTitle, text, mtError, MsgButtons({mbOK}));
}

QString Quoted(const QString &path) { return QLatin1Char('"') + path + QLatin1Char('"'); }

// A name that starts with a folder macro: %B, %b (the executable's and the data folder),
// %H, %h (their parents) and %P (the current document's folder), followed by a separator.
QString ExpandDocumentMacro(const QString &FN, const QString &currentFile)
{
    if (FN.size() < 4 || FN[0] != QLatin1Char('%') || (FN[2] != QLatin1Char('\\') && FN[2] != QLatin1Char('/')))
        return QString();
    const QString rest = QLatin1Char('/') + FN.mid(3);
    switch (FN[1].unicode()) {
    case 'B':
    case 'b':
        return ExpandPathMacros(FN.left(2) + rest, App.ExeFolder, App.DataFolder);
    case 'H':
        return ExpandPathMacros(QStringLiteral("%!B") + rest, App.ExeFolder, App.DataFolder);
    case 'h':
        return ExpandPathMacros(QStringLiteral("%!b") + rest, App.ExeFolder, App.DataFolder);
    case 'P':
        return currentFile.isEmpty() ? QString() : FileFolder(currentFile) + rest;
    default:
        return QString();
    }
}

} // namespace

TQPDF::TQPDF(double pixelsPerInch)
    : PDFiumDLL(std::make_unique<TDPLPDFiumDLL>()), Source(*PDFiumDLL), View(Source, Host), Nav(View, Source, Host)
{
    Nav.StatusChanged = [this] { UpdateStatus(); };
    Nav.StopQuickOpen = [this] { StopQuickOpen(); };
    if (!BindPDFium())
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
    FSelDoc = -1;
    PDFiumDocChanged();
    FSyncTeX.reset();
    for (TDocument &doc : Documents) {
        doc.PDFiumDoc.reset();
        doc.PDFiumDocBuf.clear();
        doc.SyncTeX.reset();
    }
    Documents.clear();
    nDocuments = 0;
    // Every page and document is closed by now: the library may go.
    PDFiumDLL->Delete();
}

bool TQPDF::BindPDFium()
{
    const QString path = TDPLPDFiumDLL::Locate(App.ExeFolder);
    if (path.isEmpty()) {
        ShowLibraryError(QStringLiteral("Library libpdfium.so does not exist."));
        return false;
    }
    // The binding stays with the engine even when it failed.
    Located = true;
    bool bound = false;
    try {
        bound = PDFiumDLL->Init(path);
    } catch (...) {
        ShowLibraryError(QStringLiteral("An exception occurred while loading: ") + Quoted(path));
        return false;
    }
    if (!bound) {
        QString text = QStringLiteral("Cannot load: ") + Quoted(path);
        if (!PDFiumDLL->LoadErrFunction().isEmpty())
            text += QStringLiteral("\r\nFunction: ") + QString::fromLatin1(PDFiumDLL->LoadErrFunction());
        ShowLibraryError(text);
    }
    return bound;
}

void TQPDF::SetPixelsPerInch(double ppi) { View.FPixelsPerInch = std::max(1.0, ppi); }

void TQPDF::SetSelDoc(int index)
{
    if (index != FSelDoc)
        FPreviousSelDoc = FSelDoc;
    FSelDoc = index;
}

void TQPDF::PDFiumDocChanged()
{
    Source.SetDocument(FSelDoc >= 0 ? Current().PDFiumDoc.get() : nullptr);
    View.PageUnloaded();
}

void TQPDF::DocChanged()
{
    ResetMark();
    PDFiumDocChanged();
    View.matchCP = 0;
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
}

void TQPDF::InitDoc(TDocument &Doc)
{
    Doc.FileName.clear();
    Doc.FilePwd.clear();
    Doc.FileDate = 0;
    Doc.TriedDate = -1;
    Doc.Serial = 0;
    Doc.Deferred = TNavRequest();
    // A loader thread may still be filling the old object; it keeps that one to itself.
    if (!Doc.SyncTeX || Doc.SyncTeX->Loading)
        Doc.SyncTeX = std::make_shared<TSyncTeX>();
    else
        Doc.SyncTeX->Init();
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
    Doc.History.Clear();
    Doc.Position = TPosition();
    Doc.Mark = TPosition();
    Doc.Position.cp = 1;
    Doc.PDFiumDoc.reset();
    Doc.PDFiumDocBuf.clear();
    Doc._Exists = true;
    Doc._PDF = true;
    Doc._Locked = Doc._Modified = Doc._Error = Doc._Sync = false;
}

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
    // Another document's mark ends; the shown one's stays when its view is only restored.
    if (Doc != FSelDoc)
        ResetMark();
    const bool quick = FQuickOpen || FQuickClose;
    if (!quick)
        Host.SetCaption(d.FileName);
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
    FSyncTeX = d.SyncTeX;
    SetSelDoc(Doc);
    PDFiumDocChanged();
    View.SelPage = d.Position.cp;
    View.SetSelectedPage(d.Position.cp);
    View.SetupView();
    Nav.RestorePosition(d.Position.cp, d.Position.Top, d.Position.Left);
    Restoring = false;
    UpdateStatus();
}

void TQPDF::UpdateStatus()
{
    if (Nav.noUpdating || Restoring || FQuickOpen || FQuickClose)
        return;
    UpdatePage();
    UpdateZoom();
    UpdateSync();
    if (FSelDoc >= 0)
        UpdateTab(-1, 0);
    Host.StatusUpdated();
}

void TQPDF::UpdatePage()
{
    if (FSelDoc < 0) {
        Host.EnablePageGoto(false);
        Host.SetPageGoto(QString(), QString());
        Host.SetSLPanel(0, QString());
        Host.SetSLPanel(1, QString());
        return;
    }
    View.GetPageView();
    const int n = Source.PageCount();
    const QString label = View.SelPage <= 0 || n <= 0 ? QStringLiteral("?") : Nav.GetPageLabelEx(View.SelPage);
    View.SelPage = std::min(View.SelPage, n);
    const QString pages = QStringLiteral("(%1/%2)").arg(View.SelPage).arg(n);
    // What the user is typing into the page box stays.
    if (!Host.PageGotoFocused())
        Host.SetPageGoto(label, pages);
    Host.EnablePageGoto(n > 0);
    Host.SetSLPanel(0, QStringLiteral("Page:  ") + label);
    Host.SetSLPanel(1, pages);
}

void TQPDF::UpdateZoom()
{
    if (Restoring)
        return;
    if (FSelDoc < 0) {
        Host.EnableZoomBox(false);
        Host.SetZoomBox(QStringLiteral("100%"));
        LastZoomShown = 100;
        Host.SetSLPanel(2, QString());
        Host.SetSLPanel(3, QString());
        return;
    }
    const int zoom = int(std::trunc(View.FZoom + 0.0001));
    const QString text = QString::number(zoom) + QLatin1Char('%');
    static const QString modes[] = {QStringLiteral("Fit Page"), QStringLiteral("Fit Width"),
                                    QStringLiteral("Actual Size"), QStringLiteral("Custom Zoom")};
    Host.SetSLPanel(2, QStringLiteral("Zoom:  ") + text);
    Host.SetSLPanel(3, modes[std::clamp<int>(View.FZoomMode, zfitPage, zCustom)]);
    Host.EnableZoomBox(true);
    // A zoom box with the focus keeps the user's text until the zoom really changes; then
    // the page view takes the focus back.
    const bool focused = Host.ZoomBoxFocused();
    if (zoom != LastZoomShown || !focused) {
        LastZoomShown = zoom;
        Host.CheckZoomMode(View.FZoomMode);
        Host.SetZoomBox(text);
        if (focused)
            Host.FocusView();
    }
}

void TQPDF::UpdateTab(int ind, int upd)
{
    if (ind < 0)
        ind = FSelDoc;
    if (ind < 0 || ind >= nDocuments) {
        DebugLog(QStringLiteral("UpdateTab Index out of bounds: ") + QString::number(ind));
        return;
    }
    TDocument &d = Documents[size_t(ind)];
    const bool before[] = {d._Exists, d._Locked, d._Modified, d._Error, d._Sync, d._PDF};
    d._Error = !d.PDFiumDoc;
    d._PDF = FileExtension(d.FileName).compare(QLatin1String(".pdf"), Qt::CaseInsensitive) == 0;
    d._Exists = FileExists(d.FileName);
    d._Locked = d._Exists && FileLocked(d.FileName, true, true);
    d._Modified = d._Exists && d.FileDate > 0 && FileTime64(d.FileName) != d.FileDate;
    d._Sync = d._Exists && d.SyncTeX && (d.SyncTeX->Ready || d.SyncTeX->Pending || d.SyncTeX->Loading);
    const bool after[] = {d._Exists, d._Locked, d._Modified, d._Error, d._Sync, d._PDF};
    if (upd > 0 || (upd == 0 && !std::equal(std::begin(before), std::end(before), std::begin(after))))
        Host.UpdateTabIcon(ind);
}

// ---- Closing -----------------------------------------------------------------------------

bool TQPDF::CloseFile(const QString &FN, int ind)
{
    Host.HideCoordinates();
    if (!FN.isEmpty()) {
        ind = nDocuments;
        for (int i = 0; i < nDocuments; ++i)
            if (Documents[size_t(i)].FileName == FN) {
                ind = i;
                break;
            }
    } else if (ind == -1) {
        ind = FSelDoc;
    }
    if (ind < 0 || ind >= nDocuments)
        return false;
    const bool current = ind == FSelDoc;
    if (!FQuickClose && current)
        StoreDoc(ind);
    InsertDocList(Documents[size_t(ind)], 0);

    if (current)
        Source.SetDocument(nullptr);
    TDocument &closed = Documents[size_t(ind)];
    closed.PDFiumDoc.reset();
    closed.PDFiumDocBuf.clear();
    // The closed slot becomes the spare one after the used slots, keeping its objects.
    std::rotate(Documents.begin() + ind, Documents.begin() + ind + 1, Documents.begin() + nDocuments);
    --nDocuments;
    InitDoc(Documents[size_t(nDocuments)]);
    Host.DeleteTab(ind);

    if (nDocuments == 0) {
        SetSelDoc(-1);
        DocChanged();
        Host.Relayout();
        ResetToDefaults();
        FSyncTeX.reset();
        Host.SetVertRange(0);
        Host.SetHorzRange(0);
        Host.SetCaption(QString());
    } else if (current) {
        // The one before it, or the last one when the first was closed.
        const int next = ind > 0 ? ind - 1 : nDocuments - 1;
        FSelDoc = -1;
        SetSelDoc(next);
        DocChanged();
        if (!FQuickClose) {
            Host.SelectTab(next);
            RestoreDoc(next);
        }
    } else if (ind < FSelDoc) {
        FSelDoc -= 1;
        if (!FQuickClose)
            Host.SelectTab(FSelDoc);
    }
    if (!FQuickClose) {
        Host.InvalidateView();
        UpdateStatus();
    }
    return true;
}

bool TQPDF::CloseAllFiles(int Sel)
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

// ---- Batching ----------------------------------------------------------------------------

void TQPDF::ShowDocument()
{
    if (FSelDoc < 0) {
        Host.SetCaption(QString());
        Host.Relayout();
    } else {
        Host.SelectTab(FSelDoc);
        RestoreDoc(FSelDoc);
        Host.Relayout();
    }
    UpdateStatus();
    Host.InvalidateView();
}

bool TQPDF::SetQuickOpen(bool q)
{
    if (q == FQuickOpen)
        return false;
    if (q) {
        Host.LockUpdate(true);
        UpdateDocList();
        StoreDoc(FSelDoc);
        FQuickOpen = true;
        Host.Relayout();
    } else {
        FQuickOpen = false;
        Host.LockUpdate(false);
        ShowDocument();
    }
    return true;
}

bool TQPDF::StopQuickOpen()
{
    if (!FQuickOpen)
        return false;
    SetQuickOpen(false);
    return true;
}

bool TQPDF::SetQuickClose(bool q)
{
    if (q == FQuickClose)
        return false;
    if (q) {
        UpdateDocList();
        Host.LockUpdate(true);
        FQuickClose = true;
    } else {
        FQuickClose = false;
        Host.LockUpdate(false);
        ShowDocument();
    }
    return true;
}

// ---- Recent list -------------------------------------------------------------------------

void TQPDF::InsertDocList(const TDocument &Doc, int opened)
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

void TQPDF::UpdateDocList()
{
    StoreDoc(FSelDoc);
    // Last first, so that the open documents end at the top in tab order.
    for (int i = nDocuments - 1; i >= 0; --i)
        InsertDocList(Documents[size_t(i)], i == FSelDoc ? 2 : 1);
}

int TQPDF::RestoreOpenedDocuments()
{
    const bool entered = SetQuickOpen(true);
    int opened = 0;
    int select = -1;
    // Opening does not touch the list, so its entries stay where they are during the walk.
    for (int i = 0; i < Prefer.DocListCount && Prefer.DocList[i].wasOpened > 0 && !EscapePressed(); ++i) {
        TDocInfo &e = Prefer.DocList[i];
        if (!FileExists(e.FileName)) {
            e.wasOpened = 0;
            continue;
        }
        const int before = nDocuments;
        const bool selected = e.wasOpened >= 2;
        OpenDocument(e.FileName, false, QString(), 0, TDestType::ForwardSearch);
        if (nDocuments > before)
            ++opened;
        if (selected)
            select = (FSelDoc >= 0 && Current().PDFiumDoc) ? FSelDoc : -1;
    }
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
    if (PasswordDialog || !OpenDocument(FN, false, QString(), 0, TDestType::ForwardSearch))
        return false;
    Host.Relayout();
    return true;
}

bool TQPDF::ReloadFile(const QString &FN)
{
    if (PasswordDialog || !OpenDocument(FN, true, QString(), 0, TDestType::ForwardSearch))
        return false;
    Host.Relayout();
    return true;
}

int TQPDF::AddDocument(const QString &FN)
{
    if (Prefer.SDInterface && nDocuments > 0)
        CloseAllFiles(-1);
    if (nDocuments >= int(Documents.size()))
        Documents.resize(std::max(2 * Documents.size(), size_t(nDocuments) + 8));
    TDocument &d = Documents[size_t(nDocuments)];
    InitDoc(d);
    if (Prefer.RememberDoc) {
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
            break;
        }
    }
    d.FileName = FN;
    d.FileDate = 0;
    d.Serial = ++LastSerial;
    const int index = nDocuments++;
    Host.AddTab(FN);
    Host.SelectTab(index);
    return index;
}

TPdfDocument TQPDF::LoadOnce(const QByteArray &path, const QByteArray &buffer, const QByteArray &password,
                             bool fromFile)
{
    const TDPLPDFiumDLL &dll = *PDFiumDLL;
    const char *pwd = password.isEmpty() ? nullptr : password.constData();
    if (fromFile)
        return AdoptPdf<TPdfDocument>(dll, dll.FPDF_LoadDocument(path.constData(), pwd));
    return AdoptPdf<TPdfDocument>(dll, dll.FPDF_LoadMemDocument64(buffer.constData(), size_t(buffer.size()), pwd));
}

TPdfDocument TQPDF::LoadPDF(const QString &FN, QByteArray &buffer, QString &password, bool &remember, int64_t &date,
                            bool &passwordFailed)
{
    passwordFailed = false;
    // Taken before the library reads: a file rewritten meanwhile then differs from it and is
    // reloaded by the next refresh.
    date = FileTime64(FN);
    const QByteArray path = ToUtf8(FN);
    const qint64 size = FileSize64(FN);
    bool fromFile = !Prefer.PDFMemory;
    if (!fromFile && size >= kMemoryLimit) {
        DebugLog(QStringLiteral("File Size too Large: ") + QString::number(size));
        fromFile = true;
    }
    if (!fromFile) {
        if (ReadWholeFile(FN, buffer, 0, &date) != frOk) {
            buffer.clear();
            DebugLog(QStringLiteral("Not Loaded: ") + FN);
            return TPdfDocument();
        }
        DebugLog(QStringLiteral("Loaded: ") + FN);
    }
    TPdfDocument doc = LoadOnce(path, buffer, ToUtf8(password), fromFile);
    for (int attempts = 0; !doc && attempts < kMaxPasswordAttempts;) {
        ++attempts;
        const unsigned long code = PDFiumDLL->FPDF_GetLastError();
        DebugLog(QStringLiteral("PDFium Errror (%1): ").arg(code) + FN);
        passwordFailed = code == kPasswordError;
        if (!passwordFailed)
            break;
        PasswordDialog = true;
        const bool ok = Host.AskPassword(FN, password, remember);
        PasswordDialog = false;
        if (!ok)
            break;
        // The library opens the file again and reads what is there now.
        if (fromFile)
            date = FileTime64(FN);
        doc = LoadOnce(path, buffer, ToUtf8(password), fromFile);
    }
    if (fromFile) {
        DebugLog(QStringLiteral("Loaded from file: ") + FN);
        if (FileTime64(FN) != date)
            DebugLog(QStringLiteral("Changed while loading: ") + FN);
    }
    return doc;
}

void TQPDF::LoadSyncTeX(TDocument &slot, bool inThread)
{
    const QString syncFile = TSyncTeX::GetSyncFileName(slot.FileName);
    if (syncFile.isEmpty())
        return;
    if (inThread) {
        StartSyncTeXLoader(syncFile, slot.SyncTeX);
    } else if (slot.SyncTeX->LoadSyncData(syncFile, false) && slot.SyncTeX != FSyncTeX) {
        DebugLog(QStringLiteral("Synctex pointer problem..."));
    }
}

void TQPDF::ReloadNewerSyncTeX(bool inThread)
{
    TSyncTeX &sync = *Current().SyncTeX;
    if (sync.Loading || !sync.Ready || sync.Data.isEmpty())
        return;
    const QString syncFile = sync.SyncFileName.get();
    if (syncFile.isEmpty() || !FileExists(syncFile) || FileTime64(syncFile) <= sync.SyncFileDate)
        return;
    if (inThread)
        StartSyncTeXLoader(syncFile, Current().SyncTeX);
    else if (sync.LoadSyncData(syncFile, false))
        DebugLog(QStringLiteral("SyncTeX has been updated..."));
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
    const int zw = Host.ClientWidth() * 100 / std::max(1, gap + cols * w) + 1;
    const int zh = Host.ClientHeight() * 100 / std::max(1, h) + 1;
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
    Host.InvalidateView();
}

void TQPDF::Navigate(const QString &SRC, int lnum, TDestType dest_type)
{
    switch (dest_type) {
    case TDestType::PageIndex:
        if (lnum <= 0)
            return;
        FinishDisplay();
        if (!Nav.GOTOPage(lnum, nullptr))
            Host.ShowInfo(QStringLiteral("Page Index out of bounds: ") + QString::number(lnum), kInfoMs);
        return;
    case TDestType::PageLabel:
        if (SRC.isEmpty())
            return;
        FinishDisplay();
        if (!Nav.GOTOPageLabel(SRC, nullptr))
            Host.ShowInfo(QStringLiteral("Page Label not found: ") + Quoted(SRC), kInfoMs);
        return;
    case TDestType::NamedDest: {
        if (SRC.isEmpty())
            return;
        FinishDisplay();
        FPDF_DOCUMENT doc = Current().PDFiumDoc.get();
        FPDF_DEST dest = doc ? PDFiumDLL->FPDF_GetNamedDestByName(doc, ToUtf8(SRC).constData()) : nullptr;
        if (!dest)
            Host.ShowInfo(QStringLiteral("Named Destination not found: ") + Quoted(SRC), kInfoMs);
        else if (!ExeDest(doc, dest))
            Host.ShowInfo(QStringLiteral("Named Destination GoTo Error: ") + Quoted(SRC), kInfoMs);
        return;
    }
    case TDestType::ForwardSearch: {
        if (SRC.isEmpty())
            return;
        TPosition start{View.SelPage, 0, 0};
        Nav.SavePosition(start.cp, start.Top, start.Left);
        if (!ForwardSearch(SRC, lnum, start))
            return;
        Nav.RestorePosition(start.cp, start.Top, start.Left);
        FAnimatePending = !Prefer.PersistentFS;
        if (FAnimatePending)
            Host.StartMarkAnimation();
        return;
    }
    default:
        return;
    }
}

bool TQPDF::ExeDest(FPDF_DOCUMENT doc, FPDF_DEST dest)
{
    const int page = PDFiumDLL->FPDFDest_GetDestPageIndex(doc, dest);
    if (page < 0)
        return false;
    FPDF_BOOL hasX = 0, hasY = 0, hasZoom = 0;
    FS_FLOAT x = 0, y = 0, zoom = 0;
    PDFiumDLL->FPDFDest_GetLocationInPage(dest, &hasX, &hasY, &hasZoom, &x, &y, &zoom);
    const TDest target{hasX ? x : 0, hasY ? y : 0, hasZoom ? zoom : 0};
    return Nav.GOTOPage(page + 1, &target);
}

TFloatRect TQPDF::MarkRect(const TFloatRect &r, int page)
{
    const double pw = View.FDocPageWidth, ph = View.FDocPageHeight;
    double x = r.Left, y = r.Top, w = r.Right - r.Left, h = r.Bottom - r.Top;
    if (w < 1 || h < 1) {
        x = y = 0;
        w = pw;
        h = ph;
    } else if (h > (ph - 1) * 0.8) {
        x = 0;
        w = pw;
    }
    // One point of margin around the boxes, kept on the page.
    h = std::min(h, ph) + 1;
    w = std::min(w, pw) + 1;
    if (y > 0) {
        y -= 1;
        h += 1;
    }
    if (x > 0) {
        x -= 1;
        w += 1;
    }
    TFloatRect m;
    if (View.GetPageOrientation(page) & 1) {
        m = {y, x, y + h, x + w};
    } else {
        View.GetBottomLeftCoord(page, x, y, m.Left, m.Top);
        View.GetBottomLeftCoord(page, x + w, y + h, m.Right, m.Bottom);
    }
    return m;
}

bool TQPDF::ForwardSearch(const QString &SRC, int lnum, TPosition &start)
{
    const std::shared_ptr<TSyncTeX> sync = Current().SyncTeX;
    const uint64_t serial = Current().Serial;
    if (sync->Loading) {
        QElapsedTimer waited;
        waited.start();
        while (sync->Loading && !sync->Ready && waited.elapsed() <= 1110) {
            QCoreApplication::processEvents();
            SleepMs(11);
        }
        QCoreApplication::processEvents();
        SleepMs(11);
        QCoreApplication::processEvents();
        // The events may have closed the document or shown another one: that one is not marked.
        if (FSelDoc < 0 || Current().Serial != serial) {
            DebugLog(QStringLiteral("Forward search dropped, its document is no longer shown: ") + SRC);
            return false;
        }
    }
    int page = 0, numrect = 0;
    TFloatRectangles rects;
    // The data belongs to a loader thread while Loading is set.
    if (sync->Loading || !sync->ForwardSearch(SRC, lnum, page, numrect, rects) || rects.empty()) {
        StopQuickOpen();
        QString text;
        const QString syncFile = TSyncTeX::GetSyncFileName(Current().FileName);
        if (sync->Ready)
            text = QStringLiteral("No source info for line ") + QString::number(lnum) + QStringLiteral(" in ") + Quoted(SRC);
        else if (syncFile.isEmpty())
            text = QStringLiteral("No SyncTeX Data for: ") + Quoted(FileNameOnly(Current().FileName));
        else
            text = QStringLiteral("No SyncTeX Data: ") + Quoted(syncFile);
        Host.ShowInfo(text, kInfoMs);
        return false;
    }
    StopQuickOpen();
    if (page != View.SelPage)
        Nav.StorePosition();
    View.SelPage = page;
    View.SetSelectedPage(page);
    for (int i = 0; i < 3; ++i)
        View.SetupView();
    FSelBoxPage = page;
    SelBoxRects.clear();
    for (const TFloatRect &r : rects)
        SelBoxRects.push_back(MarkRect(r, page));
    // The new mark shows at full strength until a paint has put it on screen.
    FSelBoxRect = TRect();
    Fade.Place();
    const TFloatRect &u = SelBoxRects[0];
    start.cp = View.SelPage;
    View.MakeRectVisible(start.cp, start.Left, start.Top, page, std::min(u.Left, u.Right), std::min(u.Top, u.Bottom),
                         std::abs(u.Right - u.Left), std::abs(u.Bottom - u.Top));
    View.SelPage = start.cp;
    return true;
}

bool TQPDF::OpenDocument(QString FN, bool force_reload, const QString &SRC, int lnum, TDestType dest_type)
{
    if (PasswordDialog)
        return false;
    if (QPDFStatus != 1)
        return true;
    if (!FN.isEmpty() && !FileExists(FN)) {
        const QString expanded = ExpandDocumentMacro(FN, FileName());
        if (!expanded.isEmpty() && FileExists(expanded))
            FN = expanded;
    }
    if (!FN.isEmpty())
        FN = CanonicalPath(FN);
    else if (FSelDoc >= 0)
        FN = FileName();
    if (FN.isEmpty())
        return true;

    bool unloadable = false;
    const bool folder = FolderExists(FN);
    if (!FileExists(FN)) {
        DebugLog(QStringLiteral("non-existent..."));
        unloadable = true;
    } else if (FileLocked(FN, false, true)) {
        DebugLog(QStringLiteral("locked for reading..."));
        unloadable = true;
    }
    Host.FocusView();
    if (!FQuickOpen)
        StoreDoc(FSelDoc);

    bool newSlot = false;
    if (FSelDoc < 0 || FN != FileName()) {
        Host.HideCoordinates();
        int found = -1;
        for (int i = 0; i < nDocuments && found < 0; ++i)
            if (Documents[size_t(i)].FileName == FN)
                found = i;
        if (found >= 0) {
            Host.SelectTab(found);
        } else {
            found = AddDocument(FN);
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
        ReloadNewerSyncTeX(Prefer.UseThreads && (nav.dest_type != TDestType::ForwardSearch || nav.SRC.isEmpty()));
        Navigate(nav.SRC, nav.lnum, nav.dest_type);
    } else if (unloadable) {
        // The document stays as it was until its file can be read again; so does the request.
        if (nav.Asked())
            slot.Deferred = nav;
        if (folder)
            NoteFailedVersion(slot, FileTime64(FN), true);
    } else {
        // A reload keeps the place; a document shown for the first time goes where it was left.
        TPosition start = slot.Position;
        if (slot.PDFiumDoc && !newSlot) {
            start.cp = View.SelPage;
            Nav.SavePosition(start.cp, start.Top, start.Left);
        }
        if (force_reload)
            DebugLog(QStringLiteral("Force reload: ") + FN);
        QString password = slot.FilePwd;
        bool remember = !password.isEmpty();
        QByteArray buffer;
        int64_t date = 0;
        bool passwordFailed = false;
        TPdfDocument doc = LoadPDF(FN, buffer, password, remember, date, passwordFailed);
        DebugLog(QStringLiteral("Loaded Status: ") + QLatin1Char(doc ? '1' : '0'));
        if (doc) {
            slot.TriedDate = -1;
        } else {
            // While the last good version stays on show the tab tells of the change.
            NoteFailedVersion(slot, date, !passwordFailed && !slot.PDFiumDoc);
            if (nav.Asked())
                slot.Deferred = nav;
        }
        if (doc || !slot.PDFiumDoc) {
            DocChanged();
            Source.SetDocument(nullptr);
            // The old document is closed before the buffer it reads from is released. Its
            // date is recorded only with a document, so that a file caught half-written is
            // tried again while the last good one stays shown.
            slot.PDFiumDoc = std::move(doc);
            slot.PDFiumDocBuf = std::move(buffer);
            if (slot.PDFiumDoc)
                slot.FileDate = date;
            slot.FilePwd = remember && slot.PDFiumDoc ? password : QString();
            PDFiumDocChanged();
            LoadSyncTeX(slot, nav.SRC.isEmpty() && Prefer.UseThreads);
            if (newSlot && FQuickOpen && slot.PDFiumDoc
                && !PDFiumDLL->FPDFBookmark_GetFirstChild(slot.PDFiumDoc.get(), nullptr))
                ShowBookmarks = false;
            if (newSlot && Prefer.ZoomAuto && !slot.ViewRemembered)
                ChooseInitialZoom();
            View.SelPage = start.cp;
            Nav.RestorePosition(start.cp, start.Top, start.Left);
            StoreDoc(FSelDoc);
            if (!FQuickOpen || nav.Asked()) {
                Host.Relayout();
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
        UpdateTab(-1, 1);
    Host.InvalidateView();
    return true;
}

void TQPDF::NoteFailedVersion(TDocument &slot, int64_t date, bool tell)
{
    if (date == slot.TriedDate)
        return;
    slot.TriedDate = date;
    if (!tell)
        return;
    const QString text = OpenFailureText(slot.FileName);
    DebugLog(text);
    Host.ShowInfo(text, kInfoMs);
}

// ---- Saving ------------------------------------------------------------------------------

QByteArray TQPDF::GetDocAsString(int Doc)
{
    if (Doc < 0 || Doc >= nDocuments || !Documents[size_t(Doc)].PDFiumDoc)
        return QByteArray();
    struct TWriter : FPDF_FILEWRITE {
        QByteArray bytes;
        qsizetype used = 0;
    } writer;
    writer.version = 1;
    writer.WriteBlock = [](FPDF_FILEWRITE *self, const void *data, unsigned long size) -> int {
        auto *w = static_cast<TWriter *>(self);
        const qsizetype needed = w->used + qsizetype(size);
        if (needed > w->bytes.size())
            w->bytes.resize(std::max(needed, std::max<qsizetype>(0x400000, 2 * w->bytes.size())));
        std::copy_n(static_cast<const char *>(data), size, w->bytes.data() + w->used);
        w->used = needed;
        return 1;
    };
    FPDF_DOCUMENT doc = Documents[size_t(Doc)].PDFiumDoc.get();
    int version = 0;
    if (!PDFiumDLL->FPDF_GetFileVersion(doc, &version))
        version = 0;
    const bool ok = version < 10 ? PDFiumDLL->FPDF_SaveAsCopy(doc, &writer, 0)
                                 : PDFiumDLL->FPDF_SaveWithVersion(doc, &writer, 0, version);
    if (!ok)
        return QByteArray();
    writer.bytes.truncate(writer.used);
    return writer.bytes;
}

bool TQPDF::SaveFile(const QString &name)
{
    if (FSelDoc < 0 || name.isEmpty())
        return false;
    const QString FN = CanonicalPath(name);
    // A file shown in another tab keeps its content: two tabs never share one name.
    for (int i = 0; i < nDocuments; ++i)
        if (i != FSelDoc && Documents[size_t(i)].FileName == FN) {
            DebugLog(QStringLiteral("Not Saved, open in another tab: ") + FN);
            return false;
        }
    const QByteArray bytes = GetDocAsString(FSelDoc);
    // A new file renamed over the old one (through a link, the file it names): an interrupted
    // save leaves the old file.
    const pl::FileStatus st = pl::files().status(FN);
    const uint32_t mode = st.kind == pl::FileKind::Regular ? st.mode : 0644;
    const bool written = !bytes.isEmpty() && WriteFileDurably(FN, bytes, mode);
    if (written) {
        TDocument &slot = Current();
        if (FN == slot.FileName) {
            slot.FileDate = FileTime64(FN);
        } else {
            StoreDoc(FSelDoc);
            InsertDocList(slot, 0);
            slot.FileName = FN;
            slot.FilePwd.clear();
            slot.FileDate = FileTime64(FN);
            if (slot.SyncTeX->Loading)
                slot.SyncTeX = std::make_shared<TSyncTeX>();
            else
                slot.SyncTeX->Init();
            Host.RenameTab(FSelDoc, FN);
            RestoreDoc(FSelDoc);
        }
    } else {
        DebugLog(QStringLiteral("Not Saved: ") + FN);
    }
    UpdateStatus();
    return written;
}
