#include "shell/MapiMail.h"

#include "base/AppState.h"
#include "base/DebugLog.h"
#include "base/FileUtils.h"

#include <QFileInfo>

namespace {

constexpr int MailUserAbort = 1;

QStringList items(const QString &text) { return text.split(QLatin1Char(';'), Qt::SkipEmptyParts); }

bool takePrefix(QString &item, QLatin1String prefix)
{
    if (!item.startsWith(prefix, Qt::CaseInsensitive))
        return false;
    item.remove(0, prefix.size());
    return true;
}

int sendMail(const pl::MailMessage &message)
{
    QStringList notes;
    const bool started = pl::Mail::send(message, App.InjectedEnvironment, notes);
    for (const QString &note : notes)
        DebugLog(note);
    return started ? 0 : MailUserAbort;
}

} // namespace

QList<pl::MailRecipient> ParseMailRecipients(const QString &recipients)
{
    QList<pl::MailRecipient> list;
    for (QString item : items(recipients)) {
        pl::MailRecipient r;
        if (takePrefix(item, QLatin1String("BCC:")))
            r.kind = pl::MailRecipient::Bcc;
        else if (takePrefix(item, QLatin1String("CC:")))
            r.kind = pl::MailRecipient::Cc;
        const qsizetype bar = item.indexOf(QLatin1Char('|'));
        r.name = bar < 0 ? item : item.left(bar);
        r.address = bar < 0 ? QString() : item.mid(bar + 1);
        list << r;
    }
    return list;
}

QStringList ParseMailAttachments(const QString &attachments)
{
    QStringList paths;
    for (const QString &item : items(attachments))
        paths << item.section(QLatin1Char('|'), 0, 0);
    return paths;
}

int SendMapiMail(const QString &subject, const QString &body, const QString &recipients, const QString &attachments)
{
    return sendMail({subject, body, ParseMailRecipients(recipients), ParseMailAttachments(attachments)});
}

int SendDocumentMail(const QString &file)
{
    if (file.isEmpty() || !FileExists(file))
        return MailUserAbort;
    const QString name = QFileInfo(file).fileName();
    // The path goes straight into the message: as "path|name" in a list text, a path holding
    // ";" or "|" would be cut apart.
    return sendMail({QStringLiteral("PDF Document: ") + name,
                     QStringLiteral("The attachement \"") + name + QStringLiteral("\" is ready to be sent..."),
                     {},
                     {file}});
}
