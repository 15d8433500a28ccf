#include "ui/widgets/TreeColorDelegate.h"

#include "settings/Prefer.h"
#include "settings/Colors.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QPainter>
#include <QTreeView>

namespace {

QColor Theme(TThemeColor c) { return ToQColor(Colors.Theme[c].val); }

} // namespace

TTreeColorDelegate::TTreeColorDelegate(QAbstractItemView *view) : QStyledItemDelegate(view), View(view) {}

bool TTreeColorDelegate::Active() { return Theme(tvcCustomColor).isValid(); }

TTreeColorDelegate::TRowColors TTreeColorDelegate::RowColors(bool selected, bool hot)
{
    if (selected && hot)
        return {Theme(tvcSelectedFocusedBk), Theme(tvcSelectedFocusedText)};
    if (selected)
        return {Theme(tvcSelectedBk), Theme(tvcSelectedText)};
    if (hot)
        return {Theme(tvcHotBk), Theme(tvcHotText)};
    return {Theme(tvcCustomBk), Theme(tvcCustomText)};
}

void TTreeColorDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!Active()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const bool selected = opt.state & QStyle::State_Selected;
    const bool hot = opt.state & QStyle::State_MouseOver;
    const TRowColors colors = RowColors(selected, hot);
    const QColor text = colors.text.isValid() ? colors.text : opt.palette.color(QPalette::Text);

    painter->save();
    if (colors.bk.isValid())
        painter->fillRect(opt.rect, colors.bk);
    const int p = CurrentPPI / 96;
    QRect label = opt.rect;
    const bool caption = index.column() == 0;
    if (caption && !opt.icon.isNull()) {
        const QSize size = opt.decorationSize;
        const QRect icon(opt.rect.left() + p, opt.rect.top() + (opt.rect.height() - size.height()) / 2, size.width(),
                         size.height());
        opt.icon.paint(painter, icon);
        label.setLeft(icon.right() + 1 + p);
    }
    // The caption a little less inset than the sub-items, as the report lists draw them.
    label.adjust(caption ? p - 1 : 2 * p, 0, -p, 0);
    QString shown = opt.text;
    shown.remove(QLatin1Char('&'));
    painter->setFont(opt.font);
    painter->setPen(text);
    painter->drawText(label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      opt.fontMetrics.elidedText(shown, Qt::ElideRight, label.width()));
    PaintFocusFrame(painter, opt, index, text);
    painter->restore();
}

// The frame goes around the whole row: every cell draws its part of it, the first cell the
// left edge and the last the right one.
void TTreeColorDelegate::PaintFocusFrame(QPainter *painter, const QStyleOptionViewItem &option,
                                         const QModelIndex &index, const QColor &color) const
{
    const QModelIndex current = View->currentIndex();
    if (!View->hasFocus() || !current.isValid() || current.row() != index.row() || current.parent() != index.parent())
        return;
    int first = index.column(), last = index.column();
    if (const auto *tree = qobject_cast<const QTreeView *>(View)) {
        const QHeaderView *header = tree->header();
        first = header->logicalIndex(0);
        for (int v = header->count() - 1; v >= 0; --v)
            if (!header->isSectionHidden(header->logicalIndex(v))) {
                last = header->logicalIndex(v);
                break;
            }
    }
    const QRect r = option.rect.adjusted(0, 0, -1, -1);
    painter->setPen(QPen(color, 1, Qt::DotLine));
    painter->drawLine(r.topLeft(), r.topRight());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    if (index.column() == first)
        painter->drawLine(r.topLeft(), r.bottomLeft());
    if (index.column() == last)
        painter->drawLine(r.topRight(), r.bottomRight());
}
