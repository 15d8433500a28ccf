#include "platform/KeyState.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>

#include <X11/Xlib.h>
#include <X11/keysym.h>

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
            if (Display *dpy = x11->display()) {
                char keys[32];
                XQueryKeymap(dpy, keys);
                const KeyCode code = XKeysymToKeycode(dpy, XK_Escape);
                return code && (keys[code / 8] & (1 << (code % 8)));
            }
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
