// The engine's side of SyncTeX: inverse search from the pointer and the status line field.
#include "engine/QPDF.h"

#include "base/AppState.h"
#include "base/DebugLog.h"
#include "base/FileUtils.h"
#include "engine/InfoNote.h"
#include "settings/Prefer.h"
#include "synctex/EditorCommand.h"

bool TQPDF::InverseSearch()
{
    if (FSelDoc < 0 || !Source.Document())
        return false;
    const QPoint pt = Host.View().CursorPos();
    if (pt.x() <= 0 || pt.x() >= Host.View().ClientWidth() || pt.y() <= 0 || pt.y() >= Host.View().ClientHeight())
        return false;
    const int count = View.GetLayoutView();
    int cp = 0;
    for (int i = 0; i < count && cp == 0; ++i) {
        const TLayout &e = View.Layout[size_t(i)];
        if (pt.x() >= e.destLeft && pt.x() < e.destLeft + e.width && pt.y() >= e.destTop
            && pt.y() < e.destTop + e.height)
            cp = e.cp;
    }
    if (cp == 0)
        return false;
    View.SetSelectedPage(cp);
    View.SelPage = cp;
    double px = 0, py = 0, x = 0, y = 0;
    View.GetDocCoord(cp, pt.x(), pt.y(), px, py);
    View.GetTopLeftCoord(cp, px, py, x, y);

    const std::shared_ptr<TSyncTeX> sync = Current().SyncTeX;
    QString inpFile;
    int line = 0;
    // The data belongs to a loader thread while Loading is set; the search then reports it.
    if (sync && sync->InverseSearch(cp, x, y, inpFile, line))
        return StartInverseSearchEditor(Prefer.InverseSearchCmd, inpFile, line);

    const QString page = QString::number(cp);
    if (sync && sync->Ready && !sync->Loading) {
        const QString why = sync->ErrMsg.get();
        DebugLog(QStringLiteral("No source link found on page ") + page + QLatin1Char('.')
                 + (why.isEmpty() ? QString() : QLatin1Char(' ') + why));
        Host.View().ShowInfo(QStringLiteral("No source link found on page ") + page, kInfoNoteMs);
        return false;
    }
    const QString syncFile = sync ? sync->SyncFileName.get() : QString();
    DebugLog(QStringLiteral("No SyncTeX Data: ") + Quoted(syncFile));
    if (syncFile.isEmpty())
        Host.View().ShowInfo(QStringLiteral("No SyncTeX Data for: ") + Quoted(FileNameOnly(FileName())), kInfoNoteMs);
    else
        Host.View().ShowInfo(QStringLiteral("No SyncTeX Data: ") + Quoted(syncFile), kInfoNoteMs);
    return false;
}

void TQPDF::UpdateSync()
{
    if (App.AppRunning && !StatusWaits())
        Host.Window().ShowViewStatus(ViewStatus());
}

std::optional<QString> TQPDF::SyncTeXStatus() const
{
    if (!App.AppRunning)
        return std::nullopt;
    if (FSelDoc < 0)
        return QString();
    const std::shared_ptr<TSyncTeX> &sync = Documents[size_t(FSelDoc)].SyncTeX;
    if (!sync)
        return std::nullopt;
    return UpdateSyncText(sync.get());
}
