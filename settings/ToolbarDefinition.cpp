#include "settings/ToolbarDefinition.h"

#include "settings/DataFile.h"
#include "base/DebugLog.h"

TToolbarDefinition ToolbarDefinition;

namespace {

const char *const defaultLines[] = {
    "; ============================================",
    "9 FileList",
    "9 Open",
    "|",
    "9 DocumentProperties",
    "8 OpenFolder",
    "7 Print",
    "6A OpenAdobe",
    ";5 SendMail",
    ";5 Reload",
    ";5 Save",
    ";5 Close",
    ";5 CloseAll",
    "|",
    ";5 SelAll",
    ";5 SelPage",
    ";5 Copy",
    ";|",
    "9 PageLabel \" Page: \" \"Page:\"",
    "9 PageGoto Selector \"  9999  \"",
    "9 PageCount \"  (9999/9999)  \"",
    "|",
    ";4 SetMark",
    ";4 GotoMark",
    ";4 Back",
    ";4 Forward",
    ";|",
    ";3 RotateRight",
    ";3 RotateLeft",
    ";|",
    "9 ShowBookmarks \"Bookmark\"",
    "|",
    "9 CountiniousView \"ContView\"",
    "9 ZoomFitWidth \"FitWidth\"",
    "9 ZoomFitPage \"FitPage\"",
    "|",
    "9 ZoomLabel \" Zoom: \" \"Zoom:\"",
    "9 Zoom Drop-down Selector \"9999%\"",
    "3 ZoomIn",
    "3 ZoomOut",
    "|",
    "; Search Items (if there is enough room)",
    "; --------------------------------------",
    "2s Find",
    "2S FindOpt",
    ";0S FindLabel \" Find: \" \"Find:\"",
    "2S FindString \"A long String to Find ... \"",
    "2S FindNext",
    "2S FindPrev",
    "2S FoundCount \"  9999/9999  \"",
    "; ============================================",
};

} // namespace

int TToolbarDefinition::ReadFromString(const QString &text)
{
    lines.clear();
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n && lines.size() < MaxLines) {
        qsizetype end = start;
        while (end < n && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines << text.mid(start, end - start);
        if (end < n && text[end] == '\r' && end + 1 < n && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    if (lines.size() >= MaxLines)
        DebugLog(QStringLiteral("Toolbar: Too many lines in string definition!"));
    return int(lines.size());
}

QString TToolbarDefinition::WriteToString() const
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

bool TToolbarDefinition::ReadItems(TDataFile &df)
{
    SearchToolbar = df.RdBool();
    const int64_t count = df.RdNum(0, MaxLines);
    QStringList read;
    for (int64_t i = 0; i < count && df.ErrCode == 0; ++i)
        read << df.RdStr();
    df.RdStr();
    if (df.ErrCode != 0)
        return false;
    lines = read;
    return true;
}

bool TToolbarDefinition::WriteItems(TDataFile &df) const
{
    df.WrBool(SearchToolbar);
    df.WrNum(lines.size());
    for (const QString &line : lines)
        df.WrStr(line);
    df.WrStr(QString());
    return df.ErrCode == 0;
}

QString TToolbarDefinition::DefaultText()
{
    QString text;
    for (const char *line : defaultLines)
        text += QString::fromLatin1(line) + QStringLiteral("\r\n");
    return text;
}

void TToolbarDefinition::LoadDefault()
{
    SearchToolbar = true;
    ReadFromString(DefaultText());
}
