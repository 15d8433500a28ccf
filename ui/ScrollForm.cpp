#include "ui/ScrollForm.h"

#include "base/AppState.h"
#include "base/BusyIndicator.h"
#include "settings/Colors.h"
#include "base/DebugLog.h"
#include "base/NumberParse.h"
#include "settings/Prefer.h"
#include "engine/ForwardMark.h"
#include "engine/QPDF.h"
#include "platform/Clock.h"
#include "synctex/SyncTeXRelay.h"
#include "ui/AutoScrollForm.h"
#include "ui/ImageRes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QMetaObject>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>
#include <QToolTip>
#include <QTouchEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kNotch = 120;
constexpr int kLineIncrement = 36;    // at 96 pixels per inch
constexpr int64_t kMoveQuietMs = 110; // moves this soon after a left press are dropped
constexpr int kLinkClickSlop = 9;     // a click follows a link within this many pixels of its press

// Whole notches in delta plus what was left over from earlier small deltas; the rest stays.
int Notches(int &rest, int delta)
{
    if ((rest < 0) != (delta < 0))
        rest = 0;
    rest += delta;
    const int n = rest / kNotch;
    rest -= n * kNotch;
    return n;
}

struct TUnit {
    double factor;
    int digits;
    const char *name;
};
constexpr TUnit kUnits[] = {{1.0, 1, "pt"}, {0.3527777777777778, 1, "mm"}, {0.013888888888888888, 2, "in"}};

} // namespace

TScrollForm::TScrollForm(TQPDF *qpdf, QWidget *parent) : QAbstractScrollArea(parent), QPDF(qpdf)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    // Every paint covers its whole box: no background erase, no flicker.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    viewport()->setAttribute(Qt::WA_AcceptTouchEvents);
    viewport()->setMouseTracking(true);
    // The right button pans or asks the main window for its menu: no menu event of its own.
    setContextMenuPolicy(Qt::PreventContextMenu);
    viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    SetShowScrollbars(Prefer.ShowScrollbars);

    edCoord = new QLineEdit(this);
    edCoord->setReadOnly(true);
    edCoord->setFocusPolicy(Qt::NoFocus);
    edCoord->setFrame(false);
    edCoord->hide();

    TSyncTeXRelay::instance()->setReceiver(this);
}

TScrollForm::~TScrollForm() { StopAutoScroll(); }

int TScrollForm::Ppi() const { return std::max(1, int(CurrentPPI)); }

int TScrollForm::LineIncrement() const { return MulDiv(kLineIncrement, Ppi(), 96); }

bool TScrollForm::LockUpdate(bool locked)
{
    if (locked == isLocked)
        return false;
    isLocked = locked;
    if (!locked && LockedChanges) {
        LockedChanges = false;
        UpdateBars();
        viewport()->update();
    }
    return true;
}

bool TScrollForm::SetCursor(const QCursor &c)
{
    const QCursor current = viewport()->cursor();
    if (current.shape() == c.shape() && c.shape() != Qt::BitmapCursor)
        return false;
    viewport()->setCursor(c);
    return true;
}

// ---- Scroll bars ----------------------------------------------------------------------

int TScrollForm::VertPos() const { return verticalScrollBar()->value(); }
int TScrollForm::HorzPos() const { return horizontalScrollBar()->value(); }
void TScrollForm::SetVertPos(int pos) { verticalScrollBar()->setValue(pos); }
void TScrollForm::SetHorzPos(int pos) { horizontalScrollBar()->setValue(pos); }

void TScrollForm::SetVertRange(int range)
{
    FVertRange = std::max(0, range);
    UpdateBars();
}

void TScrollForm::SetHorzRange(int range)
{
    FHorzRange = std::max(0, range);
    UpdateBars();
}

void TScrollForm::UpdateBars()
{
    const int inc = LineIncrement();
    // A bar that appears or goes away changes the client size, which changes the other bar.
    for (int i = 0; i < 3; ++i) {
        const QSize client = viewport()->size();
        for (QScrollBar *bar : {verticalScrollBar(), horizontalScrollBar()}) {
            const bool vert = bar == verticalScrollBar();
            const int size = vert ? client.height() : client.width();
            bar->setSingleStep(inc);
            bar->setPageStep(std::max(inc, size / inc * inc));
            bar->setRange(0, std::max(0, (vert ? FVertRange : FHorzRange) - size));
        }
        if (viewport()->size() == client)
            break;
    }
}

bool TScrollForm::VertBarVisible() const
{
    return FShowScrollbars && verticalScrollBar()->maximum() > verticalScrollBar()->minimum();
}

bool TScrollForm::HorzBarVisible() const
{
    return FShowScrollbars && horizontalScrollBar()->maximum() > horizontalScrollBar()->minimum();
}

void TScrollForm::SetShowScrollbars(bool show)
{
    FShowScrollbars = show;
    const Qt::ScrollBarPolicy policy = show ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setVerticalScrollBarPolicy(policy);
    setHorizontalScrollBarPolicy(policy);
    UpdateBars();
}

bool TScrollForm::CanScrollVert() const { return FVertRange > viewport()->height(); }
bool TScrollForm::CanScrollHorz() const { return FHorzRange > viewport()->width(); }

void TScrollForm::scrollContentsBy(int dx, int dy)
{
    if (isLocked || isSettingView) {
        // The engine moves the view and repaints it when it is done.
        if (isLocked)
            LockedChanges = true;
        return;
    }
    viewport()->scroll(dx, dy);
}

void TScrollForm::ViewportResized()
{
    UpdateBars();
    if (isLocked || !QPDF)
        return;
    TPageLayout &view = QPDF->Layout();
    int cp = view.SelPage;
    double top = 0, left = 0;
    QPDF->Navigator().SavePosition(cp, top, left);
    const bool fit = view.FZoomMode == zfitWidth || view.FZoomMode == zfitPage;
    const bool minimized = window() && window()->isMinimized();
    if (FShowScrollbars && HorzBarVisible() && (minimized || !fit))
        viewport()->update();
    else
        QPDF->Navigator().RestorePosition(cp, top, left);
}

// ---- Painting -------------------------------------------------------------------------

QColor TScrollForm::WorkspaceColor() const
{
    const TCustomQCol &c = Colors.Pdf[cc_Workspace];
    const QColor color = ToQColor(FDark || FFullScreenBackground ? c.B : c.W);
    if (color.isValid())
        return color;
    // A whole monitor of the window's grey would glare: full screen falls back to black.
    return FFullScreenBackground ? QColor(Qt::black) : palette().color(QPalette::Window);
}

void TScrollForm::SetFullScreenBackground(bool on)
{
    FFullScreenBackground = on;
    viewport()->update();
}

void TScrollForm::SetDarkTheme(bool dark)
{
    FDark = dark;
    if (CoordVisible()) {
        QColor background, text;
        GetCoordColors(background, text);
        QPalette pal = edCoord->palette();
        pal.setColor(QPalette::Base, background);
        pal.setColor(QPalette::Text, text);
        edCoord->setPalette(pal);
    }
    viewport()->update();
}

void TScrollForm::paintEvent(QPaintEvent *e)
{
    if (isSettingView)
        return;
    if (isLocked) {
        LockedChanges = true;
        return;
    }
    QRect box = e->rect() & viewport()->rect();
    if (box.isEmpty())
        return;
    const bool pdf = QPDF && !(NoPDFPainting && NoPDFPainting());
    // After a forward search the mark's page goes to the screen first; the other pages
    // follow in the next turn of the event loop, the workspace colour standing in for them.
    QRegion later;
    if (pdf) {
        const QRect first =
            QPDF->ForwardMark().FirstPaintArea(VertPos(), HorzPos(), viewport()->height(), viewport()->width()) & box;
        if (!first.isEmpty() && first != box) {
            later = QRegion(box) - first;
            QMetaObject::invokeMethod(
                this, [this, later] { viewport()->update(later); }, Qt::QueuedConnection);
            box = first;
        }
    }
    // In device pixels: with Qt's scaling on, the pages are rendered at the screen's resolution.
    const qreal ratio = viewport()->devicePixelRatioF();
    QImage image((QSizeF(box.size()) * ratio).toSize(), QImage::Format_BGR888);
    image.setDevicePixelRatio(ratio);
    image.fill(WorkspaceColor());
    if (pdf)
        QPDF->RefreshScreen(VertPos(), HorzPos(), viewport()->height(), viewport()->width(), box, image);
    QPainter painter(viewport());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect &r : later)
        painter.fillRect(r, WorkspaceColor());
    painter.drawImage(box.topLeft(), image);
    painter.end();
    if (OnPainted)
        OnPainted();
}

void TScrollForm::Repaint() { viewport()->repaint(); }

void TScrollForm::UpdateStatus()
{
    if (QPDF)
        QPDF->UpdateStatus();
}

// ---- Events ---------------------------------------------------------------------------

bool TScrollForm::event(QEvent *e)
{
    switch (e->type()) {
    case QEvent::NativeGesture: {
        auto *g = static_cast<QNativeGestureEvent *>(e);
        StopAutoScroll();
        const QPoint p = viewport()->mapFromGlobal(g->globalPosition().toPoint());
        const double base = (viewport()->width() + viewport()->height()) / 4.0;
        switch (g->gestureType()) {
        case Qt::BeginNativeGesture:
            PinchScale = 1;
            zDist = base;
            GestureAngle = 0;
            RotateGesture(GestureAngle, 1);
            break;
        case Qt::ZoomNativeGesture:
            PinchScale *= 1 + g->value();
            PinchZoom(base * PinchScale, p);
            break;
        case Qt::RotateNativeGesture:
            // Degrees, clockwise positive; the gesture's angle grows anticlockwise.
            GestureAngle -= g->value() * std::numbers::pi / 180;
            RotateGesture(GestureAngle, 0);
            break;
        case Qt::EndNativeGesture: RotateGesture(GestureAngle, -1); break;
        default: return QAbstractScrollArea::event(e);
        }
        Repaint();
        return true;
    }
    default: return QAbstractScrollArea::event(e);
    }
}

bool TScrollForm::viewportEvent(QEvent *e)
{
    switch (e->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel: TouchEvent(static_cast<QTouchEvent *>(e)); return true;
    case QEvent::Leave:
        if (!IsWorking())
            SetCursor(Qt::ArrowCursor);
        AllowPageDownClick = false;
        ShowLinkHint(QString(), QPoint());
        return QAbstractScrollArea::viewportEvent(e);
    case QEvent::Resize: {
        const bool result = QAbstractScrollArea::viewportEvent(e);
        ViewportResized();
        return result;
    }
    default: return QAbstractScrollArea::viewportEvent(e);
    }
}

void TScrollForm::customEvent(QEvent *e)
{
    if (e->type() == AnimateMarkEvent) {
        if (static_cast<TParamEvent *>(e)->Param == 0)
            QCoreApplication::postEvent(this, new TParamEvent(AnimateMarkEvent, 1));
        else if (QPDF)
            QPDF->Animate();
    } else if (e->type() == SyncTeXLoadEndedEvent) {
        // The last loader to end refreshes the SyncTeX state of the status line.
        if (QPDF && SyncTeXThreadCount.load() == 0)
            QPDF->UpdateSync();
    }
}

void TScrollForm::StartMarkAnimation() { QCoreApplication::postEvent(this, new TParamEvent(AnimateMarkEvent, 0)); }

void TScrollForm::focusOutEvent(QFocusEvent *e)
{
    StopAutoScroll();
    QAbstractScrollArea::focusOutEvent(e);
}

void TScrollForm::focusInEvent(QFocusEvent *e)
{
    if (OnFocused)
        OnFocused();
    QAbstractScrollArea::focusInEvent(e);
}

bool TScrollForm::focusNextPrevChild(bool next)
{
    // Tab belongs to the page view's own keys.
    (void)next;
    return false;
}

// ---- Mouse ----------------------------------------------------------------------------

bool TScrollForm::PointerBusy() const
{
    return isDragging > 0 || isSelecting || QGuiApplication::mouseButtons() != Qt::NoButton || AutoScrollActive();
}

QPoint TScrollForm::CursorPos() const
{
    return PointerOverride ? PointerOverride->Pos : viewport()->mapFromGlobal(QCursor::pos());
}

bool TScrollForm::PrimaryButtonDown() const
{
    return (PointerOverride ? PointerOverride->Buttons : QGuiApplication::mouseButtons()) & Qt::LeftButton;
}

bool TScrollForm::HasSelection() const { return QPDF && QPDF->SelDoc() >= 0 && QPDF->SelectMode() > 0; }

void TScrollForm::ResetSelection()
{
    if (HasSelection())
        QPDF->ResetSelection();
}

QCursor TScrollForm::PanCursor() const
{
    if (const auto hand = PanCursorImage())
        return *hand;
    const bool v = CanScrollVert(), h = CanScrollHorz();
    if (v && h)
        return Qt::SizeAllCursor;
    if (h)
        return Qt::SizeHorCursor;
    if (v)
        return Qt::SizeVerCursor;
    return Qt::DragMoveCursor;
}

void TScrollForm::StartPan(const QPoint &p)
{
    isDragging = 1;
    DragX = p.x();
    DragY = p.y();
    SetCursor(PanCursor());
}

void TScrollForm::PanTo(const QPoint &p)
{
    if (isDragging == 1) {
        if (DragButton == Qt::RightButton && std::abs(p.x() - DragX) <= 2 && std::abs(p.y() - DragY) <= 2)
            return;
        SetCursor(PanCursor());
        isDragging = 2;
    }
    SetVertPos(VertPos() + DragY - p.y());
    Repaint();
    SetHorzPos(HorzPos() + DragX - p.x());
    Repaint();
    DragX = p.x();
    DragY = p.y();
}

void TScrollForm::mousePressEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    LastMovePoint = p;
    const bool canPan = VertBarVisible() || HorzBarVisible() || CanScrollVert() || CanScrollHorz();
    switch (e->button()) {
    case Qt::LeftButton: {
        const TPointerAt at(*this, *e);
        isDragging = 0;
        if (!WindowActive || WindowActive())
            setFocus(Qt::MouseFocusReason);
        LastMouseDownX = p.x();
        LastMouseDownY = p.y();
        AllowPageDownClick = true;
        const bool extend = (e->modifiers() & Qt::ShiftModifier) && HasSelection();
        if (AutoScrollActive()) {
            StopAutoScroll();
            if (!extend)
                ResetSelection();
            return;
        }
        // Not yet a drag: a press on a page also sets where the next search step continues.
        const int code = QPDF ? QPDF->TrackCursor(false) : tcOutside;
        if (CoordVisible()) {
            SetOrigin(false);
        } else if (extend) {
            if (QPDF->ChangeSelection(QPDF->ptPage, QPDF->ptChar, QPDF->ptDelta))
                AllowPageDownClick = false;
            isSelecting = true;
        } else if (Prefer.AllowPanning && code < tcText && canPan) {
            // Over white space a left drag pans; over text it selects.
            DragButton = Qt::LeftButton;
            StartPan(p);
        } else {
            AllowPageDownClick = !HasSelection();
            ResetSelection();
            if (code > tcBesidePages && QPDF) {
                // The selection gesture: the selection and edge scrolling follow the pointer
                // until the release.
                QPDF->StartSelection(smRange, QPDF->ptPage, QPDF->ptChar, QPDF->ptDelta);
                isSelecting = true;
            }
        }
        if (e->modifiers() & Qt::ControlModifier)
            AllowPageDownClick = false;
        LastMouseDown = pl::clock().tickMs();
        break;
    }
    case Qt::RightButton:
        StopAutoScroll();
        LastMouseDownX = p.x();
        LastMouseDownY = p.y();
        AllowPageDownClick = true;
        if (canPan) {
            DragButton = Qt::RightButton;
            StartPan(p);
        }
        break;
    case Qt::MiddleButton:
        if (!AutoScrollActive() && (CanScrollVert() || CanScrollHorz()))
            StartAutoScroll(e->globalPosition().toPoint());
        else
            StopAutoScroll();
        break;
    case Qt::BackButton:
    case Qt::ForwardButton:
        // Taken here, so that their release comes here too.
        break;
    default: QAbstractScrollArea::mousePressEvent(e); break;
    }
}

void TScrollForm::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    const bool near = std::abs(p.x() - LastMouseDownX) < 5 && std::abs(p.y() - LastMouseDownY) < 5;
    const bool presentation = PresentationState() == 2;
    switch (e->button()) {
    case Qt::LeftButton: {
        // The click comes before the release.
        wasAnnotationClick = FollowLinkAt(*e);
        isSelecting = false;
        const bool panned = isDragging == 2;
        if (QPDF && QPDF->SelDoc() >= 0) {
            QPDF->StopSelection();
            // A press that armed a pan and never moved is a click beside the text.
            if (isDragging == 1)
                ResetSelection();
        }
        isDragging = 0;
        DragButton = Qt::NoButton;
        if (panned)
            SetCursor(CoordVisible() ? Qt::CrossCursor : Qt::ArrowCursor);
        if (presentation && near && AllowPageDownClick && !wasAnnotationClick && QPDF)
            QPDF->Navigator().NextPage();
        RefreshCoord();
        break;
    }
    case Qt::RightButton:
        if (isDragging == 2) {
            isDragging = 0;
            DragButton = Qt::NoButton;
            SetCursor(CoordVisible() ? Qt::CrossCursor : Qt::ArrowCursor);
            if (presentation && near && AllowPageDownClick && QPDF)
                QPDF->Navigator().PrevPage();
        } else {
            isDragging = 0;
            DragButton = Qt::NoButton;
            if (OnContextMenu)
                OnContextMenu(e->globalPosition().toPoint());
        }
        break;
    case Qt::BackButton:
        if (QPDF)
            QPDF->Navigator().PrevPosition();
        break;
    case Qt::ForwardButton:
        if (QPDF)
            QPDF->Navigator().NextPosition();
        break;
    default: QAbstractScrollArea::mouseReleaseEvent(e); break;
    }
}

bool TScrollForm::FollowLinkAt(const QMouseEvent &e)
{
    if (!QPDF || QPDF->SelDoc() < 0 || viewport()->cursor().shape() != Qt::PointingHandCursor)
        return false;
    const QPoint p = e.position().toPoint();
    if (std::abs(p.x() - LastMouseDownX) > kLinkClickSlop || std::abs(p.y() - LastMouseDownY) > kLinkClickSlop)
        return false;
    const TPointerAt at(*this, e);
    if (QPDF->TrackCursor(false) != tcLink || !QPDF->ptAnnot)
        return false;
    ShowLinkHint(QString(), QPoint());
    // The selection the press began is no selection: the click follows the link.
    QPDF->StopSelection();
    QPDF->ResetSelection();
    QPDF->ExeAnnotation(nullptr, QPDF->ptAnnot);
    return true;
}

void TScrollForm::ShowLinkHint(const QString &hint, const QPoint &globalPos)
{
    if (hint == LinkHint)
        return;
    LinkHint = hint;
    viewport()->setToolTip(hint);
    if (hint.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(globalPos, hint, viewport());
}

void TScrollForm::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        mousePressEvent(e);
        return;
    }
    const TPointerAt at(*this, *e);
    setFocus(Qt::MouseFocusReason);
    if (QPDF)
        QPDF->InverseSearch();
}

void TScrollForm::mouseMoveEvent(QMouseEvent *e)
{
    if (!App.AppRunning || pl::clock().tickMs() - LastMouseDown < kMoveQuietMs)
        return;
    const QPoint p = e->position().toPoint();
    LastMovePoint = p;
    if (CoordVisible()) {
        SetCursor(Qt::CrossCursor);
        ShowCoordAt(p);
    }
    if (isDragging > 0) {
        if (e->buttons() & (Qt::LeftButton | Qt::RightButton)) {
            PanTo(p);
            return;
        }
        isDragging = 0;
        DragButton = Qt::NoButton;
    }
    const TPointerAt at(*this, *e);
    const bool left = e->buttons() & Qt::LeftButton;
    const int code = QPDF ? QPDF->TrackCursor(left) : tcOutside;
    if (!CoordVisible() && !IsWorking())
        SetCursor(code == tcLink ? Qt::PointingHandCursor : code == tcText ? Qt::IBeamCursor : Qt::ArrowCursor);
    ShowLinkHint(code == tcLink ? QPDF->GetAnnotHint(QPDF->ptAnnot) : QString(), e->globalPosition().toPoint());
    if (!isSelecting || !left)
        return;
    if (code > tcBesidePages)
        QPDF->ChangeSelection(QPDF->ptPage, QPDF->ptChar, QPDF->ptDelta);
    EdgeScroll(p, e->modifiers());
}

void TScrollForm::EdgeScroll(const QPoint &p, Qt::KeyboardModifiers modifiers)
{
    const int zone = Ppi() / 3;
    const int step = Ppi() / 3;
    bool scrolled = false;
    const auto move = [&](bool vert, int delta) {
        const int before = vert ? VertPos() : HorzPos();
        const int pos = std::max(0, before + delta);
        vert ? SetVertPos(pos) : SetHorzPos(pos);
        scrolled |= (vert ? VertPos() : HorzPos()) != before;
    };
    if (p.x() < zone)
        move(false, -step);
    else if (p.x() > viewport()->width() - 2 * zone)
        move(false, step);
    if (p.y() < 0)
        move(true, -step);
    else if (p.y() > viewport()->height() - Ppi() / 6)
        move(true, step);
    if (!scrolled)
        return;
    Repaint();
    QCoreApplication::processEvents();
    pl::sleeper().sleepMs(1);
    // Scrolling goes on while the pointer rests there with the button down.
    if (isSelecting && LastMovePoint == p)
        QCoreApplication::postEvent(viewport(),
                                    new QMouseEvent(QEvent::MouseMove, QPointF(p), QPointF(viewport()->mapToGlobal(p)),
                                                    Qt::NoButton, Qt::LeftButton, modifiers));
}

// ---- Wheel ----------------------------------------------------------------------------

void TScrollForm::wheelEvent(QWheelEvent *e)
{
    const QPoint delta = e->angleDelta();
    const QPoint p = e->position().toPoint();
    bool handled = false;
    if (delta.y() != 0) {
        VerticalWheel(delta.y(), e->modifiers(), p);
        handled = true;
    }
    // A tilt to the right comes as a negative x.
    if (delta.x() != 0)
        handled |= HorizontalWheel(-delta.x(), e->modifiers(), p);
    e->setAccepted(handled);
}

void TScrollForm::ZoomAt(bool in, const QPoint &p)
{
    if (!QPDF)
        return;
    TMatchPoint anchor;
    anchor.x = p.x();
    anchor.y = p.y();
    if (in)
        QPDF->Navigator().ZoomIn(&anchor);
    else
        QPDF->Navigator().ZoomOut(&anchor);
}

void TScrollForm::VerticalWheel(int delta, Qt::KeyboardModifiers modifiers, const QPoint &p)
{
    if (modifiers & Qt::ControlModifier) {
        for (int n = Notches(WheelRest, delta); n != 0; n -= n > 0 ? 1 : -1)
            ZoomAt(n > 0, p);
        return;
    }
    if (!QPDF)
        return;
    TNavigator &nav = QPDF->Navigator();
    const bool scrolling = QPDF->Layout().AllowScrolling;
    if (modifiers & Qt::ShiftModifier) {
        if (PresentationState() < 2 && !VertBarVisible() && FVertRange <= viewport()->height() && FShowScrollbars)
            return;
        const int step = QApplication::wheelScrollLines() * LineIncrement();
        for (int n = Notches(ShiftWheelRest, delta); n != 0; n -= n > 0 ? 1 : -1) {
            const int before = VertPos();
            SetVertPos(n < 0 ? before + step : std::max(0, before - step));
            if (scrolling || VertPos() != before)
                continue;
            if (n < 0) {
                nav.NextPage();
                SetVertPos(0);
            } else if (nav.PrevPage()) {
                SetVertPos(FVertRange);
            }
        }
        UpdateStatus();
        return;
    }
    const int before = VertPos();
    SetVertPos(before - delta);
    if (!scrolling && VertPos() == before) {
        // Touchpads send small deltas: a page turns only after a whole notch.
        const int n = Notches(WheelRest, delta);
        if (n > 0)
            nav.PageUp();
        else if (n < 0)
            nav.PageDown();
    } else {
        WheelRest = 0;
    }
    UpdateStatus();
}

bool TScrollForm::HorizontalWheel(int delta, Qt::KeyboardModifiers modifiers, const QPoint &p)
{
    if (modifiers & Qt::ControlModifier) {
        for (int n = Notches(HWheelRest, delta); n != 0; n -= n > 0 ? 1 : -1)
            ZoomAt(n > 0, p);
        return true;
    }
    if (PresentationState() == 2 || HorzBarVisible() || FHorzRange > viewport()->width() || !FShowScrollbars) {
        SetHorzPos(HorzPos() + delta);
        UpdateStatus();
        return true;
    }
    UpdateStatus();
    return false;
}

// ---- Keys -----------------------------------------------------------------------------

bool TScrollForm::EscapeKey()
{
    if (EscapeReset)
        EscapeReset();
    if (AutoScrollActive()) {
        StopAutoScroll();
        return true;
    }
    if (CoordVisible()) {
        HideCoord();
        return true;
    }
    if (WindowEscape && WindowEscape())
        return true;
    // Nothing else to cancel: the selection goes.
    const bool selected = HasSelection();
    ResetSelection();
    return selected;
}

void TScrollForm::AltZoom(int step, bool up)
{
    TNavigator &nav = QPDF->Navigator();
    const int zoom = int(std::lround(QPDF->Layout().FZoom)) + (up ? step : -step);
    // Past either end of the zoom range the step stops at that end.
    if (up && zoom > kMaxZoom)
        nav.ZoomIn(nullptr);
    else if (!up && zoom < kMinZoom)
        nav.ZoomOut(nullptr);
    else
        nav.SetZoom(zoom);
    if (isVisible())
        setFocus();
    UpdateStatus();
}

void TScrollForm::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        EscapeKey();
    } else if (AutoScrollActive()) {
        StopAutoScroll();
    }
    const bool leftHeld = isSelecting || (isDragging > 0 && DragButton == Qt::LeftButton)
        || (QGuiApplication::mouseButtons() & Qt::LeftButton);
    if (leftHeld || !QPDF)
        return;
    if (!HandleKey(e))
        return;
    switch (e->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete: break;
    default:
        // Not the scroll area's handling, which would move the view a second time.
        QWidget::keyPressEvent(e);
        break;
    }
}

// The keys of the page view; false when nothing more may happen (the editor was started).
bool TScrollForm::HandleKey(QKeyEvent *e)
{
    TNavigator &nav = QPDF->Navigator();
    const TPageLayout &view = QPDF->Layout();
    const Qt::KeyboardModifiers m = e->modifiers();
    const bool shift = m & Qt::ShiftModifier;
    const bool ctrl = m & Qt::ControlModifier;
    const bool alt = m & Qt::AltModifier;
    const bool wider = FHorzRange > viewport()->width();
    const bool taller = FVertRange > viewport()->height();
    const int inc = LineIncrement() * (shift ? 8 : 1);
    switch (e->key()) {
    case Qt::Key_Backspace: shift ? nav.NextPosition() : nav.PrevPosition(); break;
    case Qt::Key_E:
    case Qt::Key_F8:
        if (!alt && QPDF->InverseSearch())
            return false;
        break;
    case Qt::Key_M:
        if (alt || ctrl)
            break;
        if (!CoordVisible()) {
            ShowCoord();
        } else {
            Prefer.MeasureUnit = (std::clamp<int32_t>(Prefer.MeasureUnit, 0, 2) + 1) % 3;
            RefreshCoord();
        }
        break;
    case Qt::Key_O:
        if (!alt && !ctrl && CoordVisible())
            SetOrigin(shift);
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete: ResetSelection(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Through the matches while they are marked, else through the pages.
        if (!(FindEnter && FindEnter(shift)))
            shift ? nav.PrevPage() : nav.NextPage();
        break;
    case Qt::Key_Space:
        ResetSelection();
        shift ? nav.PrevPage() : nav.NextPage();
        break;
    case Qt::Key_PageUp:
    case Qt::Key_H:
    case Qt::Key_P:
        if (ctrl && shift)
            nav.FirstPage();
        else if (ctrl)
            nav.PrevPage();
        else
            nav.PageUp();
        break;
    case Qt::Key_PageDown:
    case Qt::Key_L:
    case Qt::Key_N:
        if (ctrl && shift)
            nav.LastPage();
        else if (ctrl)
            nav.NextPage();
        else
            nav.PageDown();
        break;
    case Qt::Key_End: nav.LastPage(); break;
    case Qt::Key_Home: nav.FirstPage(); break;
    case Qt::Key_Left:
        // With Alt these keys are Back and Forward (with Ctrl the turns) of the menu: where
        // the menu has nothing to do, they do nothing either, rather than turn a page.
        if (alt)
            break;
        if (wider && !ctrl)
            SetHorzPos(HorzPos() - inc);
        else
            nav.PrevPage();
        break;
    case Qt::Key_Right:
        if (alt)
            break;
        if (wider && !ctrl)
            SetHorzPos(HorzPos() + inc);
        else
            nav.NextPage();
        break;
    case Qt::Key_Up:
    case Qt::Key_K:
        if (alt && e->key() == Qt::Key_Up)
            AltZoom(shift ? 10 : 1, true);
        else if (taller && !ctrl)
            SetVertPos(VertPos() - inc);
        else
            nav.PageUp();
        break;
    case Qt::Key_Down:
    case Qt::Key_J:
        if (alt && e->key() == Qt::Key_Down)
            AltZoom(shift ? 10 : 1, false);
        else if (taller && !ctrl)
            SetVertPos(VertPos() + inc);
        else
            nav.PageDown();
        break;
    // The "=" key: Qt names it by its shifted symbol when Shift is held.
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        if (ctrl && shift)
            nav.SetRotate(view.FRotate + 1);
        else
            nav.ZoomIn(nullptr);
        UpdateStatus();
        break;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        if (ctrl && shift)
            nav.SetRotate(view.FRotate + 3);
        else
            nav.ZoomOut(nullptr);
        UpdateStatus();
        break;
    default:
        // The character of an unhandled key: "+" and "-" from other keyboard layouts.
        if (e->text() == QLatin1String("+"))
            nav.ZoomIn(nullptr);
        else if (e->text() == QLatin1String("-"))
            nav.ZoomOut(nullptr);
        break;
    }
    return true;
}

// ---- Measuring mode -------------------------------------------------------------------

bool TScrollForm::CoordVisible() const { return !edCoord->isHidden(); }

void TScrollForm::SetCoordBox(QLineEdit *box)
{
    if (!box || box == edCoord)
        return;
    delete edCoord;
    edCoord = box;
    edCoord->hide();
}

void TScrollForm::GetCoordColors(QColor &background, QColor &text) const
{
    if (FDark) {
        background = QColor(32, 32, 32);
        text = QColor(255, 255, 0);
    } else {
        background = QColor(244, 244, 244);
        text = QColor(32, 32, 32);
    }
}

void TScrollForm::ShowCoord()
{
    QFont font = edCoord->font();
    if (!Prefer.FontName.isEmpty())
        font.setFamily(Prefer.FontName);
    font.setPointSizeF(this->font().pointSizeF());
    edCoord->setFont(font);
    ox = oy = 0;
    QColor background, text;
    GetCoordColors(background, text);
    QPalette pal = edCoord->palette();
    pal.setColor(QPalette::Base, background);
    pal.setColor(QPalette::Text, text);
    edCoord->setPalette(pal);
    const int margin = MulDiv(2, Ppi(), 96);
    edCoord->move(mapTo(edCoord->parentWidget(), QPoint(margin, margin)));
    edCoord->show();
    edCoord->raise();
    RefreshCoord();
}

void TScrollForm::HideCoord()
{
    const bool moved = ox != 0 || oy != 0;
    edCoord->hide();
    SetCursor(Qt::ArrowCursor);
    if (moved)
        viewport()->update();
}

QString TScrollForm::CoordText(double x, double y) const
{
    const TUnit &u = kUnits[std::clamp<int32_t>(Prefer.MeasureUnit, 0, 2)];
    const double dx = (x - ox) * u.factor;
    const double dy = (y - oy) * u.factor;
    const double d = std::sqrt(dx * dx + dy * dy);
    return QLatin1Char(' ') + FormatReal(dx, u.digits, 0) + QStringLiteral(" x ") + FormatReal(dy, u.digits, 0)
        + QStringLiteral("  \u2194  ") + FormatReal(d, u.digits, 0) + QLatin1Char(' ') + QLatin1String(u.name)
        + QLatin1Char(' ');
}

void TScrollForm::ShowCoordAt(const QPoint &p)
{
    if (!QPDF)
        return;
    TPageLayout &view = QPDF->Layout();
    int cp = 0;
    double xx = 0, yy = 0, x = 0, y = 0;
    if (!view.GetDocCoord(cp, p.x(), p.y(), xx, yy))
        return;
    view.GetTopLeftCoord(cp, xx, yy, x, y);
    const QString text = CoordText(x, y);
    if (text == edCoord->text())
        return;
    edCoord->setText(text);
    const QFontMetrics fm(edCoord->font());
    const int width =
        std::clamp(fm.horizontalAdvance(text + QLatin1Char(' ')), MulDiv(100, Ppi(), 96), MulDiv(300, Ppi(), 96));
    edCoord->resize(width, fm.height() + MulDiv(4, Ppi(), 96));
}

void TScrollForm::RefreshCoord()
{
    if (CoordVisible())
        ShowCoordAt(CursorPos());
}

void TScrollForm::SetOrigin(bool def)
{
    if (!CoordVisible() || !QPDF)
        return;
    double x = 0, y = 0;
    if (!def) {
        TPageLayout &view = QPDF->Layout();
        const QPoint p = CursorPos();
        int cp = 0;
        double xx = 0, yy = 0;
        if (!view.GetDocCoord(cp, p.x(), p.y(), xx, yy))
            return;
        view.GetTopLeftCoord(cp, xx, yy, x, y);
    }
    const bool changed = x != ox || y != oy;
    ox = x;
    oy = y;
    RefreshCoord();
    if (changed)
        viewport()->update();
}

// ---- Automatic scrolling --------------------------------------------------------------

void TScrollForm::StartAutoScroll(const QPoint &globalPos)
{
    StopAutoScroll();
    AutoScroll = new TAutoScrollForm(this, globalPos);
}

void TScrollForm::StopAutoScroll()
{
    if (!AutoScroll)
        return;
    TAutoScrollForm *form = AutoScroll;
    AutoScroll = nullptr;
    form->Finish();
    form->deleteLater();
    SetCursor(Qt::ArrowCursor);
}

// ---- Touch ----------------------------------------------------------------------------

void TScrollForm::TouchEvent(QTouchEvent *e)
{
    StopAutoScroll();
    const QList<QEventPoint> &points = e->points();
    const bool ending = e->type() == QEvent::TouchEnd || e->type() == QEvent::TouchCancel;
    // Positions from the screen: they hold for touches that began on another widget too.
    const auto at = [this](const QEventPoint &point) { return viewport()->mapFromGlobal(point.globalPosition()); };
    if (points.size() >= 2) {
        const QPointF a = at(points[0]), b = at(points[1]);
        const double distance = std::hypot(b.x() - a.x(), b.y() - a.y());
        const double angle = std::atan2(-(b.y() - a.y()), b.x() - a.x());
        const QPoint centre = ((a + b) / 2).toPoint();
        const bool begins = points[0].state() == QEventPoint::Pressed || points[1].state() == QEventPoint::Pressed;
        if (begins || ending) {
            zDist = distance;
            RotateGesture(angle, ending ? -1 : 1);
        } else {
            PinchZoom(distance, centre);
            RotateGesture(angle, 0);
        }
        TouchPanning = false;
    } else if (points.size() == 1) {
        const QPoint p = at(points[0]).toPoint();
        if (e->type() == QEvent::TouchBegin || !TouchPanning) {
            DragX = p.x();
            DragY = p.y();
            TouchPanning = !ending;
        } else if (!ending) {
            isDragging = 2;
            PanTo(p);
            isDragging = 0;
        } else {
            TouchPanning = false;
        }
    }
    Repaint();
    e->accept();
}

void TScrollForm::PinchZoom(double distance, const QPoint &centre)
{
    if (!QPDF)
        return;
    const double zoom = QPDF->Layout().FZoom;
    const int size = std::max(1, viewport()->width() + viewport()->height());
    const int change = int(std::fabs(distance - zDist) * 250 / size);
    int step = std::max(int(std::lround(zoom)) / 25, 1) * std::max(change, 1);
    if (distance < zDist)
        step = -step;
    if (distance != zDist && zoom + step >= 5 && zoom + step <= 10000) {
        TMatchPoint anchor;
        anchor.x = centre.x();
        anchor.y = centre.y();
        QPDF->Navigator().ZoomCustom(zoom + step, &anchor);
    }
    zDist = distance;
}

// phase 1 begin, -1 end, 0 a change of the angle.
void TScrollForm::RotateGesture(double angle, int phase)
{
    if (phase != 0) {
        rCount = 0;
        rAngle = angle;
        DebugLog((phase > 0 ? QStringLiteral("Angle Begin: ") : QStringLiteral("Angle End: "))
                 + FormatReal(angle, 2, 0));
        return;
    }
    ++rCount;
    if (rCount < 9) {
        rAngle = angle;
        return;
    }
    if (std::fabs(angle - rAngle) <= std::numbers::pi / 4 || !QPDF)
        return;
    DebugLog(QStringLiteral("Angle Change: ") + FormatReal(rAngle, 2, 0) + QStringLiteral(" -> ")
             + FormatReal(angle, 2, 0));
    const int rotate = QPDF->Layout().FRotate;
    QPDF->Navigator().SetRotate(rotate + (angle < rAngle ? 1 : 3));
    rAngle = angle;
    UpdateStatus();
}
