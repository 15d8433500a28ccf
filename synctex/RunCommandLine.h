#pragma once
#include <QString>
#include <QStringList>

// Starts a program without waiting for it. The child gets the user's environment: the
// variables the program set for itself at start are left out. On failure errorText gets the
// system's text for the error.
bool RunCommandArgs(const QStringList &argv, QString *errorText = nullptr);

// The same for a command line, split by the rules the command templates are written for.
bool RunCommandLine(const QString &commandLine, QString *errorText = nullptr);
