#include "base/PathMacros.h"

namespace {

QString parentFolder(const QString &folder)
{
    const int slash = folder.lastIndexOf('/');
    return slash > 0 ? folder.left(slash) : (slash == 0 ? QStringLiteral("/") : QString());
}

} // namespace

QString ExpandPathMacros(const QString &value, const QString &exeFolder, const QString &dataFolder)
{
    struct Macro {
        const char *text;
        QString folder;
    };
    const Macro macros[] = {
        {"%!B", parentFolder(exeFolder)},
        {"%!b", parentFolder(dataFolder)},
        {"%B", exeFolder},
        {"%b", dataFolder},
    };
    for (const Macro &m : macros) {
        const QLatin1String text(m.text);
        if (!value.startsWith(text))
            continue;
        QString rest = value.mid(text.size());
        if (rest.startsWith('\\'))
            rest[0] = '/';
        return m.folder + rest;
    }
    return value;
}
