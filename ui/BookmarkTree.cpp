#include "ui/BookmarkTree.h"

#include "base/DebugLog.h"
#include "settings/Colors.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>

namespace {

QColor Theme(TThemeColor c) { return ToQColor(Colors.Theme[c].val); }

// Rows in the tree colours: selected with or without the keyboard, hot, or plain.
class TBookmarkDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (!TBookmarkTree::CustomColors()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const bool selected = option.state & QStyle::State_Selected;
        const bool focused = option.state & QStyle::State_HasFocus;
        const bool hot = option.state & QStyle::State_MouseOver;
        QColor bk = Theme(tvcCustomBk), text = Theme(tvcCustomText);
        if (selected && (hot || focused)) {
            bk = Theme(tvcSelectedFocusedBk);
            text = Theme(tvcSelectedFocusedText);
        } else if (selected) {
            bk = Theme(tvcSelectedBk);
            text = Theme(tvcSelectedText);
        } else if (hot) {
            bk = Theme(tvcHotBk);
            text = Theme(tvcHotText);
        }
        painter->save();
        if (bk.isValid())
            painter->fillRect(option.rect, bk);
        painter->setPen(text.isValid() ? text : option.palette.color(QPalette::Text));
        painter->setFont(option.font);
        const int space = option.fontMetrics.horizontalAdvance(QLatin1Char(' '));
        const QRect r = option.rect.adjusted(space, 0, 0, 0);
        painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter,
                          option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, r.width()));
        if (selected && focused) {
            painter->setPen(QPen(painter->pen().color(), 1, Qt::DotLine));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }
};

} // namespace

TBookmarkTree::TBookmarkTree(QWidget *parent) : QTreeWidget(parent)
{
    setItemDelegate(new TBookmarkDelegate(this));
    setMouseTracking(true);
    HotChanged.start();
}

bool TBookmarkTree::CustomColors() { return Theme(tvcCustomBk).isValid(); }

void TBookmarkTree::drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    if (!CustomColors()) {
        QTreeWidget::drawBranches(painter, rect, index);
        return;
    }
    painter->fillRect(rect, Theme(tvcCustomBk));
    const QTreeWidgetItem *node = itemFromIndex(index);
    if (!node || node->childCount() == 0)
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
