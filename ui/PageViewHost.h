#pragma once
// The page view's part of the engine's window interface: sizes, scroll bars, painting, the
// measuring display and the pointer go to the TScrollForm. The main window's part (caption,
// tabs, view status, dialogs) is the TPageViewWindow that the main window sets; the engine
// reaches it through MainWindow(). Short notes and the progress of long work appear in the
// information window over the page view's panel.
#include "engine/ViewHost.h"
#include "engine/WindowHost.h"
#include "ui/ExInfo.h"

#include <QPointer>

class TScrollForm;

// What the main window gives the page view and the engine. Every call has a default that
// does nothing, so the page view works inside any window (tests, a plain host window).
//
// The main window implements it and calls TPageViewHost::SetWindow(this) after creating the
// page view; then the engine's host is the TPageViewHost (QPDF->SetHost(&host)):
//   - the engine's main-window calls of TWindowHost, with their meanings there;
//   - the page view's own questions: PopupMenuView (a right click without panning, at a
//     screen point), DisplayState (0 normal, 1 full screen, 2 presentation), EscapeReset (Esc
//     in the page view, first: no dialog registered for message routing, the toolbar-edit
//     focus flag cleared, a window-update lock released, suspended PDF painting re-enabled
//     with a repaint), EscapeKey (Esc when the page view's own uses did not take it: hide a
//     visible find dialog and turn the found-string marks off, else turn visible marks off,
//     else leave full screen or presentation; true when one of them acted), FindEnter (Enter
//     in the page view: with a search string while the matches are marked or the find dialog
//     shows, the next match, or with backward the previous one; true when it stepped),
//     PageViewFocused
//     (the page view took the focus: the toolbar-edit focus flag is cleared), PagePainted
//     (after each paint: the status timer's activity tick, its interval at most 1000 ms) and
//     MainWindowActive (a press may take the focus); NoPDFPainting of TWindowHost is asked by
//     the page view too.
class TPageViewWindow : public TWindowHost {
public:
    virtual void PopupMenuView(const QPoint &globalPos) { (void)globalPos; }
    virtual void EscapeReset() {}
    virtual bool EscapeKey() { return false; }
    virtual bool FindEnter(bool backward)
    {
        (void)backward;
        return false;
    }
    virtual void PageViewFocused() {}
    virtual void PagePainted() {}
    virtual bool MainWindowActive() const { return true; }
};

class TPageViewHost final : public TViewHost {
public:
    explicit TPageViewHost(TScrollForm *form);
    ~TPageViewHost() override;
    TPageViewHost(const TPageViewHost &) = delete;
    TPageViewHost &operator=(const TPageViewHost &) = delete;

    // The main window, or null for none; it must outlive the page view or be unset first.
    void SetWindow(TPageViewWindow *window);
    TPageViewWindow *Window() const { return FWindow; }
    TScrollForm *Form() const { return FForm; }
    // The information window over the page view's panel.
    TExInfo *ExInfo() const { return Info; }

    TWindowHost *MainWindow() const override { return FWindow; }
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
    void InvalidateRect(const QRect &rect) override;
    void ShowInfo(const QString &text, int ms) override;
    void StartMarkAnimation() override;
    bool CoordinatesVisible() const override;
    QPointF MeasureOrigin() const override;
    void RefreshCoordinates() override;
    void HideCoordinates() override;
    bool PointerBusy() const override;
    QPoint CursorPos() const override;
    bool PrimaryButtonDown() const override;
    void StartInfo(const QString &s, const QString &ex, int a, int b) override;
    void SetInfo(const QString &s, int col) override;
    void SetPos(int off) override;
    void SetCancel() override;
    void StopInfo(int ex, int delay) override;

private:
    QPointer<TScrollForm> FForm;
    TPageViewWindow *FWindow = nullptr;
    int LockDepth = 0;
    bool Setting = false;
    QPointer<TExInfo> Info;
};
