#include "ui/TreeForm.h"

#include "app/Placement.h"
#include "engine/QPDF.h"
#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "ui/BookmarkTree.h"
#include "ui/ClientForm.h"
#include "ui/MainMenu.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

// Larger trees are not followed: selecting in them on every page would be felt.
constexpr int kMaxTrackedNodes = 99999;

} // namespace

TTreeForm::TTreeForm(TQPDF *engine, QWidget *parent) : QWidget(parent), QPDF(engine)
{
    setObjectName(QStringLiteral("TreeForm"));
    setWindowTitle(QStringLiteral("Bookmarks"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Tree = new TBookmarkTree(this);
    Tree->setObjectName(QStringLiteral("Tree"));
    Tree->setHeaderHidden(true);
    Tree->setColumnCount(1);
    Tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tree->setMouseTracking(true);
    Tree->setSelectionMode(QAbstractItemView::SingleSelection);
    Tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Tree->setContextMenuPolicy(Qt::CustomContextMenu);
    Tree->setIndentation(Scaled(16));
    layout->addWidget(Tree);
    Tree->installEventFilter(this);
    Tree->viewport()->installEventFilter(this);
    connect(Tree, &QTreeWidget::itemExpanded, this, &TTreeForm::NodeChanged);
    connect(Tree, &QTreeWidget::itemCollapsed, this, &TTreeForm::NodeChanged);
    connect(Tree, &QTreeWidget::itemClicked, this, &TTreeForm::NodeClicked);
    connect(Tree, &QWidget::customContextMenuRequested, this, &TTreeForm::PopupMenuTreePopup);
    CreatePopupMenu();
    hide();
}

TTreeForm::~TTreeForm() = default;

void TTreeForm::Dock(TClientForm *site)
{
    Site = site;
    site->SetTreeForm(this);
}

void TTreeForm::CreatePopupMenu()
{
    PopupMenuTree = new QMenu(this);
    PopupMenuTree->setObjectName(QStringLiteral("PopupMenuTree"));
    menuExpandAll = PopupMenuTree->addAction(QStringLiteral("Expand All"));
    menuCollapseAll = PopupMenuTree->addAction(QStringLiteral("Collapse All"));
    PopupMenuTree->addSeparator();
    menuExpandBranch = PopupMenuTree->addAction(QStringLiteral("Expand Branch"));
    menuCollapseBranch = PopupMenuTree->addAction(QStringLiteral("Collapse Branch"));
    PopupMenuTree->addSeparator();
    menuTrackBookmarks = PopupMenuTree->addAction(QStringLiteral("Track Bookmarks"));
    menuTrackBookmarks->setCheckable(true);
    const auto all = [this](bool expanded) {
        Tree->setUpdatesEnabled(false);
        for (int i = 0; i < Tree->topLevelItemCount(); ++i)
            SetBranch(Tree->topLevelItem(i), expanded);
        Tree->setUpdatesEnabled(true);
    };
    connect(menuExpandAll, &QAction::triggered, this, [all] { all(true); });
    connect(menuCollapseAll, &QAction::triggered, this, [all] { all(false); });
    connect(menuExpandBranch, &QAction::triggered, this, [this] { SetBranch(TreeClickNode, true); });
    connect(menuCollapseBranch, &QAction::triggered, this, [this] { SetBranch(TreeClickNode, false); });
    connect(menuTrackBookmarks, &QAction::triggered, this, [this] {
        if (!QPDF)
            return;
        noTracking = QPDF->TrackBookmarks;
        QPDF->TrackBookmarks = !QPDF->TrackBookmarks;
        LastTrackPage = -1;
        QPDF->UpdateStatus();
    });
}

void TTreeForm::SetBranch(QTreeWidgetItem *node, bool expanded)
{
    if (!node)
        return;
    for (int i = 0; i < node->childCount(); ++i)
        SetBranch(node->child(i), expanded);
    if (node->childCount() > 0)
        node->setExpanded(expanded);
}

void TTreeForm::PopupMenuTreePopup(const QPoint &pos)
{
    TreeClickNode = Tree->currentItem();
    menuExpandAll->setIcon(MenuImage("Expand"));
    menuExpandBranch->setIcon(MenuImage("Expand"));
    menuCollapseAll->setIcon(MenuImage("Collapse"));
    menuCollapseBranch->setIcon(MenuImage("Collapse"));
    // Enabled while some branch is not wholly in the state the command sets.
    bool someCollapsed = false, someExpanded = false;
    for (QTreeWidgetItem *node : Nodes) {
        if (node->childCount() == 0)
            continue;
        someCollapsed |= !node->isExpanded();
        someExpanded |= node->isExpanded();
    }
    menuExpandAll->setEnabled(someCollapsed);
    menuCollapseAll->setEnabled(someExpanded);
    menuExpandBranch->setVisible(false);
    menuCollapseBranch->setVisible(false);
    menuTrackBookmarks->setChecked(!noTracking);
    PopupMenuTree->popup(Tree->viewport()->mapToGlobal(pos));
}

// ---- The model and the view --------------------------------------------------------------

void TTreeForm::BookmarksBuilding()
{
    noTracking = true;
    noExpanding = true;
    LastTrackPage = -1;
    LastTrackNode = -1;
}

void TTreeForm::ShowTree(const std::shared_ptr<TTree> &tree, bool track)
{
    _tree = tree;
    CopyTo();
    noTracking = !tree || !track;
}

void TTreeForm::SaveTree(TTree &tree) const
{
    if (&tree == _tree.get() && !isHidden())
        CopyFrom(tree);
}

int TTreeForm::NodeIndex(const QTreeWidgetItem *node) const { return node ? node->data(0, Qt::UserRole).toInt() : -1; }

QTreeWidgetItem *TTreeForm::Node(int index) const
{
    return index >= 0 && index < int(Nodes.size()) ? Nodes[size_t(index)] : nullptr;
}

void TTreeForm::CopyTo()
{
    Tree->setUpdatesEnabled(false);
    const QSignalBlocker block(Tree);
    Tree->clear();
    Nodes.clear();
    if (_tree) {
        const int count = std::min(_tree->Count, int(_tree->Items.size()));
        Nodes.reserve(size_t(count));
        // The parent of each depth while the items come in depth-first order.
        std::vector<QTreeWidgetItem *> parents;
        QTreeWidgetItem *selected = nullptr;
        for (int i = 0; i < count; ++i) {
            const TTreeItem &item = _tree->Items[size_t(i)];
            const size_t level = size_t(std::clamp(item.Level, 0, int(parents.size())));
            parents.resize(level);
            auto *node = level == 0 ? new QTreeWidgetItem(Tree) : new QTreeWidgetItem(parents.back());
            node->setText(0, item.Caption);
            node->setData(0, Qt::UserRole, i);
            Nodes.push_back(node);
            parents.push_back(node);
            if (item.Selected)
                selected = node;
        }
        // Expanded once the children are there.
        for (int i = 0; i < count; ++i)
            if (_tree->Items[size_t(i)].Expanded)
                Nodes[size_t(i)]->setExpanded(true);
        // The selection does not scroll the view: the item at the top comes back instead.
        Tree->setAutoScroll(false);
        if (selected)
            Tree->setCurrentItem(selected);
        Tree->setAutoScroll(true);
    }
    Tree->setUpdatesEnabled(true);
    if (QTreeWidgetItem *top = _tree ? Node(_tree->TopItem) : nullptr)
        Tree->scrollToItem(top, QAbstractItemView::PositionAtTop);
}

void TTreeForm::CopyFrom(TTree &tree) const
{
    const int count = std::min(int(Nodes.size()), int(tree.Items.size()));
    for (int i = 0; i < count; ++i) {
        TTreeItem &item = tree.Items[size_t(i)];
        const QTreeWidgetItem *node = Nodes[size_t(i)];
        item.Caption = node->text(0);
        item.Expanded = node->isExpanded();
        item.Selected = node->isSelected();
    }
    tree.TopItem = NodeIndex(Tree->itemAt(QPoint(0, 0)));
}

void TTreeForm::RestoreTree()
{
    if (_tree && !isHidden())
        CopyFrom(*_tree);
    CopyTo();
}

bool TTreeForm::ExeOutlineID(int id)
{
    // Only the current document's items: another's handles may belong to a closed document.
    if (!QPDF || !_tree || _tree != QPDF->Tree() || !_tree->Ready || id < 0 || id >= _tree->Count)
        return false;
    return QPDF->ExeOutline(nullptr, _tree->Items[size_t(id)].BM);
}

// ---- Clicks and keys ---------------------------------------------------------------------

void TTreeForm::NodeChanged(QTreeWidgetItem *)
{
    if (QGuiApplication::mouseButtons() & Qt::LeftButton)
        ExpandClick = true;
}

void TTreeForm::NodeClicked(QTreeWidgetItem *node)
{
    const bool expanded = std::exchange(ExpandClick, false);
    if (!expanded && node && node == Tree->currentItem())
        ExeOutlineID(NodeIndex(node));
}

bool TTreeForm::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == Tree->viewport() && e->type() == QEvent::MouseButtonPress)
        ExpandClick = false;
    if (watched != Tree)
        return QWidget::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(e);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            ExeOutlineID(NodeIndex(Tree->currentItem()));
            return true;
        }
        if (key->key() == Qt::Key_Tab && FocusPageView) {
            FocusPageView();
            return true;
        }
        break;
    }
    case QEvent::FocusOut:
        // Leaving the panel: the tree follows the page again.
        LastTrackPage = 0;
        if (QPDF)
            QPDF->UpdateStatus();
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, e);
}

// ---- Following the page ------------------------------------------------------------------

bool TTreeForm::TrackingBlocked() const { return noTracking || !QPDF || QPDF->QuickOpen() || QPDF->QuickClose(); }

void TTreeForm::FollowPage(int page)
{
    if (TrackingBlocked()) {
        TrackPosted = false;
        return;
    }
    QTreeWidgetItem *last = Node(LastTrackNode);
    if (page == LastTrackPage && last && last->isSelected())
        return;
    if (!Prefer.UseThreads) {
        TrackTree(page, _tree);
        return;
    }
    PendingPage = page;
    if (!TrackPosted) {
        TrackPosted = true;
        QCoreApplication::postEvent(this, new QEvent(TrackEvent));
    }
}

bool TTreeForm::event(QEvent *e)
{
    if (e->type() != TrackEvent)
        return QWidget::event(e);
    if (TrackPosted) {
        TrackPosted = false;
        if (!TrackingBlocked())
            TrackTree(PendingPage, _tree);
    }
    return true;
}

bool TTreeForm::TrackTree(int page, const std::shared_ptr<TTree> &xtree)
{
    const int nodes = int(Nodes.size());
    if (Tree->hasFocus() || noTracking || page <= 0 || nodes == 0 || nodes > kMaxTrackedNodes || isHidden() || !xtree
        || xtree != _tree || xtree->Count != nodes || !QPDF)
        return false;
    QPDF->ReadTreePages(*xtree);
    QTreeWidgetItem *last = Node(LastTrackNode);
    if (page == LastTrackPage && last && last->isSelected())
        return true;
    const int chosen = xtree->ItemForPage(page);
    QTreeWidgetItem *node = Node(chosen);
    if (node) {
        LastTrackPage = page;
        LastTrackNode = chosen;
    }
    // The tree is not opened for the page: the topmost closed ancestor stands for it.
    for (QTreeWidgetItem *up = node ? node->parent() : nullptr; up; up = up->parent())
        if (!up->isExpanded())
            node = up;
    if (node)
        Tree->setCurrentItem(node);
    else
        Tree->clearSelection();
    return node != nullptr;
}

// ---- Showing and hiding --------------------------------------------------------------------

bool TTreeForm::doShowDocked(bool a)
{
    const bool r = isHidden() || (Site && Site->LeftPanel->isHidden());
    QWidget *client = Site;
    const bool lock = r && a && client && client->updatesEnabled();
    if (lock)
        client->setUpdatesEnabled(false);
    show();
    if (Site)
        Site->ShowLeftPanel(true);
    if (QPDF)
        QPDF->ShowBookmarks = true;
    if (MenusChanged)
        MenusChanged();
    ApplyLineColor();
    if (lock)
        client->setUpdatesEnabled(true);
    return r;
}

void TTreeForm::ApplyLineColor()
{
    static_cast<TBookmarkTree *>(Tree)->SetLineColor(ToQColor(Colors.Theme[tvcLines].val));
}

bool TTreeForm::doHideDocked(bool)
{
    const bool r = !isHidden();
    hide();
    if (Site)
        Site->ShowLeftPanel(false);
    if (QPDF)
        QPDF->ShowBookmarks = false;
    if (MenusChanged)
        MenusChanged();
    return r;
}
