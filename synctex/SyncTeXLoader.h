#pragma once
#include <QString>

#include <memory>

class TSyncTeX;

// Loads fn into sync on a thread of its own (LoadSyncData with thread = true). The thread is
// counted in SyncTeXThreadCount from the start until it has finished, and its end reaches
// the page view through the relay. False when sync is loading already (nothing started).
// The thread shares ownership of sync, so the object outlives the load.
bool StartSyncTeXLoader(const QString &fn, std::shared_ptr<TSyncTeX> sync);

// Shutdown: asks running loads to stop (inflation stops at its next block, a finished load
// throws its data away) and waits until every loader thread has ended.
void StopSyncTeXLoaders();

// True between the start and the end of StopSyncTeXLoaders.
bool SyncTeXLoadCancelled();
