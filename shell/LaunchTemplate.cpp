#include "shell/LaunchTemplate.h"

#include "synctex/CommandSlots.h"

namespace {

enum Slot { File };

} // namespace

TLaunchArguments ExpandLaunchTemplate(TLaunchTemplate kind, const QString &commandTemplate, const QString &file,
                                      int page)
{
    const bool withFile = !file.isEmpty();
    QString marked;
    const qsizetype n = commandTemplate.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = commandTemplate[i];
        if (CommandSlots::IsMark(c))
            continue;
        if (c != QLatin1Char('%')) {
            marked += c;
            continue;
        }
        if (i + 1 >= n)
            break;
        const QChar code = commandTemplate[++i];
        if (code == QLatin1Char('%')) {
            if (!withFile)
                break;
            marked += kind == TLaunchTemplate::NewInstance ? QStringLiteral(" ") : QStringLiteral("%%");
        } else if (!withFile) {
            continue;
        } else if (code == QLatin1Char('p')) {
            marked += QString::number(page);
        } else if (code == QLatin1Char('f')) {
            marked += CommandSlots::Mark(File);
        } else {
            marked += c;
            if (!CommandSlots::IsMark(code))
                marked += code;
        }
    }
    const QStringList values{file};
    return {CommandSlots::SplitArguments(marked, values), CommandSlots::Fill(marked, values)};
}
