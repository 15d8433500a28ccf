// Settings store timings: building and encoding the default settings, parsing and checking
// them, and the durable save (flush and rename).
#include "base/AppState.h"
#include "settings/Colors.h"
#include "settings/DataFile.h"
#include "settings/Prefer.h"
#include "settings/PreferStore.h"
#include "base/TextCodec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Median of the runs in microseconds.
double MedianMicros(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int n = 0; n < runs; ++n) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    App.DataFolder = dir.path();
    App.DataFile = dir.filePath(QStringLiteral("OrvalePDF.dat"));
    LoadColorDefaults();
    LoadPreferDefaults(Prefer);
    // A realistic recent list: 99 entries.
    Prefer.DocListCount = 99;
    for (int n = 0; n < 99; ++n)
        Prefer.DocList[n].FileName = QStringLiteral("/home/user/papers/chapter-%1/document-%1.pdf").arg(n);

    QByteArray bytes;
    const double build = MedianMicros(200, [&] {
        TDataFile df;
        df.Rewrite(65536, 2097152);
        WritePrefer(df, Prefer);
        df.WriteTrailer();
        bytes = EncodeText(df.Text().toString(), false, tfUtf8, CpUtf8, false);
    });

    const QString text = QString::fromUtf8(bytes);
    const double parse = MedianMicros(200, [&] {
        TDataFile df;
        df.Buf = text;
        df.len = int32_t(text.size());
        df.CheckData(99, 999999, 66, 99999);
        df.Reset();
        TPrefer p;
        ReadPrefer(df, p);
    });

    const int entries = Prefer.DocListCount;
    const double save = MedianMicros(50, [] { WriteData(); });
    const double read = MedianMicros(50, [] { ReadData(); });

    std::printf("settings file: %lld bytes, %d recent entries\n", static_cast<long long>(bytes.size()), entries);
    std::printf("build + encode defaults:      %8.1f us (target < 1000)\n", build);
    std::printf("parse + check:                %8.1f us (target < 1000)\n", parse);
    std::printf("ReadData from disk:           %8.1f us\n", read);
    std::printf("WriteData (fsync + rename):   %8.1f us\n", save);
    return 0;
}
