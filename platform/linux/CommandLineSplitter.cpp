#include "platform/Process.h"

namespace pl {
namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

} // namespace

QStringList splitCommandLine(const QString &commandLine)
{
    QStringList args;
    const qsizetype n = commandLine.size();
    qsizetype i = 0;
    while (i < n && isBlank(commandLine[i]))
        ++i;
    if (i >= n)
        return args;

    // The program name: quotes group, backslashes are plain characters.
    QString arg;
    bool quoted = false;
    for (; i < n && (quoted || !isBlank(commandLine[i])); ++i) {
        if (commandLine[i] == QLatin1Char('"'))
            quoted = !quoted;
        else
            arg += commandLine[i];
    }
    args << arg;

    for (;;) {
        while (i < n && isBlank(commandLine[i]))
            ++i;
        if (i >= n)
            break;
        arg.clear();
        quoted = false;
        while (i < n && (quoted || !isBlank(commandLine[i]))) {
            const QChar c = commandLine[i];
            if (c == QLatin1Char('\\')) {
                qsizetype slashes = 0;
                while (i < n && commandLine[i] == QLatin1Char('\\')) {
                    ++slashes;
                    ++i;
                }
                if (i < n && commandLine[i] == QLatin1Char('"')) {
                    arg += QString(slashes / 2, QLatin1Char('\\'));
                    if (slashes % 2) {
                        arg += QLatin1Char('"');
                        ++i;
                    }
                    // With an even count the quote is read by the next round and toggles.
                } else {
                    arg += QString(slashes, QLatin1Char('\\'));
                }
                continue;
            }
            if (c == QLatin1Char('"'))
                quoted = !quoted;
            else
                arg += c;
            ++i;
        }
        args << arg;
    }
    return args;
}

} // namespace pl
