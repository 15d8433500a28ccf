#pragma once
// Keeps a list or tree view in step with a pointer that stands still while the rows move under
// it: after a scroll or a wheel turn no mouse event tells the view, so a synthetic move at the
// pointer re-tracks the row under it. It also shows a row's info tip (its tool tip, or its
// whole text when the cell cuts it short) and withdraws the tip once the pointer leaves that
// cell or the view.
#include <QObject>
#include <QPersistentModelIndex>
#include <QRect>

class QAbstractItemView;
class QModelIndex;
class QWidget;

class TItemViewTracking final : public QObject {
public:
    // Owned by the view it tracks.
    explicit TItemViewTracking(QAbstractItemView *view);

    // The cell whose info tip shows and its rectangle in the viewport; invalid and empty without one.
    QModelIndex TipIndex() const { return TipItem; }
    QRect TipRect() const { return TipArea; }

    // The info tip of a cell: its tool tip, else its text when the cell is too narrow for it.
    QString TipText(const QModelIndex &index) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Retrack();
    void SendMove();
    bool ShowTip(const QPoint &local, const QPoint &global);
    void CancelTip();

    QAbstractItemView *View;
    // The view's viewport, known apart from the view: it is destroyed after the view stopped
    // being one, and its last events must not ask the view for it.
    QWidget *Viewport;
    bool HandlingMove = false; // a real mouse move is being handled
    bool RetrackPending = false;
    QPersistentModelIndex TipItem;
    QRect TipArea;
};
