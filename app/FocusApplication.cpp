#include "app/FocusApplication.h"

#include "base/DebugLog.h"

#include <QGuiApplication>
#include <QWindow>

namespace {

TFocusWindows Windows;

QWindow *call(const std::function<QWindow *()> &f) { return f ? f() : nullptr; }

} // namespace

void SetFocusWindows(TFocusWindows windows) { Windows = std::move(windows); }

bool FocusApplication()
{
    DebugLog(QStringLiteral("Setting Focus..."));
    QWindow *const main = call(Windows.mainWindow);
    QWindow *const client = call(Windows.clientWindow);
    QWindow *target = QGuiApplication::modalWindow();
    if (!target)
        target = (main && !main->isVisible() && client && client->isVisible()) ? client : main;
    if (!target || !target->isVisible())
        return false;
    // A dialog comes back together with the window it belongs to.
    for (QWindow *w : {main, target}) {
        if (w && (w->windowStates() & Qt::WindowMinimized))
            w->setWindowStates(w->windowStates() & ~Qt::WindowMinimized);
    }
    target->raise();
    target->requestActivate();
    if (Windows.repaintMain)
        Windows.repaintMain();
    return true;
}
