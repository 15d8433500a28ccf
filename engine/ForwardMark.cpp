#include "engine/ForwardMark.h"

#include "base/BusyIndicator.h"
#include "base/DebugLog.h"
#include "base/FileUtils.h"
#include "engine/DocumentList.h"
#include "engine/InfoNote.h"
#include "engine/Navigator.h"
#include "engine/PageLayout.h"
#include "engine/HostLink.h"
#include "settings/Prefer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>

void TForwardMark::Search(const QString &SRC, int lnum)
{
    if (SRC.isEmpty())
        return;
    TPosition start{View.SelPage, 0, 0};
    Nav.SavePosition(start.cp, start.Top, start.Left);
    if (!Place(SRC, lnum, start))
        return;
    Nav.RestorePosition(start.cp, start.Top, start.Left);
    FAnimatePending = !Prefer.PersistentFS;
    if (FAnimatePending)
        Host.View().StartMarkAnimation();
}

TFloatRect TForwardMark::MarkRect(const TFloatRect &r, int page)
{
    const double pw = View.FDocPageWidth, ph = View.FDocPageHeight;
    double x = r.Left, y = r.Top, w = r.Right - r.Left, h = r.Bottom - r.Top;
    if (w < 1 || h < 1) {
        x = y = 0;
        w = pw;
        h = ph;
    } else if (h > (ph - 1) * 0.8) {
        x = 0;
        w = pw;
    }
    // One point of margin around the boxes, kept on the page.
    h = std::min(h, ph) + 1;
    w = std::min(w, pw) + 1;
    if (y > 0) {
        y -= 1;
        h += 1;
    }
    if (x > 0) {
        x -= 1;
        w += 1;
    }
    TFloatRect m;
    if (View.GetPageOrientation(page) & 1) {
        m = {y, x, y + h, x + w};
    } else {
        View.GetBottomLeftCoord(page, x, y, m.Left, m.Top);
        View.GetBottomLeftCoord(page, x + w, y + h, m.Right, m.Bottom);
    }
    return m;
}

bool TForwardMark::Place(const QString &SRC, int lnum, TPosition &start)
{
    const std::shared_ptr<TSyncTeX> sync = Docs.Current().SyncTeX;
    const uint64_t serial = Docs.Current().Serial;
    if (sync->Loading) {
        QElapsedTimer waited;
        waited.start();
        while (sync->Loading && !sync->Ready && waited.elapsed() <= 1110) {
            QCoreApplication::processEvents();
            SleepMs(11);
        }
        QCoreApplication::processEvents();
        SleepMs(11);
        QCoreApplication::processEvents();
        // The events may have closed the document or shown another one: that one is not marked.
        if (Docs.FSelDoc < 0 || Docs.Current().Serial != serial) {
            DebugLog(QStringLiteral("Forward search dropped, its document is no longer shown: ") + SRC);
            return false;
        }
    }
    int page = 0, numrect = 0;
    TFloatRectangles rects;
    // The data belongs to a loader thread while Loading is set.
    if (sync->Loading || !sync->ForwardSearch(SRC, lnum, page, numrect, rects) || rects.empty()) {
        Docs.StopQuickOpen();
        QString text;
        const QString syncFile = TSyncTeX::GetSyncFileName(Docs.Current().FileName);
        if (sync->Ready)
            text = QStringLiteral("No source info for line ") + QString::number(lnum) + QStringLiteral(" in ")
                + Quoted(SRC);
        else if (syncFile.isEmpty())
            text = QStringLiteral("No SyncTeX Data for: ") + Quoted(FileNameOnly(Docs.Current().FileName));
        else
            text = QStringLiteral("No SyncTeX Data: ") + Quoted(syncFile);
        Host.View().ShowInfo(text, kInfoNoteMs);
        return false;
    }
    Docs.StopQuickOpen();
    if (page != View.SelPage)
        Nav.StorePosition();
    View.SelPage = page;
    View.SetSelectedPage(page);
    for (int i = 0; i < 3; ++i)
        View.SetupView();
    FSelBoxPage = page;
    SelBoxRects.clear();
    for (const TFloatRect &r : rects)
        SelBoxRects.push_back(MarkRect(r, page));
    // The new mark shows at full strength until a paint has put it on screen.
    FSelBoxRect = TRect();
    Fade.Place();
    const TFloatRect &u = SelBoxRects[0];
    start.cp = View.SelPage;
    View.MakeRectVisible(start.cp, start.Left, start.Top, page, std::min(u.Left, u.Right), std::min(u.Top, u.Bottom),
                         std::abs(u.Right - u.Left), std::abs(u.Bottom - u.Top));
    View.SelPage = start.cp;
    return true;
}

void TForwardMark::Animate()
{
    FAnimatePending = false;
    // A mark that no paint has placed on screen (its page is out of view) is not shown.
    if (FSelBoxFactor <= 0 || FSelBoxRect.Right <= FSelBoxRect.Left || FSelBoxRect.Bottom <= FSelBoxRect.Top) {
        Fade.Reset();
        return;
    }
    Host.View().InvalidateView();
    Host.View().UpdateView();
    StopWorking();
    Fade.Start();
}

QRect TForwardMark::FirstPaintArea(int t, int l, int h, int w)
{
    // The first paint of the mark's page sets its area.
    if (FSelBoxFactor <= 0 || FSelBoxRect.Right > FSelBoxRect.Left)
        return QRect();
    QRect area;
    const int n = View.GetLayout(t, l, h, w, TRect{0, 0, w, h});
    for (int i = 0; i < n; ++i) {
        const TLayout &e = View.Layout[size_t(i)];
        if (e.cp == FSelBoxPage)
            area |= QRect(e.destLeft, e.destTop, e.width, e.height);
    }
    return area;
}

void TForwardMark::FadeStep()
{
    const TRect &r = FSelBoxRect;
    Host.View().InvalidateRect(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
    Host.View().UpdateView();
}
