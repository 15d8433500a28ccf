#pragma once
#include "platform/Mail.h"

#include <QString>
#include <QStringList>

// Recipients as one text: items separated by ";" (a run of them is one separator, empty
// items are skipped). An item beginning with "BCC:" is a blind copy, else one beginning with
// "CC:" a copy (either without regard to case, the prefix dropped), else a main recipient;
// the rest is "Name|address", or a name alone.
QList<pl::MailRecipient> ParseMailRecipients(const QString &recipients);

// Attachments as one text: items separated by ";" as above, each "path|name to show"; the
// paths. (The mail client shows the file's own name: there is no way to give another.)
QStringList ParseMailAttachments(const QString &attachments);

// Opens the mail client's compose window with the message. 0 when the mail client was
// started, 1 when there is none or it could not be started (nothing is shown then; the log
// says why). The viewer is not brought back to the front: the compose window opens after the
// call returns.
int SendMapiMail(const QString &subject, const QString &body, const QString &recipients, const QString &attachments);

// The document as an attachment, with its name in the subject; nothing without the file.
int SendDocumentMail(const QString &file);
