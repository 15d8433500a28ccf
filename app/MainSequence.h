#pragma once
#include "app/HandOver.h"
#include "engine/EngineHandle.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// What the main sequence needs from the rest of the program; unset hooks do nothing.
struct TMainHooks {
    std::function<QString()> findDataFolder;                            // data folder before -L
    std::function<void(const QString &)> applyDataFileSwitch;           // -L value: DataFolder and DataFile
    std::function<THandOver(const QStringList &commandItems)> handOver; // a running instance takes the command
    std::function<bool()> readData;
    std::function<int()> themeIndex;
    std::function<std::unique_ptr<TEngineHandle>()> createEngine;
    std::function<void()> createMainForm;
    std::function<void()> createPanels; // client area, bookmarks, find, info window
    std::function<void()> formInit;     // docks the panels into the main form
    std::function<void()> runLoop;
    std::function<bool()> mainWindowVisible;
    std::function<void()> hideMainWindow;
    std::function<void()> stopSyncTeXLoaders; // cancel and join what is still running
    std::function<void()> stopPrinting;       // take back a document still being ended, bounded wait
    std::function<void()> destroyWindows;
};

// Reads paths and start-up switches, hands the command to a running instance unless -N,
// and opens the log. An exit status when the process must end at once: the command was
// handed over, or refused before a second viewer could start.
std::optional<int> PrepareInstance(const QStringList &args, const TMainHooks &hooks);

// Steps after the preparation: settings, engine, windows, event loop, shutdown.
// Returns the process exit code.
int RunMainSequence(const TMainHooks &hooks);

// The main window's close query: writes the settings; the close always goes on.
bool MainFormCloseQuery(const std::function<bool()> &writeData, const std::function<void()> &restoreDefaultViews = {});

// Set by SIGTERM/SIGINT before the event loop runs: the start ends without writing anything.
extern bool TerminationRequested;

// Waits a bounded time for SyncTeX loaders still running at close.
void WaitForSyncTeXThreads(const TMainHooks &hooks);
