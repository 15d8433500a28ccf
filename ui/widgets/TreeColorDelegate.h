#pragma once
// Rows of a list or tree view drawn in the interface's tree colours while the theme sets them
// ("Tree Custom Color"); without them the style draws the rows. A selected row under the
// pointer, a selected row and a row under the pointer each have their own pair of colours,
// and the focused row of a view that holds the keyboard focus is framed. The frame is the
// delegate's: a tree view that frames its focused row itself (allColumnsShowFocus) draws over it.
#include <QColor>
#include <QStyledItemDelegate>

class QAbstractItemView;

class TTreeColorDelegate final : public QStyledItemDelegate {
public:
    // Owned by the view it draws for.
    explicit TTreeColorDelegate(QAbstractItemView *view);

    // The theme sets the tree colours.
    static bool Active();

    struct TRowColors {
        QColor bk;   // invalid: the view's own background shows
        QColor text; // invalid: the palette's text colour
    };
    static TRowColors RowColors(bool selected, bool hot);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    void PaintFocusFrame(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index,
                         const QColor &color) const;

    QAbstractItemView *View;
};
