#include "platform/Mail.h"

#include "platform/Process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace pl {
namespace {

const QLatin1String MailProgram("xdg-email");

bool unsafeForMailer(const QString &path)
{
    return path.contains(QLatin1Char('\'')) || path.contains(QLatin1Char(','));
}

QString recipientText(const MailRecipient &r)
{
    const QString name = r.name.trimmed(), address = r.address.trimmed();
    if (name.isEmpty())
        return address;
    if (address.isEmpty())
        return name;
    return name + QStringLiteral(" <") + address + QLatin1Char('>');
}

// A copy of the file under a name without "'" and ",", in a new folder only the user can
// enter; empty when none can be made.
QString safeCopy(const QString &path, QStringList &notes)
{
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/orvalepdf-mail-XXXXXX"));
    if (!folder.isValid() || unsafeForMailer(folder.path())) {
        notes << QStringLiteral("Mail: no folder for a copy of \"") + path + QStringLiteral("\"");
        return QString();
    }
    folder.setAutoRemove(false);
    QString name = QFileInfo(path).fileName();
    name.replace(QLatin1Char('\''), QLatin1Char('_')).replace(QLatin1Char(','), QLatin1Char('_'));
    const QString copy = folder.path() + QLatin1Char('/') + name;
    if (!QFile::copy(path, copy)) {
        notes << QStringLiteral("Mail: could not copy \"") + path + QStringLiteral("\" to \"") + copy
                + QStringLiteral("\"");
        QDir(folder.path()).removeRecursively();
        return QString();
    }
    notes << QStringLiteral("Mail: attaching \"") + path + QStringLiteral("\" as \"") + copy + QStringLiteral("\"");
    return copy;
}

} // namespace

QStringList Mail::arguments(const MailMessage &message, QStringList &notes)
{
    QStringList args{QStringLiteral("--utf8")};
    if (!message.subject.isEmpty())
        args << QStringLiteral("--subject") << message.subject;
    if (!message.body.isEmpty())
        args << QStringLiteral("--body") << message.body;
    for (const QString &path : message.attachments)
        args << QStringLiteral("--attach") << path;
    QStringList mainRecipients;
    for (const MailRecipient &r : message.recipients) {
        const QString text = recipientText(r);
        if (text.isEmpty()) {
            notes << QStringLiteral("Mail: a recipient without name or address is left out");
            continue;
        }
        if (r.kind == MailRecipient::Cc)
            args << QStringLiteral("--cc") << text;
        else if (r.kind == MailRecipient::Bcc)
            args << QStringLiteral("--bcc") << text;
        else
            mainRecipients << text;
    }
    return args + mainRecipients;
}

bool Mail::send(const MailMessage &message, const QStringList &unsetNames, QStringList &notes)
{
    const QString program = findProgramOnPath(MailProgram);
    if (program.isEmpty()) {
        notes << QStringLiteral("Mail: xdg-email not found on PATH");
        return false;
    }
    MailMessage safe = message;
    for (QString &path : safe.attachments) {
        if (!unsafeForMailer(path))
            continue;
        path = safeCopy(path, notes);
        if (path.isEmpty())
            return false;
    }
    const QStringList argv = QStringList{program} + arguments(safe, notes);
    ProcessError error;
    if (process().start(argv, unsetNames, error))
        return true;
    notes << QStringLiteral("Mail: xdg-email could not be started: ") + error.text;
    return false;
}

} // namespace pl
