#include "print/PrintJob.h"

#include "base/BusyIndicator.h"
#include "base/DebugLog.h"
#include "platform/Clock.h"

#include <QPainter>
#include <cmath>

TPrintJob::TPrintJob(std::shared_ptr<pl::PrinterDevice> device, std::vector<int> pages, QString title)
    : device(std::move(device)), pages(std::move(pages)), title(std::move(title))
{}

QString PrinterBusyCaption() { return QStringLiteral("Printer not available..."); }

QString PrinterBusyText(const QString &title)
{
    return QStringLiteral("Printer is currently busy. Do you want to abort the job \"%1\"?").arg(title);
}

// The earlier document is still being ended: the user may take it back.
bool TPrintJob::MakeDeviceFree()
{
    if (!device->printing())
        return true;
    if (MessageDialog(PrinterBusyCaption(), PrinterBusyText(device->title()), mtConfirmation, MsgButtons({mbYes, mbNo}),
                      mbNo)
        != mrYes)
        return false;
    device->abort();
    pl::sleeper().sleepMs(AbortSettleMs);
    return true;
}

TModalResult TPrintJob::Run(TPrintSource &source, TPrintProgress &progress, const TPrintSettings &settings,
                            TPrintThread::TFailure onFailure, std::unique_ptr<TPrintThread> &endThread)
{
    struct TBusyEnd {
        ~TBusyEnd() { StopWorking(); }
    } busyEnd;
    if (pages.empty())
        return mrOk;
    progress.ProcessEvents();
    if (!MakeDeviceFree())
        return mrOk;
    if (!device->begin(title)) {
        DebugLog(QStringLiteral("Print: cannot begin on \"%1\": %2").arg(device->name(), device->lastError()));
        MessageDialog(PrinterErrorCaption(), PrinterErrorText(device->name(), QString()), mtError, MsgButtons({mbOK}));
        return mrOk;
    }
    const int64_t start = pl::clock().tickMs();
    SetInfoText(QStringLiteral("Printing ..."));
    const int count = int(pages.size());
    const pl::PrinterCaps caps = device->caps();
    int next = 0;
    for (; next < count; ++next) {
        progress.ProcessEvents();
        progress.SetProgress(next, false);
        progress.SetLabel(QStringLiteral("Page: %1 of %2").arg(next + 1).arg(count), Qt::black);
        progress.ProcessEvents();
        if (progress.AbortRequested())
            break;
        const int page = pages[size_t(next)];
        const TSheetLayout layout = LayoutSheet(caps, source.PageSize(page, settings.autoOrient), settings.sheet);
        if (!layout.scaleValid)
            DebugLog(QStringLiteral("Print: custom scale \"%1\" is not from 1 to 1000; printing at 100%")
                         .arg(settings.sheet.customZoom));
        if (!source.PrintPage(device->painter(), page, QPoint(layout.xOffset, layout.yOffset), layout.pdpi))
            DebugLog(QStringLiteral("Print: page %1 could not be loaded; its sheet stays empty").arg(page));
        if (next + 1 < count)
            device->newPage();
    }
    if (next == count) {
        progress.SetProgress(count, false);
        const double seconds = double(pl::clock().tickMs() - start) / 1000;
        progress.SetLabel(
            QStringLiteral("%1 pages printed in %2 sec.").arg(count).arg(int64_t(std::nearbyint(seconds))),
            QColor(0, 0, 128));
        progress.DisableAbort();
        progress.ProcessEvents();
        progress.ProcessEvents();
        endThread = std::make_unique<TPrintThread>(device, std::move(onFailure));
        pl::sleeper().sleepMs(DoneShowMs);
        return mrOk;
    }
    progress.SetProgress(next, true);
    progress.SetLabel(QStringLiteral("Aborted at page : %1").arg(pages[size_t(next)]), Qt::red);
    progress.ProcessEvents();
    device->abort();
    pl::sleeper().sleepMs(DoneShowMs);
    return mrCancel;
}
