#include "app/NaturalCompare.h"

#include <QCollator>
#include <QLocale>

namespace {

QCollator MakeCollator()
{
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator c(locale);
    c.setNumericMode(true);
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
}

// Some builds of the collator ignore numeric mode or case: checked once, with the
// built-in order taking over when it fails.
bool CollatorWorks(const QCollator &c)
{
    return c.compare(QStringLiteral("file2"), QStringLiteral("file10")) < 0
        && c.compare(QStringLiteral("a"), QStringLiteral("A")) == 0;
}

int Sign(int v) { return (v > 0) - (v < 0); }

} // namespace

int BuiltInNaturalCompare(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            while (i < ei - 1 && a[i] == QLatin1Char('0'))
                ++i;
            while (j < ej - 1 && b[j] == QLatin1Char('0'))
                ++j;
            if (ei - i != ej - j)
                return ei - i < ej - j ? -1 : 1;
            if (const int c = QStringView(a).mid(i, ei - i).compare(QStringView(b).mid(j, ej - j)))
                return Sign(c);
            i = ei;
            j = ej;
            continue;
        }
        const QString ca = a[i].toCaseFolded(), cb = b[j].toCaseFolded();
        if (const int c = ca.compare(cb))
            return Sign(c);
        ++i;
        ++j;
    }
    return (i < a.size()) - (j < b.size());
}

int NaturalCompare(const QString &a, const QString &b)
{
    static const QCollator collator = MakeCollator();
    static const bool works = CollatorWorks(collator);
    return works ? Sign(collator.compare(a, b)) : BuiltInNaturalCompare(a, b);
}
