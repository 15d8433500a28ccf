#include "ui/PageViewHost.h"

#include "ui/ExInfo.h"
#include "ui/ScrollForm.h"

#include <QScrollBar>
#include <QStyle>

TPageViewHost::TPageViewHost(TScrollForm *form) : FForm(form)
{
    // A child of the view's panel, so that it moves with the panel; a view without one
    // carries it itself.
    Info = new TExInfo(form->parentWidget() ? form->parentWidget() : form);
    SetWindow(nullptr);
}

TPageViewHost::~TPageViewHost()
{
    if (FForm)
        SetWindow(nullptr);
    delete Info;
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
        f.FindEnter = nullptr;
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
    f.FindEnter = [window](bool backward) { return window->FindEnter(backward); };
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
    if (!FForm || !Info)
        return;
    Info->StartInfo(text, QString(), 0, 0);
    Info->StopInfo(0, ms);
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
bool TPageViewHost::PrimaryButtonDown() const { return FForm && FForm->PrimaryButtonDown(); }

void TPageViewHost::StartInfo(const QString &s, const QString &ex, int a, int b)
{
    if (Info)
        Info->StartInfo(s, ex, a, b);
}

void TPageViewHost::SetInfo(const QString &s, int col)
{
    if (Info)
        Info->SetInfo(s, col);
}

void TPageViewHost::SetPos(int off)
{
    if (Info)
        Info->SetPos(off);
}

void TPageViewHost::SetCancel()
{
    if (Info)
        Info->SetCancel();
}

void TPageViewHost::StopInfo(int ex, int delay)
{
    if (Info)
        Info->StopInfo(ex, delay);
}
