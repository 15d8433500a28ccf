#pragma once
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>

// Process-wide state of the application frame, set once at start-up.
struct TStartupFlags {
    bool AlwaysRestore = false;   // -R
    bool NeverRestore = false;    // -V
    bool SendBeforeFocus = false; // -B
    bool NewInstance = false;     // -N
    bool EmptyRecentList = false; // -E
    bool NoDataChecks = false;    // -Z
    QString DataFileValue;        // -L= (macros expanded)
    QString LogPath;              // -D= (macros expanded)
    QString IconFile;             // -I= (macros expanded)
};

struct TAppState {
    QString AppTitle = QStringLiteral("OrvalePDF");
    QString ExePath;    // canonical path of the executable
    QString ExeFolder;  // without trailing "/"
    QString DataFolder; // without trailing "/"
    QString DataFile;
    QString InstanceName = QStringLiteral("OrvalePDF");
    QStringList CommandItems; // arguments after the start-up switches, each kept whole
    TStartupFlags Switches;
    bool AppRunning = false; // true exactly while the event loop runs
    // Environment variables the program set for itself at start; programs it starts
    // get the user's environment without them.
    QStringList InjectedEnvironment;
};

extern TAppState App;

// SyncTeX loaders count themselves here; the main sequence waits for them at shutdown.
extern std::atomic<int32_t> SyncTeXThreadCount;
