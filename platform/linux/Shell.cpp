// The allow-list before xdg-open: a handler started by xdg-open runs .desktop files and may
// run scripts, reads a name beginning with "-" as an option, and passes any other scheme to
// whatever claims it. What a document may open is therefore kept to web and mail addresses
// and plain data files.
#include "platform/Shell.h"

#include <QFile>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

#include <cerrno>
#include <sys/stat.h>

#include <array>

namespace pl {
namespace {

// Types that xdg-open's handlers would run, and the types derived from them. Debian's
// shared-mime-info does not give the Windows and Java programs a common parent, so each is
// named.
constexpr std::array kProgramTypes = {
    "application/x-desktop",
    "application/x-executable",
    "application/x-sharedlib",
    "application/x-pie-executable",
    "application/x-shellscript",
    "application/x-ms-dos-executable",
    "application/x-msdownload",
    "application/vnd.microsoft.portable-executable",
    "application/x-msi",
    "application/x-java-archive",
    "application/x-java-jnlp-file",
    "application/x-perl",
    "text/x-python",
    "application/x-ruby",
};

bool isProgramType(const QMimeType &type)
{
    for (const char *name : kProgramTypes)
        if (type.inherits(QLatin1String(name)))
            return true;
    return false;
}

// Parameters some mail programs turn into attached local files.
bool attachesFiles(const QString &key) { return key.startsWith(QLatin1String("attach"), Qt::CaseInsensitive); }

QString mailtoWithoutAttachments(const QString &uri)
{
    const int q = uri.indexOf(QLatin1Char('?'));
    if (q < 0)
        return uri;
    QStringList kept;
    for (const QString &pair : uri.mid(q + 1).split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const QString key = QUrl::fromPercentEncoding(pair.section(QLatin1Char('='), 0, 0).toUtf8());
        if (!attachesFiles(key.trimmed()))
            kept << pair;
    }
    return kept.isEmpty() ? uri.left(q) : uri.left(q + 1) + kept.join(QLatin1Char('&'));
}

QString scheme(const QString &target)
{
    static const QRegularExpression re(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    const QRegularExpressionMatch m = re.match(target);
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

QString fileRefusal(const QString &path)
{
    if (!path.startsWith(QLatin1Char('/')))
        return Shell::notRegular();
    const QByteArray name = QFile::encodeName(path);
    struct stat sb {};
    if (::stat(name.constData(), &sb) != 0)
        return systemErrorText(errno);
    if (!S_ISREG(sb.st_mode))
        return Shell::notRegular();
    if (sb.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH))
        return Shell::programRefused();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return f.errorString();
    const QByteArray head = f.peek(512);
    if (head.startsWith("#!"))
        return Shell::programRefused();
    const QMimeDatabase db;
    if (isProgramType(db.mimeTypeForFile(path, QMimeDatabase::MatchExtension))
        || isProgramType(db.mimeTypeForData(head)) || isProgramType(db.mimeTypeForFileNameAndData(path, &f)))
        return Shell::programRefused();
    return QString();
}

} // namespace

bool Shell::hasScheme(const QString &target) { return !scheme(target).isEmpty(); }

QString Shell::refusal(QString &target)
{
    const QString s = scheme(target);
    if (s.isEmpty())
        return fileRefusal(target);
    if (s == QLatin1String("mailto")) {
        target = mailtoWithoutAttachments(target);
        return QString();
    }
    if (s == QLatin1String("http") || s == QLatin1String("https") || s == QLatin1String("ftp"))
        return QString();
    return schemeRefused();
}

QStringList Shell::openFolderCommand(const QString &folder) { return {QStringLiteral("xdg-open"), folder}; }

bool Shell::openFolder(const QString &folder, const QStringList &unsetNames, ProcessError &error)
{
    return process().start(openFolderCommand(folder), unsetNames, error);
}

bool Shell::open(const QString &target, const QStringList &unsetNames, ProcessError &error)
{
    QString handed = target;
    const QString refused = refusal(handed);
    if (!refused.isEmpty()) {
        error.code = 0;
        error.text = refused;
        return false;
    }
    return process().start({QStringLiteral("xdg-open"), handed}, unsetNames, error);
}

} // namespace pl
