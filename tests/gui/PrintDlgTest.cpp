// The print dialog on a real document and a fake printer (the machine has no print queue to
// ask for capabilities): its controls, the page list, copies, the layout and its preview, the
// settings it writes and what "&Print" hands over.
#include "ui/PrintDlg.h"

#include "print/PrintCopy.h"
#include "ui/widgets/UpDown.h"

#include "EngineFixture.h"
#include "FakePrinter.h"
#include "RawPdf.h"
#include "RecordingSink.h"
#include "PrintPreferences.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QPrintDialog>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

struct PrintDlgTest : EngineFixture {
    RecordingSink sink;
    std::shared_ptr<pl::fake::FakePrinter> printer = std::make_shared<pl::fake::FakePrinter>();
    TPrinterChoice printers;
    std::unique_ptr<TPrintCopy> printCopy;
    TPrintDocument document;
    std::unique_ptr<TPrintDlg> dlg;

    void SetUp() override
    {
        EngineFixture::SetUp();
        SetActualSizePrinting();
        printers.names = {printer->name(), u"PDF file"_qs};
        printers.make = [this](const QString &name) -> std::shared_ptr<pl::PrinterDevice> {
            return name == printer->name() ? printer : nullptr;
        };
        printers.current = printer;
    }
    void TearDown() override
    {
        dlg.reset();
        printCopy.reset();
        EngineFixture::TearDown();
    }

    // Opens a document of pages pages of width x height points, each with content (black all
    // over unless given), and shows the dialog on it.
    void Show(int pages, double width = 595, double height = 842,
              const QByteArray &content = "0 g 0 0 100000 100000 re f")
    {
        const QString path = dir.filePath(u"doc.pdf"_qs);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(RawPdf(std::vector<QByteArray>(size_t(pages), content), width, height));
        f.close();
        ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
        printCopy = std::make_unique<TPrintCopy>(*engine, engine->SelDoc());
        ASSERT_TRUE(printCopy->Valid());
        document.copy = printCopy.get();
        document.pageCount = pages;
        document.currentPage = 1;
        document.fileName = path;
        document.labelOf = [](int page) { return QString::number(page); };
        document.isOpen = [path](const QString &file) { return file == path; };
        dlg = std::make_unique<TPrintDlg>(printers, document);
        dlg->show();
        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    }

    void Range(const QString &text)
    {
        dlg->rbRange->setChecked(true);
        dlg->edRange->setText(text);
        dlg->btnApply->click();
    }
};

} // namespace

TEST_F(PrintDlgTest, ShowsItsControlsWithTheirCaptions)
{
    Show(3);
    const std::vector<std::pair<QAbstractButton *, const char *>> buttons = {
        {dlg->btnSetup, "Printer &Setup ..."},
        {dlg->rbAll, "All"},
        {dlg->rbCurrent, "Current"},
        {dlg->rbRange, "Range:"},
        {dlg->rbPortrait, "Portrait"},
        {dlg->rbLandscape, "Landscape"},
        {dlg->cbAutoOrient, "Auto-orient"},
        {dlg->rbActualSize, "Actuall size"},
        {dlg->rbFitPages, "Fit pages"},
        {dlg->rbShrink, "Shrink oversized pages"},
        {dlg->rbCustom, "Custom Scale %:"},
        {dlg->cbCenter, "Center undersized pages"},
        {dlg->cbOffset, "Apply Margin Offset"},
        {dlg->btnPrint, "&Print"},
        {dlg->btnApply, "&Apply"},
        {dlg->btnOK, "OK"},
        {dlg->btnCancel, "Cancel"},
    };
    for (const auto &[button, caption] : buttons)
        EXPECT_EQ(button->text(), QString::fromUtf8(caption));
    EXPECT_EQ(dlg->labelCopies->text(), u"Copies #:"_qs);
    QStringList groups;
    for (QGroupBox *g : dlg->findChildren<QGroupBox *>())
        groups << g->title();
    EXPECT_EQ(groups,
              QStringList({u"Printer"_qs, u"Pages"_qs, u"Orientation"_qs, u"Zoom"_qs, u"Paper"_qs, u"Preview"_qs}));
    QStringList oddEven;
    for (int i = 0; i < dlg->cbOddEven->count(); ++i)
        oddEven << dlg->cbOddEven->itemText(i);
    EXPECT_EQ(oddEven, QStringList({u"Odd and Even Pages"_qs, u"Odd Pages only"_qs, u"Even Pages only"_qs}));
    EXPECT_TRUE(dlg->btnPrint->isDefault());
    EXPECT_EQ(dlg->edZoom->maxLength(), 7);

    // Set up on show: the printer chosen, "All" with its range text, copies 1 to 999, the
    // settings in the zoom controls, the labels of the page under the track bar.
    EXPECT_EQ(dlg->lbPrinters->currentText(), printer->name());
    EXPECT_EQ(dlg->lbPrinters->count(), 2);
    EXPECT_TRUE(dlg->rbAll->isChecked());
    EXPECT_EQ(dlg->edRange->text(), u"1 - 3"_qs);
    EXPECT_FALSE(dlg->edRange->isEnabled());
    EXPECT_EQ(dlg->Pages(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(dlg->udCopies->Min(), 1);
    EXPECT_EQ(dlg->udCopies->Max(), 999);
    EXPECT_TRUE(dlg->edCopies->isVisible()) << "the fake prints copies";
    EXPECT_TRUE(dlg->rbShrink->isChecked());
    EXPECT_FALSE(dlg->edZoom->isEnabled());
    EXPECT_TRUE(dlg->cbCenter->isChecked());
    EXPECT_FALSE(dlg->cbOffset->isChecked());
    EXPECT_EQ(dlg->labelPreviewPage->text(), u"Page 1 of 3"_qs);
    EXPECT_EQ(dlg->labelDPI->text(), u"Printer DPI: 600"_qs);
    EXPECT_EQ(dlg->labelOffset->text(), u"Margin Offset: 0.16 in (100 pxl)"_qs);
    EXPECT_EQ(dlg->labelPaper->text(), u"Paper (w x h): 8.5 x 11.0 in"_qs);
    EXPECT_EQ(dlg->labelPage->text(), u"Page (w x h): 8.2 x 11.6 in"_qs);
}

TEST_F(PrintDlgTest, AOnePageDocumentDisablesTheOddEvenChoice)
{
    Show(1);
    EXPECT_FALSE(dlg->cbOddEven->isEnabled());
    EXPECT_EQ(dlg->Pages(), std::vector<int>{1});
}

TEST_F(PrintDlgTest, TheCopiesAreTheDigitsOfTheText)
{
    Show(3);
    const std::vector<std::pair<const char *, int>> cases = {
        {"1a2", 12}, {"", 1}, {"0", 1}, {"7", 7}, {"123456789012345678901234567890", 999}};
    for (const auto &[text, copies] : cases) {
        SCOPED_TRACE(text);
        dlg->edCopies->setText(QString::fromUtf8(text));
        EXPECT_EQ(dlg->udCopies->Value(), copies);
        EXPECT_EQ(dlg->edCopies->text(), QString::fromUtf8(text)) << "the box keeps what is typed";
        EXPECT_EQ(printer->copies(), copies);
    }
    // The arrows step the number and write it back; they stop at 999.
    dlg->udCopies->UpButton->click();
    EXPECT_EQ(dlg->udCopies->Value(), 999);
    dlg->udCopies->DownButton->click();
    EXPECT_EQ(dlg->edCopies->text(), u"998"_qs);
}

TEST_F(PrintDlgTest, ARangeErrorIsShownAndTheListStays)
{
    Show(5);
    Range(u"2-3"_qs);
    ASSERT_EQ(dlg->Pages(), (std::vector<int>{2, 3}));
    EXPECT_EQ(dlg->labelPreviewPage->text(), u"Page 1 of 2 (2)"_qs);

    Range(u"5,"_qs);
    ASSERT_EQ(sink.shown.size(), 1);
    EXPECT_EQ(sink.shown[0].title, u"Page Range Error"_qs);
    EXPECT_EQ(sink.shown[0].text,
              u"Page number in range 1-5 expected after a list separator.\r\n\r\nSpecify a non-empty, comma separated "
              "list of pages and ranges (e.g. 2,7-13,19)."_qs);
    EXPECT_TRUE(dlg->edRange->hasFocus());
    EXPECT_EQ(dlg->edRange->selectedText(), u"5,"_qs) << "all of it selected";
    EXPECT_EQ(dlg->Pages(), (std::vector<int>{2, 3})) << "the list before the error stays";

    // "&Print" after an error does nothing further.
    bool printed = false;
    dlg->OnPrint = [&](const std::vector<int> &) { printed = true; };
    dlg->btnPrint->click();
    EXPECT_FALSE(printed);
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(PrintDlgTest, AnEvenListWithOddPagesOnlyReturnsToBoth)
{
    Show(5);
    dlg->cbOddEven->setCurrentIndex(1);
    Range(u"2,4"_qs);
    EXPECT_EQ(dlg->cbOddEven->currentText(), u"Odd and Even Pages"_qs);
    EXPECT_EQ(dlg->Pages(), (std::vector<int>{2, 4}));
}

// The page (A3) is larger than the paper (8.5 x 11 in) at actual size: the preview shows the
// overflow tinted yellow; shrinking brings it onto the paper. The settings follow the controls.
TEST_F(PrintDlgTest, AnOverflowingPageIsTintedAndShrinkingFitsIt)
{
    Prefer.PrintZoomMode = 0;
    // White with a black block at the lower left, which stays on the paper.
    Show(1, 842, 1191, "0 g 0 0 300 300 re f");
    const TSheetLayout &layout = dlg->Layout();
    EXPECT_EQ(layout.scale, 1);
    EXPECT_GT(layout.pageWidth, 5100);
    const QImage &preview = dlg->PreviewImage();
    ASSERT_FALSE(preview.isNull());
    // The white overflow right of the paper is tinted yellow; the page's white on the paper is
    // white; the block stays black; the paper's top margin is tinted blue.
    const double m = double(preview.width()) / layout.pageWidth;
    EXPECT_EQ(preview.pixelColor(int((5100 + layout.pageWidth) / 2 * m), int(layout.pageHeight / 3 * m)),
              QColor(255, 255, 192));
    EXPECT_EQ(preview.pixelColor(int(2500 * m), int(3300 * m)), QColor(Qt::white));
    EXPECT_EQ(preview.pixelColor(int(600 * m), int((layout.pageHeight - 600) * m)), QColor(Qt::black));
    EXPECT_EQ(preview.pixelColor(int(2500 * m), int(50 * m)), QColor(192, 192, 255));
    EXPECT_EQ(dlg->labelZoom->text(), u"Zoom: 100.00%"_qs);
    const QString grab = QDir::temp().filePath(u"orvale-printdlg-overflow.png"_qs);
    ASSERT_TRUE(dlg->grab().save(grab));
    std::printf("grab of the dialog: %s\n", qPrintable(grab));

    dlg->rbShrink->click();
    EXPECT_EQ(Prefer.PrintZoomMode, 2);
    EXPECT_LT(dlg->Layout().scale, 1);
    EXPECT_LE(dlg->Layout().pageHeight, 6600);
    EXPECT_EQ(dlg->labelZoom->text(), u"Zoom: 66.49%"_qs);
    dlg->cbCenter->click();
    EXPECT_FALSE(Prefer.PrintCenter);
    dlg->cbOffset->click();
    EXPECT_TRUE(Prefer.PrintOffset);
    dlg->cbAutoOrient->click();
    EXPECT_FALSE(Prefer.PrintAutoOrient);
}

TEST_F(PrintDlgTest, ACustomScaleFrom1To1000)
{
    Show(2);
    dlg->rbCustom->click();
    EXPECT_TRUE(dlg->edZoom->isEnabled());
    EXPECT_EQ(Prefer.PrintZoomMode, 3);
    struct Case {
        const char *text;
        bool valid;
        double scale;
    };
    for (const Case &c :
         {Case{"1000", true, 10}, Case{"1001", false, 1}, Case{"abc", false, 1}, Case{"50", true, 0.5}}) {
        SCOPED_TRACE(c.text);
        sink.shown.clear();
        dlg->edZoom->setText(QString::fromUtf8(c.text));
        EXPECT_EQ(dlg->ComputePreview(), c.valid);
        EXPECT_DOUBLE_EQ(dlg->Layout().scale, c.scale);
        if (c.valid) {
            EXPECT_TRUE(sink.shown.empty());
            EXPECT_EQ(Prefer.PrintZoom, QString::fromUtf8(c.text));
        } else {
            ASSERT_EQ(sink.shown.size(), 1);
            EXPECT_EQ(sink.shown[0].title, u"Zoom Specification Error"_qs);
            EXPECT_EQ(sink.shown[0].text, u"Scale value must be between 1 and 1000%."_qs);
            EXPECT_EQ(dlg->edZoom->text(), u"100"_qs);
            EXPECT_EQ(Prefer.PrintZoom, u"100"_qs);
            EXPECT_TRUE(dlg->edZoom->hasFocus());
        }
    }
}

TEST_F(PrintDlgTest, AutoOrientTurnsThePaperForALandscapePageAtOpenOnly)
{
    Show(2, 842, 595);
    EXPECT_TRUE(printer->landscape());
    EXPECT_TRUE(dlg->rbLandscape->isChecked());
    EXPECT_EQ(dlg->labelPaper->text(), u"Paper (w x h): 11.0 x 8.5 in"_qs);
    // Later the user's choice stands, and the box only records the setting.
    dlg->rbPortrait->click();
    EXPECT_FALSE(printer->landscape());
    dlg->cbAutoOrient->click();
    dlg->cbAutoOrient->click();
    EXPECT_FALSE(printer->landscape());
}

TEST_F(PrintDlgTest, WithoutAutoOrientThePaperStays)
{
    Prefer.PrintAutoOrient = false;
    Show(2, 842, 595);
    EXPECT_FALSE(printer->landscape());
}

TEST_F(PrintDlgTest, PrintHandsTheListOverAndCloses)
{
    Show(5);
    std::vector<int> handed;
    dlg->OnPrint = [&](const std::vector<int> &pages) { handed = pages; };
    Range(u"5, 3-1, 2"_qs);
    dlg->btnPrint->click();
    EXPECT_EQ(handed, (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(PrintDlgTest, APdfFileIsAskedForAndAnOpenDocumentRefused)
{
    printer->outputFile = u""_qs; // a printer that writes a file
    Show(3);
    QStringList offered;
    QStringList answers = {document.fileName, dir.filePath(u"out.pdf"_qs)};
    dlg->ChooseOutputFile = [&](const QString &suggested) {
        offered << suggested;
        return answers.takeFirst();
    };
    bool printed = false;
    dlg->OnPrint = [&](const std::vector<int> &) { printed = true; };
    dlg->btnPrint->click();
    ASSERT_EQ(offered.size(), 2);
    EXPECT_EQ(offered[0], dir.filePath(u"doc-print.pdf"_qs)) << "beside the document, \"-print\" added";
    ASSERT_EQ(sink.shown.size(), 1) << "the open document is refused";
    EXPECT_TRUE(sink.shown[0].text.contains(u"doc.pdf"_qs));
    EXPECT_TRUE(printed);
    EXPECT_EQ(printer->outputFile, dir.filePath(u"out.pdf"_qs));
    EXPECT_EQ(printers.lastOutputFile, dir.filePath(u"out.pdf"_qs));
}

TEST_F(PrintDlgTest, CancellingTheFileReturnsToTheDialog)
{
    printer->outputFile = u""_qs;
    printers.lastOutputFile = u"/somewhere/last.pdf"_qs;
    Show(3);
    QString offered;
    dlg->ChooseOutputFile = [&](const QString &suggested) {
        offered = suggested;
        return QString();
    };
    bool printed = false;
    dlg->OnPrint = [&](const std::vector<int> &) { printed = true; };
    dlg->btnPrint->click();
    EXPECT_EQ(offered, u"/somewhere/last.pdf"_qs) << "this run's last name first";
    EXPECT_FALSE(printed);
    EXPECT_TRUE(dlg->isVisible());
}

// "Printer &Setup ..." runs Qt's printer dialog on the current printer; accepted, the printer it
// names stays current ("Print to File (PDF)" is "PDF file") and the copies go there and back.
TEST_F(PrintDlgTest, PrinterSetupKeepsThePdfFileAndTheCopies)
{
    printers.names = {u"PDF file"_qs};
    printers.make = pl::makePrinter;
    printers.current = pl::makePrinter(u"PDF file"_qs);
    printers.current->setOutputFile(dir.filePath(u"setup.pdf"_qs));
    Show(2);
    dlg->edCopies->setText(u"4"_qs);
    const pl::PrinterDevice *before = printers.current.get();
    bool sawDialog = false;
    QTimer::singleShot(0, [&] {
        auto *setup = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
        sawDialog = setup != nullptr;
        if (setup) {
            EXPECT_EQ(setup->printer()->outputFormat(), QPrinter::PdfFormat);
            EXPECT_EQ(setup->printer()->copyCount(), 4);
            setup->accept();
        }
    });
    dlg->btnSetup->click();
    ASSERT_TRUE(sawDialog);
    EXPECT_EQ(printers.current.get(), before) << "the same printer stays current";
    EXPECT_EQ(dlg->lbPrinters->currentText(), u"PDF file"_qs);
    EXPECT_EQ(dlg->edCopies->text(), u"4"_qs);
    EXPECT_TRUE(dlg->labelPaper->text().startsWith(u"Paper (w x h): "_qs));
}
