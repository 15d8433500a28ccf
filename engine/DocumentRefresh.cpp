#include "engine/DocumentRefresh.h"

#include "base/DebugLog.h"
#include "base/FileUtils.h"
#include "engine/QPDF.h"

void TDocumentRefresh::Run()
{
    if (QPDF.PasswordPrompt())
        return;
    DropIdleSyncTeX();
    QPDF.UpdateStatus();
    if (TabsVisible && TabsVisible())
        for (int i = 0; i < QPDF.DocumentCount(); ++i)
            QPDF.UpdateTab(i, TTabUpdate::IfChanged);
    ReloadChangedFile();
}

void TDocumentRefresh::DropIdleSyncTeX()
{
    for (int i = 0; i < QPDF.DocumentCount(); ++i)
        if (const auto &sync = QPDF.Document(i).SyncTeX)
            DropIdleSyncData(*sync);
}

void TDocumentRefresh::ReloadChangedFile()
{
    const int sel = QPDF.SelDoc();
    if (sel < 0)
        return;
    const TDocument &doc = QPDF.Document(sel);
    const QString FN = doc.FileName;
    if (!FileExists(FN))
        return;
    const int64_t date = FileTime64(FN);
    if (date == doc.FileDate || date == doc.TriedDate)
        return;
    // TeX still writing the file: a later tick finds it complete.
    if (FileLocked(FN, false, true))
        return;
    if (Reloading) {
        DebugLog(QStringLiteral("Inside Updating..."));
        return;
    }
    Reloading = true;
    DebugLog(QStringLiteral("File date update: ") + FN);
    QPDF.LoadFile(FN);
    Reloading = false;
}
