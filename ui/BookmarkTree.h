#pragma once
// The tree view of the bookmarks panel. While the theme sets the tree colours its rows are
// drawn in them (TTreeColorDelegate) and it draws its expand buttons (chevrons) and the dotted
// lines joining parents and children itself; the expand button under the pointer is "hot" and
// drawn in the hot colours.
#include <QElapsedTimer>
#include <QTreeWidget>

class TBookmarkTree final : public QTreeWidget {
    Q_OBJECT
public:
    explicit TBookmarkTree(QWidget *parent = nullptr);

    // The theme has set the tree colours: rows and buttons are drawn in them.
    static bool CustomColors();
    // The node whose expand button is under the pointer; null none.
    QTreeWidgetItem *HotNode() const { return Hot; }
    // The colour of the joining lines; repaints only when it differs.
    void SetLineColor(const QColor &color);
    QColor LineColor() const { return Lines; }

protected:
    void drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void leaveEvent(QEvent *e) override;

private:
    void SetHot(QTreeWidgetItem *node);
    void DrawLines(QPainter *painter, const QRect &rect, const QModelIndex &index) const;

    QTreeWidgetItem *Hot = nullptr;
    QElapsedTimer HotChanged;
    QColor Lines;
};
