#pragma once
// The page view: the scrolling window in which the pages of the current document are shown.
// Its two scroll bars are the view's scroll position; it paints by letting the engine render
// the update region into an off-screen image, and turns mouse, wheel, key and touch input
// into engine calls.
#include <QAbstractScrollArea>
#include <QEvent>
#include <QMouseEvent>
#include <QPointF>

#include <cstdint>
#include <functional>
#include <optional>

class QLineEdit;
class QTouchEvent;
class TAutoScrollForm;
class TQPDF;

// Private messages of the page view, posted to itself.
// The forward-search mark starts fading behind the paints already queued: 0 reposts with 1,
// 1 runs the fade.
constexpr QEvent::Type AnimateMarkEvent = QEvent::Type(QEvent::User + 134);
// One step of automatic scrolling, posted to the indicator.
constexpr QEvent::Type AutoScrollStepEvent = QEvent::Type(QEvent::User + 273);

// A posted message with a parameter.
class TParamEvent final : public QEvent {
public:
    TParamEvent(QEvent::Type type, int param) : QEvent(type), Param(param) {}
    const int Param;
};

// The measuring units: points, millimetres, inches.
enum TMeasureUnit : int { muPoint = 0, muMillimetre = 1, muInch = 2 };

class TScrollForm : public QAbstractScrollArea {
    Q_OBJECT
public:
    // The engine may be null (no library): the view then shows its background only.
    explicit TScrollForm(TQPDF *qpdf, QWidget *parent = nullptr);
    ~TScrollForm() override;

    TQPDF *Engine() const { return QPDF; }

    // What the page view needs from the window around it. Unset hooks give the behaviour of
    // a plain window: normal display state, no context menu, a press always takes the focus.
    // PopupMenuView at a screen point.
    std::function<void(const QPoint &globalPos)> OnContextMenu;
    // 0 normal, 1 full screen, 2 presentation.
    std::function<int()> DisplayState;
    // Esc, first: the modal bookkeeping of the main window is reset.
    std::function<void()> EscapeReset;
    // Esc when neither automatic scrolling nor the measuring box took it: the main window's
    // part (find dialog, found-string marks, full screen); true when something was done.
    std::function<bool()> WindowEscape;
    // Enter: the next match (backward: the previous one) when the main window steps through
    // the matches; true when it did.
    std::function<bool(bool backward)> FindEnter;
    // The page view took the keyboard focus.
    std::function<void()> OnFocused;
    // After each paint (the status timer's activity tick and interval).
    std::function<void()> OnPainted;
    // The main window is ready and active, so a press may take the keyboard focus.
    std::function<bool()> WindowActive;
    // The client area paints no document for the moment.
    std::function<bool()> NoPDFPainting;

    // Suspends painting and the reaction to size changes; true when the state changed.
    bool LockUpdate(bool locked);
    bool IsLocked() const { return isLocked; }
    // Sets the window's cursor when it differs; true when it changed.
    bool SetCursor(const QCursor &c);

    // The scroll position and the size of the scrolled content, in client pixels.
    int VertPos() const;
    int HorzPos() const;
    void SetVertPos(int pos);
    void SetHorzPos(int pos);
    int VertRange() const { return FVertRange; }
    int HorzRange() const { return FHorzRange; }
    void SetVertRange(int range);
    void SetHorzRange(int range);
    int LineIncrement() const;
    bool VertBarVisible() const;
    bool HorzBarVisible() const;
    bool ShowScrollbars() const { return FShowScrollbars; }
    void SetShowScrollbars(bool show);
    bool CanScrollVert() const;
    bool CanScrollHorz() const;

    // While set, scroll changes neither scroll the window nor paint (the engine is moving).
    bool isSettingView = false;

    // The measuring mode.
    void ShowCoord();
    void HideCoord();
    void RefreshCoord();
    // The origin at the pointer, or with def at the page's top-left corner.
    void SetOrigin(bool def);
    void GetCoordColors(QColor &background, QColor &text) const;
    bool CoordVisible() const;
    QPointF Origin() const { return {ox, oy}; }
    QLineEdit *CoordBox() const { return edCoord; }
    // The measuring box of the client area replaces the page view's own stand-in.
    void SetCoordBox(QLineEdit *box);
    // The measuring text for a pointer at page point (x, y), points from the top-left.
    QString CoordText(double x, double y) const;

    // The dark theme is in force: measuring box colours and the workspace.
    void SetDarkTheme(bool dark);
    QColor WorkspaceColor() const;
    // Full screen and presentation show the pages on the workspace's dark colour.
    void SetFullScreenBackground(bool on);

    // The forward-search mark was set: its fading starts after the queued paints.
    void StartMarkAnimation();

    // Automatic scrolling with the middle button.
    void StartAutoScroll(const QPoint &globalPos);
    void StopAutoScroll();
    bool AutoScrollActive() const { return AutoScroll != nullptr; }
    TAutoScrollForm *AutoScrollIndicator() const { return AutoScroll; }

    // A button is held or automatic scrolling runs.
    bool PointerBusy() const;
    // The pointer in client coordinates: while a mouse event is handled, the event's point.
    QPoint CursorPos() const;
    // The primary button is down: while a mouse event is handled, as the event has it.
    bool PrimaryButtonDown() const;
    int PanState() const { return isDragging; }

protected:
    bool event(QEvent *e) override;
    bool viewportEvent(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    // The click part of a left release: a link under the hand cursor, near the press, is
    // followed. True when it was.
    bool FollowLinkAt(const QMouseEvent &e);
    void ShowLinkHint(const QString &hint, const QPoint &globalPos);
    void mouseMoveEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void customEvent(QEvent *e) override;
    bool focusNextPrevChild(bool next) override;

private:
    // While a mouse event is handled, the engine's questions about the pointer (what lies
    // under it, where a selection ends, whether a press is under way) are answered with the
    // event's point and buttons.
    struct TPointer {
        QPoint Pos;
        Qt::MouseButtons Buttons;
    };
    class TPointerAt {
    public:
        TPointerAt(TScrollForm &form, const QMouseEvent &e) : Form(form), Saved(form.PointerOverride)
        {
            form.PointerOverride = TPointer{e.position().toPoint(), e.buttons()};
        }
        ~TPointerAt() { Form.PointerOverride = Saved; }
        TPointerAt(const TPointerAt &) = delete;
        TPointerAt &operator=(const TPointerAt &) = delete;

    private:
        TScrollForm &Form;
        std::optional<TPointer> Saved;
    };

    bool HasSelection() const;
    void ResetSelection();
    int Ppi() const;
    int PresentationState() const { return DisplayState ? DisplayState() : 0; }
    void UpdateBars();
    void ViewportResized();
    void Repaint();
    void UpdateStatus();
    // The hand of Grab.png when one was loaded, else a cursor for the directions the view can
    // scroll.
    QCursor PanCursor() const;
    void StartPan(const QPoint &p);
    void PanTo(const QPoint &p);
    // Edge scrolling while a selection gesture rests near the window's edge.
    void EdgeScroll(const QPoint &p, Qt::KeyboardModifiers modifiers);
    void VerticalWheel(int delta, Qt::KeyboardModifiers modifiers, const QPoint &p);
    bool HorizontalWheel(int delta, Qt::KeyboardModifiers modifiers, const QPoint &p);
    void ZoomAt(bool in, const QPoint &p);
    bool HandleKey(QKeyEvent *e);
    bool EscapeKey();
    void AltZoom(int step, bool up);
    void ShowCoordAt(const QPoint &p);
    void TouchEvent(QTouchEvent *e);
    void PinchZoom(double distance, const QPoint &centre);
    void RotateGesture(double angle, int phase);

    TQPDF *QPDF;
    QLineEdit *edCoord = nullptr;
    TAutoScrollForm *AutoScroll = nullptr;
    int FVertRange = 0;
    int FHorzRange = 0;
    bool FShowScrollbars = false;
    bool FDark = false;
    bool FFullScreenBackground = false;
    bool LockedChanges = false; // a change arrived while locked: repaint at unlock

    bool AllowPageDownClick = false;
    // The last left click followed a link (and turns no page in presentation mode).
    bool wasAnnotationClick = false;
    // The tool tip shown for the link under the pointer.
    QString LinkHint;
    bool isLocked = false;
    bool isSelecting = false; // a left press on a page, until its release
    int isDragging = 0;       // 0 none, 1 a pan is armed, 2 panning
    Qt::MouseButton DragButton = Qt::NoButton;
    int DragX = 0, DragY = 0;
    int LastMouseDownX = 0, LastMouseDownY = 0;
    int64_t LastMouseDown = -1000;
    QPoint LastMovePoint{-1, -1};
    std::optional<TPointer> PointerOverride;
    // Wheel deltas below a notch (touchpads) wait here until they make one.
    int WheelRest = 0;
    int ShiftWheelRest = 0;
    int HWheelRest = 0;
    double zDist = 0;
    int rCount = 0;
    double rAngle = 0;
    bool TouchPanning = false;
    double PinchScale = 1; // touchpad gestures: the scale and angle so far
    double GestureAngle = 0;
    double ox = 0, oy = 0;
};
