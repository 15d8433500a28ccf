#pragma once
// Everything the engine asks of the windows. The windows implement it; the engine never
// includes a widget. Positions and ranges are pixels of the page view's client area.
#include "engine/ZoomMode.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>

class TQPDFHost {
public:
    virtual ~TQPDFHost() = default;

    // The page view: client size, outer width, visibility.
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    virtual int ViewWidth() const = 0;
    virtual bool ViewVisible() const = 0;

    // Its scroll bars. A range is the size of the scrolled content; the view clamps positions
    // to [0, range - client size].
    virtual int VertPos() const = 0;
    virtual int HorzPos() const = 0;
    virtual void SetVertPos(int pos) = 0;
    virtual void SetHorzPos(int pos) = 0;
    virtual int VertRange() const = 0;
    virtual int HorzRange() const = 0;
    virtual void SetVertRange(int range) = 0;
    virtual void SetHorzRange(int range) = 0;
    virtual int VertLineIncrement() const = 0;
    virtual bool VertBarEnabled() const = 0;
    // Width of the vertical scroll bar that may appear, from the style.
    virtual int VertBarWidth() const = 0;

    // While set, the view ignores its own scroll events (the engine is writing positions).
    virtual bool IsSettingView() const = 0;
    virtual void SetSettingView(bool setting) = 0;
    // Suppresses painting and lets position changes neither scroll nor repaint.
    virtual void LockUpdate(bool lock) = 0;
    virtual void InvalidateView() = 0;
    virtual void UpdateView() = 0;
    virtual void FocusView() = 0;
    // The client area paints no document for the moment.
    virtual bool NoPDFPainting() const = 0;

    // A short note in the information window, hidden after ms milliseconds.
    virtual void ShowInfo(const QString &text, int ms) = 0;

    // The main window around the documents. Without windows (start-up, tests) they do nothing.
    // The caption shows the current file name (empty: no document).
    virtual void SetCaption(const QString &fileName) { (void)fileName; }
    // Document tabs, one per open document in the engine's order.
    virtual void AddTab(const QString &fileName) { (void)fileName; }
    virtual void DeleteTab(int index) { (void)index; }
    virtual void SelectTab(int index) { (void)index; }
    // The document at index now has another file name.
    virtual void RenameTab(int index, const QString &fileName) { (void)index, (void)fileName; }
    // The tab's state icon is to be drawn again from the document's status flags.
    virtual void UpdateTabIcon(int index) { (void)index; }
    // The main window lays out its panels and the page view again.
    virtual void Relayout() {}
    // Status line, tab states and menus follow the current document.
    virtual void StatusUpdated() {}
    // The forward-search mark has just been set: the page view starts fading it.
    virtual void StartMarkAnimation() {}
    // The page view's coordinate display goes away.
    virtual void HideCoordinates() {}
    // Asks for a document's password: password holds the candidate and receives the typed
    // one, remember the check box. False on Cancel.
    virtual bool AskPassword(const QString &fileName, QString &password, bool &remember)
    {
        (void)fileName, (void)password, (void)remember;
        return false;
    }
    // Painting: a part of the client area to be painted again.
    virtual void InvalidateRect(const QRect &rect) { (void)rect; InvalidateView(); }
    // The measuring display of the page view: shown or not, its origin in points from the
    // page's top-left corner, and a refresh of its text after a paint.
    virtual bool CoordinatesVisible() const { return false; }
    virtual QPointF MeasureOrigin() const { return {}; }
    virtual void RefreshCoordinates() {}
    // A mouse button is held down or automatic scrolling runs.
    virtual bool PointerBusy() const { return false; }
    // The pointer in client coordinates; outside the client area when unknown.
    virtual QPoint CursorPos() const { return {-1, -1}; }
    // The SyncTeX field of the status line (empty: no document).
    virtual void SetSyncTeXStatus(const QString &text) { (void)text; }

    // The toolbar's page box edPageGoto: the label of the page in view ("?" when there is
    // none, empty without a document), and the count box edPages beside it: "(3/12)". The
    // page box keeps what the user types: the engine writes neither while it has the focus.
    virtual bool PageGotoFocused() const { return false; }
    virtual void SetPageGoto(const QString &label, const QString &pages) { (void)label, (void)pages; }
    virtual void EnablePageGoto(bool enabled) { (void)enabled; }
    // The toolbar's zoom box cbZoom: its text ("250%") and whether it can be used. While it
    // has the focus the user is typing; FocusView takes the focus from it.
    virtual bool ZoomBoxFocused() const { return false; }
    virtual void SetZoomBox(const QString &text) { (void)text; }
    virtual void EnableZoomBox(bool enabled) { (void)enabled; }
    // The check marks of the four zoom-mode menu items follow mode.
    virtual void CheckZoomMode(TZoomMode mode) { (void)mode; }
    // One panel of the status line: 0 slPanelPage ("Page:  iv"), 1 slPanelPages ("(4/12)"),
    // 2 slPanelZoom ("Zoom:  125%"), 3 slPanelZoomMode ("Fit Width"); empty without a document.
    virtual void SetSLPanel(int index, const QString &text) { (void)index, (void)text; }
    // The Goto Page dialog TGotoPageDlg showing label in its edit and pages ("(3 / 12)") beside
    // it; typed receives the edit's text. False on Cancel.
    virtual bool AskGotoPage(const QString &label, const QString &pages, QString &typed)
    {
        (void)label, (void)pages, (void)typed;
        return false;
    }
    // The Custom Zoom dialog TZoomDlg showing zoom ("125%") in its combo box; typed receives
    // the combo's text. False on Cancel.
    virtual bool AskZoom(const QString &zoom, QString &typed)
    {
        (void)zoom, (void)typed;
        return false;
    }
};
