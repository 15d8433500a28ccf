#pragma once
#include "platform/PrinterDevice.h"

#include <QImage>
#include <QPainter>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace pl::fake {

// A printer with fixed capabilities (600 dpi, a 5100 x 6600 sheet, 100 pixel margins) that draws
// each sheet into an image and logs every call. begin can be made to fail; end can be held
// until the test releases it, as a slow print server would.
class FakePrinter final : public PrinterDevice {
public:
    PrinterCaps fixedCaps{600, 5100, 6600, 100, 100, true};
    bool failBegin = false;
    bool holdEnd = false;
    bool failEnd = false;

    QString name() const override { return QStringLiteral("Fake Printer"); }
    // Turned to landscape the sheet and its margins turn with it.
    PrinterCaps caps() const override
    {
        PrinterCaps c = fixedCaps;
        if (isLandscape) {
            std::swap(c.paperWidth, c.paperHeight);
            std::swap(c.offsetX, c.offsetY);
        }
        return c;
    }
    bool supportsCopies() const override { return true; }
    int copies() const override { return copyCount; }
    void setCopies(int n) override { copyCount = n; }
    bool landscape() const override { return isLandscape; }
    void setLandscape(bool value) override { isLandscape = value; }

    bool begin(const QString &docTitle) override
    {
        record(QStringLiteral("begin ") + docTitle);
        if (failBegin) {
            error = QStringLiteral("no such printer");
            return false;
        }
        std::lock_guard lock(mutex);
        ++generation;
        if (sheetPainter.isActive())
            sheetPainter.end();
        sheets.clear();
        startSheet();
        currentTitle = docTitle;
        isPrinting = true;
        return true;
    }
    QString lastError() const override { return error; }
    QPainter &painter() override { return sheetPainter; }
    bool newPage() override
    {
        record(QStringLiteral("newPage"));
        sheetPainter.end();
        startSheet();
        return true;
    }
    PrintEnd end() override
    {
        record(QStringLiteral("end"));
        std::unique_lock lock(mutex);
        const int document = generation;
        if (sheetPainter.isActive())
            sheetPainter.end();
        released.wait(lock, [this] { return !holdEnd; });
        // An abort, or a newer document begun after it, has taken this one back already.
        if (generation != document)
            return PrintEnd::Aborted;
        isPrinting = false;
        if (failEnd)
            error = QStringLiteral("server unreachable");
        return failEnd ? PrintEnd::Failed : PrintEnd::Delivered;
    }
    void abort() override
    {
        record(QStringLiteral("abort"));
        std::lock_guard lock(mutex);
        ++generation;
        isPrinting = false;
    }
    bool printing() const override { return isPrinting; }
    QString title() const override { return currentTitle; }
    bool writesFile() const override { return !outputFile.isNull(); }
    void setOutputFile(const QString &file) override { outputFile = file; }
    void fillSetup(QPrinter &) const override {}
    void takeSetup(const QPrinter &) override {}

    // Set to an empty text to make the fake a printer that writes a file; the name it was told.
    QString outputFile;

    // Lets a held end step finish.
    void release()
    {
        {
            std::lock_guard lock(mutex);
            holdEnd = false;
        }
        released.notify_all();
    }

    QStringList log() const
    {
        std::lock_guard lock(logMutex);
        return calls;
    }

    // The sheets drawn by the last document, scaled down by 10 to keep them small.
    std::vector<QImage> sheets;

private:
    void startSheet()
    {
        sheets.emplace_back(fixedCaps.paperWidth / 10, fixedCaps.paperHeight / 10, QImage::Format_RGB32);
        sheets.back().fill(Qt::white);
        sheetPainter.begin(&sheets.back());
        sheetPainter.scale(0.1, 0.1);
        sheetPainter.translate(fixedCaps.offsetX, fixedCaps.offsetY);
    }
    void record(const QString &call)
    {
        std::lock_guard lock(logMutex);
        calls << call;
    }

    int copyCount = 1;
    int generation = 0;
    bool isLandscape = false;
    QString error;
    QString currentTitle;
    QPainter sheetPainter;
    std::atomic<bool> isPrinting{false};
    mutable std::mutex mutex, logMutex;
    std::condition_variable released;
    QStringList calls;
};

} // namespace pl::fake
