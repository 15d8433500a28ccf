#include "synctex/SyncTeXLoader.h"

#include "base/AppState.h"
#include "synctex/SyncTeX.h"
#include "synctex/SyncTeXRelay.h"

#include <atomic>
#include <list>
#include <mutex>
#include <thread>

namespace {

std::atomic<bool> cancelRequested{false};

struct Loader {
    std::thread thread;
    std::atomic<bool> done{false};
};

// Threads are joined, never detached: finished ones when the next load starts, the rest at
// shutdown.
std::mutex loadersMutex;
std::list<Loader> loaders;

void joinFinished()
{
    std::lock_guard lock(loadersMutex);
    for (auto it = loaders.begin(); it != loaders.end();) {
        if (it->done.load()) {
            it->thread.join();
            it = loaders.erase(it);
        } else {
            ++it;
        }
    }
}

void runLoad(const QString &fn, const std::shared_ptr<TSyncTeX> &sync)
{
    try {
        sync->LoadClaimed(fn, true);
    } catch (...) {
        // The claim has emptied the object; the load counts as failed.
        sync->ErrMsg = QStringLiteral("SyncTeX File  \"") + fn + QStringLiteral("\" could not be loaded.");
    }
}

} // namespace

bool StartSyncTeXLoader(const QString &fn, std::shared_ptr<TSyncTeX> sync)
{
    if (!sync || !sync->ClaimLoading())
        return false;
    joinFinished();
    TSyncTeXRelay::instance();
    // Counted before the thread exists, so the shutdown wait never misses a starting loader.
    SyncTeXThreadCount.fetch_add(1);
    std::lock_guard lock(loadersMutex);
    Loader &loader = loaders.emplace_back();
    std::atomic<bool> *done = &loader.done;
    try {
        loader.thread = std::thread([fn, sync, done] {
            runLoad(fn, sync);
            // The count drops before the page view hears of the end, so that it sees 0 when
            // this was the last loader.
            SyncTeXThreadCount.fetch_sub(1);
            PostSyncTeXLoadEnded();
            done->store(true);
        });
    } catch (...) {
        loaders.pop_back();
        SyncTeXThreadCount.fetch_sub(1);
        sync->Loading.store(false);
        return false;
    }
    return true;
}

void StopSyncTeXLoaders()
{
    cancelRequested.store(true);
    std::list<Loader> running;
    {
        std::lock_guard lock(loadersMutex);
        running.splice(running.end(), loaders);
    }
    for (Loader &loader : running)
        loader.thread.join();
    cancelRequested.store(false);
}

bool SyncTeXLoadCancelled() { return cancelRequested.load(); }
