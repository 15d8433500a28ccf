#pragma once
#include <QList>
#include <QString>
#include <QStringList>

namespace pl {

struct MailRecipient {
    enum Kind { To = 1, Cc = 2, Bcc = 3 };
    Kind kind = To;
    QString name;
    QString address;
};

struct MailMessage {
    QString subject;
    QString body;
    QList<MailRecipient> recipients;
    QStringList attachments; // paths of files
};

// Hands a message to the desktop's mail client through xdg-email, which opens its compose
// window and returns at once. Web-mail handlers get a mailto address only: the attachments are
// lost there, and nothing tells us.
class Mail {
public:
    // xdg-email's arguments for the message: "--utf8" first, since the texts are UTF-8 whatever
    // the locale, then subject, body, one "--attach" per file, copy and blind-copy recipients,
    // and the main recipients last. A recipient is "Name <address>" or whichever of the two it
    // has; one with neither is left out, with a line in notes. Empty texts are left out:
    // xdg-email refuses an empty subject or body.
    static QStringList arguments(const MailMessage &message, QStringList &notes);

    // Starts xdg-email, looked up on PATH now, with the child's environment as for
    // process().start. Debian's xdg-email pastes attachment paths between single quotes into
    // some mail clients' compose text, separated by commas: a file whose path holds "'" or ","
    // is attached as a copy with a safe name in a private folder of its own (left for the mail
    // client, which reads it later). False, with the reason in notes, when xdg-email is not
    // there, a copy cannot be made, or the start fails.
    static bool send(const MailMessage &message, const QStringList &unsetNames, QStringList &notes);
};

} // namespace pl
