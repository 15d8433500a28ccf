#pragma once
// What the printers that draw into a spool file share: the document being printed, its title,
// the last error, and the hand-over between the printing thread and an abort from the window.
#include "platform/PrinterDevice.h"

#include <QPainter>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

namespace pl {

template <class Doc>
class SpoolDevice : public PrinterDevice {
public:
    QString lastError() const override
    {
        std::lock_guard lock(mutex);
        return error;
    }
    QPainter &painter() override { return current->painter; }
    bool newPage() override { return current && current->printer.newPage(); }
    bool printing() const override { return isPrinting; }
    QString title() const override
    {
        std::lock_guard lock(mutex);
        return isPrinting ? currentTitle : QString();
    }

protected:
    void started(std::shared_ptr<Doc> doc, const QString &docTitle)
    {
        std::lock_guard lock(mutex);
        current = std::move(doc);
        currentTitle = docTitle;
        isPrinting = true;
    }
    std::shared_ptr<Doc> document() const
    {
        std::lock_guard lock(mutex);
        return current;
    }
    void setError(const QString &text)
    {
        std::lock_guard lock(mutex);
        error = text;
    }
    // The document is no longer this printer's; a newer one may already have replaced it.
    void finish(const std::shared_ptr<Doc> &doc)
    {
        std::lock_guard lock(mutex);
        if (current == doc) {
            current.reset();
            isPrinting = false;
        }
    }

    mutable std::mutex mutex;
    QString error;

private:
    std::shared_ptr<Doc> current;
    QString currentTitle;
    std::atomic<bool> isPrinting{false};
};

} // namespace pl
