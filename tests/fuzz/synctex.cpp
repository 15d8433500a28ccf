// The SyncTeX reader on a file of any bytes, then a forward and an inverse search on what it
// loaded, once through the index and once through the plain scan, which must agree.
#include "FuzzInput.h"

#include "base/AppState.h"
#include "synctex/SyncTeX.h"

#include <QFile>

namespace {

struct TAnswers {
    bool forward = false;
    int page = 0;
    int numrect = 0;
    bool inverse = false;
    QString inpFile;
    int lin = 0;
    bool operator==(const TAnswers &) const = default;
};

TAnswers Ask(TSyncTeX &sync, bool index, const QString &input, int line, int page, double x, double y)
{
    sync.UseIndex = index;
    TAnswers a;
    TFloatRectangles rectangles;
    a.forward = sync.ForwardSearch(input, line, a.page, a.numrect, rectangles);
    a.inverse = sync.InverseSearch(page, x, y, a.inpFile, a.lin);
    return a;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    App.AppRunning = true;
    TFuzzInput in(data, size);
    const int line = in.Byte();
    const int page = in.Byte() % 4;
    const double x = in.Byte() * 4.0;
    const double y = in.Byte() * 4.0;
    const QString file = FuzzFolder().filePath(QStringLiteral("doc.synctex"));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(in.Rest());
    }
    TSyncTeX sync;
    if (!sync.LoadSyncData(file, false))
        return 0;
    const std::vector<TSyncTeX::TInputFile> inputs = sync.InputFiles();
    const QString input = inputs.empty() ? QStringLiteral("main.tex") : inputs.front().recorded;
    const TAnswers indexed = Ask(sync, true, input, line, page, x, y);
    const TAnswers scanned = Ask(sync, false, input, line, page, x, y);
    FUZZ_CHECK(indexed == scanned);
    return 0;
}
