#pragma once
#include "base/MessageDialog.h"
#include "print/PrintThread.h"
#include "print/SheetLayout.h"

#include <QColor>
#include <QPoint>
#include <QSizeF>
#include <memory>
#include <vector>

class QPainter;

// What the job needs of the document: page sizes and the drawing of one page.
class TPrintSource {
public:
    virtual ~TPrintSource() = default;
    // In points, width and height swapped for quarter-turned pages when autoOrient is set.
    virtual QSizeF PageSize(int page, bool autoOrient) = 0;
    // Draws the page with its corner at corner (printer pixels from the printable corner) at
    // dpi; false when the page cannot be loaded.
    virtual bool PrintPage(QPainter &painter, int page, QPoint corner, double dpi) = 0;
};

// The progress window the job runs in.
class TPrintProgress {
public:
    virtual ~TPrintProgress() = default;
    virtual void SetLabel(const QString &text, const QColor &colour) = 0;
    virtual void SetProgress(int position, bool error) = 0;
    virtual void DisableAbort() = 0;
    // Lets pending window events run: the Abort button and repaints get through here.
    virtual void ProcessEvents() = 0;
    virtual bool AbortRequested() const = 0;
};

// The placement settings the job reads, as the dialog saved them.
struct TPrintSettings {
    TSheetSettings sheet;
    bool autoOrient = true;
};

// One print job: the pages in printing order on the device, one after the other, between
// events, then the document's end on a TPrintThread. The window that runs the job keeps the
// thread for the next job and for the exit.
class TPrintJob {
public:
    TPrintJob(std::shared_ptr<pl::PrinterDevice> device, std::vector<int> pages, QString title);

    // Runs steps to the end and returns mrOk or mrCancel (aborted). endThread receives the
    // thread that ends the document.
    TModalResult Run(TPrintSource &source, TPrintProgress &progress, const TPrintSettings &settings,
                     TPrintThread::TFailure onFailure, std::unique_ptr<TPrintThread> &endThread);

    static constexpr int AbortSettleMs = 111;
    static constexpr int DoneShowMs = 2222;

private:
    bool MakeDeviceFree();

    std::shared_ptr<pl::PrinterDevice> device;
    std::vector<int> pages;
    QString title;
};

QString PrinterBusyCaption();
QString PrinterBusyText(const QString &title);
