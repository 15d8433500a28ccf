#pragma once
// The forward-search mark: the typeset place of a source line, marked on its page and
// scrolled into view, then faded out unless the settings keep it.
#include "engine/Layout.h"
#include "engine/MarkFade.h"
#include "engine/Position.h"
#include "synctex/SyncTeX.h"

#include <QRect>
#include <QString>

#include <memory>

class TDocumentList;
class TNavigator;
class TPageLayout;
class THostLink;

class TForwardMark {
public:
    TForwardMark(TDocumentList &docs, TPageLayout &view, TNavigator &nav, const THostLink &host)
        : Docs(docs), View(view), Nav(nav), Host(host)
    {}
    TForwardMark(const TForwardMark &) = delete;
    TForwardMark &operator=(const TForwardMark &) = delete;

    // The mark's page and rectangles in page points (bottom-left origin), entry 0 the union
    // of the others.
    int FSelBoxPage = 0;
    TFloatRectangles SelBoxRects;
    // Strength of the mark in percent (0 = not shown) and its area in client pixels as the
    // last paint of its page placed it.
    int FSelBoxFactor = 0;
    TRect FSelBoxRect;

    // Marks and shows the typeset place of line lnum of source file SRC in the current
    // document; the fading is asked of the windows unless the mark is to stay. Nothing for
    // an empty SRC; the user is told when there is no place to mark.
    void Search(const QString &SRC, int lnum);
    // The windows have not started the fading of the last mark yet.
    bool AnimatePending() const { return FAnimatePending; }
    // Fades the mark out: full strength, half strength, gone. A mark that no paint has put
    // on screen goes at once.
    void Animate();
    // A new mark that no paint has put on screen yet: the client area of its page in the view
    // at (t, l) of h x w pixels, which the page view paints before the other pages so that the
    // mark shows without waiting for them. Empty otherwise, or when the page is out of view.
    QRect FirstPaintArea(int t, int l, int h, int w);
    // The mark is gone and its fading stopped (a reload, another document).
    void Reset() { Fade.Reset(); }
    // Tests step the fading through their own timer.
    void SetFadeTimer(std::unique_ptr<TFadeTimer> timer) { Fade.SetTimer(std::move(timer)); }

private:
    // Places the mark; start receives the position that shows it.
    bool Place(const QString &SRC, int lnum, TPosition &start);
    // The mark in page points from a SyncTeX rectangle: at least a visible band of the page.
    TFloatRect MarkRect(const TFloatRect &r, int page);
    void FadeStep();

    TDocumentList &Docs;
    TPageLayout &View;
    TNavigator &Nav;
    const THostLink &Host;
    bool FAnimatePending = false;
    TMarkFade Fade{FSelBoxFactor, [this] { FadeStep(); }};
};
