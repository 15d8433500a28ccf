#include "app/MainSequence.h"

#include "base/AppState.h"
#include "base/DebugLog.h"
#include "base/BusyIndicator.h"
#include "app/StartupSwitches.h"
#include "platform/FpuMask.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

bool TerminationRequested = false;

namespace {

template <typename F, typename... A>
auto call(const F &f, A &&...a)
{
    using R = decltype(f(std::forward<A>(a)...));
    if constexpr (std::is_void_v<R>) {
        if (f)
            f(std::forward<A>(a)...);
    } else {
        return f ? f(std::forward<A>(a)...) : R{};
    }
}

} // namespace

std::optional<int> PrepareInstance(const QStringList &args, const TMainHooks &hooks)
{
    App.InstanceName = QStringLiteral("OrvalePDF");
    App.ExePath = pl::executablePath();
    App.ExeFolder = QFileInfo(App.ExePath).path();

    // The hand-over needs only the name, the flags and the command items, none of which depend
    // on the data folder: its probe (folders made and written) waits until this start stays.
    const TStartupScan first = ScanStartupSwitches(args, App.ExeFolder, QString());
    if (!first.instanceName.isEmpty())
        App.InstanceName = first.instanceName;
    if (!first.flags.NewInstance) {
        App.Switches = first.flags;
        const THandOver outcome = hooks.handOver ? hooks.handOver(first.commandItems) : THandOver::NoInstance;
        if (outcome != THandOver::NoInstance)
            return ExitStatus(outcome);
    }

    App.DataFolder = call(hooks.findDataFolder);
    // Again with the data folder, which path switches may name.
    const TStartupScan scan = ScanStartupSwitches(args, App.ExeFolder, App.DataFolder);
    App.Switches = scan.flags;

    App.CommandItems = scan.commandItems;
    call(hooks.applyDataFileSwitch, App.Switches.DataFileValue);
    if (!App.Switches.LogPath.isEmpty())
        OpenDebugLog(App.Switches.LogPath);
    return std::nullopt;
}

bool MainFormCloseQuery(const std::function<bool()> &writeData, const std::function<void()> &restoreDefaultViews)
{
    DebugLog(QStringLiteral("Closing..."), true);
    call(restoreDefaultViews);
    if (!call(writeData))
        DebugLog(QStringLiteral("Saving Failed!"));
    DebugLog(QStringLiteral("Saving Data Done..."));
    return true;
}

void WaitForSyncTeXThreads(const TMainHooks &hooks)
{
    int count = SyncTeXThreadCount.load();
    if (count <= 0)
        return;
    DebugLog(QStringLiteral("Waiting for SyncTeX Threads: ") + QString::number(count));
    if (call(hooks.mainWindowVisible))
        call(hooks.hideMainWindow);
    int sleeps = 0;
    while (sleeps < 16 && SyncTeXThreadCount.load() >= 1) {
        SleepMs(111);
        ++sleeps;
    }
    count = SyncTeXThreadCount.load();
    if (sleeps > 0 || count > 0) {
        DebugLog(QStringLiteral("Waiting for SyncTeX Thread: ") + QString::number(sleeps) + QStringLiteral(" / ")
                 + QString::number(count));
        SleepMs(sleeps + count * 111);
    }
}

int RunMainSequence(const TMainHooks &hooks)
{
    pl::FpuMask::maskAll();
    DebugLog(QStringLiteral("ReadData"));
    call(hooks.readData);

    std::unique_ptr<TEngineHandle> engine;
    if (!TerminationRequested) {
        DebugLog(QStringLiteral("Creating QPDF..."));
        engine = call(hooks.createEngine);
        const int status = engine ? engine->Status() : 0;
        DebugLog(QStringLiteral("QPDF Done: ") + QString::number(status));
        if (status != 1)
            DebugLog(QStringLiteral("Error Creating QPDF."));
    }

    if (engine && engine->Status() == 1 && !TerminationRequested) {
        DebugLog(QStringLiteral("Dark Mode Theme: ") + QString::number(call(hooks.themeIndex)));
        DebugLog(QStringLiteral("Creating Main Form..."));
        call(hooks.createMainForm);
        DebugLog(QStringLiteral("Main Form Created..."));
        DebugLog(QString());
        call(hooks.createPanels);
        DebugLog(QStringLiteral("Main Form Init..."));
        call(hooks.formInit);
        DebugLog(QStringLiteral("Application Running..."));
        App.AppRunning = true;
        call(hooks.runLoop);
        App.AppRunning = false;
        DebugLog(QStringLiteral("Stop Running!"));
        call(hooks.stopPrinting);
        WaitForSyncTeXThreads(hooks);
        call(hooks.stopSyncTeXLoaders);
    }

    DebugLog(QStringLiteral("Cleanup..."), true);
    call(hooks.destroyWindows);
    if (engine) {
        engine.reset();
        DebugLog(QStringLiteral("QPDF Released"), true);
    }
    DebugLog(QStringLiteral("Delete Data..."), true);
    CloseDebugLog();
    return 0;
}
