#pragma once
// What the benchmarks share: the document named on their command line, and an engine with
// fresh settings that remember no documents, bound to the PDF library beside the program and
// drawing for a 1280 x 800 view of a recording host.
#include "base/AppState.h"
#include "settings/Prefer.h"
#include "engine/QPDF.h"

#include "RecordingHost.h"

#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <memory>

// The absolute name of the file argv[1]; empty after printing usage when there is none.
inline QString BenchFile(int argc, char **argv, const char *usage)
{
    if (argc < 2 || !QFileInfo(QString::fromLocal8Bit(argv[1])).isFile()) {
        std::fprintf(stderr, "%s\n", usage);
        return QString();
    }
    return QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
}

struct TBenchEngine {
    RecordingHost host;
    std::unique_ptr<TQPDF> engine;

    // threads: SyncTeX data loads on loader threads, as in the viewer.
    explicit TBenchEngine(bool threads)
    {
        Prefer = TPrefer();
        Prefer.RememberDoc = false;
        Prefer.UseThreads = threads;
        engine = std::make_unique<TQPDF>(96);
        host.clientWidth = 1280;
        host.clientHeight = 800;
        engine->SetHost(&host);
    }
    // False after saying why.
    bool ready() const
    {
        if (engine->Status() == 1)
            return true;
        std::fprintf(stderr, "the PDF library is not available beside %s\n", qPrintable(App.ExeFolder));
        return false;
    }
};
