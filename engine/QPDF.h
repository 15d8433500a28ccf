#pragma once
// The document engine: binds the PDF library and shows the current one of the open documents;
// the list of documents, loading, the recent list, the forward-search mark and saving are its
// parts.
#include "engine/EngineHandle.h"
#include "engine/CursorTracker.h"
#include "engine/DocMetadata.h"
#include "engine/DPLPDFiumDLL.h"
#include "engine/Document.h"
#include "engine/DocumentList.h"
#include "engine/DocumentLoader.h"
#include "engine/DocumentSaver.h"
#include "engine/DocumentView.h"
#include "engine/ForwardMark.h"
#include "engine/HostLink.h"
#include "engine/MarkFade.h"
#include "engine/Navigator.h"
#include "engine/Outline.h"
#include "engine/OutlineReader.h"
#include "engine/PageLayout.h"
#include "engine/PdfLibrary.h"
#include "engine/PdfPageSource.h"
#include "engine/RecentDocuments.h"
#include "engine/Selection.h"
#include "engine/TextSearch.h"
#include "engine/ViewStatus.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QImage;
class QPainter;

// How UpdateTab treats a document's tab icon: drawn again only when one of the status flags
// changed, or drawn again anyway.
enum class TTabUpdate { IfChanged, Redraw };

class TQPDF : public TEngineHandle, private TDocumentView {
public:
    // Locates and binds the library beside the executable; without it the user is told and
    // the status stays 0. pixelsPerInch: the screen density used for layout until the
    // windows know their monitor.
    explicit TQPDF(double pixelsPerInch);
    // Closes every document, then shuts the library down and unloads it.
    ~TQPDF() override;
    TQPDF(const TQPDF &) = delete;
    TQPDF &operator=(const TQPDF &) = delete;

    // 0 = the library is not available, 1 = ready.
    int Status() const override { return QPDFStatus; }
    // The bound library; null when no library file was found.
    const TDPLPDFiumDLL *PDFium() const { return Library.Located(); }

    double PixelsPerInch() const { return View.FPixelsPerInch; }
    void SetPixelsPerInch(double ppi);

    // The windows the engine talks to: the page view's host, and through it the main window
    // around it; null until they exist and after they are gone.
    void SetHost(TViewHost *host) { Host.SetTarget(host); }

    TPageLayout &Layout() { return View; }
    TNavigator &Navigator() { return Nav; }
    TPdfPageSource &Pages() { return Source; }

    // The open documents in tab order; the current one is SelDoc (-1 none).
    int DocumentCount() const { return Docs.nDocuments; }
    const TDocument &Document(int index) const { return Docs.Documents[size_t(index)]; }
    int SelDoc() const { return Docs.FSelDoc; }
    int PreviousSelDoc() const { return Docs.FPreviousSelDoc; }
    void SetSelDoc(int index) { Docs.SetSelDoc(index); }
    // The current document's file name; empty without one.
    QString FileName() const { return Docs.FileName(); }
    const std::shared_ptr<TSyncTeX> &SyncTeX() const { return FSyncTeX; }
    bool RenderAnnot = false;
    bool FrameLinks = true;
    bool ShowBookmarks = false;
    bool TrackBookmarks = false;

    // The forward-search mark (its page, rectangles, strength and area) and its fading.
    bool AnimatePending() const { return Mark.AnimatePending(); }
    void Animate() { Mark.Animate(); }
    void ResetMark() { Mark.Reset(); }
    TForwardMark &ForwardMark() { return Mark; }
    void SetFadeTimer(std::unique_ptr<TFadeTimer> timer) { Mark.SetFadeTimer(std::move(timer)); }

    // Paints what falls into rect (client coordinates) for the scroll positions t (vertical)
    // and l (horizontal) and a client of h x w into dest, whose origin is rect's top-left
    // corner; the caller fills dest with the workspace colour first. A dest in
    // QImage::Format_BGR888 takes the pages by plain row copies. True when a part of a page
    // was laid out.
    bool RefreshScreen(int t, int l, int h, int w, const QRect &rect, QImage &dest);
    // Page cp (1-based) of doc rendered upright into bmp's own pixels, at (left, top) with the
    // pixel size width x height, rotate quarter turns and the library's render flags. A 32-bit
    // image keeps its format; any other becomes QImage::Format_BGR888. False without a
    // document, with an empty image or when the page does not load.
    bool RenderPageBitmap(QImage &bmp, FPDF_DOCUMENT doc, int cp, int left, int top, int width, int height, int rotate,
                          int flags);
    // Whether doc is one of the open documents (not a copy made for printing).
    bool IsShownDocument(FPDF_DOCUMENT doc) const;
    // The same drawn through dc, clipped to its device.
    bool RenderPage(QPainter &dc, FPDF_DOCUMENT doc, int cp, int left, int top, int width, int height, int rotate,
                    int flags);

    // Forgets the loaded page and text page and recounts the current document's pages.
    void PDFiumDocChanged();
    void DocChanged() override;

    // The current view into slot Doc, and back: RestoreDoc makes it the shown document.
    void StoreDoc(int Doc) override;
    void RestoreDoc(int Doc) override;

    // Full screen and presentation: the windows say which state is on (DisplayState). Each
    // document keeps its view per state in its Presentations.
    TDisplayState DisplayState() const;
    // Prepares the slots of Doc from its view (when a state begins, or Doc opens during one).
    void SetFullScreenDocMode(int Doc);
    // Puts the normal view back into Doc's settings (false when Doc is out of range or the
    // state is normal); the same for every document, giving their number.
    bool RestoreDefaultDocView(int Doc);
    int RestoreDefaultViews();
    // Every document goes from state from to state to: its settings into its slot of from
    // (its slots prepared first when from is normal), then from its slot of to; the current
    // document shows them at once, at the same place.
    void SwitchDisplayState(TDisplayState from, TDisplayState to);

    // Opens, selects, reloads when the file changed, and navigates: a forward search when SRC
    // is a source file (lnum its line), page index lnum, page label SRC, or named destination
    // SRC. False only while the password is being asked for.
    bool OpenDocument(QString FN, bool force_reload, const QString &SRC, int lnum, TDestType dest_type);
    bool LoadFile(const QString &FN);
    bool ReloadFile(const QString &FN);
    // Writes the current document to FN: a temporary file beside it, renamed over it.
    bool SaveFile(const QString &FN) { return Saver.SaveFile(FN); }
    // The document serialised by the library; empty on failure.
    QByteArray GetDocAsString(int Doc) { return Saver.GetDocAsString(Doc); }

    // Goes to a destination of the current document; false when it names no page.
    bool ExeDest(FPDF_DOCUMENT doc, FPDF_DEST dest);

    // Closing, ordering and batching: see TDocumentList.
    bool CloseFile(const QString &FN, int ind) { return Docs.CloseFile(FN, ind); }
    bool CloseAllFiles(int Sel) { return Docs.CloseAllFiles(Sel); }
    bool MoveDocument(int from, int to) { return Docs.MoveDocument(from, to); }
    // A password prompt of an open is showing: periodic work waits until it is answered.
    bool PasswordPrompt() const { return Loader.PasswordPrompt(); }

    // Batching of many opens or closes: the view is laid out and shown once at the end.
    bool SetQuickOpen(bool q) { return Docs.SetQuickOpen(q); }
    bool StopQuickOpen() { return Docs.StopQuickOpen(); }
    bool SetQuickClose(bool q) { return Docs.SetQuickClose(q); }
    bool QuickOpen() const { return Docs.FQuickOpen; }
    bool QuickClose() const { return Docs.FQuickClose; }

    // The recent documents list in the settings.
    void InsertDocList(const TDocument &Doc, int opened) { Recent.Insert(Doc, opened); }
    void UpdateDocList() { Docs.UpdateDocList(); }
    // Opens the documents that were open at the last exit; the number opened.
    int RestoreOpenedDocuments();

    // Recomputes the status flags of document ind (-1 current); its tab's icon is drawn
    // again as upd says.
    void UpdateTab(int ind, TTabUpdate upd);
    // Status line, toolbar boxes and tab state after a view change; nothing while batching,
    // while a document is being switched in or while a zoom step is restoring its view.
    void UpdateStatus() override;
    // The current view for the status line and the toolbar boxes; the page in view is
    // looked up again first.
    TViewStatus ViewStatus();

    // Inverse search at the pointer: the source line of the point under it is opened in the
    // editor. True when the editor was started.
    bool InverseSearch();

    // Finding text in the current document (see TTextSearch). StartSearch brings up the find
    // input for a new search of s; FindNext and FindPrevious step through the matches,
    // building the list first; DropMatches forgets the list (the string or an option
    // changed). Without a document they do nothing.
    bool StartSearch(const QString &s);
    bool FindNext(const QString &s);
    bool FindPrevious(const QString &s);
    int GetAllMatches(const QString &s);
    void DropMatches() { Search.DropMatches(); }
    // Number of matches in the list, -1 when there is none.
    int MatchCount() const { return Search.matchCount; }
    // All matches are marked; the page view turns the marks off with Esc.
    bool FoundStringsShown() const { return Search.FoundStrings; }
    void SetFoundStringsShown(bool shown);
    // The search state: the list, the current match, where the next step goes on.
    const TTextSearch &TextSearch() const { return Search; }
    // Every match is marked, not only the current one: while the marks are on or the find
    // dialog shows.
    bool FoundStringsMarked() const { return Search.FoundStrings || Host.Window().FindDialogVisible(); }

    // The text selection of the current document (see TSelection).
    TSelectMode SelectMode() const { return Sel.State.SelectMode; }
    const TTextSelection &Selection() const { return Sel.State; }
    bool StartSelection(TSelectMode mode, int p1, int c1, int d1) { return Sel.StartSelection(mode, p1, c1, d1); }
    bool ChangeSelection(int p2, int c2, int d2) { return Sel.ChangeSelection(p2, c2, d2); }
    bool StopSelection() { return Sel.StopSelection(); }
    bool SetSelection(TSelectMode mode, int p1, int c1, int p2, int c2, int direction)
    {
        return Sel.SetSelection(mode, p1, c1, p2, c2, direction);
    }
    bool ResetSelection() { return Sel.ResetSelection(); }
    // The selected characters of page (1-based; its text page the loaded one) and the next
    // rectangle that shows them (see TSelection).
    bool GetBounds(int page, int &a, int &len) const { return Sel.GetBounds(page, a, len); }
    bool GetSelBox(int &a, int b, double &left, double &top, double &right, double &bottom) const
    {
        return Sel.GetSelBox(a, b, left, top, right, bottom);
    }
    // The selected text, CR LF between lines; empty when nothing is selected or Esc
    // cancelled it (cancelled, when given, tells the two apart).
    QString GetSelectedText(bool *cancelled = nullptr);

    // What lies under the pointer; afterwards ptPage, ptChar, ptDelta and ptAnnot tell the
    // page, nearest character, side and link (see TCursorTracker).
    TCursorCode TrackCursor(bool isSel);

    // Links and actions. A null doc is the current document. GetAnnotHint: the target a link
    // shows before it is followed (its URI or file; empty for a go-to link). ExeAnnotation and
    // ExeOutline run a link's or a bookmark's action and, when that did not succeed, its
    // destination. ExeAction runs a go-to, remote go-to, URI or launch action; the targets
    // "TEXT: " and "PDF: " start the editor or open another document. ShellExec opens a file
    // or URI with the desktop's handler when it is allowed (see pl::Shell); a refusal or
    // failure is logged and shown in the "Shell Error" box.
    QString GetAnnotHint(FPDF_LINK link) const;
    bool ExeAnnotation(FPDF_DOCUMENT doc, FPDF_LINK ann);
    bool ExeOutline(FPDF_DOCUMENT doc, FPDF_BOOKMARK bm);
    bool ExeAction(FPDF_DOCUMENT doc, FPDF_ACTION action);
    bool ShellExec(const QString &Action, const QString &Source);

    // The outline. BuildTree reads it into tree unless that is ready and hands the tree to the
    // bookmarks panel; the number of items. Tree: the current document's (null without one).
    int BuildTree(const std::shared_ptr<TTree> &tree);
    const std::shared_ptr<TTree> &Tree() const { return FTree; }
    const TOutlineReader &Outline() const { return OutlineRead; }
    // Every item's page of the current document's tree, once.
    void ReadTreePages(TTree &tree);

    // The current document's metadata (see TDocMetadata): empty, or 0, without a document.
    QString GetMetaText(QByteArrayView tag) const;
    QString GetXMPText(QByteArrayView tag) const;
    qint64 GetDocPermissions(TPermissionKind kind) const;
    // The properties report of the current document (see TDocReport) for its selected page,
    // with the named destinations when asked; a note when no document is selected.
    QString DocumentReport(bool destinations);
    // The current document's password is forgotten: it is not kept in the recent list.
    // False when there was none.
    bool ForgetPassword();

    // The status again after the SyncTeX state of the current document changed; nothing while
    // the event loop is not running or while the status waits (see UpdateStatus).
    void UpdateSync();

private:
    TDocument &Current() { return Docs.Current(); }
    void Navigate(const QString &SRC, int lnum, TDestType dest_type);
    // Fit page or fit width for a document shown for the first time, by what fits the window.
    void ChooseInitialZoom();
    void FinishDisplay();
    void ReleasePages() override;
    void ResetToDefaults() override;

    int QPDFStatus = 0;
    TPdfLibrary Library;
    THostLink Host;
    // The current document's pages, layout and movement; they hold no state of other documents.
    TPdfPageSource Source;
    TPageLayout View;
    TNavigator Nav;

    TRecentDocuments Recent;
    TDocumentList Docs{Host, *this, Recent};
    TDocumentLoader Loader{Library.DLL(), Host};
    TForwardMark Mark{Docs, View, Nav, Host};
    TDocumentSaver Saver{Library.DLL(), Docs, Recent, *this, Host};
    // The engine's own code reads the list by these names.
    std::vector<TDocument> &Documents = Docs.Documents;
    const int &nDocuments = Docs.nDocuments;
    const int &FSelDoc = Docs.FSelDoc;
    const bool &FQuickOpen = Docs.FQuickOpen;
    const bool &FQuickClose = Docs.FQuickClose;

    TTextSearch Search{Library.DLL(), Docs, *this, View, Source, Nav, Sel, Host};
    TSelection Sel{Library.DLL(), Docs, *this, View, Source, Nav, Mark, Search, Host};
    TCursorTracker Tracker{Library.DLL(), View, Source, Search, Host};
    TOutlineReader OutlineRead{Library.DLL()};
    std::shared_ptr<TTree> FTree;
    FPDF_DOCUMENT CurrentPdf() { return FSelDoc >= 0 ? Current().PDFiumDoc.get() : nullptr; }
    // The current document's tree into the panel, which shows when the document shows its
    // bookmarks and the tree has items. A document opened for the first time without an
    // outline, or one whose bookmarks are off, hides it (opened: after a load).
    void ShowTree(bool opened, bool newSlot);
    // The action, and the destination when the action did not succeed.
    bool RunActionThenDest(FPDF_DOCUMENT doc, FPDF_ACTION action, FPDF_DEST dest);
    // A "TEXT: " or "PDF: " target; unset when it is neither.
    std::optional<bool> RunLaunchText(const QString &target);
    // A file name from a link: made absolute against the current document's folder.
    QString DocumentRelative(const QString &name) const;

    std::shared_ptr<TSyncTeX> FSyncTeX;
    bool Restoring = false;
    bool StatusWaits() const;
    // The SyncTeX field's text; unset while the event loop is not running or the document
    // has no SyncTeX state.
    std::optional<QString> SyncTeXStatus() const;

public:
    // The pointer state TrackCursor leaves.
    const int &ptPage = Tracker.ptPage;
    const int &ptChar = Tracker.ptChar;
    const int &ptDelta = Tracker.ptDelta;
    const FPDF_LINK &ptAnnot = Tracker.ptAnnot;
};
