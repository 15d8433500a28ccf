#pragma once
#include "platform/Process.h"

#include <QString>
#include <QStringList>

namespace pl {

// The desktop's own programs for things the viewer hands over.
class Shell {
public:
    // The command that shows a folder in the user's file manager: xdg-open with the folder
    // as its one argument (blanks and quotes in it are safe).
    static QStringList openFolderCommand(const QString &folder);
    // Starts it through process(); the child's environment as for process().start. Callers
    // pass an absolute path: xdg-open reads a name beginning with "-" as an option and other
    // texts as addresses.
    static bool openFolder(const QString &folder, const QStringList &unsetNames, ProcessError &error);
};

} // namespace pl
