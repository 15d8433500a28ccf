#include "engine/PageLayout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// The largest integer a pixel value may take; larger values are clamped so that sums of a
// few of them cannot overflow.
constexpr double kPixelLimit = INT_MAX / 8;

} // namespace

int32_t TPageLayout::GetPxl(double c, double ratio) const
{
    // Halves go to the even neighbour, as the rest of the layout arithmetic expects.
    const double v = std::nearbyint(c / 72 * FDpi * ratio);
    return int32_t(std::clamp(v, -kPixelLimit, kPixelLimit));
}

double TPageLayout::GetDim(double c) const { return c * 72 / FDpi; }

void TPageLayout::PixelSize(const FS_SIZEF &size, int &w, int &h) const
{
    w = GetPxl(size.width);
    h = GetPxl(size.height);
    if (Odd())
        std::swap(w, h);
}

bool TPageLayout::PagePixelSize(int p, int &w, int &h)
{
    FS_SIZEF size{0, 0};
    const bool ok = Source.PageSize(p - 1, size);
    PixelSize(size, w, h);
    return ok;
}

void TPageLayout::SetSelectedPage(int p)
{
    if (!HasDocument() || (p == LoadedIndex + 1 && LoadedIndex >= 0))
        return;
    LoadedIndex = p - 1;
    if (!Source.LoadPage(p - 1))
        return;
    FS_SIZEF size{0, 0};
    if (Source.PageSize(p - 1, size)) {
        FDocPageWidth = size.width;
        FDocPageHeight = size.height;
    }
}

void TPageLayout::PageUnloaded()
{
    LoadedIndex = -1;
    FDocPageWidth = 0;
    FDocPageHeight = 0;
}

int TPageLayout::GetPagesRect(TXPagesRect &x)
{
    if (!HasDocument() || !AllowScrolling)
        return 0;
    const int n = std::max(0, Source.PageCount());
    const void *doc = Source.Document();
    if (int(x.PR.size()) == n && x.xDoc == doc && x.xZoom == FZoomMode && x.xDpi == FDpi && x.xGap == FGap
        && x.xRotate == FRotate && x.xPageView == PageView)
        return 0;
    if (int(x.PR.size()) != n)
        x.PR.resize(n);

    if (doc != x.xDoc || x.mww == 0 || x.mhh == 0) {
        x.xDoc = doc;
        x.mww = x.mhh = x.mww1 = x.mhh1 = x.mww2 = x.mhh2 = 0;
        for (int i = 0; i < n; ++i) {
            FS_SIZEF &s = x.PR[i].size;
            if (!Source.PageSize(i, s))
                s = {0, 0};
            x.mww = std::max(x.mww, s.width);
            x.mhh = std::max(x.mhh, s.height);
            float &w = (i & 1) ? x.mww1 : x.mww2;
            float &h = (i & 1) ? x.mhh1 : x.mhh2;
            w = std::max(w, s.width);
            h = std::max(h, s.height);
        }
    }

    x.xZoom = FZoomMode;
    x.xDpi = FDpi;
    x.xGap = FGap;
    x.xRotate = FRotate;
    x.xPageView = PageView;
    PixelSize({x.mww, x.mhh}, x.mxw, x.mxh);
    PixelSize({x.mww1, x.mhh1}, x.mxw1, x.mxh1);
    PixelSize({x.mww2, x.mhh2}, x.mxw2, x.mxh2);

    auto place = [&](int i, int top, int left) {
        int w, h;
        PixelSize(x.PR[i].size, w, h);
        TPageRect &r = x.PR[i];
        r.Top = top;
        r.Bottom = top + h;
        r.Left = left;
        r.Right = left + w;
        return h;
    };

    int y = 0;
    int i = 0;
    int rightColumn = x.mxw2 + FGap;
    if (PageView == TPageViewMode::Book && n > 0) {
        rightColumn = x.mxw1 + FGap;
        y = place(0, 0, rightColumn) + FGap;
        i = 1;
    }
    while (i < n) {
        int rowHeight = place(i, y, 0);
        if (PageView != TPageViewMode::Single && i + 1 < n) {
            rowHeight = std::max(rowHeight, place(i + 1, y, rightColumn));
            ++i;
        }
        ++i;
        y += rowHeight + FGap;
    }

    x.vsr = x.hsr = 0;
    for (const TPageRect &r : x.PR) {
        x.vsr = std::max(x.vsr, r.Bottom);
        x.hsr = std::max(x.hsr, r.Right);
    }
    return n;
}

void TPageLayout::AddEntry(int cp, int top, int left, int width, int height, const TRect &R)
{
    const int bottom = top + height;
    const int right = left + width;
    const int ct = std::max(top, R.Top);
    const int cb = std::min(bottom, R.Bottom);
    const int cl = std::max(left, R.Left);
    const int cr = std::min(right, R.Right);
    if (ct >= cb || cl >= cr)
        return;
    if (LayoutCount >= int(Layout.size()))
        Layout.resize(std::max<size_t>(8, Layout.size() * 2));
    TLayout &e = Layout[LayoutCount++];
    e.cp = cp;
    e.srcTop = top < R.Top ? R.Top - top : 0;
    e.srcLeft = left < R.Left ? R.Left - left : 0;
    e.destTop = ct;
    e.destLeft = cl;
    e.width = cr - cl;
    e.height = cb - ct;
}

int TPageLayout::Partner(int p) const
{
    const int n = Source.PageCount();
    if (PageView == TPageViewMode::Book)
        return (p & 1) ? (p > 1 ? p - 1 : 0) : (p < n ? p + 1 : 0);
    if (PageView == TPageViewMode::Double)
        return (p & 1) ? (p < n ? p + 1 : 0) : p - 1;
    return 0;
}

int TPageLayout::GetLayout(int t, int l, int h, int w, const TRect &R)
{
    LayoutCount = 0;
    if (!HasDocument())
        return 0;
    if (AllowScrolling) {
        GetPagesRect(PagesRect);
        const TXPagesRect &x = PagesRect;
        const int n = int(x.PR.size());
        if (n == 0)
            return 0;
        int k = std::clamp(SelPage - 1, 0, n - 1);
        while (k > 0 && t < x.PR[k].Top)
            --k;
        if (k > 0 && PageView > TPageViewMode::Single)
            --k;
        while (k < n && t >= x.PR[k].Bottom)
            ++k;
        const int block = x.mxw1 + x.mxw2 + FGap;
        for (; k < n; ++k) {
            const TPageRect &r = x.PR[k];
            const int pw = r.Right - r.Left;
            const int top = r.Top - t;
            int left;
            if (PageView == TPageViewMode::Single || n == 1) {
                left = (std::max(w, x.mxw) - pw) / 2 - l;
            } else {
                left = (std::max(w, block) - block) / 2 + r.Left - l;
                // A left-column page meets its partner at the gap.
                if (r.Left == 0)
                    left += std::max(0, ((k & 1) ? x.mxw1 : x.mxw2) - pw);
            }
            AddEntry(k + 1, top, left, pw, r.Bottom - r.Top, R);
            if (top >= R.Bottom)
                break;
        }
        return LayoutCount;
    }

    const int n = Source.PageCount();
    if (n <= 0)
        return 0;
    SelPage = std::clamp(SelPage, 1, n);
    SetSelectedPage(SelPage);
    const int partner = Partner(SelPage);
    if (partner == 0) {
        const int top = t != 0 ? -t : std::max(0, (h - FPageHeight) / 2);
        const int left = l != 0 ? -l : std::max(0, (w - FPageWidth) / 2);
        AddEntry(SelPage, top, left, FPageWidth, FPageHeight, R);
        return LayoutCount;
    }
    const int p1 = std::min(SelPage, partner);
    const int p2 = std::max(SelPage, partner);
    int w1, h1, w2, h2;
    PagePixelSize(p1, w1, h1);
    PagePixelSize(p2, w2, h2);
    const int top = t != 0 ? -t : std::max(0, (h - std::max(h1, h2)) / 2);
    const int total = w1 + FGap + w2;
    const int left = std::max(0, (std::max(total, w) - total) / 2) - l;
    AddEntry(p1, top, left, w1, h1, R);
    AddEntry(p2, top, left + w1 + FGap, w2, h2, R);
    return LayoutCount;
}

int TPageLayout::GetLayoutView()
{
    return GetLayout(Host.View().VertPos(), Host.View().HorzPos(), Host.View().ClientHeight(),
                     Host.View().ClientWidth(), ClientRect());
}

int TPageLayout::GetPageView()
{
    if (!AllowScrolling)
        return SelPage;
    const int count = GetLayoutView();
    int best = -1;
    int64_t bestArea = -1;
    for (int i = 0; i < count; ++i) {
        const TLayout &e = Layout[i];
        const int64_t area = int64_t(e.width) * e.height;
        if (area > bestArea || (area == bestArea && (e.cp == SelPage || e.cp == matchCP))) {
            best = i;
            bestArea = area;
        }
    }
    if (best >= 0)
        SelPage = Layout[best].cp;
    return SelPage;
}

bool TPageLayout::Convert(const TLayout &e, int x, int y, double &xx, double &yy)
{
    int sx, sy;
    PagePixelSize(e.cp, sx, sy);
    return Source.DeviceToPage(e.cp - 1, e.destLeft - e.srcLeft, e.destTop - e.srcTop, sx, sy, FRotate, x, y, xx, yy);
}

bool TPageLayout::GetDocCoord(int &cp, int x, int y, double &xx, double &yy)
{
    xx = yy = 0;
    const int count = GetLayoutView();
    for (int i = 0; i < count; ++i) {
        const TLayout &e = Layout[i];
        if (x >= e.destLeft && x <= e.destLeft + e.width && y >= e.destTop && y <= e.destTop + e.height) {
            cp = e.cp;
            return Convert(e, x, y, xx, yy);
        }
    }
    // Beside the pages: the page whose band holds y; in a pair the left one while the point
    // lies within its width plus a point, else the right one.
    bool found = false;
    bool result = false;
    for (int i = 0; i < count; ++i) {
        const TLayout &e = Layout[i];
        if (y < e.destTop || y > e.destTop + e.height)
            continue;
        found = true;
        cp = e.cp;
        result = Convert(e, x, y, xx, yy);
        FS_SIZEF size{0, 0};
        Source.PageSize(e.cp - 1, size);
        if (PageView == TPageViewMode::Single || xx <= size.width + 1)
            break;
    }
    return found && result;
}

bool TPageLayout::GetScrCoord(int cp, double x, double y, int &xx, int &yy)
{
    xx = yy = 0;
    const int count = GetLayoutView();
    bool found = false;
    for (int i = 0; i < count; ++i) {
        const TLayout &e = Layout[i];
        if (e.cp != cp)
            continue;
        int sx, sy;
        PagePixelSize(e.cp, sx, sy);
        found =
            Source.PageToDevice(e.cp - 1, e.destLeft - e.srcLeft, e.destTop - e.srcTop, sx, sy, FRotate, x, y, xx, yy);
    }
    return found;
}

int TPageLayout::GetPageOrientation(int p)
{
    FS_SIZEF size{0, 0};
    if (!HasDocument() || !Source.PageSize(p - 1, size))
        return 0;
    // At rotation 0 the library maps the page's own rotation only; any positive box will do.
    const int sx = std::max(1, GetPxl(size.width));
    const int sy = std::max(1, GetPxl(size.height));
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    Source.PageToDevice(p - 1, 0, 0, sx, sy, 0, 0, 0, x0, y0);
    Source.PageToDevice(p - 1, 0, 0, sx, sy, 0, size.width, size.height, x1, y1);
    if (x1 >= x0)
        return y1 > y0 ? 1 : 0;
    return y1 < y0 ? 3 : 2;
}

bool TPageLayout::GetPageDimensions(int p, bool o, double &w, double &h)
{
    FS_SIZEF size{0, 0};
    if (!HasDocument() || !Source.PageSize(p - 1, size))
        return false;
    w = size.width;
    h = size.height;
    if (o && (GetPageOrientation(p) & 1))
        std::swap(w, h);
    return true;
}

void TPageLayout::GetTopLeftCoord(int p, double x1, double y1, double &x, double &y)
{
    const double H = (GetPageOrientation(p) & 1) ? FDocPageWidth : FDocPageHeight;
    x = x1;
    y = H - y1;
}

double TPageLayout::FitZoom(bool page)
{
    const int n = HasDocument() ? Source.PageCount() : 0;
    if (n <= 0)
        return FZoom;
    if (AllowScrolling)
        GetPagesRect(PagesRect);
    const double savedDpi = FDpi;
    FDpi = FPixelsPerInch;
    int64_t H, W;
    if (AllowScrolling) {
        const TXPagesRect &x = PagesRect;
        H = GetPxl(Odd() ? x.mww : x.mhh);
        if (PageView == TPageViewMode::Single)
            W = GetPxl(Odd() ? x.mhh : x.mww);
        else
            W = FGap + GetPxl(Odd() ? x.mhh1 + x.mhh2 : x.mww1 + x.mww2);
    } else {
        int w, h;
        PixelSize({float(FDocPageWidth), float(FDocPageHeight)}, w, h);
        W = w;
        H = h;
        if (const int partner = Partner(SelPage)) {
            PagePixelSize(partner, w, h);
            H = std::max<int64_t>(H, h);
            W += w + FGap;
        }
    }
    FDpi = savedDpi;
    W = W + 1 > INT_MAX ? 1 : W + 1;
    H = H + 1 > INT_MAX ? 1 : H + 1;
    double z = Host.View().ClientWidth() * 100.0 / double(W) - 0.25;
    if (page)
        z = std::min(z, Host.View().ClientHeight() * 100.0 / double(H) - 0.1);
    return std::clamp(z, 10.0, 1000.0);
}

double TPageLayout::GetZoomFitPage() { return FitZoom(true); }

double TPageLayout::GetZoomFitWidth() { return FitZoom(false); }

void TPageLayout::SetupView()
{
    const bool wasSetting = Host.View().IsSettingView();
    Host.View().SetSettingView(true);
    if (FZoomMode == zfitPage)
        FZoom = GetZoomFitPage();
    else if (FZoomMode == zfitWidth)
        FZoom = GetZoomFitWidth();
    else if (FZoomMode == zActualSize)
        FZoom = 100;
    FDpi = FZoom * FPixelsPerInch / 100;
    PixelSize({float(FDocPageWidth), float(FDocPageHeight)}, FPageWidth, FPageHeight);
    FGap = int32_t(std::nearbyint(PageGap * FPixelsPerInch / 96));

    int vr = 0, hr = 0;
    GetPageScrollRanges(SelPage, vr, hr);
    const bool onePage = Source.PageCount() == 1;
    const bool fit = FZoomMode == zfitPage || FZoomMode == zfitWidth;
    auto Hc = [&](int a) {
        return fit && (PageView == TPageViewMode::Single || onePage) ? std::min(a, Host.View().ClientWidth()) : a;
    };
    auto Vc = [&](int a) {
        return FZoomMode == zfitPage && (!AllowScrolling || onePage) ? std::min(a, Host.View().ClientHeight()) : a;
    };
    if (Hc(hr) < Host.View().HorzRange())
        Host.View().SetHorzRange(Hc(hr));
    Host.View().SetVertRange(Vc(vr));
    Host.View().SetHorzRange(Host.View().VertBarEnabled() ? Hc(hr) : Hc(hr - Host.View().VertBarWidth()));
    Host.View().SetVertRange(Vc(vr));
    Host.View().SetSettingView(wasSetting);
}

int TPageLayout::GetPageScrollRanges(int p, int &vr, int &hr)
{
    vr = hr = 0;
    if (AllowScrolling) {
        const int n = GetPagesRect(PagesRect);
        vr = PagesRect.vsr;
        hr = PagesRect.hsr;
        return n;
    }
    const int saved = SelPage;
    SelPage = p;
    TRect R = ClientRect();
    R.Right = INT_MAX;
    const int count = std::min(2, GetLayout(0, 0, Host.View().ClientHeight(), Host.View().ClientWidth(), R));
    for (int i = 0; i < count; ++i) {
        const TLayout &e = Layout[i];
        if (e.cp != p && e.destTop != 0)
            continue;
        int w, h;
        PagePixelSize(e.cp, w, h);
        vr = std::max(vr, h);
        hr = std::max(hr, e.destLeft + w);
    }
    SelPage = saved;
    return count;
}

int TPageLayout::RowTop(int p) const
{
    if (!AllowScrolling || p < 1 || p > int(PagesRect.PR.size()))
        return 0;
    return PagesRect.PR[p - 1].Top;
}

int TPageLayout::GetPageRect(int p, TRect &R)
{
    if (!HasDocument() || p < 1 || p > Source.PageCount())
        return 0;
    SelPage = p;
    SetSelectedPage(p);
    if (AllowScrolling)
        GetPagesRect(PagesRect);
    const int Y0 = RowTop(p);
    TRect clip = ClientRect();
    clip.Right = INT_MAX;
    const int count = GetLayout(Y0, 0, Host.View().ClientHeight(), Host.View().ClientWidth(), clip);
    int destLeft = 0, destTop = Y0, index = 0;
    for (int i = 0; i < count; ++i) {
        if (Layout[i].cp == p) {
            destLeft = Layout[i].destLeft;
            destTop = Layout[i].destTop;
            index = i + 1;
            break;
        }
    }
    int w, h;
    PagePixelSize(p, w, h);
    R.Top = destTop + Y0 - Host.View().VertPos();
    R.Left = destLeft - Host.View().HorzPos();
    R.Bottom = R.Top + h;
    R.Right = R.Left + w;
    return index;
}

bool TPageLayout::MakePageVisible(int cp)
{
    TRect R;
    const int k = GetPageRect(cp, R);
    const int half = Host.View().ViewWidth() / 2;
    if ((k == 1 && R.Left < 0 && R.Right <= half) || (k == 2 && R.Left >= half && R.Right > half)) {
        const int before = Host.View().HorzPos();
        Host.View().SetHorzPos(before + R.Left);
        return Host.View().HorzPos() != before;
    }
    return false;
}

void TPageLayout::MakeRectVisible(int &cp, double &Left, double &Top, int p, double x, double y, double w, double h)
{
    if (cp != p) {
        cp = p;
        Top = 0;
        SelPage = p;
        MoveTo(p, 0, -1);
    }
    int x1, y1, x2, y2;
    auto corners = [&] { return GetScrCoord(p, x, y, x1, y1) && GetScrCoord(p, x + w, y + h, x2, y2); };
    if (!corners()) {
        TRect R;
        if (GetPageRect(p, R) == 0)
            return;
        Host.View().SetHorzPos(Host.View().HorzPos() + R.Left);
        if (!corners()) {
            Host.View().SetVertPos(Host.View().VertPos() + R.Top);
            if (!corners())
                return;
        }
        // The position now in force, in the form MoveTo takes.
        Left = GetDim(Host.View().HorzPos());
        Top = GetDim(Host.View().VertPos() - RowTop(p));
    }
    if (y1 > y2)
        std::swap(y1, y2);
    if (x1 > x2)
        std::swap(x1, x2);
    const int ch = Host.View().ClientHeight();
    const int cw = Host.View().ClientWidth();
    if (y1 < 0)
        Top = std::max(0.0, Top + GetDim(y1 - ch / 2));
    else if (y2 > ch)
        Top = std::max(0.0, Top + GetDim(std::min(y1, y2 - ch / 2)));
    if (FDocPageHeight > GetDim(ch) && Top + GetDim(ch) > FDocPageHeight)
        Top = FDocPageHeight - GetDim(ch);
    if (x1 < 0)
        Left = std::max(0.0, Left + GetDim(x1));
    else if (x2 <= cw)
        Left = -1;
    else
        Left = std::max(0.0, Left + GetDim(x1 < x2 - cw ? x1 : x2 - cw));
}

void TPageLayout::SavePosition(int &cp, double &Top, double &Left)
{
    if (!HasDocument())
        return;
    Top = GetDim(Host.View().VertPos());
    Left = GetDim(Host.View().HorzPos());
    if (!AllowScrolling) {
        cp = SelPage;
        return;
    }
    Top = 0;
    if (GetLayoutView() > 0) {
        cp = Layout[0].cp;
        Top = GetDim(Host.View().VertPos() - RowTop(cp));
    }
}

bool TPageLayout::MoveTo(int page, double Top, double Left)
{
    if (Host.View().IsSettingView() || !HasDocument())
        return false;
    const int n = Source.PageCount();
    // A stored position may name a page the document no longer has.
    page = std::clamp(page, std::min(1, n), n);
    SetSelectedPage(page);
    SelPage = page;
    GetPageView();
    Host.View().LockUpdate(true);
    for (int i = 0; i < 3; ++i)
        SetupView();
    SelPage = page;
    const int vpos = RowTop(page) + GetPxl(Top);
    const int hpos = Left < 0 ? Host.View().HorzPos() : GetPxl(Left);
    Host.View().SetSettingView(true);
    Host.View().SetVertPos(vpos);
    Host.View().SetHorzPos(hpos);
    Host.View().SetSettingView(false);
    Host.View().LockUpdate(false);
    return true;
}
