#include "ui/PrintCommands.h"

#include "base/MessageDialog.h"
#include "engine/QPDF.h"
#include "print/CopyPrintSource.h"
#include "print/PrintCopy.h"
#include "print/PrintJob.h"
#include "print/PrintThread.h"
#include "settings/Prefer.h"
#include "ui/MainForm.h"
#include "ui/PrintDlg.h"
#include "ui/PrintingDlg.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>
#include <utility>

namespace {

// A failure of the end thread, carried to the main window.
class TPrinterErrorEvent final : public QEvent {
public:
    TPrinterErrorEvent(QString printer, QString reason)
        : QEvent(TPrintCommands::PrinterErrorEvent()), printer(std::move(printer)), reason(std::move(reason))
    {}
    const QString printer, reason;
};

bool SameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    const QString ca = fa.canonicalFilePath(), cb = fb.canonicalFilePath();
    return !ca.isEmpty() && !cb.isEmpty() ? ca == cb : fa.absoluteFilePath() == fb.absoluteFilePath();
}

QString AskOutputFile(QWidget *parent, const QString &suggested)
{
    QFileDialog dlg(parent, QStringLiteral("Print to PDF file"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setAcceptMode(QFileDialog::AcceptSave); // asks before overwriting
    dlg.setNameFilter(QStringLiteral("PDF Documents (*.pdf)"));
    dlg.setDefaultSuffix(QStringLiteral("pdf"));
    dlg.setDirectory(QFileInfo(suggested).absolutePath());
    dlg.selectFile(QFileInfo(suggested).fileName());
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().first();
}

} // namespace

TPrintCommands::TPrintCommands(TMainForm &form) : Form(form)
{
    printers.make = pl::makePrinter;
    ChooseOutputFile = [this](const QString &suggested) { return AskOutputFile(Form.DialogParent(), suggested); };
}

TPrintCommands::~TPrintCommands() = default;

QEvent::Type TPrintCommands::PrinterErrorEvent()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

void TPrintCommands::RefreshPrinters()
{
    printers.names = pl::printerNames();
    if (!printers.current || !printers.names.contains(printers.current->name())) {
        printers.current.reset();
        if (!printers.Select(pl::defaultPrinterName()))
            printers.Select(pl::pdfFilePrinterName());
    }
}

void TPrintCommands::menuPrintClick()
{
    TQPDF *engine = Form.Engine();
    if (!engine || !Form.HasPages())
        return;
    // Printing flattens annotations into the pages it renders: it works on a copy, so that the
    // document on screen keeps its links and saves unchanged.
    auto copy = std::make_unique<TPrintCopy>(*engine, engine->SelDoc());
    if (!copy->Valid()) {
        MessageDialog(QStringLiteral("Print"), QStringLiteral("The document cannot be prepared for printing."), mtError,
                      MsgButtons({mbOK}));
        return;
    }
    RefreshPrinters();
    TPrintDocument document;
    document.copy = copy.get();
    document.pageCount = copy->PageCount();
    document.currentPage = engine->Layout().SelPage;
    document.fileName = engine->FileName();
    document.labelOf = [engine](int page) { return engine->Navigator().GetPageLabelEx(page); };
    document.isOpen = [engine](const QString &file) {
        for (int i = 0; i < engine->DocumentCount(); ++i)
            if (SameFile(engine->Document(i).FileName, file))
                return true;
        return false;
    };
    printCopy = std::move(copy);
    bool started = false;
    TPrintDlg::Execute(
        printers, document,
        [this, &started, &document](const std::vector<int> &pages) {
            jobTitle = QFileInfo(document.fileName).fileName();
            Start(pages);
            started = true;
        },
        ChooseOutputFile, Form.DialogParent());
    if (!started)
        printCopy.reset();
}

void TPrintCommands::Start(const std::vector<int> &pages)
{
    jobPages = pages;
    QCoreApplication::postEvent(&Form, new QEvent(PrintJobEvent));
}

bool TPrintCommands::HandleEvent(QEvent *event)
{
    if (event->type() == PrintJobEvent) {
        RunJob();
        return true;
    }
    if (event->type() == PrinterErrorEvent()) {
        const auto *failure = static_cast<TPrinterErrorEvent *>(event);
        MessageDialog(PrinterErrorCaption(), PrinterErrorText(failure->printer, failure->reason), mtError,
                      MsgButtons({mbOK}));
        return true;
    }
    return false;
}

void TPrintCommands::RunJob()
{
    const std::unique_ptr<TPrintCopy> copy = std::move(printCopy);
    const std::vector<int> pages = std::exchange(jobPages, {});
    if (!copy || !printers.current)
        return;
    TPrintSettings settings;
    settings.sheet.zoomMode = TPrintZoomMode(std::clamp(Prefer.PrintZoomMode, 0, 3));
    settings.sheet.customZoom = Prefer.PrintZoom;
    settings.sheet.center = Prefer.PrintCenter;
    settings.sheet.marginOffset = Prefer.PrintOffset;
    settings.autoOrient = Prefer.PrintAutoOrient;
    TPrintJob job(printers.current, pages, jobTitle);
    TCopyPrintSource source(*copy, printers.current->caps(), settings.autoOrient);
    TPrintingDlg dlg(job, source, settings, FailureReporter(), endThread, jobTitle, int(pages.size()),
                     Form.DialogParent());
    dlg.exec();
}

std::function<void(const QString &printer, const QString &reason)> TPrintCommands::FailureReporter()
{
    // Called on the end thread: the window shows the message on its own.
    TMainForm *form = &Form;
    return [form](const QString &printer, const QString &reason) {
        QCoreApplication::postEvent(form, new TPrinterErrorEvent(printer, reason));
    };
}

void TPrintCommands::Shutdown()
{
    if (endThread)
        endThread->Shutdown();
}
