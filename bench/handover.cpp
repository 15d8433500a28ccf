// Hand-over figures: the time from starting a second process with a forward search until the
// running viewer has run it, on a large document. The second process ends once the viewer has
// read the command; the viewer logs "Command Line Done" after the search and the repaint of
// its main window, so the figure covers the whole road: process start, search for the
// instance, the command file, opening or reloading, the forward search and the repaint. Median over 20 runs, warm (document and
// SyncTeX data loaded) and cold (the PDF and its SyncTeX file rewritten before each run).
// Usage: bench_handover DIR, where DIR holds large.pdf and large.synctex.gz with their chunks/
// (make them with tests/fixtures/make-large.sh DIR 300).
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Runs = 20;

QString logText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool waitForLog(const QString &path, const QString &text, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        if (logText(path).contains(text))
            return true;
        QThread::msleep(10);
    }
    return false;
}

bool copyFile(const QString &from, const QString &to)
{
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return out.write(in.readAll()) == in.size();
}

struct Figures {
    double median = 0, least = 0, largest = 0;
};

Figures summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front(), ms.back()};
}

class Bench {
public:
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString program = QStringLiteral(ORVALE_BIN_DIR) + QStringLiteral("/OrvalePDF");
    QString log;
    QString pdf, sync;
    QString chunks;

    explicit Bench(const QString &dir)
    {
        QDir(home.path()).mkpath("config");
        QDir(home.path()).mkpath("runtime");
        QDir(home.path()).mkpath("doc");
        QFile::setPermissions(home.path() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.path() + "/config");
        env.insert("XDG_RUNTIME_DIR", home.path() + "/runtime");
        if (!env.contains("QT_QPA_PLATFORM"))
            env.insert("QT_QPA_PLATFORM", "offscreen");
        log = home.path() + "/viewer.log";
        source = dir;
        pdf = home.path() + "/doc/large.pdf";
        sync = home.path() + "/doc/large.synctex.gz";
        chunks = QDir(dir).absoluteFilePath("chunks");
    }

    // Writes the document and its SyncTeX file anew, as TeX does after a run.
    bool rewrite() { return copyFile(source + "/large.pdf", pdf) && copyFile(source + "/large.synctex.gz", sync); }

    // The first paragraph line of a chunk's first page.
    QStringList forwardSearch(int chunk) const
    {
        return {"-forward-search", chunks + QStringLiteral("/chunk%1.tex").arg(chunk, 3, 10, QLatin1Char('0')), "3",
                pdf};
    }

    // Milliseconds from the start of a second process until the viewer has run its command;
    // -1 on failure.
    double handOver(const QStringList &args)
    {
        const qsizetype done = logText(log).count(QStringLiteral("Command Line Done"));
        QProcess second;
        second.setProcessEnvironment(env);
        second.setProgram(program);
        second.setArguments(args);
        QElapsedTimer timer;
        timer.start();
        second.start();
        if (!second.waitForFinished(120000) || second.exitCode() != 0)
            return -1;
        while (logText(log).count(QStringLiteral("Command Line Done")) <= done) {
            if (timer.elapsed() > 120000)
                return -1;
            QThread::msleep(1);
        }
        return timer.nsecsElapsed() / 1e6;
    }

    QProcess viewer;
    QString source;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_handover DIR (with large.pdf and large.synctex.gz from make-large.sh)\n");
        return 2;
    }
    Bench bench(QString::fromLocal8Bit(argv[1]));
    if (!bench.rewrite()) {
        std::fprintf(stderr, "cannot copy large.pdf and large.synctex.gz from %s\n", argv[1]);
        return 1;
    }
    int chunkCount = int(QDir(bench.chunks).entryList({"chunk*.tex"}).size());
    if (chunkCount < Runs) {
        std::fprintf(stderr, "too few chunks in %s\n", qPrintable(bench.chunks));
        return 1;
    }

    bench.viewer.setProcessEnvironment(bench.env);
    bench.viewer.setProgram(bench.program);
    bench.viewer.setArguments({"-D=" + bench.log});
    bench.viewer.start();
    if (!waitForLog(bench.log, "Instance link: /", 60000)) {
        std::fprintf(stderr, "the viewer did not start listening\n");
        return 1;
    }
    // Open the document and load its SyncTeX data once.
    bench.handOver(bench.forwardSearch(chunkCount));

    std::vector<double> warm, cold;
    for (int i = 0; i < Runs; ++i) {
        const double ms = bench.handOver(bench.forwardSearch(1 + i * (chunkCount - 1) / Runs));
        if (ms >= 0)
            warm.push_back(ms);
    }
    for (int i = 0; i < Runs; ++i) {
        QThread::msleep(20); // a file time that surely differs from the last load's
        bench.rewrite();
        const double ms = bench.handOver(bench.forwardSearch(1 + i * (chunkCount - 1) / Runs));
        if (ms >= 0)
            cold.push_back(ms);
    }
    bench.viewer.terminate();
    bench.viewer.waitForFinished(30000);

    const QString text = logText(bench.log);
    const int marked = int(text.count(QRegularExpression(QStringLiteral("Forward Search: .* line 3: page \\d+"))));
    const int loads = int(text.count(QStringLiteral("Loaded: ") + bench.pdf));
    if (qEnvironmentVariableIsSet("BENCH_SHOW_LOG"))
        std::fputs(qPrintable(text), stderr);
    std::printf("Hand-over of a forward search, %d chunks (%d runs each, %d of %d searches marked a line)\n",
                chunkCount, Runs, marked, 2 * Runs + 1);
    for (const auto &[name, ms] : {std::pair{"warm", warm}, std::pair{"cold", cold}}) {
        if (ms.empty()) {
            std::printf("  %s: every hand-over failed\n", name);
            continue;
        }
        const Figures f = summarise(ms);
        std::printf("  %s: median %.1f ms, least %.1f ms, largest %.1f ms (%zu runs)\n", name, f.median, f.least,
                    f.largest, ms.size());
    }
    std::printf("  loads of the document in the viewer: %d (1 + one per cold run)\n", loads);
    return 0;
}
