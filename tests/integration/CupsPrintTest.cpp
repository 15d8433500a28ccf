// Printing to a CUPS queue end to end: a scheduler of the test's own (a private folder, its own
// socket, no system scheduler touched) with a raw queue whose device is a file; chosen pages of
// a document printed through the job arrive in that file; an aborted document never does.
#include "QuietPrintProgress.h"
#include "platform/PrinterDevice.h"
#include "print/CopyPrintSource.h"
#include "print/PageRange.h"

#include "EngineFixture.h"
#include "ManualClock.h"
#include "MarkedPages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>

namespace {

constexpr const char *Queue = "orvale-test";

// A scheduler in a folder of its own, reached through its own socket (CUPS_SERVER), with one
// raw queue that writes every job into out/printed.pdf.
class PrivateCupsd {
public:
    PrivateCupsd()
    {
        if (!QFileInfo::exists(u"/usr/sbin/cupsd"_qs)) {
            problem = u"cupsd is not installed (cups-daemon)"_qs;
            return;
        }
        if (!root.isValid()) {
            problem = u"no temporary folder"_qs;
            return;
        }
        // The scheduler's job processes run as its own user: the output folder is theirs too.
        QFile::setPermissions(root.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                  | QFileDevice::ExeGroup | QFileDevice::ExeOther | QFileDevice::ReadGroup
                                  | QFileDevice::ReadOther);
        for (const char *sub : {"conf", "spool", "cache", "state", "tmp", "log", "out", "bin/backend"})
            QDir(root.path()).mkpath(QString::fromLatin1(sub));
        QFile::setPermissions(path(u"out"_qs), QFileDevice::Permissions(0x7777));
        QFile::setPermissions(path(u"spool"_qs), QFileDevice::Permissions(0x7777));
        QFile::setPermissions(path(u"tmp"_qs), QFileDevice::Permissions(0x7777));
        // The scheduler's own programs, and a backend that writes what the queue is sent into the
        // file its device names. (A raw queue's "file:" device writes nothing for a single
        // uncompressed document: no filter runs to copy it.)
        for (const char *sub : {"daemon", "notifier"})
            QFile::link(u"/usr/lib/cups/"_qs + QString::fromLatin1(sub), path(u"bin/"_qs + QString::fromLatin1(sub)));
        write(u"bin/backend/orvalefile"_qs,
              "#!/bin/sh\n"
              "[ $# -eq 0 ] && { echo 'direct orvalefile \"Unknown\" \"Test file\"'; exit 0; }\n"
              "out=\"${DEVICE_URI#orvalefile:}\"\n"
              "printf '%s\\n%s\\n' \"$4\" \"$5\" > \"$out.args\"\n"
              "if [ -n \"$6\" ]; then cat \"$6\" > \"$out\"; else cat > \"$out\"; fi\n");
        QFile::setPermissions(path(u"bin/backend/orvalefile"_qs),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        socket = path(u"cups.sock"_qs);
        write(u"conf/cupsd.conf"_qs,
              "Listen " + socket.toUtf8()
                  + "\nLogLevel debug\nBrowsing No\nWebInterface No\n"
                    "DefaultAuthType None\n<Location />\n  Order allow,deny\n  Allow all\n"
                    "</Location>\n<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                    "  </Limit>\n</Policy>\n");
        write(u"conf/cups-files.conf"_qs,
              "ServerRoot " + path(u"conf"_qs).toUtf8() + "\nRequestRoot " + path(u"spool"_qs).toUtf8() + "\nCacheDir "
                  + path(u"cache"_qs).toUtf8() + "\nStateDir " + path(u"state"_qs).toUtf8() + "\nTempDir "
                  + path(u"tmp"_qs).toUtf8() + "\nErrorLog " + path(u"log/error_log"_qs).toUtf8() + "\nAccessLog "
                  + path(u"log/access_log"_qs).toUtf8() + "\nPageLog " + path(u"log/page_log"_qs).toUtf8()
                  + "\nFileDevice Yes\nServerBin " + path(u"bin"_qs).toUtf8() + "\nDataDir /usr/share/cups\n");
        write(u"conf/printers.conf"_qs,
              QByteArray("<DefaultPrinter ") + Queue + ">\nInfo test queue\nDeviceURI orvalefile:" + output().toUtf8()
                  + "\nState Idle\nAccepting Yes\nShared No\n</DefaultPrinter>\n");
        daemon.setProcessChannelMode(QProcess::MergedChannels);
        daemon.start(u"/usr/sbin/cupsd"_qs,
                     {u"-f"_qs, u"-c"_qs, path(u"conf/cupsd.conf"_qs), u"-s"_qs, path(u"conf/cups-files.conf"_qs)});
        if (!daemon.waitForStarted(5000)) {
            problem = u"cupsd did not start: "_qs + daemon.errorString();
            return;
        }
        qputenv("CUPS_SERVER", socket.toUtf8());
        // The printer spools into the temporary folder: one of this scheduler's own, so that
        // test programs running side by side do not see each other's spool files.
        QDir(root.path()).mkpath(u"client-tmp"_qs);
        qputenv("TMPDIR", path(u"client-tmp"_qs).toUtf8());
        QElapsedTimer waited;
        waited.start();
        while (!Lpstat({u"-p"_qs, QString::fromLatin1(Queue)}).contains(QString::fromLatin1(Queue))) {
            if (daemon.state() != QProcess::Running || waited.elapsed() > 15000) {
                problem =
                    u"the private cupsd did not answer: "_qs + QString::fromUtf8(daemon.readAll()) + Log().right(2000);
                return;
            }
            QThread::msleep(100);
        }
    }
    ~PrivateCupsd()
    {
        if (daemon.state() == QProcess::Running) {
            daemon.terminate();
            if (!daemon.waitForFinished(5000))
                daemon.kill();
        }
        daemon.waitForFinished(2000);
    }

    QString path(const QString &name) const { return root.filePath(name); }
    QString output() const { return path(u"out/printed.pdf"_qs); }
    QString Log() const
    {
        QFile f(path(u"log/error_log"_qs));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // The scheduler's log without its client and bookkeeping lines: what it did with the jobs.
    std::string JobLog() const
    {
        QStringList lines = Log().split(u'\n');
        lines.erase(std::remove_if(lines.begin(), lines.end(),
                                   [](const QString &l) {
                                       return l.contains(u"[Client"_qs) || l.contains(u"BusyState"_qs)
                                           || l.contains(u"MarkDirty"_qs) || l.contains(u"envp"_qs);
                                   }),
                    lines.end());
        return lines.join(u'\n').right(8000).toStdString();
    }
    QString Lpstat(const QStringList &args) const
    {
        QProcess p;
        p.start(u"lpstat"_qs, QStringList{u"-h"_qs, socket} + args);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // The jobs the queue has completed.
    int CompletedJobs() const
    {
        return int(Lpstat({u"-W"_qs, u"completed"_qs, u"-o"_qs, QString::fromLatin1(Queue)})
                       .split(u'\n', Qt::SkipEmptyParts)
                       .size());
    }
    bool WaitForCompleted(int jobs) const
    {
        QElapsedTimer waited;
        waited.start();
        while (CompletedJobs() < jobs)
            if (waited.elapsed() > 20000)
                return false;
            else
                QThread::msleep(100);
        return true;
    }

    QString problem;

private:
    void write(const QString &name, const QByteArray &text)
    {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(text);
    }

    QTemporaryDir root{QDir::tempPath() + u"/orvale-cupsd-XXXXXX"_qs};
    QString socket;
    QProcess daemon;
};

QStringList SpoolFiles() { return QDir::temp().entryList({u"orvale-print-*"_qs}, QDir::Files | QDir::Hidden); }

struct CupsPrintTest : EngineFixture {
    static inline PrivateCupsd *cupsd = nullptr;
    static void SetUpTestSuite() { cupsd = new PrivateCupsd; }
    static void TearDownTestSuite()
    {
        delete cupsd;
        cupsd = nullptr;
    }
    void SetUp() override
    {
        EngineFixture::SetUp();
        if (!cupsd->problem.isEmpty())
            GTEST_SKIP() << "no private CUPS scheduler: " << cupsd->problem.toStdString();
    }
};

} // namespace

TEST_F(CupsPrintTest, TheQueueIsListedFirstAndIsTheDefault)
{
    const QStringList names = pl::printerNames();
    ASSERT_EQ(names, QStringList({QString::fromLatin1(Queue), u"PDF file"_qs}));
    EXPECT_EQ(pl::defaultPrinterName(), QString::fromLatin1(Queue));
    const std::shared_ptr<pl::PrinterDevice> printer = pl::makePrinter(QString::fromLatin1(Queue));
    ASSERT_TRUE(printer);
    const pl::PrinterCaps caps = printer->caps();
    EXPECT_GT(caps.dpi, 0);
    EXPECT_GT(caps.paperHeight, caps.paperWidth);
    EXPECT_TRUE(printer->supportsCopies());
    EXPECT_FALSE(pl::makePrinter(u"no-such-queue"_qs));
}

TEST_F(CupsPrintTest, ARangeArrivesInTheQueuesFile)
{
    const QString source = dir.filePath(u"marks.pdf"_qs);
    ASSERT_TRUE(WriteMarkedPages(source));
    ASSERT_TRUE(engine->OpenDocument(source, false, QString(), 0, TDestType::ForwardSearch));
    const TPageList list = ComputePageList(TPageChoice::Range, TOddEven::Both, 5, 1, u"2-3,5"_qs);
    const int before = cupsd->CompletedJobs();
    std::shared_ptr<pl::PrinterDevice> printer = pl::makeCupsPrinter(QString::fromLatin1(Queue));
    printer->setCopies(2);
    TPrintCopy printCopy(*engine, engine->SelDoc());
    TCopyPrintSource pages(printCopy, printer->caps(), true);
    QuietPrintProgress progress;
    std::unique_ptr<TPrintThread> endThread;
    pl::fake::ScopedManualTime time;
    QString failure;
    TPrintJob job(printer, list.pages, u"marks.pdf"_qs);
    ASSERT_EQ(
        job.Run(
            pages, progress, TPrintSettings(), [&](const QString &, const QString &r) { failure = r; }, endThread),
        mrOk);
    ASSERT_TRUE(endThread && endThread->WaitFor(20000));
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    ASSERT_TRUE(cupsd->WaitForCompleted(before + 1)) << cupsd->JobLog();
    EXPECT_TRUE(SpoolFiles().isEmpty()) << "the spool file goes once sent";

    QFile f(cupsd->output());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "the queue's file device wrote nothing\n" << cupsd->JobLog();
    const QByteArray bytes = f.readAll();
    const TDPLPDFiumDLL &dll = *engine->PDFium();
    TPdfDocument printed =
        AdoptPdf<TPdfDocument>(dll, dll.FPDF_LoadMemDocument64(bytes.constData(), size_t(bytes.size()), nullptr));
    ASSERT_TRUE(printed) << "a raw queue passes the PDF through";
    ASSERT_EQ(dll.FPDF_GetPageCount(printed.get()), 3);
    for (int i = 0; i < 3; ++i) {
        const auto [best, bestDistance] = NearestMarkedPage(printed.get(), i + 1, current().PDFiumDoc.get(), *engine);
        EXPECT_EQ(best, list.pages[size_t(i)]);
        EXPECT_LT(bestDistance, 12.0);
    }
    // The job carried its copies and asked for no scaling: the page is placed already.
    QFile args(cupsd->output() + u".args"_qs);
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(args.readAll()).split(u'\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], u"2"_qs);
    EXPECT_TRUE(lines[1].split(u' ').contains(u"print-scaling=none"_qs)) << lines[1].toStdString();
}

TEST_F(CupsPrintTest, AnAbortedDocumentNeverReachesTheQueue)
{
    const int before = cupsd->CompletedJobs();
    std::shared_ptr<pl::PrinterDevice> printer = pl::makeCupsPrinter(QString::fromLatin1(Queue));
    ASSERT_TRUE(printer->begin(u"aborted"_qs));
    EXPECT_TRUE(printer->printing());
    // The spool is private to the user.
    const QStringList spool = SpoolFiles();
    ASSERT_EQ(spool.size(), 1);
    const QFileDevice::Permissions mode = QFileInfo(QDir::temp().filePath(spool[0])).permissions();
    EXPECT_TRUE(mode & QFileDevice::ReadOwner);
    EXPECT_FALSE(
        mode & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther))
        << "mode 0600";
    printer->painter().fillRect(QRect(0, 0, 500, 500), Qt::black);
    printer->abort();
    EXPECT_FALSE(printer->printing());
    EXPECT_EQ(printer->end(), pl::PrintEnd::Aborted);
    EXPECT_TRUE(SpoolFiles().isEmpty());
    QThread::msleep(500);
    EXPECT_EQ(cupsd->CompletedJobs(), before);
    EXPECT_EQ(cupsd->Lpstat({u"-o"_qs, QString::fromLatin1(Queue)}), QString()) << "nothing waiting either";
}

TEST_F(CupsPrintTest, BeginFailsWithoutTheQueue)
{
    std::shared_ptr<pl::PrinterDevice> printer = pl::makeCupsPrinter(u"no-such-queue"_qs);
    EXPECT_FALSE(printer->begin(u"doc"_qs));
    EXPECT_FALSE(printer->printing());
    EXPECT_TRUE(printer->lastError().contains(u"no-such-queue"_qs));
}

// Why the queue's own Qt printer is not drawn on: its abort cannot take the document back.
TEST_F(CupsPrintTest, QtsAbortOnAQueueCannotTakeTheDocumentBack)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(QString::fromLatin1(Queue));
    ASSERT_EQ(printer.outputFormat(), QPrinter::NativeFormat);
    QPainter painter;
    ASSERT_TRUE(painter.begin(&printer));
    painter.fillRect(QRect(0, 0, 100, 100), Qt::black);
    EXPECT_FALSE(printer.abort()) << "Qt's PDF-based engines refuse";
    painter.end();
}
