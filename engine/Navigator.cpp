#include "engine/Navigator.h"

#include "base/DebugLog.h"
#include "base/NumberParse.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kInfoMs = 2222;

} // namespace

void TNavigator::UpdateStatus()
{
    if (!noUpdating && StatusChanged)
        StatusChanged();
}

void TNavigator::RestorePosition(int page, double Top, double Left)
{
    if (!View.MoveTo(page, Top, Left))
        return;
    if (!Host.Window().NoPDFPainting()) {
        Host.View().InvalidateView();
        UpdateStatus();
    }
}

TPosition TNavigator::Current()
{
    TPosition p{View.SelPage, 0, 0};
    SavePosition(p.cp, p.Top, p.Left);
    return p;
}

bool TNavigator::StorePosition()
{
    for (int i = 0; i < 3; ++i)
        View.SetupView();
    // Across in points, down in pixels at the current zoom: a tolerance of an eleventh page.
    return History.Store(Current(), View.FDocPageWidth / 11, View.FPageHeight / 11.0);
}

bool TNavigator::PrevPosition()
{
    TPosition target;
    if (!History.Back(Current(), target))
        return false;
    Show(target);
    return true;
}

bool TNavigator::NextPosition()
{
    TPosition target;
    if (!History.Forward(Current(), target))
        return false;
    Show(target);
    return true;
}

bool TNavigator::CanPrevPosition() { return History.CanBack(Current()); }

bool TNavigator::CanNextPosition() { return History.CanForward(Current()); }

bool TNavigator::SetMark()
{
    StorePosition();
    Mark = Current();
    return Mark.cp > 0;
}

bool TNavigator::CanGotoMark()
{
    if (Mark.cp <= 0)
        return false;
    const TPosition p = Current();
    return p.cp != Mark.cp || p.Top != Mark.Top || p.Left != Mark.Left;
}

bool TNavigator::GotoMark()
{
    if (!CanGotoMark())
        return false;
    StorePosition();
    Show(Mark);
    return true;
}

int TNavigator::TopEdge()
{
    if (View.FRotate != 0)
        return 0;
    int x = 0, y = 0;
    View.GetScrCoord(View.SelPage, 0, 0, x, y);
    const int o = View.GetPageOrientation(View.SelPage);
    return (o == 0 || o == 3) ? y - View.FPageHeight : y;
}

double TNavigator::PastTheEnd() const
{
    // Beyond the bottom of any page: the scroll bar clamps it to the end.
    return View.GetDim(std::max(View.FPageWidth, View.FPageHeight)) + Host.View().ClientHeight() * 2 + 9;
}

bool TNavigator::NextPage()
{
    const int before = View.GetPageView();
    const int n = Source.PageCount();
    if (n <= 0)
        return false;
    if (View.SelPage < n) {
        if (View.AllowScrolling && TopEdge() > 0) {
            RestorePosition(View.SelPage, 0, -1);
            return View.SelPage != before;
        }
        ++View.SelPage;
        if (View.PageView != TPageViewMode::Single && View.SelPage < n)
            ++View.SelPage;
        RestorePosition(View.SelPage, 0, -1);
    } else {
        View.SelPage = n;
        RestorePosition(n, PastTheEnd(), -1);
    }
    return View.SelPage != before;
}

bool TNavigator::CanNextPage() const { return View.SelPage < Source.PageCount(); }

bool TNavigator::CanPrevPage() const { return View.SelPage > 1; }

bool TNavigator::PrevPage()
{
    const int before = View.GetPageView();
    if (View.SelPage > 1) {
        const bool stepBack = View.AllowScrolling ? TopEdge() >= 0 : Host.View().VertPos() == 0;
        if (stepBack) {
            --View.SelPage;
            if (View.PageView != TPageViewMode::Single && View.SelPage > 1)
                --View.SelPage;
        }
    } else {
        View.SelPage = 1;
    }
    RestorePosition(View.SelPage, 0, -1);
    return View.SelPage != before;
}

bool TNavigator::PageDown()
{
    if (View.AllowScrolling && View.FZoomMode == zfitPage)
        return NextPage();
    const int before = Host.View().VertPos();
    Host.View().SetVertPos(Host.View().ClientHeight() + before - Host.View().VertLineIncrement());
    if (!View.AllowScrolling && Host.View().VertPos() == before) {
        // The bottom of the page: on to the next page or pair.
        if ((View.PageView == TPageViewMode::Double && (View.SelPage & 1))
            || (View.PageView == TPageViewMode::Book && !(View.SelPage & 1)))
            ++View.SelPage;
        NextPage();
    }
    return true;
}

bool TNavigator::PageUp()
{
    if (View.AllowScrolling && View.FZoomMode == zfitPage)
        return PrevPage();
    const int before = Host.View().VertPos();
    Host.View().SetVertPos(before + Host.View().VertLineIncrement() - Host.View().ClientHeight());
    if (!View.AllowScrolling && View.SelPage > 1 && Host.View().VertPos() == before) {
        if ((View.PageView == TPageViewMode::Book && (View.SelPage & 1))
            || (View.PageView == TPageViewMode::Double && !(View.SelPage & 1)))
            --View.SelPage;
        if (View.SelPage > 1)
            --View.SelPage;
        View.GetPageView();
        RestorePosition(View.SelPage, View.FDocPageHeight, -1);
    }
    return true;
}

bool TNavigator::FirstPage()
{
    View.SelPage = 1;
    RestorePosition(1, 0, -1);
    return true;
}

bool TNavigator::LastPage()
{
    const int n = Source.PageCount();
    if (View.SelPage < n) {
        View.SelPage = n;
        RestorePosition(n, 0, -1);
    } else {
        RestorePosition(n, PastTheEnd(), -1);
    }
    return true;
}

bool TNavigator::GOTOPage(int page, PDest dest)
{
    if (page < 1 || page > Source.PageCount())
        return false;
    if (StopQuickOpen)
        StopQuickOpen();
    StorePosition();
    View.SelPage = page;
    View.SetSelectedPage(page);
    double Top = 0;
    if (dest) {
        if (dest->destZoom > 0)
            DebugLog(QStringLiteral("Warning! Unsupported Destination Zoom ") + QString::number(dest->destZoom));
        double y = dest->destTop;
        if (View.GetPageOrientation(page) == 1)
            y = View.FDocPageHeight - dest->destLeft;
        if (View.FRotate == 0)
            Top = View.FDocPageHeight - y;
        else if (View.FRotate == 2)
            Top = y - View.GetDim(Host.View().ClientHeight());
        if (Top < 0 || Top > View.FDocPageHeight)
            Top = 0;
    }
    View.MakePageVisible(page);
    RestorePosition(page, Top, -1);
    Host.View().UpdateView();
    UpdateStatus();
    return true;
}

int TNavigator::FindLabel(const QString &text)
{
    const int n = Source.PageCount();
    for (int p = 1; p <= n; ++p)
        if (GetPageLabelEx(p) == text)
            return p;
    return 0;
}

bool TNavigator::GOTOPageLabel(const QString &page, PDest dest)
{
    if (page.isEmpty())
        return false;
    int p = FindLabel(page);
    if (p == 0 && !ParseInteger(page, 1, std::max(1, Source.PageCount()), p))
        return false;
    return GOTOPage(p, dest);
}

bool TNavigator::doGOTOPageLabel(const QString &page)
{
    if (page.isEmpty())
        return false;
    int p = FindLabel(page);
    if (p == 0 && page.size() > 1 && page.front() == u' ')
        ParseInteger(page.mid(1), 1, std::max(1, Source.PageCount()), p);
    if (p > 0 && GOTOPage(p, nullptr)) {
        if (Host.View().ViewVisible())
            Host.View().FocusView();
        UpdateStatus();
        return true;
    }
    Host.View().ShowInfo(QStringLiteral("Page \"") + page + QStringLiteral("\" not found."), kInfoMs);
    return false;
}

bool TNavigator::doSetZoom(const QString &zoom)
{
    QString text = zoom;
    while (!text.isEmpty() && (text.back() < u' ' || text.back() == u' ' || text.back() == u'%'))
        text.chop(1);
    int value = 0;
    // The range the zoom steps reach: the box takes every zoom the menus and the wheel can set.
    if (!ParseInteger(text, int(kMinZoom), int(kMaxZoom), value)) {
        Host.View().ShowInfo(QStringLiteral("Illegal Zoom Specification: ") + zoom, kInfoMs);
        return false;
    }
    SetZoom(value);
    if (Host.View().ViewVisible())
        Host.View().FocusView();
    UpdateStatus();
    return true;
}

bool TNavigator::ShowGotoPageDlg()
{
    QString label, pages;
    if (Source.Document()) {
        View.GetPageView();
        label = View.SelPage > 0 ? GetPageLabelEx(View.SelPage) : QStringLiteral("?");
        pages = QStringLiteral("(%1 / %2)").arg(View.SelPage).arg(Source.PageCount());
    }
    QString typed;
    return Host.Window().AskGotoPage(label, pages, typed) && doGOTOPageLabel(typed);
}

bool TNavigator::ShowZoomDlg()
{
    const QString zoom = Source.Document() ? QString::number(int(std::trunc(View.FZoom + 0.0001))) + QLatin1Char('%')
                                           : QStringLiteral("%");
    QString typed;
    return Host.Window().AskZoom(zoom, typed) && doSetZoom(typed);
}

bool TNavigator::Zoom(double value, const TZoomStep *step, PMatchPoint ex)
{
    const double old = View.FZoom;
    TPosition p = Current();
    if (ex) {
        ex->pp = -1;
        if (!View.GetDocCoord(ex->pp, ex->x, ex->y, ex->l, ex->t))
            ex->pp = -1;
        if (ex->pp > 0 && ex->pp != p.cp)
            p.cp = ex->pp;
    }
    if (step) {
        View.FZoomMode = step->mode;
        View.FZoom = step->zoom;
        if (step->resetLeft)
            p.Left = 0;
        if (step->resetTop)
            p.Top = 0;
    } else {
        View.FZoom = value;
        View.FZoomMode = ZoomModeFor(value);
    }
    const bool changed = View.FZoom != old;
    if (changed) {
        noUpdating = true;
        Show(p);
        noUpdating = false;
        UpdateStatus();
    } else {
        Show(p);
    }
    if (ex && ex->pp > 0 && View.GetScrCoord(ex->pp, ex->l, ex->t, ex->xx, ex->yy)) {
        // The page point under the mouse stays under it.
        Host.View().SetHorzPos(Host.View().HorzPos() + ex->xx - ex->x);
        Host.View().SetVertPos(Host.View().VertPos() + ex->yy - ex->y);
    }
    return changed;
}

bool TNavigator::ZoomIn(PMatchPoint ex)
{
    const TZoomStep step = ZoomInStep(View.FZoom, View.GetZoomFitPage(), View.GetZoomFitWidth());
    return Zoom(step.zoom, &step, ex);
}

bool TNavigator::ZoomOut(PMatchPoint ex)
{
    const TZoomStep step = ZoomOutStep(View.FZoom, View.GetZoomFitPage(), View.GetZoomFitWidth());
    return Zoom(step.zoom, &step, ex);
}

bool TNavigator::ZoomCustom(double Value, PMatchPoint ex) { return Zoom(Value, nullptr, ex); }

QString TNavigator::GetPageLabelEx(int Page)
{
    const QString label = Source.PageLabel(Page - 1);
    if (label.isEmpty())
        return QString::number(Page);
    int n = 0;
    while (Page - 1 - n >= 1 && Source.PageLabel(Page - 2 - n) == label)
        ++n;
    return n > 0 ? label + QLatin1Char('.') + QString::number(n) : label;
}

void TNavigator::SetZoomMode(TZoomMode m)
{
    if (m == View.FZoomMode)
        return;
    TPosition p = Current();
    View.FZoomMode = m;
    if (m == zfitPage)
        p.Top = p.Left = 0;
    Show(p);
}

void TNavigator::SetZoom(double z)
{
    if (z == View.FZoom)
        return;
    const TPosition p = Current();
    View.FZoom = z;
    View.FZoomMode = ZoomModeFor(z);
    Show(p);
}

void TNavigator::SetRotate(int r)
{
    if (r == View.FRotate)
        return;
    const TPosition p = Current();
    View.FRotate = r & 3;
    Show(p);
}

bool TNavigator::ChangeView(TPageViewMode value)
{
    if (value == View.PageView)
        return false;
    const TPosition p = Current();
    View.PageView = value;
    Show(p);
    return true;
}

bool TNavigator::ToggleContinuousView() { return SetContinuousView(!View.AllowScrolling); }

bool TNavigator::SetContinuousView(bool on)
{
    if (on == View.AllowScrolling)
        return on;
    const TPosition p = Current();
    View.AllowScrolling = on;
    View.SetupView();
    Show(p);
    UpdateStatus();
    return View.AllowScrolling;
}
