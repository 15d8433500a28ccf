#pragma once
#include "platform/PrinterDevice.h"

#include <QString>
#include <atomic>
#include <functional>
#include <future>
#include <memory>

// Ends a printed document away from the main thread, so that the window comes back while the
// document is handed to its destination. A failure is reported through onFailure, called on the
// thread with the printer's name and the reason.
class TPrintThread {
public:
    using TFailure = std::function<void(const QString &printer, const QString &reason)>;

    TPrintThread(std::shared_ptr<pl::PrinterDevice> device, TFailure onFailure);
    // The end step goes on by itself, but reports nothing any more.
    ~TPrintThread();
    // At exit: takes the document back and waits at most a bounded time, so an unreachable
    // print server cannot hang the exit.
    void Shutdown();
    TPrintThread(const TPrintThread &) = delete;
    TPrintThread &operator=(const TPrintThread &) = delete;

    // Whether the end step returned within ms milliseconds.
    bool WaitFor(int ms) const;

    static constexpr int ShutdownWaitMs = 3000;

private:
    std::shared_ptr<pl::PrinterDevice> device;
    std::shared_ptr<std::atomic<bool>> dismissed;
    std::future<void> done;
};

// The message of a document that could not be begun or handed over.
QString PrinterErrorCaption();
QString PrinterErrorText(const QString &printer, const QString &reason);
