#pragma once
#include <QString>
#include <QStringList>

// The editor command of an inverse search: the template with its placeholders filled in.
//
// Placeholders: %f the source file, %l the line, %B the program's folder, %b the data folder,
// %!B and %!b the folders that contain them; any other character after "%" gives "%" (so
// "%%" gives "%"). The template is split into arguments before the values are put in, so a
// file name with quotes or blanks always stays one argument and never adds arguments. Inside
// an argument, a value may not hold what ends the text around its placeholder: "|" between two
// "|", or ")", ";" and "]" inside "[" ... "]", or a quote or backslash inside '...' or "...".
struct TEditorCommand {
    QStringList argv;
    QString text;             // the command as one line, for messages and the log
    bool namesEditor = false; // the template itself begins with "Orvale.exe "
    // Why a value cannot stand where its placeholder does: it would end the editor's own
    // syntax around it. Nothing is started then.
    QString refused;

    bool isEmpty() const { return argv.isEmpty() || argv[0].isEmpty(); }
};

TEditorCommand ExpandEditorCommand(const QString &commandTemplate, const QString &inpFile, int line,
                                   const QString &exeFolder, const QString &dataFolder);

// A command beginning with "Orvale.exe " starts the editor found on PATH, or else beside the
// program's folder ("Orvale" or "Orvale/Orvale" in its parent); unchanged when there is none.
// The current folder is never searched: whoever started the viewer chose it.
void ResolveEditor(TEditorCommand &command, const QString &exeFolder);

// Expands, resolves and starts the editor at the source line. A failed start shows the
// "Shell Error" message and is logged. False when nothing was started.
bool StartInverseSearchEditor(const QString &commandTemplate, const QString &inpFile, int line);
