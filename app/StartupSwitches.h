#pragma once
#include "base/AppState.h"

#include <QStringList>

struct TStartupScan {
    TStartupFlags flags;
    QString instanceName;     // empty when -C was not given
    QStringList commandItems; // the arguments after the start-up part, each kept whole
};

// Reads the start-up switches: for each letter the first matching argument counts; the
// highest matched index ends the start-up part, and earlier arguments that are not
// switches are dropped.
TStartupScan ScanStartupSwitches(const QStringList &args, const QString &exeFolder, const QString &dataFolder);
