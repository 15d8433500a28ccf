#pragma once
// The document command text: the arguments after the start-up switches, one per line, read
// as groups of options each ending with a PDF file. It comes from the program's own command
// line (run by the deferred start) or from a second start (run when it arrives).
#include "base/AppState.h"
#include "engine/DestType.h"
#include "settings/RestoreOpened.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class TQPDF;

// One step of a command text, in the order the text gives them.
struct TCmdStep {
    enum Kind { SetInverseSearch, Open, IllegalSwitch };
    Kind kind = Open;
    QString text;                // the inverse search command, the file, or the illegal item
    bool restoreDefault = false; // -inverse-search without a command
    // For Open, exactly the parameters of OpenDocument.
    QString SRC;
    int lnum = 0;
    TDestType dest_type = TDestType::ForwardSearch;
};

// Items: the runs of characters other than CR and LF, empty ones skipped; "||" stays as it is.
QStringList CmdLineItems(const QString &CL);

// The text form of items, as a second start hands them over: each item followed by LF.
QString CmdLineText(const QStringList &items);

// The steps of the items (the arguments, or the items of a text), empty items skipped. An
// illegal switch is the last step; so is an item that holds CR or LF: it is one argument that
// the text form would split into several, and a switch is only ever a whole argument.
std::vector<TCmdStep> ParseCmdLine(const QStringList &items);

// The items as text, with relative file and source items made absolute against folder, for a
// running instance whose current folder differs. Items that start with a folder macro ("%")
// are left alone.
QString AbsoluteCmdLine(const QStringList &items, const QString &folder);

// Executes the items: opens each file with its options. An unknown switch shows
// "Illegal Command Line Switch: " and ends the text. True when at least one open succeeded.
bool ExeCmdLine(TQPDF &QPDF, const QStringList &items);

// Whether the deferred start reopens the documents of the last session: never with -V;
// always with -R; else by the setting (2 always, 1 only without a command).
bool RestoreOpenedAtStart(const TStartupFlags &flags, TRestoreOpened restoreOpened, const QStringList &commandItems);

// The deferred start, once after the main window is first shown: reopen the last session's
// documents by the rule above, then run the start-up command and clear it.
// repaint redraws the main window at the end.
void DeferredStart(TQPDF &QPDF, const std::function<void()> &repaint);
