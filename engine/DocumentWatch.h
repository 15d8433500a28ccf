#pragma once
// Follows the open documents' files through the system's file watch: a rewrite or a rename
// over the shown document's PDF starts the refresh's reload at once, and a rewritten SyncTeX
// file is loaded again in the background so that the next forward search finds it ready.
// Without a watch the status timer's poll finds the same changes later.
#include "platform/FileWatch.h"

#include <QSet>
#include <QString>
#include <QTimer>

class TQPDF;
class TDocumentRefresh;

class TDocumentWatch {
public:
    // Writes that come in a burst are taken as one change after this many ms.
    static constexpr int CoalesceMs = 5;

    TDocumentWatch(TQPDF &engine, TDocumentRefresh &refresh);

    bool Active() const { return Watch.Active(); }
    // Watches the files of the documents open now and no others.
    void Follow();
    int FolderCount() const { return Watch.FolderCount(); }

private:
    void FileChanged(const QString &path);
    void Apply();

    TQPDF &QPDF;
    TDocumentRefresh &Refresh;
    pl::FileWatch Watch;
    QSet<QString> Watched;
    QSet<QString> Changed;
    QTimer Coalesce;
};
