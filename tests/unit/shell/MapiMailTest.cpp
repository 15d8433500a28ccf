#include "shell/MapiMail.h"

#include "base/DebugLog.h"
#include "base/MessageDialog.h"
#include "RecordingSink.h"
#include "FakeProgram.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

struct Recipient {
    pl::MailRecipient::Kind kind;
    QString name, address;
};

QList<Recipient> plain(const QList<pl::MailRecipient> &list)
{
    QList<Recipient> out;
    for (const pl::MailRecipient &r : list)
        out << Recipient{r.kind, r.name, r.address};
    return out;
}

bool operator==(const Recipient &a, const Recipient &b)
{
    return a.kind == b.kind && a.name == b.name && a.address == b.address;
}

void PrintTo(const Recipient &r, std::ostream *os)
{
    *os << int(r.kind) << ":" << r.name.toStdString() << "|" << r.address.toStdString();
}

} // namespace

TEST(MapiMail, RecipientsAndTheirArguments)
{
    // A name and address, an item of blanks between two separators, a blind copy in lower case,
    // a copy, and no empty item from ";;".
    const QString text = "Ann Smith|ann@example.org;  ;bcc:Boss|boss@example.org;;Cc:carl@example.org;;";
    const QList<pl::MailRecipient> recipients = ParseMailRecipients(text);
    using K = pl::MailRecipient;
    EXPECT_EQ(plain(recipients),
              QList<Recipient>({{K::To, "Ann Smith", "ann@example.org"},
                                {K::To, "  ", ""},
                                {K::Bcc, "Boss", "boss@example.org"},
                                {K::Cc, "carl@example.org", ""}}));

    QStringList notes;
    const pl::MailMessage message{"Subj", "Body", recipients, {"/tmp/a b.pdf"}};
    EXPECT_EQ(pl::Mail::arguments(message, notes),
              QStringList({"--utf8", "--subject", "Subj", "--body", "Body", "--attach", "/tmp/a b.pdf", "--bcc",
                           "Boss <boss@example.org>", "--cc", "carl@example.org", "Ann Smith <ann@example.org>"}));
    // The recipient of blanks is left out, and said so.
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes[0].contains("without name or address"));

    // An address alone; empty texts are no options (xdg-email refuses empty ones).
    notes.clear();
    EXPECT_EQ(pl::Mail::arguments({"", "", ParseMailRecipients("|x@example.org"), {}}, notes),
              QStringList({"--utf8", "x@example.org"}));
    EXPECT_TRUE(notes.isEmpty());
}

TEST(MapiMail, AttachmentsKeepThePathAndDropTheName)
{
    EXPECT_EQ(ParseMailAttachments(";/a/b c.pdf|b c.pdf;;/d/e.pdf;"), QStringList({"/a/b c.pdf", "/d/e.pdf"}));
    EXPECT_EQ(ParseMailAttachments("/a/x|y|z"), QStringList({"/a/x"}));
}

struct MailToClient : ::testing::Test {
    QTemporaryDir dir;
    RecordingSink sink;
    QString logFile;
    void SetUp() override
    {
        logFile = dir.filePath("debug.log");
        OpenDebugLog(logFile);
    }
    void TearDown() override { CloseDebugLog(); }
    QString log() const
    {
        QFile f(logFile);
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }
    QString document(const QString &name)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("%PDF-1.4\n");
        return path;
    }
};

TEST_F(MailToClient, TheDocumentReachesXdgEmailAsUtf8)
{
    // Whatever the locale, the arguments are UTF-8 and say so.
    const QString file = document(QString::fromUtf8("Käse ❤.pdf"));
    FakeProgram mailer(dir.path(), "xdg-email");
    ScopedPath path(dir.filePath("bin"));
    EXPECT_EQ(SendDocumentMail(file), 0);
    const QString name = QFileInfo(file).fileName();
    EXPECT_EQ(mailer.argumentList(),
              QStringList({"--utf8", "--subject", "PDF Document: " + name, "--body",
                           "The attachement \"" + name + "\" is ready to be sent...", "--attach", file}));
    EXPECT_EQ(sink.shown.size(), 0);
}

TEST_F(MailToClient, APathXdgEmailCannotQuoteIsAttachedAsACopy)
{
    const QString file = document("it's, a.pdf");
    FakeProgram mailer(dir.path(), "xdg-email");
    ScopedPath path(dir.filePath("bin"));
    EXPECT_EQ(SendDocumentMail(file), 0);
    const QStringList args = mailer.argumentList();
    ASSERT_EQ(args.size(), 7);
    EXPECT_EQ(args[2], "PDF Document: it's, a.pdf");
    const QString copy = args[6];
    EXPECT_NE(copy, file);
    EXPECT_EQ(QFileInfo(copy).fileName(), "it_s_ a.pdf");
    EXPECT_FALSE(copy.contains('\'') || copy.contains(','));
    QFile f(copy);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "%PDF-1.4\n");
    EXPECT_EQ(QFileInfo(QFileInfo(copy).path()).permissions() & (QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup),
              QFile::Permissions());
    QDir(QFileInfo(copy).path()).removeRecursively();
}

TEST_F(MailToClient, WithoutXdgEmailNothingStartsAndNothingShows)
{
    const QString file = document("a.pdf");
    FakeProgram elsewhere(dir.filePath("other"), "xdg-email");
    ScopedPath path(dir.filePath("bin")); // no xdg-email there
    EXPECT_EQ(SendDocumentMail(file), 1);
    EXPECT_EQ(SendMapiMail("s", "b", "", file + "|a.pdf"), 1);
    EXPECT_EQ(sink.shown.size(), 0);
    EXPECT_TRUE(log().contains("xdg-email not found on PATH"));
    EXPECT_EQ(elsewhere.arguments(200), "");
}

TEST_F(MailToClient, AMissingDocumentSendsNothing)
{
    FakeProgram mailer(dir.path(), "xdg-email");
    ScopedPath path(dir.filePath("bin"));
    EXPECT_EQ(SendDocumentMail(dir.filePath("gone.pdf")), 1);
    EXPECT_EQ(SendDocumentMail(dir.path()), 1); // a folder is no document
    EXPECT_EQ(mailer.arguments(200), "");
}
