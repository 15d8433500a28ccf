#pragma once
#include "print/PrinterChoice.h"

#include <QEvent>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TMainForm;
class TPrintCopy;
class TPrintThread;

// The print command and what lives between its steps: the printer chosen for this run, the
// print copy of the document from the dialog until its job ends, the pages handed to the job,
// and the thread that ends the last document, which the next job and the exit look at.
class TPrintCommands {
public:
    explicit TPrintCommands(TMainForm &form);
    ~TPrintCommands();

    void menuPrintClick();
    // The window's printing events: the job's start and a failure the end thread posted.
    bool HandleEvent(QEvent *event);
    // At exit: the document still being ended is taken back, waiting a bounded time.
    void Shutdown();

    // Posted to the main window by "&Print" once the dialog has closed.
    static constexpr QEvent::Type PrintJobEvent = QEvent::Type(1152);
    static QEvent::Type PrinterErrorEvent();

    // How the end thread reports a failure: posted to the window, which shows "Printer Error".
    std::function<void(const QString &printer, const QString &reason)> FailureReporter();

    TPrinterChoice &Printers() { return printers; }
    TPrintThread *EndThread() const { return endThread.get(); }
    const TPrintCopy *PrintCopy() const { return printCopy.get(); }
    // The name of the file a "PDF file" print goes to; empty is Cancel. A test replaces it.
    std::function<QString(const QString &suggested)> ChooseOutputFile;

private:
    void RefreshPrinters();
    void Start(const std::vector<int> &pages);
    void RunJob();

    TMainForm &Form;
    TPrinterChoice printers;
    std::unique_ptr<TPrintCopy> printCopy;
    std::vector<int> jobPages;
    QString jobTitle;
    std::unique_ptr<TPrintThread> endThread;
};
