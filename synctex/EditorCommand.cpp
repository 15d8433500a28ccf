#include "synctex/EditorCommand.h"

#include "base/AppState.h"
#include "base/DebugLog.h"
#include "base/FileUtils.h"
#include "base/MessageDialog.h"
#include "base/PathMacros.h"
#include "platform/Process.h"
#include "synctex/CommandSlots.h"
#include "synctex/RunCommandLine.h"

namespace {

const QLatin1String EditorPrefix("Orvale.exe ");
const QLatin1String EditorName("Orvale");

// The values' slots while the template is split.
enum Slot { File, ExeDir, DataDir, ExeParent, DataParent };
static_assert(DataParent < CommandSlots::Count);

// The characters that would end the editor's own syntax around the placeholder at "at" in
// one argument: "|" between two "|", and ")", ";" and "]" inside "[" ... "]". Splitting keeps
// a value inside its argument, but not inside such a text of the editor's.
QString closersAround(QStringView arg, qsizetype at)
{
    const QStringView before = arg.left(at), after = arg.mid(at + 1);
    QString closers;
    if (before.count(u'|') % 2 == 1 && after.contains(u'|'))
        closers += u'|';
    if (before.count(u'[') > before.count(u']') && after.contains(u']'))
        closers += QStringLiteral(");]");
    // A quoted text of the editor's language in one argument ("call Open('%f')", or
    // "(find-file \"%f\")"): a quote would end it and a backslash would escape what follows.
    if ((before.count(u'\'') % 2 == 1 && after.contains(u'\''))
        || (before.count(u'"') % 2 == 1 && after.contains(u'"')))
        closers += QStringLiteral("'\"\\");
    return closers;
}

void showShellError(const TEditorCommand &command, const QString &error)
{
    MessageDialog(QStringLiteral("Shell Error"),
                  QStringLiteral("Error Launching Editor for Inverse Search: \r\n") + command.text
                      + QStringLiteral("\r\n") + error,
                  mtError, MsgButtons({mbOK}));
}

} // namespace

TEditorCommand ExpandEditorCommand(const QString &commandTemplate, const QString &inpFile, int line,
                                   const QString &exeFolder, const QString &dataFolder)
{
    QString marked;
    const qsizetype n = commandTemplate.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = commandTemplate[i];
        if (CommandSlots::IsMark(c))
            continue;
        if (c != QLatin1Char('%') || i + 1 >= n) {
            marked += c;
            continue;
        }
        const QChar next = commandTemplate[++i];
        if (next == QLatin1Char('f')) {
            marked += CommandSlots::Mark(File);
        } else if (next == QLatin1Char('l')) {
            marked += QString::number(line);
        } else if (next == QLatin1Char('B')) {
            marked += CommandSlots::Mark(ExeDir);
        } else if (next == QLatin1Char('b')) {
            marked += CommandSlots::Mark(DataDir);
        } else if (next == QLatin1Char('!')) {
            if (i + 1 >= n) {
                marked += QStringLiteral("%!");
            } else if (commandTemplate[i + 1] == QLatin1Char('B')) {
                marked += CommandSlots::Mark(ExeParent);
                ++i;
            } else if (commandTemplate[i + 1] == QLatin1Char('b')) {
                marked += CommandSlots::Mark(DataParent);
                ++i;
            } else {
                marked += QLatin1Char('%'); // the character after "%!" is read normally
            }
        } else {
            marked += QLatin1Char('%');
        }
    }

    const QStringList values = {
        inpFile,
        exeFolder,
        dataFolder,
        ExpandPathMacros(QStringLiteral("%!B"), exeFolder, dataFolder),
        ExpandPathMacros(QStringLiteral("%!b"), exeFolder, dataFolder),
    };
    TEditorCommand command;
    for (const QString &arg : pl::splitCommandLine(marked)) {
        for (qsizetype i = 0; i < arg.size() && command.refused.isEmpty(); ++i) {
            if (!CommandSlots::IsMark(arg[i]))
                continue;
            const QString &value = values[CommandSlots::SlotOf(arg[i])];
            for (QChar c : closersAround(arg, i))
                if (value.contains(c)) {
                    command.refused = QStringLiteral("The value \"") + value + QStringLiteral("\" holds \"") + c
                        + QStringLiteral("\", which would end the editor's own syntax around it.");
                    break;
                }
        }
        command.argv << CommandSlots::Fill(arg, values);
    }
    command.text = CommandSlots::Fill(marked, values);
    command.namesEditor = marked.startsWith(EditorPrefix);
    return command;
}

void ResolveEditor(TEditorCommand &command, const QString &exeFolder)
{
    if (!command.namesEditor || command.argv.isEmpty())
        return;
    QString editor = pl::findProgramOnPath(EditorName);
    if (editor.isEmpty()) {
        const QString siblings = ExpandPathMacros(QStringLiteral("%!B"), exeFolder, QString());
        for (const QString &candidate : {siblings + QLatin1Char('/') + EditorName,
                                         siblings + QLatin1Char('/') + EditorName + QLatin1Char('/') + EditorName}) {
            if (FileExists(candidate)) {
                editor = candidate;
                break;
            }
        }
    }
    if (editor.isEmpty())
        return;
    command.argv[0] = editor;
    command.text = QLatin1Char('"') + editor + QStringLiteral("\" ") + command.text.mid(EditorPrefix.size());
}

bool StartInverseSearchEditor(const QString &commandTemplate, const QString &inpFile, int line)
{
    TEditorCommand command = ExpandEditorCommand(commandTemplate, inpFile, line, App.ExeFolder, App.DataFolder);
    ResolveEditor(command, App.ExeFolder);
    if (command.isEmpty())
        return false;
    if (!command.refused.isEmpty()) {
        showShellError(command, command.refused);
        DebugLog(QStringLiteral("Editor not started: ") + command.refused + QStringLiteral(" Command: ")
                 + command.text);
        return false;
    }
    QString error;
    if (RunCommandArgs(command.argv, &error))
        return true;
    showShellError(command, error);
    DebugLog(QStringLiteral("Error Executing: ") + command.text);
    return false;
}
