#include "shell/ExternalPrograms.h"

#include "base/AppState.h"
#include "base/DebugLog.h"
#include "base/FileUtils.h"
#include "base/MessageDialog.h"
#include "platform/Shell.h"
#include "settings/Prefer.h"
#include "shell/LaunchTemplate.h"
#include "synctex/RunCommandLine.h"

#include <QDir>

namespace {

struct TLaunchFailure {
    const char *title;
    const char *lead; // the message's first line, before the command
};

const TLaunchFailure ViewerFailure{"Internal Error", "Error Launching Alternative of PDF Viewer: "};
const TLaunchFailure InstanceFailure{"Internal Error", "Error Launching a new instance of PDF Viewer: "};
const TLaunchFailure FolderFailure{"Shell Error", "Error Launching File Manager: "};

void reportFailure(const TLaunchFailure &failure, const QString &commandText, const QString &error)
{
    const QString lead = QString::fromLatin1(failure.lead);
    DebugLog(lead + commandText + QStringLiteral(" - ") + error);
    MessageDialog(QString::fromLatin1(failure.title),
                  lead + QStringLiteral("\r\n") + commandText + QStringLiteral("\r\n") + error, mtError,
                  MsgButtons({mbOK}));
}

// The program in quotes, then a blank and the arguments when there are any.
QString commandText(const QString &program, const QString &arguments)
{
    QString text = QLatin1Char('"') + program + QLatin1Char('"');
    if (!arguments.isEmpty())
        text += QLatin1Char(' ') + arguments;
    return text;
}

bool launch(const TLaunchFailure &failure, const QString &program, const TLaunchArguments &expanded)
{
    const QString text = commandText(program, expanded.text);
    QString error;
    if (RunCommandArgs(QStringList{program} + expanded.args, &error))
        return true;
    reportFailure(failure, text, error);
    return false;
}

} // namespace

bool OpenInExternalViewer(const QString &file, int page)
{
    TLaunchArguments expanded;
    if (!file.isEmpty())
        expanded = ExpandLaunchTemplate(TLaunchTemplate::ExternalViewer, Prefer.AdobeCmd, file, page);
    return launch(ViewerFailure, Prefer.AdobeExe, expanded);
}

bool StartNewInstance(const QString &file, int page)
{
    return launch(InstanceFailure, App.ExePath,
                  ExpandLaunchTemplate(TLaunchTemplate::NewInstance, Prefer.NewInstanceCmd, file, page));
}

bool OpenFolderInFileManager(const QString &folder)
{
    const QString shown =
        QDir::isAbsolutePath(folder) && FolderExists(folder) ? QDir::cleanPath(folder) : QDir::homePath();
    pl::ProcessError error;
    if (pl::Shell::openFolder(shown, App.InjectedEnvironment, error))
        return true;
    reportFailure(FolderFailure, QStringLiteral("xdg-open \"") + shown + QLatin1Char('"'), error.text);
    return false;
}
