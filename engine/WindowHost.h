#pragma once
// What the engine asks of the main window: caption, document tabs, the view status for the
// status line and toolbar boxes, and the dialogs. Every call has the answer of a missing
// window (nothing shown, dialogs cancelled), so a new call is declared here once,
// implemented by the main window and recorded by the tests' host.
#include "engine/ViewStatus.h"

#include <QString>

#include <memory>

class TTree;

class TWindowHost {
public:
    virtual ~TWindowHost() = default;

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
    // The status line and the toolbar's page and zoom boxes show the current view.
    virtual void ShowViewStatus(const TViewStatus &status) { (void)status; }
    // Caption, tab states and menus follow the current document.
    virtual void StatusUpdated() {}
    // The client area paints no document for the moment.
    virtual bool NoPDFPainting() const { return false; }
    // How the documents are shown: normal, full screen or presentation.
    virtual int DisplayState() const { return 0; }

    // The find inputs: the toolbar's find box, or the find dialog when it shows (or the box
    // is hidden). UseToolBarFind: the box is the input. FocusFindBox gives the box the focus
    // when it is enabled; false when it is not. ShowFindDialog shows the dialog (placed by the
    // main window) when it is hidden and gives it the focus. SetSearchString puts s into both
    // inputs. SetFindCaption shows the place in the match list: num < 0 no list, 0 no
    // matches, else match ind of num.
    virtual bool UseToolBarFind() const { return false; }
    virtual bool FocusFindBox() { return false; }
    virtual bool FindDialogVisible() const { return false; }
    virtual void ShowFindDialog() {}
    virtual void SetSearchString(const QString &s) { (void)s; }
    virtual void SetFindCaption(int ind, int num) { (void)ind, (void)num; }

    // The bookmarks panel. BookmarksBuilding: it stops following the page while a tree is
    // read. ShowBookmarkTree: it shows tree (null: none, and it stops following the page) and
    // follows the page when track is set. SaveBookmarkTree: when it shows tree, its
    // expansion, selection and top item go into it. ShowBookmarksPanel shows or hides it;
    // true when it was the other way before. FollowPage: the page in view changed.
    virtual void BookmarksBuilding() {}
    virtual void ShowBookmarkTree(const std::shared_ptr<TTree> &tree, bool track) { (void)tree, (void)track; }
    virtual void SaveBookmarkTree(TTree &tree) { (void)tree; }
    virtual bool ShowBookmarksPanel(bool show)
    {
        (void)show;
        return false;
    }
    virtual void FollowPage(int page) { (void)page; }

    // Asks for a document's password: password holds the candidate and receives the typed
    // one, remember the check box. False on Cancel.
    virtual bool AskPassword(const QString &fileName, QString &password, bool &remember)
    {
        (void)fileName, (void)password, (void)remember;
        return false;
    }
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
