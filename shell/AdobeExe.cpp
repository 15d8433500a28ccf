#include "shell/AdobeExe.h"

#include "base/FileUtils.h"
#include "base/RegistryPath.h"
#include "platform/Process.h"
#include "settings/Prefer.h"

#include <QDir>

namespace {

// The text between the opening quote and the next single one; empty without an opening quote.
QString quotedProgram(const QString &text)
{
    if (!text.startsWith(QLatin1Char('"')))
        return QString();
    QString program;
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('"')) {
            program += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
            program += QLatin1Char('"');
            ++i;
        } else {
            break;
        }
    }
    return program;
}

QString resolvedProgram(const QString &program)
{
    if (program.isEmpty() || QDir::isAbsolutePath(program))
        return program;
    if (program.contains(QLatin1Char('/')))
        return QString();
    return pl::findProgramOnPath(program);
}

} // namespace

bool FindAdobeExe()
{
    Prefer.AdobeOK = false;
    QString text = ReadRegistryPath(Prefer.AdobeReg);
    if (text.isEmpty())
        text = Prefer.AdobeReg;
    Prefer.AdobeExe = resolvedProgram(quotedProgram(text));
    Prefer.AdobeOK = !Prefer.AdobeExe.isEmpty() && FileExists(Prefer.AdobeExe);
    return Prefer.AdobeOK;
}
