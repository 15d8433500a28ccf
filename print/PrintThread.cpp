#include "print/PrintThread.h"

#include <chrono>
#include <thread>

TPrintThread::TPrintThread(std::shared_ptr<pl::PrinterDevice> device, TFailure onFailure)
    : device(device), dismissed(std::make_shared<std::atomic<bool>>(false))
{
    std::packaged_task<void()> task([device, dismissed = dismissed, onFailure = std::move(onFailure)] {
        // Once the owner is gone there is no one left to tell.
        if (device->end() == pl::PrintEnd::Failed && onFailure && !*dismissed)
            onFailure(device->name(), device->lastError());
    });
    done = task.get_future();
    // Detached: the task owns the device, and the future tells when it is through.
    std::thread(std::move(task)).detach();
}

TPrintThread::~TPrintThread() { *dismissed = true; }

void TPrintThread::Shutdown()
{
    if (WaitFor(0))
        return;
    *dismissed = true;
    device->abort();
    WaitFor(ShutdownWaitMs);
}

bool TPrintThread::WaitFor(int ms) const
{
    return done.wait_for(std::chrono::milliseconds(ms)) == std::future_status::ready;
}

QString PrinterErrorCaption() { return QStringLiteral("Printer Error"); }

QString PrinterErrorText(const QString &printer, const QString &reason)
{
    QString text = QStringLiteral("Cannot connect to the printer \"%1\".").arg(printer);
    if (!reason.isEmpty())
        text += QStringLiteral("\n") + reason;
    return text;
}
