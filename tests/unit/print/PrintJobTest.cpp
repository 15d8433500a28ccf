#include "print/PrintJob.h"

#include "FakePrinter.h"
#include "ManualClock.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Answers every question with one reply and keeps what was asked.
class AnsweringSink final : public TMessageSink {
public:
    int reply = mrOk;
    QStringList shown;
    AnsweringSink() { SetMessageSink(this); }
    ~AnsweringSink() override { SetMessageSink(nullptr); }
    int ShowMessage(const TMessageRequest &r) override
    {
        shown << r.title + QStringLiteral(": ") + r.text;
        return reply;
    }
};

// A5 pages; page badPage cannot be loaded.
class Source final : public TPrintSource {
public:
    struct Drawn {
        int page;
        QPoint corner;
        double dpi;
    };
    std::vector<Drawn> drawn;
    int badPage = 0;
    QSizeF PageSize(int, bool) override { return QSizeF(420, 595); }
    bool PrintPage(QPainter &painter, int page, QPoint corner, double dpi) override
    {
        if (page == badPage)
            return false;
        painter.fillRect(QRect(corner, QSize(350, 495)), Qt::black);
        drawn.push_back({page, corner, dpi});
        return true;
    }
};

class Progress final : public TPrintProgress {
public:
    QString abortAtLabel;
    QString label;
    QColor colour;
    int position = -1;
    bool error = false;
    bool abortEnabled = true;
    int events = 0;
    void SetLabel(const QString &text, const QColor &c) override
    {
        label = text;
        colour = c;
    }
    void SetProgress(int p, bool e) override
    {
        position = p;
        error = e;
    }
    void DisableAbort() override { abortEnabled = false; }
    void ProcessEvents() override { ++events; }
    bool AbortRequested() const override { return !abortAtLabel.isEmpty() && label == abortAtLabel; }
};

struct JobFixture : ::testing::Test {
    pl::fake::ScopedManualTime time;
    AnsweringSink sink;
    std::shared_ptr<pl::fake::FakePrinter> printer = std::make_shared<pl::fake::FakePrinter>();
    Source source;
    Progress progress;
    std::unique_ptr<TPrintThread> endThread;
    QStringList failures;

    TModalResult Print(std::vector<int> pages)
    {
        TPrintJob job(printer, std::move(pages), QStringLiteral("doc.pdf"));
        return job.Run(
            source, progress, TPrintSettings(),
            [this](const QString &name, const QString &reason) { failures << name + u": "_qs + reason; }, endThread);
    }

    std::vector<int> DrawnPages() const
    {
        std::vector<int> out;
        for (const Source::Drawn &d : source.drawn)
            out.push_back(d.page);
        return out;
    }
};

} // namespace

TEST_F(JobFixture, PrintsEveryPagePlacedByTheSettingsThenEndsOnTheThread)
{
    EXPECT_EQ(Print({2, 3, 5}), mrOk);
    ASSERT_TRUE(endThread);
    ASSERT_TRUE(endThread->WaitFor(5000));
    EXPECT_EQ(printer->log(), (QStringList{u"begin doc.pdf"_qs, u"newPage"_qs, u"newPage"_qs, u"end"_qs}));
    EXPECT_EQ(DrawnPages(), (std::vector<int>{2, 3, 5}));
    // A5 on the 5100 x 6600 sheet, shrink and centre by default: centred, relative to the printable corner.
    EXPECT_EQ(source.drawn[0].corner, QPoint(700, 721));
    EXPECT_EQ(source.drawn[0].dpi, 600);
    EXPECT_EQ(progress.label, u"3 pages printed in 0 sec."_qs);
    EXPECT_EQ(progress.colour, QColor(0, 0, 128));
    EXPECT_EQ(progress.position, 3);
    EXPECT_FALSE(progress.abortEnabled);
    EXPECT_EQ(time.sleeper.sleeps, std::vector<int>{2222});
    EXPECT_FALSE(printer->printing());
    EXPECT_TRUE(failures.isEmpty());
    ASSERT_EQ(printer->sheets.size(), 3u);
    EXPECT_EQ(printer->sheets[0].pixelColor(100, 100), QColor(Qt::black)) << "drawn on the sheet";
}

TEST_F(JobFixture, OnePageStartsNoNewSheet)
{
    EXPECT_EQ(Print({4}), mrOk);
    ASSERT_TRUE(endThread->WaitFor(5000));
    EXPECT_FALSE(printer->log().contains(u"newPage"_qs));
    EXPECT_EQ(progress.label, u"1 pages printed in 0 sec."_qs);
}

TEST_F(JobFixture, AbortBeforeTheThirdPageTakesTheDocumentBack)
{
    progress.abortAtLabel = u"Page: 3 of 5"_qs;
    EXPECT_EQ(Print({1, 2, 3, 4, 5}), mrCancel);
    EXPECT_EQ(DrawnPages(), (std::vector<int>{1, 2}));
    EXPECT_EQ(progress.label, u"Aborted at page : 3"_qs);
    EXPECT_EQ(progress.colour, QColor(Qt::red));
    EXPECT_TRUE(progress.error);
    EXPECT_EQ(printer->log().last(), u"abort"_qs);
    EXPECT_FALSE(printer->log().contains(u"end"_qs));
    EXPECT_FALSE(endThread);
    EXPECT_FALSE(printer->printing());
}

TEST_F(JobFixture, FailingBeginSaysSoAndPrintsNothing)
{
    printer->failBegin = true;
    EXPECT_EQ(Print({1, 2}), mrOk);
    EXPECT_EQ(sink.shown, QStringList{u"Printer Error: Cannot connect to the printer \"Fake Printer\"."_qs});
    EXPECT_TRUE(source.drawn.empty());
    EXPECT_FALSE(endThread);
}

TEST_F(JobFixture, APageThatFailsLeavesItsSheetEmptyAndTheJobGoesOn)
{
    source.badPage = 2;
    EXPECT_EQ(Print({1, 2, 3}), mrOk);
    ASSERT_TRUE(endThread->WaitFor(5000));
    EXPECT_EQ(DrawnPages(), (std::vector<int>{1, 3}));
    ASSERT_EQ(printer->sheets.size(), 3u);
    EXPECT_EQ(printer->sheets[1].pixelColor(100, 100), QColor(Qt::white));
}

TEST_F(JobFixture, ABusyPrinterAsksWhetherToAbortTheEarlierDocument)
{
    printer->holdEnd = true;
    EXPECT_EQ(Print({1}), mrOk);
    EXPECT_TRUE(printer->printing()) << "the end step is held";

    sink.reply = mrNo;
    Print({2});
    EXPECT_EQ(sink.shown,
              QStringList{u"Printer not available...: Printer is currently busy. Do you want to abort the job "
                          "\"doc.pdf\"?"_qs});
    EXPECT_EQ(DrawnPages(), std::vector<int>{1}) << "No prints nothing";
    EXPECT_EQ(printer->log().count(u"begin doc.pdf"_qs), 1);

    sink.reply = mrYes;
    std::unique_ptr<TPrintThread> first = std::move(endThread);
    Print({3});
    EXPECT_EQ(DrawnPages(), (std::vector<int>{1, 3}));
    EXPECT_EQ(time.sleeper.sleeps, (std::vector<int>{2222, 111, 2222}));
    const QStringList log = printer->log();
    EXPECT_EQ(log.indexOf(u"abort"_qs) + 1, log.lastIndexOf(u"begin doc.pdf"_qs)) << log.join(u", "_qs).toStdString();
    printer->release();
    ASSERT_TRUE(first->WaitFor(5000));
    ASSERT_TRUE(endThread->WaitFor(5000));
    EXPECT_FALSE(printer->printing());
}

TEST_F(JobFixture, AFailedEndStepIsReportedWithItsReason)
{
    printer->failEnd = true;
    Print({1});
    ASSERT_TRUE(endThread->WaitFor(5000));
    EXPECT_EQ(failures, QStringList{u"Fake Printer: server unreachable"_qs});
    EXPECT_EQ(PrinterErrorText(u"Fake Printer"_qs, u"server unreachable"_qs),
              u"Cannot connect to the printer \"Fake Printer\".\nserver unreachable"_qs);
}

TEST_F(JobFixture, ShutdownAbortsAHeldEndStepWithinItsBound)
{
    printer->holdEnd = true;
    Print({1});
    std::thread releaser([this] {
        // The fake's end only returns when released; an abort alone cannot make it return, so
        // release it as a server that answers late would.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        printer->release();
    });
    endThread->Shutdown();
    releaser.join();
    EXPECT_TRUE(printer->log().contains(u"abort"_qs));
    EXPECT_TRUE(endThread->WaitFor(5000));
    EXPECT_TRUE(failures.isEmpty());
    EXPECT_FALSE(printer->printing());
}
