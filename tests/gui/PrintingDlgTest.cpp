// The progress window of a print job: Abort and closing while pages print, and what it shows.
#include "ui/PrintingDlg.h"

#include "FakePrinter.h"
#include "ManualClock.h"
#include "RecordingSink.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>

namespace {

class Source final : public TPrintSource {
public:
    std::vector<int> drawn;
    std::function<void(int page)> during;
    QSizeF PageSize(int, bool) override { return QSizeF(595, 842); }
    bool PrintPage(QPainter &, int page, QPoint, double) override
    {
        drawn.push_back(page);
        if (during)
            during(page);
        return true;
    }
};

struct PrintingDlgTest : ::testing::Test {
    pl::fake::ScopedManualTime time;
    RecordingSink sink;
    std::shared_ptr<pl::fake::FakePrinter> printer = std::make_shared<pl::fake::FakePrinter>();
    Source source;
    std::unique_ptr<TPrintThread> endThread;
    TPrintJob job{printer, {1, 2, 3, 4, 5}, QStringLiteral("doc.pdf")};
    TPrintingDlg dlg{job, source, TPrintSettings(), nullptr, endThread, QStringLiteral("doc.pdf"), 5};
};

} // namespace

TEST_F(PrintingDlgTest, PrintsEveryPageAndSaysSo)
{
    EXPECT_EQ(dlg.windowTitle(), u"Printing doc.pdf"_qs);
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(source.drawn, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(dlg.LabelPrint->text(), u"5 pages printed in 0 sec."_qs);
    EXPECT_EQ(dlg.LabelPrint->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(dlg.ProgressBar->value(), 5);
    EXPECT_FALSE(dlg.CancelBtn->isEnabled());
    ASSERT_TRUE(endThread && endThread->WaitFor(5000));
}

TEST_F(PrintingDlgTest, AbortStopsBeforeTheNextPage)
{
    source.during = [this](int page) {
        if (page == 2)
            dlg.CancelBtn->click();
    };
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    EXPECT_EQ(source.drawn, (std::vector<int>{1, 2}));
    EXPECT_EQ(dlg.LabelPrint->text(), u"Aborted at page : 3"_qs);
    EXPECT_EQ(dlg.LabelPrint->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_TRUE(dlg.ProgressBar->styleSheet().contains(u"red"_qs)) << "the bar's error state";
    EXPECT_TRUE(printer->log().contains(u"abort"_qs));
}

TEST_F(PrintingDlgTest, ClosingWhilePrintingAbortsInstead)
{
    source.during = [this](int page) {
        if (page == 1) {
            dlg.close();
            EXPECT_TRUE(dlg.isVisible()) << "closing is refused while pages print";
        }
    };
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    EXPECT_EQ(source.drawn, std::vector<int>{1});
    EXPECT_EQ(dlg.LabelPrint->text(), u"Aborted at page : 2"_qs);
}
