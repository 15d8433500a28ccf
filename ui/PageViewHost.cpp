#include "ui/PageViewHost.h"

#include "ui/ScrollForm.h"

#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

TPageViewHost::TPageViewHost(TScrollForm *form) : FForm(form)
{
    // The note floats over the page view and never takes the pointer or the focus.
    Info = new QLabel(form);
    Info->setAttribute(Qt::WA_TransparentForMouseEvents);
    Info->setFocusPolicy(Qt::NoFocus);
    Info->setAutoFillBackground(true);
    Info->setFrameShape(QFrame::Box);
    Info->setMargin(4);
    Info->hide();
    InfoTimer = new QTimer(Info);
    InfoTimer->setSingleShot(true);
    InfoTimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(InfoTimer, &QTimer::timeout, Info, &QWidget::hide);
    SetWindow(nullptr);
}

TPageViewHost::~TPageViewHost()
{
    if (FForm) {
        SetWindow(nullptr);
        delete Info;
    }
}

void TPageViewHost::SetWindow(TPageViewWindow *window)
{
    FWindow = window;
    if (!FForm)
        return;
    TScrollForm &f = *FForm;
    if (!window) {
        f.OnContextMenu = nullptr;
        f.DisplayState = nullptr;
        f.EscapeReset = nullptr;
        f.WindowEscape = nullptr;
        f.OnFocused = nullptr;
        f.OnPainted = nullptr;
        f.WindowActive = nullptr;
        f.NoPDFPainting = nullptr;
        return;
    }
    f.OnContextMenu = [window](const QPoint &p) { window->PopupMenuView(p); };
    f.DisplayState = [window] { return window->DisplayState(); };
    f.EscapeReset = [window] { window->EscapeReset(); };
    f.WindowEscape = [window] { return window->EscapeKey(); };
    f.OnFocused = [window] { window->PageViewFocused(); };
    f.OnPainted = [window] { window->PagePainted(); };
    f.WindowActive = [window] { return window->MainWindowActive(); };
    f.NoPDFPainting = [window] { return window->NoPDFPainting(); };
}

int TPageViewHost::ClientWidth() const { return FForm ? FForm->viewport()->width() : 0; }
int TPageViewHost::ClientHeight() const { return FForm ? FForm->viewport()->height() : 0; }
int TPageViewHost::ViewWidth() const { return FForm ? FForm->width() : 0; }
bool TPageViewHost::ViewVisible() const { return FForm && FForm->isVisible(); }
int TPageViewHost::VertPos() const { return FForm ? FForm->VertPos() : 0; }
int TPageViewHost::HorzPos() const { return FForm ? FForm->HorzPos() : 0; }

void TPageViewHost::SetVertPos(int pos)
{
    if (FForm)
        FForm->SetVertPos(pos);
}

void TPageViewHost::SetHorzPos(int pos)
{
    if (FForm)
        FForm->SetHorzPos(pos);
}

int TPageViewHost::VertRange() const { return FForm ? FForm->VertRange() : 0; }
int TPageViewHost::HorzRange() const { return FForm ? FForm->HorzRange() : 0; }

void TPageViewHost::SetVertRange(int range)
{
    if (FForm)
        FForm->SetVertRange(range);
}

void TPageViewHost::SetHorzRange(int range)
{
    if (FForm)
        FForm->SetHorzRange(range);
}

int TPageViewHost::VertLineIncrement() const { return FForm ? FForm->LineIncrement() : 1; }
bool TPageViewHost::VertBarEnabled() const { return FForm && FForm->VertBarVisible(); }

int TPageViewHost::VertBarWidth() const
{
    return FForm ? FForm->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FForm) : 0;
}

bool TPageViewHost::IsSettingView() const { return FForm ? FForm->isSettingView : Setting; }

void TPageViewHost::SetSettingView(bool setting)
{
    Setting = setting;
    if (FForm)
        FForm->isSettingView = setting;
}

void TPageViewHost::LockUpdate(bool lock)
{
    // The engine nests its locks (a view change inside an open); the outermost one counts.
    LockDepth = std::max(0, LockDepth + (lock ? 1 : -1));
    if (FForm)
        FForm->LockUpdate(LockDepth > 0);
}

void TPageViewHost::InvalidateView()
{
    if (FForm)
        FForm->viewport()->update();
}

void TPageViewHost::UpdateView()
{
    if (FForm)
        FForm->viewport()->repaint();
}

void TPageViewHost::FocusView()
{
    if (FForm)
        FForm->setFocus(Qt::OtherFocusReason);
}

void TPageViewHost::ShowInfo(const QString &text, int ms)
{
    if (!FForm)
        return;
    Info->setText(text);
    Info->adjustSize();
    Info->move(std::max(0, (FForm->width() - Info->width()) / 2), std::max(0, (FForm->height() - Info->height()) / 2));
    Info->show();
    Info->raise();
    InfoTimer->start(std::max(1, ms));
}

void TPageViewHost::StartMarkAnimation()
{
    if (FForm)
        FForm->StartMarkAnimation();
}

void TPageViewHost::HideCoordinates()
{
    if (FForm && FForm->CoordVisible())
        FForm->HideCoord();
}

void TPageViewHost::InvalidateRect(const QRect &rect)
{
    if (FForm)
        FForm->viewport()->update(rect);
}

bool TPageViewHost::CoordinatesVisible() const { return FForm && FForm->CoordVisible(); }
QPointF TPageViewHost::MeasureOrigin() const { return FForm ? FForm->Origin() : QPointF(); }

void TPageViewHost::RefreshCoordinates()
{
    if (FForm)
        FForm->RefreshCoord();
}

bool TPageViewHost::PointerBusy() const { return FForm && FForm->PointerBusy(); }
QPoint TPageViewHost::CursorPos() const { return FForm ? FForm->CursorPos() : QPoint(-1, -1); }
