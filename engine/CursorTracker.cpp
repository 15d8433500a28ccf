#include "engine/CursorTracker.h"

#include "engine/DPLPDFiumDLL.h"
#include "engine/HostLink.h"
#include "engine/PageLayout.h"
#include "engine/PdfPageSource.h"
#include "engine/TextSearch.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// A character is close to the pointer within half its mean size, at least this many points.
constexpr double kMinCloseness = 5;
// Characters turned by more than this (radians) are measured in their own direction.
constexpr double kTurned = 0.1;

// The loaded page stays the one it was when the tracking ends.
class TKeepLoadedPage {
public:
    explicit TKeepLoadedPage(TPageLayout &view) : View(view), Page(view.SelectedPage()) {}
    ~TKeepLoadedPage()
    {
        if (Page > 0)
            View.SetSelectedPage(Page);
    }
    TKeepLoadedPage(const TKeepLoadedPage &) = delete;
    TKeepLoadedPage &operator=(const TKeepLoadedPage &) = delete;

private:
    TPageLayout &View;
    int Page;
};

} // namespace

TCursorCode TCursorTracker::TrackCursor(bool hasDocument, bool isSel)
{
    ptPage = 0;
    ptChar = -1;
    ptDelta = 0;
    ptAnnot = nullptr;
    if (!hasDocument)
        return tcNone;
    QPoint p = Host.View().CursorPos();
    const int w = Host.View().ClientWidth();
    const int h = Host.View().ClientHeight();
    // A drag beyond the view selects up to its edge.
    if (isSel)
        p = QPoint(std::clamp(p.x(), 1, std::max(1, w - 1)), std::clamp(p.y(), 1, std::max(1, h - 1)));
    if (p.x() < 0 || p.y() < 0 || p.x() >= w || p.y() >= h)
        return tcOutside;
    const int count = View.GetLayoutView();
    bool onPage = false;
    for (int i = 0; i < count && !onPage; ++i) {
        const TLayout &e = View.Layout[size_t(i)];
        onPage =
            p.x() >= e.destLeft && p.x() < e.destLeft + e.width && p.y() >= e.destTop && p.y() < e.destTop + e.height;
    }
    int cp = 0;
    double x = 0, y = 0;
    if (!onPage || !View.GetDocCoord(cp, p.x(), p.y(), x, y))
        return tcBesidePages;

    TKeepLoadedPage keep(View);
    ptPage = cp;
    View.SetSelectedPage(cp);
    const bool loaded = Source.PageIndex() == cp - 1;
    if (loaded && Source.Page())
        ptAnnot = DLL.FPDFLink_GetLinkAtPoint(Source.Page(), x, y);
    const TCursorCode pageCode = ptAnnot && !isSel ? tcLink : tcOnPage;
    FPDF_TEXTPAGE text = loaded ? Source.TextPage() : nullptr;
    if (!text)
        return pageCode;
    // The nearest character anywhere on the page.
    const double pw = View.FDocPageWidth + 1, ph = View.FDocPageHeight + 1;
    const int c = DLL.FPDFText_GetCharIndexAtPos(text, x, y, pw, ph);
    if (Host.View().PrimaryButtonDown() && !isSel) {
        // A press on a page: the next search step goes on from here.
        Search.ContinueAt(cp, c);
    }
    ptChar = c;
    if (c < 0)
        return pageCode;
    FS_RECTF box{0, 0, 0, 0};
    DLL.FPDFText_GetLooseCharBox(text, c, &box);
    double left = std::min(box.left, box.right), right = std::max(box.left, box.right);
    const double bottom = std::min(box.bottom, box.top), top = std::max(box.bottom, box.top);
    const double t = std::max(kMinCloseness, (right - left + top - bottom) / 2);
    const bool close = DLL.FPDFText_GetCharIndexAtPos(text, x, y, t, t) >= 0;

    // Which side of the character, in its own direction.
    const double angle = DLL.FPDFText_GetCharAngle(text, c);
    double ox = 0, oy = 0;
    double px = x;
    if (angle > kTurned && DLL.FPDFText_GetCharOrigin(text, c, &ox, &oy)) {
        const double cs = std::cos(angle), sn = std::sin(angle);
        const auto turned = [&](double u, double v) { return (u - ox) * cs + (v - oy) * sn; };
        px = turned(x, y);
        const double a = turned(left, bottom), b = turned(right, top);
        left = std::min(a, b);
        right = std::max(a, b);
    }
    // In page space, where the library gives both the point and the boxes: a page turned by
    // its own rotation reads the same way there.
    ptDelta = px > right ? 1 : px < left ? -1 : 0;
    return pageCode == tcLink ? tcLink : close ? tcText : tcOnPage;
}
