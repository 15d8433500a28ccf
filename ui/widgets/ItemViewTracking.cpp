#include "ui/widgets/ItemViewTracking.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

TItemViewTracking::TItemViewTracking(QAbstractItemView *view) : QObject(view), View(view), Viewport(view->viewport())
{
    // Hover events follow mouse moves only on widgets that ask for them.
    View->setMouseTracking(true);
    Viewport->setMouseTracking(true);
    Viewport->setAttribute(Qt::WA_Hover);
    Viewport->installEventFilter(this);
    connect(View->verticalScrollBar(), &QScrollBar::valueChanged, this, &TItemViewTracking::Retrack);
    connect(View->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TItemViewTracking::Retrack);
}

bool TItemViewTracking::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Viewport || event->type() == QEvent::Destroy)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto *move = static_cast<QMouseEvent *>(event);
        if (TipItem.isValid() && !TipArea.contains(move->position().toPoint()))
            CancelTip();
        if (HandlingMove || !event->spontaneous())
            break;
        // Deliver the real move here, so that a scroll it causes (a drag selection) knows it.
        HandlingMove = true;
        QCoreApplication::sendEvent(watched, event);
        HandlingMove = false;
        return true;
    }
    case QEvent::Wheel:
        // The wheel scrolls in the view's handler, after this filter; the move is queued.
        Retrack();
        break;
    case QEvent::Leave: CancelTip(); break;
    case QEvent::ToolTip: {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (ShowTip(help->pos(), help->globalPos()))
            return true;
        CancelTip();
        event->ignore();
        return true;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void TItemViewTracking::Retrack()
{
    if (HandlingMove || RetrackPending)
        return;
    // Once the scroll is drawn and wherever the pointer is by then; several steps of one
    // scroll make one move.
    RetrackPending = true;
    QMetaObject::invokeMethod(this, &TItemViewTracking::SendMove, Qt::QueuedConnection);
}

void TItemViewTracking::SendMove()
{
    RetrackPending = false;
    QWidget *viewport = View->viewport();
    const QPoint global = QCursor::pos();
    const QPoint local = viewport->mapFromGlobal(global);
    if (!viewport->isVisible() || !viewport->rect().contains(local))
        return;
    QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(global), Qt::NoButton, QGuiApplication::mouseButtons(),
                     QGuiApplication::keyboardModifiers());
    QCoreApplication::sendEvent(viewport, &move);
}

QString TItemViewTracking::TipText(const QModelIndex &index) const
{
    if (!index.isValid())
        return {};
    const QString tip = index.data(Qt::ToolTipRole).toString();
    if (!tip.isEmpty())
        return tip;
    const QString text = index.data(Qt::DisplayRole).toString();
    int room = View->visualRect(index).width();
    if (!index.data(Qt::DecorationRole).isNull())
        room -= View->iconSize().isValid() ? View->iconSize().width()
                                           : View->style()->pixelMetric(QStyle::PM_SmallIconSize);
    // The cells keep a few pixels of margin on both sides.
    room -= 2 * View->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, View) + 2;
    return View->fontMetrics().horizontalAdvance(text) > room ? text : QString();
}

bool TItemViewTracking::ShowTip(const QPoint &local, const QPoint &global)
{
    const QModelIndex index = View->indexAt(local);
    const QString text = TipText(index);
    if (text.isEmpty())
        return false;
    TipItem = index;
    TipArea = View->visualRect(index);
    QToolTip::showText(global, text, View->viewport(), TipArea);
    return true;
}

void TItemViewTracking::CancelTip()
{
    if (!TipItem.isValid() && TipArea.isEmpty())
        return;
    TipItem = QPersistentModelIndex();
    TipArea = QRect();
    QToolTip::hideText();
    Retrack();
}
