#pragma once
// Moves the view of the current document: positions, the history with Back and Forward,
// the mark, page steps, jumps to pages, labels and destinations, zoom steps and the view
// switches that keep the view on the same spot.
#include "engine/PageLayout.h"
#include "engine/PositionHistory.h"
#include "engine/ZoomSteps.h"

#include <QString>

#include <functional>

// A PDF destination in page points (origin bottom-left) with its zoom.
struct TDest {
    double destLeft = 0;
    double destTop = 0;
    double destZoom = 0;
};
using PDest = const TDest *;

// The point a zoom step keeps under the mouse: the client point before (x, y) and after
// (xx, yy), the page under it (-1 none) and the point on that page (t down, l across).
struct TMatchPoint {
    int x = 0, y = 0;
    int xx = 0, yy = 0;
    int pp = -1;
    double t = 0, l = 0;
};
using PMatchPoint = TMatchPoint *;

class TNavigator {
public:
    TNavigator(TPageLayout &layout, TPageSource &source, const THostLink &host)
        : View(layout), Source(source), Host(host)
    {}

    // Called after every view change that ends in a status refresh, and before a jump that
    // must show its result at once (the engine ends a batch of opens there).
    std::function<void()> StatusChanged;
    std::function<void()> StopQuickOpen;

    // cp should start as SelPage: the continuous view with no visible page leaves it.
    void SavePosition(int &cp, double &Top, double &Left) { View.SavePosition(cp, Top, Left); }
    void RestorePosition(int page, double Top, double Left);
    void UpdateStatus();

    bool StorePosition();
    // Back and Forward through the history; false when there is nothing to go to.
    bool PrevPosition();
    bool NextPosition();
    bool CanPrevPosition();
    bool CanNextPosition();
    // Marks the view; true when a mark is set.
    bool SetMark();
    // To the mark, unless there is none or the view is on it.
    bool GotoMark();
    bool CanGotoMark();

    // A page or pair on; true when the view changed its page.
    bool NextPage();
    bool PrevPage();
    // A page or pair lies after (before) the one shown.
    bool CanNextPage() const;
    bool CanPrevPage() const;
    bool PageDown();
    bool PageUp();
    bool FirstPage();
    bool LastPage();

    bool GOTOPage(int page, PDest dest);
    bool GOTOPageLabel(const QString &page, PDest dest);
    // Text typed by the user: a label, or after a leading space a page number.
    bool doGOTOPageLabel(const QString &page);
    bool doSetZoom(const QString &zoom);
    // The Goto Page and Custom Zoom dialogs, opened on the view's page and zoom; OK goes on
    // as the toolbar boxes do. False on Cancel or when the typed text does not fit.
    bool ShowGotoPageDlg();
    bool ShowZoomDlg();
    bool ZoomIn(PMatchPoint ex);
    bool ZoomOut(PMatchPoint ex);
    bool ZoomCustom(double Value, PMatchPoint ex);

    // The page's label, made unique by "." and its distance from the first page sharing it.
    QString GetPageLabelEx(int Page);

    void SetZoomMode(TZoomMode m);
    void SetZoom(double z);
    void SetRotate(int r);
    bool ChangeView(TPageViewMode value);
    // Switches the continuous view on or off, or over; returns the new state.
    bool SetContinuousView(bool on);
    bool ToggleContinuousView();

    TPositionHistory History;
    TPosition Mark;
    bool noUpdating = false;

private:
    TPosition Current();
    void Show(const TPosition &p) { RestorePosition(p.cp, p.Top, p.Left); }
    int TopEdge();
    double PastTheEnd() const;
    int FindLabel(const QString &text);
    bool Zoom(double value, const TZoomStep *step, PMatchPoint ex);

    TPageLayout &View;
    TPageSource &Source;
    const THostLink &Host;
};
