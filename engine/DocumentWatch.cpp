#include "engine/DocumentWatch.h"

#include "base/DebugLog.h"
#include "base/FileUtils.h"
#include "engine/DocumentLoader.h"
#include "engine/DocumentRefresh.h"
#include "engine/QPDF.h"

#include <utility>

namespace {

// The files a document follows: its PDF and both names TeX may give its SyncTeX data, which
// need not exist yet.
QSet<QString> FilesOf(const QString &pdf)
{
    const QString base = FileFolder(pdf) + QLatin1Char('/') + FileNameOnly(pdf);
    return {pdf, base + QStringLiteral(".synctex"), base + QStringLiteral(".synctex.gz")};
}

} // namespace

TDocumentWatch::TDocumentWatch(TQPDF &engine, TDocumentRefresh &refresh) : QPDF(engine), Refresh(refresh)
{
    Watch.Changed = [this](const QString &path) { FileChanged(path); };
    Coalesce.setSingleShot(true);
    Coalesce.setInterval(CoalesceMs);
    QObject::connect(&Coalesce, &QTimer::timeout, [this] { Apply(); });
    if (!Watch.Active())
        DebugLog(QStringLiteral("No file watch: changed files are found by the status timer"));
}

void TDocumentWatch::Follow()
{
    if (!Watch.Active())
        return;
    QSet<QString> wanted;
    for (int i = 0; i < QPDF.DocumentCount(); ++i)
        if (!QPDF.Document(i).FileName.isEmpty())
            wanted.unite(FilesOf(QPDF.Document(i).FileName));
    if (wanted == Watched)
        return;
    for (const QString &path : Watched)
        if (!wanted.contains(path))
            Watch.Remove(path);
    for (const QString &path : wanted)
        if (!Watched.contains(path) && !Watch.Add(path))
            DebugLog(QStringLiteral("No file watch for ") + path
                     + QStringLiteral(": found changed by the status timer"));
    Watched = wanted;
}

void TDocumentWatch::FileChanged(const QString &path)
{
    Changed.insert(path);
    if (!Coalesce.isActive())
        Coalesce.start();
}

void TDocumentWatch::Apply()
{
    // A password prompt of an open is showing: the status timer's poll takes the change later.
    if (QPDF.PasswordPrompt())
        return;
    const QSet<QString> changed = std::exchange(Changed, {});
    const int sel = QPDF.SelDoc();
    if (sel >= 0 && changed.contains(QPDF.Document(sel).FileName)) {
        DebugLog(QStringLiteral("File watch: ") + QPDF.Document(sel).FileName);
        Refresh.ReloadChangedFile();
    }
    // After the PDF, since a reload may replace the documents' SyncTeX data.
    for (int i = 0; i < QPDF.DocumentCount(); ++i) {
        const TDocument &doc = QPDF.Document(i);
        if (doc.SyncTeX && doc.SyncTeX->SyncFileName.get().size() > 0
            && changed.contains(doc.SyncTeX->SyncFileName.get()))
            TDocumentLoader::ReloadNewerSyncTeX(doc.SyncTeX, true);
    }
}
