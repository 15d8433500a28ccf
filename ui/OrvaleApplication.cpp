#include "ui/OrvaleApplication.h"

#include "base/DebugLog.h"
#include "base/MessageDialog.h"

#include <exception>

TOrvaleApplication::TOrvaleApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TOrvaleApplication::notify(QObject *receiver, QEvent *event)
{
    QString what;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        what = QString::fromUtf8(e.what());
    } catch (...) {
        what = QStringLiteral("unknown exception");
    }
    DebugLog(QStringLiteral("Exception: ") + what);
    MessageDialog(QStringLiteral("Internal Error"), what, mtError, MsgButtons({mbOK}));
    return false;
}
