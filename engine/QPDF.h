#pragma once
// The document engine: binds the PDF library, keeps the list of open documents and lays out,
// moves and loads the current one.
#include "engine/EngineHandle.h"
#include "engine/DPLPDFiumDLL.h"
#include "engine/Document.h"
#include "engine/HostRelay.h"
#include "engine/MarkFade.h"
#include "engine/Navigator.h"
#include "engine/PageLayout.h"
#include "engine/PdfPageSource.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class QImage;
class QPainter;

class TQPDF : public TEngineHandle {
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
    const TDPLPDFiumDLL *PDFium() const { return Located ? PDFiumDLL.get() : nullptr; }

    double PixelsPerInch() const { return View.FPixelsPerInch; }
    void SetPixelsPerInch(double ppi);

    // The windows the engine talks to; null until they exist and after they are gone.
    void SetHost(TQPDFHost *host) { Host.SetTarget(host); }

    TPageLayout &Layout() { return View; }
    TNavigator &Navigator() { return Nav; }
    TPdfPageSource &Pages() { return Source; }

    // The open documents in tab order; the current one is SelDoc (-1 none).
    int DocumentCount() const { return nDocuments; }
    const TDocument &Document(int index) const { return Documents[size_t(index)]; }
    int SelDoc() const { return FSelDoc; }
    int PreviousSelDoc() const { return FPreviousSelDoc; }
    void SetSelDoc(int index);
    // The current document's file name; empty without one.
    QString FileName() const { return FSelDoc >= 0 ? Documents[size_t(FSelDoc)].FileName : QString(); }
    const std::shared_ptr<TSyncTeX> &SyncTeX() const { return FSyncTeX; }
    bool RenderAnnot = false;
    bool FrameLinks = true;
    bool ShowBookmarks = false;
    bool TrackBookmarks = false;

    // The forward-search mark: its page and rectangles in page points (bottom-left origin),
    // entry 0 the union of the others; the mark fades while FAnimatePending is set.
    int FSelBoxPage = 0;
    TFloatRectangles SelBoxRects;
    bool AnimatePending() const { return FAnimatePending; }
    // Strength of the mark in percent (0 = not shown) and its area in client pixels as the
    // last paint of its page placed it.
    int FSelBoxFactor = 0;
    TRect FSelBoxRect;
    // Fades the mark out: full strength, half strength, gone. A mark that no paint has put
    // on screen goes at once.
    void Animate();
    // The mark is gone and its fading stopped (a reload, another document).
    void ResetMark();
    // Tests step the fading through their own timer.
    void SetFadeTimer(std::unique_ptr<TFadeTimer> timer);

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
    bool RenderPageBitmap(QImage &bmp, FPDF_DOCUMENT doc, int cp, int left, int top, int width, int height,
                          int rotate, int flags);
    // The same drawn through dc, clipped to its device.
    bool RenderPage(QPainter &dc, FPDF_DOCUMENT doc, int cp, int left, int top, int width, int height, int rotate,
                    int flags);

    // Forgets the loaded page and text page and recounts the current document's pages.
    void PDFiumDocChanged();
    void DocChanged();

    // A slot to an empty document with the default view from the settings.
    void InitDoc(TDocument &Doc);
    // The current view into slot Doc, and back: RestoreDoc makes it the shown document.
    void StoreDoc(int Doc);
    void RestoreDoc(int Doc);

    // Opens, selects, reloads when the file changed, and navigates: a forward search when SRC
    // is a source file (lnum its line), page index lnum, page label SRC, or named destination
    // SRC. False only while the password is being asked for.
    bool OpenDocument(QString FN, bool force_reload, const QString &SRC, int lnum, TDestType dest_type);
    bool LoadFile(const QString &FN);
    bool ReloadFile(const QString &FN);
    // Writes the current document to FN: a temporary file beside it, renamed over it.
    bool SaveFile(const QString &FN);
    // The document serialised by the library; empty on failure.
    QByteArray GetDocAsString(int Doc);

    // Goes to a destination of the current document; false when it names no page.
    bool ExeDest(FPDF_DOCUMENT doc, FPDF_DEST dest);

    // Closes the document named FN or, when FN is empty, the one at ind (-1 the current).
    bool CloseFile(const QString &FN, int ind);
    // Closes all but index Sel (-1 all), last first; true when any was closed.
    bool CloseAllFiles(int Sel);
    // Moves the document at from to index to in tab order; the ones between shift by one
    // toward from. The current document stays current at its new index. False for an index
    // outside the list.
    bool MoveDocument(int from, int to);
    // A password prompt of an open is showing: periodic work waits until it is answered.
    bool PasswordPrompt() const { return PasswordDialog; }

    // Batching of many opens or closes: the view is laid out and shown once at the end.
    bool SetQuickOpen(bool q);
    bool StopQuickOpen();
    bool SetQuickClose(bool q);
    bool QuickOpen() const { return FQuickOpen; }
    bool QuickClose() const { return FQuickClose; }

    // The recent documents list in the settings.
    void InsertDocList(const TDocument &Doc, int opened);
    void UpdateDocList();
    // Opens the documents that were open at the last exit; the number opened.
    int RestoreOpenedDocuments();

    // Recomputes the status flags of document ind (-1 current); the tab is drawn again when
    // upd > 0 or a flag changed (never when upd < 0).
    void UpdateTab(int ind, int upd);
    // Status line, toolbar boxes and tab state after a view change; nothing while batching,
    // while a document is being switched in or while a zoom step is restoring its view.
    void UpdateStatus();
    // The page box, count box and page panels; the zoom box, zoom-mode marks and zoom panels.
    void UpdatePage();
    void UpdateZoom();

    // Inverse search at the pointer: the source line of the point under it is opened in the
    // editor. True when the editor was started.
    bool InverseSearch();
    // The status line's SyncTeX field for the current document; nothing while the event loop
    // is not running.
    void UpdateSync();

private:
    bool BindPDFium();
    TDocument &Current() { return Documents[size_t(FSelDoc)]; }
    // A new slot at the end of the list for FN, with the view the recent list remembers.
    int AddDocument(const QString &FN);
    // Loads FN with password retries; the document or null, the buffer it reads from, the
    // file's date for the bytes the library parsed, and whether the user cancelled a prompt.
    TPdfDocument LoadPDF(const QString &FN, QByteArray &buffer, QString &password, bool &remember, int64_t &date,
                         bool &cancelled);
    // A version of the slot's file that did not load: remembered, so that it is not tried
    // again, and the user is told once why, unless they cancelled its password prompt.
    void NoteFailedVersion(TDocument &slot, int64_t date, bool tell);
    TPdfDocument LoadOnce(const QByteArray &path, const QByteArray &buffer, const QByteArray &password, bool fromFile);
    void LoadSyncTeX(TDocument &slot, bool inThread);
    void ReloadNewerSyncTeX(bool inThread);
    void Navigate(const QString &SRC, int lnum, TDestType dest_type);
    // Marks and shows the typeset place of a source line; start receives the position.
    bool ForwardSearch(const QString &SRC, int lnum, TPosition &start);
    // The mark in page points from a SyncTeX rectangle: at least a visible band of the page.
    TFloatRect MarkRect(const TFloatRect &r, int page);
    // Fit page or fit width for a document shown for the first time, by what fits the window.
    void ChooseInitialZoom();
    void FinishDisplay();
    void ResetToDefaults();
    void ShowDocument();

    int QPDFStatus = 0;
    bool Located = false;
    std::unique_ptr<TDPLPDFiumDLL> PDFiumDLL;
    THostRelay Host;
    // The current document's pages, layout and movement; they hold no state of other documents.
    TPdfPageSource Source;
    TPageLayout View;
    TNavigator Nav;

    std::vector<TDocument> Documents;
    int nDocuments = 0;
    uint64_t LastSerial = 0;
    int FSelDoc = -1;
    int FPreviousSelDoc = -1;
    std::shared_ptr<TSyncTeX> FSyncTeX;
    bool FQuickOpen = false;
    bool FQuickClose = false;
    bool FAnimatePending = false;
    void MarkFadeStep();
    TMarkFade Fade{FSelBoxFactor, [this] { MarkFadeStep(); }};
    bool Restoring = false;
    bool PasswordDialog = false;
    // The zoom the zoom box was last given, in whole percent.
    int LastZoomShown = -1;
};
