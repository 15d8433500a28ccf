#include "app/PeerCmdLine.h"

#include <QRegularExpression>
#include <QUrl>

namespace {

const QString kForward = QStringLiteral("--synctex-forward");
const QString kEditor = QStringLiteral("--synctex-editor-command");
const QString kUnique = QStringLiteral("--unique");
const QString kSrc = QStringLiteral("#src:");

QString Template(QString text)
{
    return text.replace(QStringLiteral("%{input}"), QStringLiteral("%f"))
        .replace(QStringLiteral("%{line}"), QStringLiteral("%l"));
}

QStringList ForwardSearch(const QString &source, const QString &line)
{
    return {QStringLiteral("-forward-search"), source, line};
}

// LINE:COLUMN:SOURCE; empty when it does not read so.
QStringList SyncTeXForward(const QString &place)
{
    static const QRegularExpression form(QStringLiteral("^(\\d+):(\\d*):(.+)$"));
    const QRegularExpressionMatch m = form.match(place);
    return m.hasMatch() ? ForwardSearch(m.captured(3), m.captured(1)) : QStringList();
}

// [file:]PDF#src:..., as the forward search and the file; empty without a source part.
QStringList UniqueTarget(const QString &target)
{
    const qsizetype at = target.lastIndexOf(kSrc);
    if (at < 0)
        return {};
    QString pdf = target.left(at);
    if (pdf.startsWith(QLatin1String("file:")))
        pdf = QUrl(pdf).toLocalFile();
    const QString src = target.mid(at + kSrc.size());
    static const QRegularExpression withColumn(QStringLiteral("^(.+):(\\d+):(\\d+)$"));
    static const QRegularExpression lineFirst(QStringLiteral("^(\\d+)(.+)$"));
    QRegularExpressionMatch m = withColumn.match(src);
    if (m.hasMatch())
        return ForwardSearch(m.captured(1), m.captured(2)) << pdf;
    m = lineFirst.match(src);
    if (m.hasMatch() && !pdf.isEmpty())
        return ForwardSearch(m.captured(2), m.captured(1)) << pdf;
    return {};
}

// The value of option at items[i], given as "option=value" or as the next item; i moves past
// it. False when items[i] is not the option or the value is missing.
bool OptionValue(const QStringList &items, qsizetype &i, const QString &option, QString &value)
{
    const QString &item = items[i];
    if (item.startsWith(option + QLatin1Char('='))) {
        value = item.mid(option.size() + 1);
        ++i;
        return true;
    }
    if (item != option || i + 1 >= items.size())
        return false;
    value = items[i + 1];
    i += 2;
    return true;
}

} // namespace

QStringList TranslatePeerItems(const QStringList &items)
{
    QStringList out;
    for (qsizetype i = 0; i < items.size();) {
        qsizetype next = i;
        QString value;
        if (OptionValue(items, next, kForward, value)) {
            const QStringList own = SyncTeXForward(value);
            if (own.isEmpty()) {
                // Left as it is: refused as any unknown switch.
                out << items[i++];
                continue;
            }
            out << own;
            i = next;
        } else if (OptionValue(items, next, kEditor, value) || OptionValue(items, next, QStringLiteral("-x"), value)) {
            out << QStringLiteral("-inverse-search") << Template(value);
            i = next;
        } else if (items[i] == kUnique) {
            // This program is one instance anyway: the switch goes, a target with a source part
            // becomes a forward search.
            const QStringList own = i + 1 < items.size() ? UniqueTarget(items[i + 1]) : QStringList();
            out << own;
            i += own.isEmpty() ? 1 : 2;
        } else {
            out << items[i++];
        }
    }
    return out;
}
