#pragma once
// The bookmarks panel: the current document's outline as a tree beside the page view. A
// click on a bookmark follows it; while the user pages through the document the bookmark of
// the page in view is selected (on the GUI thread: the tree and the PDF library are both
// used from there only).
#include <QEvent>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class TClientForm;
class QTreeWidget;
class QTreeWidgetItem;
class TQPDF;
class TTree;

class TTreeForm final : public QWidget {
    Q_OBJECT
public:
    // The posted event that runs the page-follow request waiting.
    static constexpr QEvent::Type TrackEvent = QEvent::Type(QEvent::User + 130);

    TTreeForm(TQPDF *engine, QWidget *parent = nullptr);
    ~TTreeForm() override;

    // Docks the panel into the client area's left panel.
    void Dock(TClientForm *site);

    // The engine's calls (see TWindowHost).
    void BookmarksBuilding();
    void ShowTree(const std::shared_ptr<TTree> &tree, bool track);
    void SaveTree(TTree &tree) const;
    // The page-follow request: the bookmark of page is selected, at once or (with "Use
    // Threads") from a posted event, where requests that came meanwhile leave only the last.
    void FollowPage(int page);

    // The tree view from the model, and the view's state into the model.
    void CopyTo();
    void CopyFrom(TTree &tree) const;
    // The tree view built again with its state (after a theme or mode change).
    void RestoreTree();
    // Follows bookmark item id of the tree shown.
    bool ExeOutlineID(int id);
    // Selects the bookmark of page in the tree view; false when it selected none.
    bool TrackTree(int page, const std::shared_ptr<TTree> &xtree);

    // Shows or hides the panel; true when it was the other way before.
    bool doShowDocked(bool a);
    // Gives the tree the line colour of the theme in force.
    void ApplyLineColor();
    bool doHideDocked(bool a);

    // The item index of a node, and the node of an item (null none).
    int NodeIndex(const QTreeWidgetItem *node) const;
    QTreeWidgetItem *Node(int index) const;

    // The main window: its menus follow the panel's state; Tab gives the page view the focus.
    std::function<void()> MenusChanged;
    std::function<void()> FocusPageView;

    QTreeWidget *Tree = nullptr;
    QMenu *PopupMenuTree = nullptr;
    QAction *menuExpandAll = nullptr;
    QAction *menuCollapseAll = nullptr;
    QAction *menuExpandBranch = nullptr;
    QAction *menuCollapseBranch = nullptr;
    QAction *menuTrackBookmarks = nullptr;

    std::shared_ptr<TTree> _tree;
    QTreeWidgetItem *TreeClickNode = nullptr;
    bool noTracking = true;
    bool noExpanding = true;
    int LastTrackPage = -1;
    int LastTrackNode = -1;

protected:
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void CreatePopupMenu();
    void PopupMenuTreePopup(const QPoint &pos);
    void SetBranch(QTreeWidgetItem *node, bool expanded);
    void NodeChanged(QTreeWidgetItem *node);
    void NodeClicked(QTreeWidgetItem *node);
    bool TrackingBlocked() const;

    TQPDF *QPDF;
    TClientForm *Site = nullptr;
    std::vector<QTreeWidgetItem *> Nodes;
    // The last press on the tree opened or closed a node: its click follows nothing.
    bool ExpandClick = false;
    // A page-follow request waits for its posted event.
    bool TrackPosted = false;
    int PendingPage = 0;
};
