#pragma once
// What the engine asks of the page view: its size, scroll bars, painting, the measuring
// display, the pointer and short notes over it. Positions and ranges are pixels of the page
// view's client area. Every call has the answer of a missing page view (no size, nothing
// shown), so a new call is declared here once, implemented by the page view's host and
// recorded by the tests' host.
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>

class TWindowHost;

class TViewHost {
public:
    virtual ~TViewHost() = default;

    // The main window around the page view; null for none.
    virtual TWindowHost *MainWindow() const { return nullptr; }

    // The page view: client size, outer width, visibility.
    virtual int ClientWidth() const { return 0; }
    virtual int ClientHeight() const { return 0; }
    virtual int ViewWidth() const { return 0; }
    virtual bool ViewVisible() const { return false; }

    // Its scroll bars. A range is the size of the scrolled content; the view clamps positions
    // to [0, range - client size].
    virtual int VertPos() const { return 0; }
    virtual int HorzPos() const { return 0; }
    virtual void SetVertPos(int pos) { (void)pos; }
    virtual void SetHorzPos(int pos) { (void)pos; }
    virtual int VertRange() const { return 0; }
    virtual int HorzRange() const { return 0; }
    virtual void SetVertRange(int range) { (void)range; }
    virtual void SetHorzRange(int range) { (void)range; }
    virtual int VertLineIncrement() const { return 1; }
    virtual bool VertBarEnabled() const { return false; }
    // Width of the vertical scroll bar that may appear, from the style.
    virtual int VertBarWidth() const { return 0; }

    // While set, the view ignores its own scroll events (the engine is writing positions).
    virtual bool IsSettingView() const = 0;
    virtual void SetSettingView(bool setting) = 0;
    // Suppresses painting and lets position changes neither scroll nor repaint.
    virtual void LockUpdate(bool lock) { (void)lock; }
    virtual void InvalidateView() {}
    virtual void UpdateView() {}
    virtual void FocusView() {}
    // Painting: a part of the client area to be painted again.
    virtual void InvalidateRect(const QRect &rect)
    {
        (void)rect;
        InvalidateView();
    }

    // A short note over the page view, hidden after ms milliseconds.
    virtual void ShowInfo(const QString &text, int ms) { (void)text, (void)ms; }
    // The information window over the page view's panel, for notes and the progress of long
    // work. StartInfo shows s, sized to also hold ex; with b >= a a progress bar from a to b
    // (a = b: finished). SetInfo redraws the text line with s in colour col (a Windows colour
    // 0x00BBGGRR; below 0 the text colour), SetPos fills the bar up to off, SetCancel shows
    // "Cancel ..." in the cancel colour, StopInfo hides the window ex + delay milliseconds
    // later. All but StartInfo act only while the window is visible.
    virtual void StartInfo(const QString &s, const QString &ex, int a, int b) { (void)s, (void)ex, (void)a, (void)b; }
    virtual void SetInfo(const QString &s, int col) { (void)s, (void)col; }
    virtual void SetPos(int off) { (void)off; }
    virtual void SetCancel() {}
    virtual void StopInfo(int ex, int delay) { (void)ex, (void)delay; }
    // The forward-search mark has just been set: the page view starts fading it.
    virtual void StartMarkAnimation() {}
    // The measuring display of the page view: shown or not, its origin in points from the
    // page's top-left corner, a refresh of its text after a paint, and its end.
    virtual bool CoordinatesVisible() const { return false; }
    virtual QPointF MeasureOrigin() const { return {}; }
    virtual void RefreshCoordinates() {}
    virtual void HideCoordinates() {}
    // A mouse button is held down or automatic scrolling runs.
    virtual bool PointerBusy() const { return false; }
    // The primary mouse button is down (while a press or a move is handled, as that event
    // has it).
    virtual bool PrimaryButtonDown() const { return false; }
    // The pointer in client coordinates; outside the client area when unknown.
    virtual QPoint CursorPos() const { return {-1, -1}; }
};
