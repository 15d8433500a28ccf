#include "platform/Shell.h"

namespace pl {

QStringList Shell::openFolderCommand(const QString &folder) { return {QStringLiteral("xdg-open"), folder}; }

bool Shell::openFolder(const QString &folder, const QStringList &unsetNames, ProcessError &error)
{
    return process().start(openFolderCommand(folder), unsetNames, error);
}

} // namespace pl
