#pragma once
// The desktop's own programs for what the viewer hands over: a folder to the file manager, a
// document's link target to its handler (xdg-open). A link target comes from a PDF, so only what
// cannot start a program is handed over: web and mail addresses, and existing regular files
// that are neither executable nor of a type a handler would run.
#include "platform/Process.h"

#include <QString>
#include <QStringList>

namespace pl {

class Shell {
public:
    // The command that shows a folder in the user's file manager: xdg-open with the folder
    // as its one argument (blanks and quotes in it are safe).
    static QStringList openFolderCommand(const QString &folder);
    // Starts it through process(); the child's environment as for process().start. Callers
    // pass an absolute path: xdg-open reads a name beginning with "-" as an option and other
    // texts as addresses.
    static bool openFolder(const QString &folder, const QStringList &unsetNames, ProcessError &error);

    // Hands target to xdg-open as its only argument (through process(), without the
    // variables named in unsetNames). A URI must have the scheme http, https, ftp or mailto
    // (a mailto address loses the parameters that attach files); a file must be named by an
    // absolute path. False with error's text when the target is refused or xdg-open could not
    // be started; true once it was started.
    static bool open(const QString &target, const QStringList &unsetNames, ProcessError &error);

    // The reason why target would be refused, empty when it may be opened; target receives
    // what would be handed over.
    static QString refusal(QString &target);
    // The target begins with a URI scheme ("https:", "mailto:").
    static bool hasScheme(const QString &target);

    // The fixed reasons.
    static QString schemeRefused() { return QStringLiteral("Only http, https, ftp and mailto links are opened."); }
    static QString programRefused()
    {
        return QStringLiteral("Programs, scripts and launcher files are not started from a document.");
    }
    static QString notRegular() { return QStringLiteral("Not a regular file."); }
};

} // namespace pl
