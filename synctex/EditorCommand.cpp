#include "synctex/EditorCommand.h"

#include "base/AppState.h"
#include "base/DebugLog.h"
#include "base/FileUtils.h"
#include "base/MessageDialog.h"
#include "base/PathMacros.h"
#include "platform/Process.h"
#include "synctex/RunCommandLine.h"

#include <array>

namespace {

const QLatin1String EditorPrefix("Orvale.exe ");
const QLatin1String EditorName("Orvale");

// Stand-ins for the values while the template is split: Unicode noncharacters, which no
// text carries, and which the splitter treats as ordinary characters.
enum Slot { File, ExeDir, DataDir, ExeParent, DataParent, SlotCount };
constexpr char16_t SlotMark[SlotCount] = {u'\uFDD0', u'\uFDD1', u'\uFDD2', u'\uFDD3', u'\uFDD4'};

bool isSlotMark(QChar c) { return c.unicode() >= SlotMark[0] && c.unicode() <= SlotMark[SlotCount - 1]; }

QString fillSlots(QString text, const std::array<QString, SlotCount> &values)
{
    for (int s = 0; s < SlotCount; ++s)
        text.replace(QChar(SlotMark[s]), values[s]);
    return text;
}

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
        if (isSlotMark(c))
            continue;
        if (c != QLatin1Char('%') || i + 1 >= n) {
            marked += c;
            continue;
        }
        const QChar next = commandTemplate[++i];
        if (next == QLatin1Char('f')) {
            marked += QChar(SlotMark[File]);
        } else if (next == QLatin1Char('l')) {
            marked += QString::number(line);
        } else if (next == QLatin1Char('B')) {
            marked += QChar(SlotMark[ExeDir]);
        } else if (next == QLatin1Char('b')) {
            marked += QChar(SlotMark[DataDir]);
        } else if (next == QLatin1Char('!')) {
            if (i + 1 >= n) {
                marked += QStringLiteral("%!");
            } else if (commandTemplate[i + 1] == QLatin1Char('B')) {
                marked += QChar(SlotMark[ExeParent]);
                ++i;
            } else if (commandTemplate[i + 1] == QLatin1Char('b')) {
                marked += QChar(SlotMark[DataParent]);
                ++i;
            } else {
                marked += QLatin1Char('%'); // the character after "%!" is read normally
            }
        } else {
            marked += QLatin1Char('%');
        }
    }

    const std::array<QString, SlotCount> values = {
        inpFile,
        exeFolder,
        dataFolder,
        ExpandPathMacros(QStringLiteral("%!B"), exeFolder, dataFolder),
        ExpandPathMacros(QStringLiteral("%!b"), exeFolder, dataFolder),
    };
    TEditorCommand command;
    for (const QString &arg : pl::splitCommandLine(marked)) {
        for (qsizetype i = 0; i < arg.size() && command.refused.isEmpty(); ++i) {
            if (!isSlotMark(arg[i]))
                continue;
            const QString &value = values[size_t(arg[i].unicode() - SlotMark[0])];
            for (QChar c : closersAround(arg, i))
                if (value.contains(c)) {
                    command.refused = QStringLiteral("The value \"") + value + QStringLiteral("\" holds \"") + c
                        + QStringLiteral("\", which would end the editor's own syntax around it.");
                    break;
                }
        }
        command.argv << fillSlots(arg, values);
    }
    command.text = fillSlots(marked, values);
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
