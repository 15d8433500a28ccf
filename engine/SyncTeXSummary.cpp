#include "engine/SyncTeXSummary.h"

#include "base/FileUtils.h"
#include "engine/ReportFormat.h"
#include "synctex/SyncTeX.h"

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-mm-dd  hh:mm:ss");

QString StateOf(const TSyncTeX *sync)
{
    if (!sync)
        return QStringLiteral("not Loaded");
    if (sync->Loading)
        return QStringLiteral("Loading");
    if (sync->Ready)
        return QStringLiteral("Loaded");
    if (sync->Pending)
        return QStringLiteral("Pending");
    return QStringLiteral("not Loaded");
}

} // namespace

QString SyncTeXSummary(const QString &pdfFile, const TSyncTeX *sync)
{
    const QString syncFile = TSyncTeX::GetSyncFileName(pdfFile);
    if (syncFile.isEmpty() || !FileExists(syncFile))
        return QStringLiteral("No SyncTeX Data");
    const bool old = FileTime64(syncFile) < FileTime64(pdfFile);
    // A loader thread owns the data while it loads.
    const int64_t dataSize = sync && !sync->Loading ? sync->DataSize : 0;
    QString text = StateOf(sync) + (old ? QStringLiteral(" (old!)") : QStringLiteral(" (OK)"));
    text += QStringLiteral("\nData Size: ") + FormatByteSize(dataSize);
    if (syncFile.endsWith(QStringLiteral(".gz"), Qt::CaseInsensitive))
        text += QStringLiteral("\nGZ Size:   ") + FormatByteSize(FileSize64(syncFile));
    text += QStringLiteral("\nCreated:   ") + FileDateText(syncFile, kTimeFormat, ftCreation);
    text += QStringLiteral("\nModified:  ") + FileDateText(syncFile, kTimeFormat, ftLastWrite);
    return text;
}
