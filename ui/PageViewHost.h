#pragma once
// The engine's window interface over the page view. Calls about the page view itself (sizes,
// scroll bars, painting, the measuring display, the pointer) go to the TScrollForm; calls
// about the main window (caption, tabs, status line, toolbar boxes, dialogs) go to the
// TPageViewWindow that the main window sets. Short notes appear in a small label over the
// page view that hides itself after the given time.
#include "engine/QPDFHost.h"

#include <QPointer>

class QLabel;
class QTimer;
class TScrollForm;

// What the main window gives the page view and the engine. Every call has a default that
// does nothing, so the page view works inside any window (tests, a plain host window).
//
// The main window implements it and calls TPageViewHost::SetWindow(this) after creating the
// page view; then the engine's host is the TPageViewHost (QPDF->SetHost(&host)):
//   - the engine's main-window calls, with TQPDFHost's meanings: SetCaption, AddTab,
//     DeleteTab, SelectTab, RenameTab, UpdateTabIcon, Relayout, StatusUpdated, AskPassword,
//     SetSyncTeXStatus, PageGotoFocused, SetPageGoto, EnablePageGoto, ZoomBoxFocused,
//     SetZoomBox, EnableZoomBox, CheckZoomMode, SetSLPanel, AskGotoPage, AskZoom;
//   - the page view's own questions: PopupMenuView (a right click without panning, at a
//     screen point), DisplayState (0 normal, 1 full screen, 2 presentation), EscapeReset (Esc
//     in the page view, first: no dialog registered for message routing, the toolbar-edit
//     focus flag cleared, a window-update lock released, suspended PDF painting re-enabled
//     with a repaint), EscapeKey (Esc when the page view's own uses did not take it: hide a
//     visible find dialog and turn the found-string marks off, else turn visible marks off,
//     else leave full screen or presentation; true when one of them acted), PageViewFocused
//     (the page view took the focus: the toolbar-edit focus flag is cleared), PagePainted
//     (after each paint: the status timer's activity tick, its interval at most 1000 ms),
//     MainWindowActive (a press may take the focus) and NoPDFPainting (the client area
//     paints no document for the moment).
class TPageViewWindow {
public:
    virtual ~TPageViewWindow() = default;

    virtual void SetCaption(const QString &fileName) { (void)fileName; }
    virtual void AddTab(const QString &fileName) { (void)fileName; }
    virtual void DeleteTab(int index) { (void)index; }
    virtual void SelectTab(int index) { (void)index; }
    virtual void RenameTab(int index, const QString &fileName) { (void)index, (void)fileName; }
    virtual void UpdateTabIcon(int index) { (void)index; }
    virtual void Relayout() {}
    virtual void StatusUpdated() {}
    virtual bool AskPassword(const QString &fileName, QString &password, bool &remember)
    {
        (void)fileName, (void)password, (void)remember;
        return false;
    }
    virtual void SetSyncTeXStatus(const QString &text) { (void)text; }
    virtual bool PageGotoFocused() const { return false; }
    virtual void SetPageGoto(const QString &label, const QString &pages) { (void)label, (void)pages; }
    virtual void EnablePageGoto(bool enabled) { (void)enabled; }
    virtual bool ZoomBoxFocused() const { return false; }
    virtual void SetZoomBox(const QString &text) { (void)text; }
    virtual void EnableZoomBox(bool enabled) { (void)enabled; }
    virtual void CheckZoomMode(TZoomMode mode) { (void)mode; }
    virtual void SetSLPanel(int index, const QString &text) { (void)index, (void)text; }
    virtual bool AskGotoPage(const QString &label, const QString &pages, QString &typed)
    {
        (void)label, (void)pages, (void)typed;
        return false;
    }
    virtual bool AskZoom(const QString &zoom, QString &typed)
    {
        (void)zoom, (void)typed;
        return false;
    }

    virtual void PopupMenuView(const QPoint &globalPos) { (void)globalPos; }
    virtual int DisplayState() const { return 0; }
    virtual void EscapeReset() {}
    virtual bool EscapeKey() { return false; }
    virtual void PageViewFocused() {}
    virtual void PagePainted() {}
    virtual bool MainWindowActive() const { return true; }
    virtual bool NoPDFPainting() const { return false; }
};

class TPageViewHost final : public TQPDFHost {
public:
    explicit TPageViewHost(TScrollForm *form);
    ~TPageViewHost() override;
    TPageViewHost(const TPageViewHost &) = delete;
    TPageViewHost &operator=(const TPageViewHost &) = delete;

    // The main window, or null for none; it must outlive the page view or be unset first.
    void SetWindow(TPageViewWindow *window);
    TPageViewWindow *Window() const { return FWindow; }
    TScrollForm *Form() const { return FForm; }
    // The label of ShowInfo (tests read it).
    QLabel *InfoLabel() const { return Info; }

    int ClientWidth() const override;
    int ClientHeight() const override;
    int ViewWidth() const override;
    bool ViewVisible() const override;
    int VertPos() const override;
    int HorzPos() const override;
    void SetVertPos(int pos) override;
    void SetHorzPos(int pos) override;
    int VertRange() const override;
    int HorzRange() const override;
    void SetVertRange(int range) override;
    void SetHorzRange(int range) override;
    int VertLineIncrement() const override;
    bool VertBarEnabled() const override;
    int VertBarWidth() const override;
    bool IsSettingView() const override;
    void SetSettingView(bool setting) override;
    void LockUpdate(bool lock) override;
    void InvalidateView() override;
    void UpdateView() override;
    void FocusView() override;
    bool NoPDFPainting() const override;
    void ShowInfo(const QString &text, int ms) override;

    void SetCaption(const QString &fileName) override;
    void AddTab(const QString &fileName) override;
    void DeleteTab(int index) override;
    void SelectTab(int index) override;
    void RenameTab(int index, const QString &fileName) override;
    void UpdateTabIcon(int index) override;
    void Relayout() override;
    void StatusUpdated() override;
    void StartMarkAnimation() override;
    void HideCoordinates() override;
    bool AskPassword(const QString &fileName, QString &password, bool &remember) override;
    void InvalidateRect(const QRect &rect) override;
    bool CoordinatesVisible() const override;
    QPointF MeasureOrigin() const override;
    void RefreshCoordinates() override;
    bool PointerBusy() const override;
    QPoint CursorPos() const override;
    void SetSyncTeXStatus(const QString &text) override;
    bool PageGotoFocused() const override;
    void SetPageGoto(const QString &label, const QString &pages) override;
    void EnablePageGoto(bool enabled) override;
    bool ZoomBoxFocused() const override;
    void SetZoomBox(const QString &text) override;
    void EnableZoomBox(bool enabled) override;
    void CheckZoomMode(TZoomMode mode) override;
    void SetSLPanel(int index, const QString &text) override;
    bool AskGotoPage(const QString &label, const QString &pages, QString &typed) override;
    bool AskZoom(const QString &zoom, QString &typed) override;

private:
    QPointer<TScrollForm> FForm;
    TPageViewWindow *FWindow = nullptr;
    TPageViewWindow NoWindow;
    TPageViewWindow &W() const { return FWindow ? *FWindow : const_cast<TPageViewWindow &>(NoWindow); }
    int LockDepth = 0;
    bool Setting = false;
    QLabel *Info = nullptr;
    QTimer *InfoTimer = nullptr;
};
