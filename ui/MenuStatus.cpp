#include "ui/MenuStatus.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>

TMenuStatus::TMenuStatus(std::function<void(const QString &)> showText, QObject *parent)
    : QObject(parent), ShowText(std::move(showText))
{
    qApp->installEventFilter(this);
}

TMenuStatus::~TMenuStatus() { qApp->removeEventFilter(this); }

bool TMenuStatus::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && qobject_cast<QMenu *>(watched)
        && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow()) {
        const bool opening = event->type() == QEvent::Show;
        const int before = OpenMenus;
        OpenMenus = std::max(0, OpenMenus + (opening ? 1 : -1));
        if (before == 0 && OpenMenus > 0)
            ShowText(QStringLiteral("Menu ..."));
        else if (before > 0 && OpenMenus == 0)
            ShowText(QString());
    }
    return QObject::eventFilter(watched, event);
}
