#pragma once
// The layout of the current document's pages in the page view: their pixel rectangles for
// the zoom, rotation and page view, what a client rectangle shows, conversions between page
// points and client pixels, fit zooms, scroll ranges and view positions.
#include "engine/Layout.h"
#include "engine/PageSource.h"
#include "engine/HostLink.h"
#include "engine/ZoomMode.h"

#include <cstdint>
#include <vector>

class TPageLayout {
public:
    TPageLayout(TPageSource &source, const THostLink &host) : Source(source), Host(host) {}

    // Points to pixels at the current zoom, halves to even; pixels to points, not rounded.
    // ratio: device pixels per layout pixel, for drawing on a screen scaled by Qt.
    int32_t GetPxl(double c, double ratio = 1) const;
    double GetDim(double c) const;

    // Loads page p (1-based) and reads its size; nothing without a document or when p is
    // already the loaded page. Reading gives the loaded page, 1-based (0 = none).
    void SetSelectedPage(int p);
    int SelectedPage() const { return LoadedIndex + 1; }
    // Forgets the loaded page (a new document or a reload).
    void PageUnloaded();

    // Builds the continuous view's page rectangles unless their keys are unchanged; the page
    // count, or 0 when nothing was rebuilt.
    int GetPagesRect(TXPagesRect &x);
    // Fills Layout for scroll positions t (vertical), l (horizontal), a client of h x w,
    // clipped to R; the number of entries.
    int GetLayout(int t, int l, int h, int w, const TRect &R);
    int GetLayoutView();
    // The page with the largest visible part; also stored in SelPage.
    int GetPageView();

    // Client point -> page (1-based) and page point; false when no page is near it.
    bool GetDocCoord(int &cp, int x, int y, double &xx, double &yy);
    // Page point -> client point; false when page cp is not visible.
    bool GetScrCoord(int cp, double x, double y, int &xx, int &yy);
    // The page's own rotation in quarter turns.
    int GetPageOrientation(int p);
    bool GetPageDimensions(int p, bool o, double &w, double &h);
    // Flip y between a bottom-left and a top-left origin.
    void GetTopLeftCoord(int p, double x1, double y1, double &x, double &y);
    void GetBottomLeftCoord(int p, double x1, double y1, double &x, double &y) { GetTopLeftCoord(p, x1, y1, x, y); }

    double GetZoomFitPage();
    double GetZoomFitWidth();
    // Zoom, density, page pixel size, gap and scroll ranges for the current settings.
    void SetupView();
    int GetPageScrollRanges(int p, int &vr, int &hr);
    // Page p's rectangle relative to the scroll positions; 1 = left page of its row, 2 = right
    // page, 0 = not laid out.
    int GetPageRect(int p, TRect &R);
    // Scrolls horizontally so that page cp of a pair is in view; true when it moved.
    bool MakePageVisible(int cp);
    // The position (cp, Left, Top) that shows the page-space rectangle (x, y, w, h) of page p.
    void MakeRectVisible(int &cp, double &Left, double &Top, int p, double x, double y, double w, double h);

    // The view position: page, points from its row's top and points of horizontal scroll.
    void SavePosition(int &cp, double &Top, double &Left);
    // Sets the view up for page and scrolls to the position (Left < 0 keeps the horizontal
    // scroll); false when the view is busy setting itself up or there is no document.
    bool MoveTo(int page, double Top, double Left);

    // View state of the current document.
    TZoomMode FZoomMode = zActualSize;
    double FZoom = 100;
    double FDpi = 96;
    double FPixelsPerInch = 96;
    int32_t FRotate = 0;
    TPageViewMode PageView = TPageViewMode::Single;
    bool AllowScrolling = true;
    int32_t PageGap = 4; // the preference, at 96 pixels per inch
    int32_t FGap = 0;
    int32_t SelPage = 0;
    int32_t matchCP = 0;                          // page of the current search match: wins ties in GetPageView
    double FDocPageWidth = 0, FDocPageHeight = 0; // the loaded page, points
    int32_t FPageWidth = 0, FPageHeight = 0;      // the selected page, pixels, swapped

    std::vector<TLayout> Layout;
    int LayoutCount = 0;
    TXPagesRect PagesRect;

private:
    bool Odd() const { return FRotate & 1; }
    bool HasDocument() const { return Source.Document() != nullptr; }
    // A page's pixel width and height at the current zoom, swapped for an odd rotation.
    void PixelSize(const FS_SIZEF &size, int &w, int &h) const;
    bool PagePixelSize(int p, int &w, int &h);
    // The partner of page p in the non-continuous double and book views; 0 when none.
    int Partner(int p) const;
    void AddEntry(int cp, int top, int left, int width, int height, const TRect &R);
    bool Convert(const TLayout &e, int x, int y, double &xx, double &yy);
    double FitZoom(bool page);
    int RowTop(int p) const;
    TRect ClientRect() const { return {0, 0, Host.View().ClientWidth(), Host.View().ClientHeight()}; }

    TPageSource &Source;
    const THostLink &Host;
    int LoadedIndex = -1;
};
