#include "synctex/RunCommandLine.h"

#include "base/AppState.h"
#include "platform/Process.h"

bool RunCommandArgs(const QStringList &argv, QString *errorText)
{
    if (errorText)
        errorText->clear();
    pl::ProcessError error;
    if (pl::process().start(argv, App.InjectedEnvironment, error))
        return true;
    if (errorText)
        *errorText = error.text;
    return false;
}

bool RunCommandLine(const QString &commandLine, QString *errorText)
{
    return RunCommandArgs(pl::splitCommandLine(commandLine), errorText);
}
