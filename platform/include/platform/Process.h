#pragma once
#include <QString>
#include <QStringList>

namespace pl {

// Splits a command line by the rules a Windows program's start-up code applies, which is what
// command templates are written for: blanks (space, tab) separate arguments; a double quote
// toggles grouping; 2n backslashes before a quote give n backslashes and the quote toggles;
// 2n+1 backslashes before a quote give n backslashes and a literal quote; other backslashes
// are literal. The program name (first element) knows no escapes: quotes only group.
QStringList splitCommandLine(const QString &commandLine);

// The first executable regular file called name in the absolute folders of PATH; empty when
// there is none. Empty and relative PATH entries are never searched.
QString findProgramOnPath(const QString &name);

// The system's text for an errno value, or "Error Code: " + code when it has none.
QString systemErrorText(int code);

struct ProcessError {
    int code = 0; // errno of the failed step
    QString text; // the system's text for it, or "Error Code: " + code
};

// Starts programs without waiting for them.
class Process {
public:
    virtual ~Process() = default;
    // argv[0] with a "/" is used as given, else looked up with findProgramOnPath. The child
    // gets this process's environment without the variables named in unsetNames, its own
    // session, and no file descriptors but 0 to 2. True when the program was executed.
    virtual bool start(const QStringList &argv, const QStringList &unsetNames, ProcessError &error) = 0;
};

Process &process();
void setProcess(Process *p); // nullptr restores the production implementation

} // namespace pl
