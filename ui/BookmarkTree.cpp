#include "ui/BookmarkTree.h"

#include "base/DebugLog.h"
#include "settings/Colors.h"
#include "ui/widgets/ItemViewTracking.h"
#include "ui/widgets/TreeColorDelegate.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

QColor Theme(TThemeColor c) { return ToQColor(Colors.Theme[c].val); }

} // namespace

TBookmarkTree::TBookmarkTree(QWidget *parent) : QTreeWidget(parent)
{
    setItemDelegate(new TTreeColorDelegate(this));
    new TItemViewTracking(this);
    HotChanged.start();
}

bool TBookmarkTree::CustomColors() { return TTreeColorDelegate::Active(); }

void TBookmarkTree::drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    if (!CustomColors()) {
        QTreeWidget::drawBranches(painter, rect, index);
        return;
    }
    const QColor bk = Theme(tvcCustomBk);
    if (bk.isValid())
        painter->fillRect(rect, bk);
    const QTreeWidgetItem *node = itemFromIndex(index);
    if (!node)
        return;
    DrawLines(painter, rect, index);
    if (node->childCount() == 0)
        return;
    // A chevron in a square button left of the text: down when open, right when closed.
    const int ppi = logicalDpiX();
    const int w = (14 * ppi + 48) / 96;
    const QPoint c(rect.right() - indentation() / 2, rect.center().y());
    const bool open = node->isExpanded();
    const bool hot = node == Hot;
    const QColor color =
        Theme(open ? (hot ? tvcOpenedHotGlyph : tvcOpenedGlyph) : (hot ? tvcClosedHotGlyph : tvcClosedGlyph));
    const int arm = w / 4;
    // The lines stop at the button.
    if (bk.isValid())
        painter->fillRect(QRect(c.x() - arm - 1, c.y() - arm - 1, 2 * arm + 3, 2 * arm + 3), bk);
    QPainterPath chevron;
    if (open) {
        chevron.moveTo(c.x() - arm, c.y() - arm / 2);
        chevron.lineTo(c.x(), c.y() + arm / 2);
        chevron.lineTo(c.x() + arm, c.y() - arm / 2);
    } else {
        chevron.moveTo(c.x() - arm / 2, c.y() - arm);
        chevron.lineTo(c.x() + arm / 2, c.y());
        chevron.lineTo(c.x() - arm / 2, c.y() + arm);
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(color.isValid() ? color : palette().color(QPalette::Text), ppi / 96 + 1));
    painter->drawPath(chevron);
    painter->restore();
}

void TBookmarkTree::SetLineColor(const QColor &color)
{
    if (color == Lines)
        return;
    Lines = color;
    viewport()->update();
}

namespace {

bool HasNextSibling(const QModelIndex &index) { return index.row() < index.model()->rowCount(index.parent()) - 1; }

} // namespace

void TBookmarkTree::DrawLines(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    if (!Lines.isValid())
        return;
    // One column per level, the node's own at the right; each holds a vertical line while the
    // ancestor of that level has a sibling below it.
    const int step = indentation();
    const int midY = rect.center().y();
    int x = rect.right() - step / 2;
    painter->save();
    painter->setPen(QPen(Lines, 1, Qt::DotLine));
    const bool first = !index.parent().isValid() && index.row() == 0;
    painter->drawLine(x, first ? midY : rect.top(), x, HasNextSibling(index) ? rect.bottom() : midY);
    painter->drawLine(x, midY, x + step / 2, midY);
    for (QModelIndex a = index.parent(); a.isValid() && x - step >= rect.left(); a = a.parent()) {
        x -= step;
        if (HasNextSibling(a))
            painter->drawLine(x, rect.top(), x, rect.bottom());
    }
    painter->restore();
}

void TBookmarkTree::mouseMoveEvent(QMouseEvent *e)
{
    // Hot: the pointer is on the expand button, the indent step left of the node's text.
    const QPoint p = e->position().toPoint();
    QTreeWidgetItem *node = itemAt(p);
    const QRect r = node ? visualItemRect(node) : QRect();
    const bool onButton = node && node->childCount() > 0 && p.x() < r.left() && p.x() >= r.left() - indentation();
    SetHot(onButton ? node : nullptr);
    QTreeWidget::mouseMoveEvent(e);
}

void TBookmarkTree::leaveEvent(QEvent *e)
{
    SetHot(nullptr);
    QTreeWidget::leaveEvent(e);
}

void TBookmarkTree::SetHot(QTreeWidgetItem *node)
{
    if (node == Hot)
        return;
    const qint64 tick = HotChanged.restart();
    Hot = node;
    if (node)
        DebugLog(QStringLiteral("Hot Tree Item: ") + node->text(0) + QLatin1Char(' ')
                 + (QGuiApplication::applicationState() == Qt::ApplicationActive ? QStringLiteral("True")
                                                                                 : QStringLiteral("False"))
                 + QStringLiteral(" Tick: ") + QString::number(tick));
    viewport()->update();
}
