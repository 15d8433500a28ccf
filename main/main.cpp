// Entry point: the start-up switches and the instance check run before the application
// object exists, so a second start ends quickly even without a display.
#include "base/AppState.h"
#include "app/CmdLine.h"
#include "base/BusyIndicator.h"
#include "settings/Colors.h"
#include "settings/DataFolder.h"
#include "base/DebugLog.h"
#include "app/FocusApplication.h"
#include "app/HandOver.h"
#include "app/MainSequence.h"
#include "base/MessageDialog.h"
#include "settings/Prefer.h"
#include "settings/PreferStore.h"
#include "shell/AdobeExe.h"
#include "app/ScreenDensity.h"
#include "engine/QPDF.h"
#include "platform/DisplayBackEnd.h"
#include "platform/Termination.h"
#include "synctex/SyncTeXLoader.h"
#include "ui/ClientForm.h"
#include "ui/MainForm.h"
#include "ui/PrintCommands.h"
#include "ui/style/Themes.h"
#include "ui/MsgForm.h"
#include "ui/OrvaleApplication.h"
#include "ui/WindowBusyHost.h"

#include <QDialog>
#include <QPointer>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

namespace {

const char kUsage[] = "Usage: OrvalePDF [switches] [options] [file.pdf] ...\n"
                      "\n"
                      "Start-up switches (first):\n"
                      "  -L=path   data file location (%B program folder, %b data folder, %!B, %!b their parents)\n"
                      "  -D=path   write a diagnostic log\n"
                      "  -C=name   instance name\n"
                      "  -I=path   icon file\n"
                      "  -R / -V   always / never restore the documents that were open\n"
                      "  -B        hand the command over before focusing the running viewer\n"
                      "  -N        start a new instance\n"
                      "  -E        start with an empty recent documents list\n"
                      "  -Z        no data file checks\n"
                      "\n"
                      "Document options (before each file):\n"
                      "  -forward-search source.tex line   mark the typeset place of a source line\n"
                      "  -page-index n | -page-label l | -named-dest d\n"
                      "  -inverse-search \"command %f %l\"   editor command for double clicks\n"
                      "\n"
                      "Other viewers' forms, read as the options above:\n"
                      "  --synctex-forward[=]LINE:COLUMN:SOURCE file.pdf\n"
                      "  -x TEMPLATE | --synctex-editor-command[=]TEMPLATE   (%{input} %{line})\n"
                      "  --unique [file:]file.pdf#src:LINESOURCE\n"
                      "  --unique file.pdf#src:SOURCE:LINE:COLUMN\n";

// Answers every open modal window as its Esc key would, the innermost first.
void closeModalWindows()
{
    while (QWidget *modal = QApplication::activeModalWidget()) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        if (QApplication::activeModalWidget() == modal)
            return; // it would not close
    }
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (!args.isEmpty() && args[0] == QLatin1String("--help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!args.isEmpty() && args[0] == QLatin1String("--version")) {
        std::printf("OrvalePDF %s\nPDF library: libpdfium.so beside the program, built over MuPDF %s\n", ORVALE_VERSION,
                    ORVALE_MUPDF_VERSION);
        return 0;
    }
    App.InjectedEnvironment << pl::chooseDisplayBackEnd();
    pl::ignoreQuietSignals();

    std::unique_ptr<TOrvaleApplication> app;
    QPointer<TMainForm> mainForm;
    TMsgFormSink messageSink([&mainForm] { return mainForm.data(); });
    TWindowBusyHost busyHost([&mainForm](const QString &text) {
        if (mainForm)
            mainForm->SetStatusText(text);
    });
    const std::function<bool()> writeData = [] { return WriteData(); };

    TMainHooks hooks;
    const auto startGui = [&] {
        app = std::make_unique<TOrvaleApplication>(argc, argv);
        app->setApplicationName(App.AppTitle);
        app->setQuitOnLastWindowClosed(true);
        SetMessageSink(&messageSink);
        SetBusyHost(&busyHost);
        pl::watchTermination(app.get(), [&mainForm] {
            DebugLog(QStringLiteral("Termination signal"));
            // Open boxes go first: the loops they run return, and nothing keeps the program up.
            closeModalWindows();
            if (App.AppRunning && mainForm) {
                mainForm->close();
                return;
            }
            // Still starting: end without writing anything.
            TerminationRequested = true;
        });
    };
    hooks.findDataFolder = FindDataFolder;
    hooks.applyDataFileSwitch = ApplyDataFileSwitch;
    hooks.readData = [] {
        // Sizes in the settings are kept at the screen's density; system colours come from
        // the palette of the session, before any theme changes the application's.
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            CurrentPPI = qRound(screen->logicalDotsPerInch());
        RememberSystemLook();
        PreferStoreHooks.resolveAdobe = FindAdobeExe;
        return ReadData();
    };
    hooks.themeIndex = [] { return int(Prefer.ThemeModeIndex); };
    TQPDF *engine = nullptr;
    // The instance link: a second start hands its command over before any window exists; the
    // running viewer listens once its main window does, and runs commands after its deferred start.
    std::unique_ptr<TInstanceListener> instanceLink;
    hooks.handOver = [](const QStringList &items) { return HandOverCommand(items, App.Switches.SendBeforeFocus); };
    const auto startInstanceLink = [&] {
        const auto repaintMain = [&mainForm] {
            if (mainForm)
                mainForm->repaint();
        };
        SetFocusWindows({[&mainForm] { return mainForm ? mainForm->windowHandle() : nullptr; },
                         [&mainForm]() -> QWindow * {
                             const TClientForm *client = mainForm ? mainForm->ClientArea() : nullptr;
                             return client && client->isWindow() ? client->windowHandle() : nullptr;
                         },
                         repaintMain});
        instanceLink = std::make_unique<TInstanceListener>(TInstanceListener::Hooks{
            [&mainForm] { return mainForm ? mainForm->windowTitle() : QString(); }, [] { return FocusApplication(); },
            [&engine, &mainForm](const QString &text) {
                if (!App.AppRunning || !mainForm)
                    return; // closing: the engine goes soon
                ExeCmdLine(*engine, CmdLineItems(text));
                engine->UpdateStatus();
            },
            [] { return QApplication::activeModalWidget() != nullptr; },
            [repaintMain] {
                // Drawn right after the reply, before a command that waits behind this one runs.
                repaintMain();
                DebugLog(QStringLiteral("Command Line Done"));
            }});
        instanceLink->Listen();
        QObject::connect(app.get(), &QGuiApplication::applicationStateChanged,
                         [&instanceLink](Qt::ApplicationState state) {
                             if (state == Qt::ApplicationActive && instanceLink)
                                 instanceLink->Touch();
                         });
        mainForm->DeferredStart = [&engine, &instanceLink, repaintMain] {
            DeferredStart(*engine, repaintMain);
            instanceLink->SetReady();
        };
    };
    hooks.createEngine = [&engine] {
        auto created = std::make_unique<TQPDF>(MonitorPixelsPerInch(QGuiApplication::primaryScreen()));
        engine = created.get();
        return created;
    };
    hooks.createMainForm = [&] {
        mainForm = new TMainForm(engine, writeData);
        startInstanceLink();
    };
    hooks.runLoop = [&] {
        mainForm->show();
        QApplication::exec();
    };
    hooks.mainWindowVisible = [&] { return mainForm && mainForm->isVisible(); };
    hooks.hideMainWindow = [&] { mainForm->hide(); };
    hooks.stopSyncTeXLoaders = StopSyncTeXLoaders;
    hooks.stopPrinting = [&] {
        if (mainForm)
            mainForm->PrintCommands().Shutdown();
    };
    hooks.destroyWindows = [&] {
        SetBusyHost(nullptr);
        delete mainForm.data();
    };

    if (const std::optional<int> status = PrepareInstance(args, hooks))
        return *status;
    // Only a start that stays needs windows; one that handed its command over never asks.
    if (const QString problem = pl::displayProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 1;
    }
    startGui();
    const int code = RunMainSequence(hooks);
    SetMessageSink(nullptr);
    return code;
}
