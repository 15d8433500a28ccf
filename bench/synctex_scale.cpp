// SyncTeX loads against the size of their data. Normal data: the pages of a SyncTeX file
// repeated up to 128 and 256 MiB of text and packed as TeX packs it (gzip, default level); a
// load of twice the text takes twice the time. Crafted data: about 1 MB of gzip that would
// inflate to 1 GiB without a line break, refused at the inflation limit.
// Usage: bench_synctex_scale [FILE.synctex.gz] (default: the multi-page test fixture).
// Targets: 256 MiB within 2.2x the time of 128 MiB; the crafted file refused within 1 s.
#include "base/AppState.h"
#include "synctex/SyncInflate.h"
#include "synctex/SyncTeX.h"
#include "SyncTeXText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray readFile(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The text with its pages repeated until it holds at least size bytes.
QByteArray grown(const QByteArray &text, qsizetype size)
{
    const qsizetype first = text.indexOf("\n{") + 1, post = text.lastIndexOf("\nPostamble:") + 1;
    if (first <= 0 || post <= first)
        return QByteArray();
    const QByteArray pages = text.mid(first, post - first);
    QByteArray out = text.left(first);
    out.reserve(size + pages.size() + text.size());
    while (out.size() < size)
        out += pages;
    return out + text.mid(post);
}

// The median time of a few loads in ms, and the last load's message.
double loadMs(const QString &file, QString &message)
{
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        TSyncTeX sync;
        QElapsedTimer t;
        t.start();
        sync.LoadSyncData(file, false);
        times.push_back(double(t.nsecsElapsed()) / 1e6);
        message = sync.ErrMsg.get();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    App.AppRunning = true;
    const QString source = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QStringLiteral(ORVALE_SOURCE_DIR "/tests/fixtures/multi/multi.synctex.gz");
    QByteArray text;
    if (InflateSyncText(readFile(source), text) != TInflateResult::Done || grown(text, 1).isEmpty()) {
        std::fprintf(stderr, "no SyncTeX data in %s\n", qPrintable(source));
        return 1;
    }
    QTemporaryDir dir;
    double ms128 = 0;
    for (const int mib : {128, 256}) {
        const QByteArray plain = grown(text, qsizetype(mib) << 20);
        const QByteArray packed = packBytes(plain, 31, Z_DEFAULT_COMPRESSION); // as TeX packs it
        const QString file = dir.filePath(QStringLiteral("normal%1.synctex.gz").arg(mib));
        writeBytes(file, packed);
        QString message;
        const double ms = loadMs(file, message);
        std::printf("normal data, %d MiB of text from %.1f MB of gzip (%.2f to 1): load median %.0f ms, %.0f MB/s%s\n",
                    mib, packed.size() / 1e6, double(plain.size()) / packed.size(), ms, plain.size() / 1e3 / ms,
                    message.isEmpty() ? "" : qPrintable(QStringLiteral(" FAILED: ") + message));
        if (mib == 128)
            ms128 = ms;
        else
            std::printf("256 MiB take %.2fx the time of 128 MiB (target about 2x, at most 2.2x)\n", ms / ms128);
    }

    const QByteArray crafted = gzipOfManyX(1024);
    const QString file = dir.filePath(QStringLiteral("crafted.synctex.gz"));
    writeBytes(file, crafted);
    QString message;
    const double ms = loadMs(file, message);
    std::printf("crafted data, %.2f MB of gzip for 1 GiB without a line break: refused after %.0f ms (target 1 s), at "
                "most %.0f MiB "
                "inflated\n  %s\n",
                crafted.size() / 1e6, ms, InflateLimit(crafted.size()) / 1048576.0, qPrintable(message));
    return 0;
}
