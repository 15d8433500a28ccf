// The print command in the main window: the dialog on a print copy, the job started by the
// window's own event, a "PDF file" print read back, and the end thread's failure shown.
#include "ui/PrintCommands.h"

#include "print/PrintThread.h"
#include "ui/PrintDlg.h"
#include "ui/PrintingDlg.h"

#include "FakePrinter.h"
#include "MainFormFixture.h"
#include "ManualClock.h"
#include "RawPdf.h"
#include "RecordingSink.h"
#include "PrintPreferences.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

struct PrintCommandsTest : MainFormFixture {
    RecordingSink sink;
    pl::fake::ScopedManualTime time; // the job's pauses pass at once

    void SetUp() override
    {
        MainFormFixture::SetUp();
        SetActualSizePrinting();
        createForm();
        const QString path = dir.filePath(u"doc.pdf"_qs);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        std::vector<QByteArray> pages;
        for (int i = 0; i < 5; ++i)
            pages.push_back("0 g " + QByteArray::number(40 + 100 * i) + " 100 80 600 re f");
        f.write(RawPdf(pages));
        f.close();
        ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
    }

    // Runs the print command; during the dialog, act.
    void Print(const std::function<void(TPrintDlg &)> &act)
    {
        QTimer::singleShot(0, [act] {
            auto *dlg = qobject_cast<TPrintDlg *>(QApplication::activeModalWidget());
            ASSERT_TRUE(dlg) << "the print dialog is open";
            act(*dlg);
            if (dlg->isVisible())
                dlg->reject();
        });
        form->Command(u"menuPrint"_qs)->trigger();
    }
};

} // namespace

TEST_F(PrintCommandsTest, ARangePrintedIntoAPdfFileArrivesThere)
{
    const QString out = dir.filePath(u"out.pdf"_qs);
    QString offered;
    form->PrintCommands().ChooseOutputFile = [&](const QString &suggested) {
        offered = suggested;
        return out;
    };
    bool copyDuringDialog = false;
    Print([&](TPrintDlg &dlg) {
        copyDuringDialog = form->PrintCommands().PrintCopy() != nullptr;
        EXPECT_EQ(dlg.lbPrinters->currentText(), u"PDF file"_qs) << "no print queue here: the file is the default";
        EXPECT_FALSE(dlg.edCopies->isVisible()) << "a file has one copy";
        dlg.rbRange->setChecked(true);
        dlg.edRange->setText(u"2-3,5"_qs);
        dlg.btnPrint->click();
    });
    EXPECT_TRUE(copyDuringDialog) << "the print copy is made when the dialog opens";
    EXPECT_EQ(offered, dir.filePath(u"doc-print.pdf"_qs));
    // The job runs from the window's event once the dialog has gone.
    QElapsedTimer waited;
    waited.start();
    while (!form->PrintCommands().EndThread() && waited.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(form->PrintCommands().EndThread()) << sink.texts().join(u'\n').toStdString();
    ASSERT_TRUE(form->PrintCommands().EndThread()->WaitFor(20000));
    EXPECT_FALSE(form->PrintCommands().PrintCopy()) << "closed when the job ends";
    EXPECT_FALSE(log().contains(u"not available yet"_qs));

    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const TDPLPDFiumDLL &dll = *engine->PDFium();
    TPdfDocument printed =
        AdoptPdf<TPdfDocument>(dll, dll.FPDF_LoadMemDocument64(bytes.constData(), size_t(bytes.size()), nullptr));
    ASSERT_TRUE(printed);
    EXPECT_EQ(dll.FPDF_GetPageCount(printed.get()), 3);
    EXPECT_TRUE(sink.shown.isEmpty()) << sink.texts().join(u'\n').toStdString();

    // The next print offers this run's file again.
    Print([&](TPrintDlg &dlg) { dlg.btnPrint->click(); });
    EXPECT_EQ(offered, out);
}

TEST_F(PrintCommandsTest, CancelClosesThePrintCopyAndPrintsNothing)
{
    Print([](TPrintDlg &dlg) { dlg.btnCancel->click(); });
    EXPECT_FALSE(form->PrintCommands().PrintCopy());
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->PrintCommands().EndThread());
}

TEST_F(PrintCommandsTest, AFailedEndIsShownAsAPrinterError)
{
    auto printer = std::make_shared<pl::fake::FakePrinter>();
    printer->failEnd = true;
    ASSERT_TRUE(printer->begin(u"doc.pdf"_qs));
    TPrintThread thread(printer, form->PrintCommands().FailureReporter());
    ASSERT_TRUE(thread.WaitFor(5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(sink.texts(),
              QStringList{u"Printer Error: Cannot connect to the printer \"Fake Printer\".\nserver unreachable"_qs});
}
