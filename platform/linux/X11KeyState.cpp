#include "platform/KeyState.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>

#include "platform/linux/X11Keymap.h"

namespace pl {
namespace {

// Without an X connection the state can only follow the key events that pass through
// the application, so cancelling a long loop waits until events are pumped.
class EventKeyFilter final : public QObject {
public:
    bool down = false;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
            auto *k = static_cast<QKeyEvent *>(e);
            if (k->key() == Qt::Key_Escape && !k->isAutoRepeat())
                down = e->type() == QEvent::KeyPress;
        }
        return false;
    }
};

class SystemKeyState final : public KeyState {
public:
    bool escapeDown() override
    {
        auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
        if (!gui)
            return false;
        if (auto *x11 = gui->nativeInterface<QNativeInterface::QX11Application>()) {
            if (auto *dpy = x11->display())
                return x11EscapeDown(dpy);
        }
        if (!filter_) {
            filter_ = new EventKeyFilter;
            filter_->setParent(gui);
            gui->installEventFilter(filter_);
        }
        return filter_->down;
    }

private:
    QPointer<EventKeyFilter> filter_;
};

SystemKeyState systemKeyState;
KeyState *currentKeyState = &systemKeyState;

} // namespace

KeyState &keyState() { return *currentKeyState; }
void setKeyState(KeyState *k) { currentKeyState = k ? k : &systemKeyState; }

} // namespace pl
