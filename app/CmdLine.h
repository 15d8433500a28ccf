#pragma once
// The document command text: the arguments after the start-up switches, one per line, read
// as groups of options each ending with a PDF file. It comes from the program's own command
// line (run by the deferred start) or from a second start (run when it arrives).
#include "app/AppState.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class TQPDF;

// One step of a command text, in the order the text gives them.
struct TCmdStep {
    enum Kind { SetInverseSearch, Open, IllegalSwitch };
    Kind kind = Open;
    QString text;            // the inverse search command, the file, or the illegal item
    bool restoreDefault = false; // -inverse-search without a command
    // For Open, exactly the parameters of OpenDocument.
    QString SRC;
    int lnum = 0;
    int dest_type = 0;
};

// Items: the runs of characters other than CR and LF, empty ones skipped; "||" stays as it is.
QStringList CmdLineItems(const QString &CL);

// The steps of a command text; an illegal switch is the last step.
std::vector<TCmdStep> ParseCmdLine(const QString &CL);

// The same text with relative file and source items made absolute against folder, for a
// running instance whose current folder differs. Items that start with a folder macro ("%")
// are left alone.
QString AbsoluteCmdLine(const QString &CL, const QString &folder);

// Executes a command text: opens each file with its options. An unknown switch shows
// "Illegal Command Line Switch: " and ends the text. True when at least one open succeeded.
bool ExeCmdLine(TQPDF &QPDF, const QString &CL);

// Whether the deferred start reopens the documents of the last session: never with -V;
// always with -R; else by the setting (2 always, 1 only without a command text).
bool RestoreOpenedAtStart(const TStartupFlags &flags, int restoreOpened, const QString &commandText);

// The deferred start, once after the main window is first shown: reopen the last session's
// documents by the rule above, then run the start-up command text and clear it.
// repaint redraws the main window at the end.
void DeferredStart(TQPDF &QPDF, const std::function<void()> &repaint);
