#include "ui/WindowBusyHost.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

void TWindowBusyHost::ShowStatusText(const QString &text)
{
    if (statusText_)
        statusText_(text);
}

bool TWindowBusyHost::HourglassShown()
{
    const QCursor *c = QGuiApplication::overrideCursor();
    return c && c->shape() == Qt::WaitCursor;
}

bool TWindowBusyHost::DefaultCursorShown() { return QGuiApplication::overrideCursor() == nullptr; }

void TWindowBusyHost::ShowHourglass()
{
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void TWindowBusyHost::ShowDefaultCursor()
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

void TWindowBusyHost::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

bool TWindowBusyHost::FocusApplication()
{
    QWidget *target = QApplication::activeModalWidget();
    if (!target)
        target = QApplication::activeWindow();
    if (!target || !target->isVisible())
        return false;
    target->setWindowState(target->windowState() & ~Qt::WindowMinimized);
    target->raise();
    target->activateWindow();
    return true;
}
