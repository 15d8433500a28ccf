#include "synctex/CommandSlots.h"

#include "platform/Process.h"

namespace CommandSlots {

namespace {
constexpr char16_t FirstMark = u'\uFDD0';
} // namespace

QChar Mark(int slot) { return QChar(char16_t(FirstMark + slot)); }

bool IsMark(QChar c) { return c.unicode() >= FirstMark && c.unicode() < FirstMark + Count; }

int SlotOf(QChar mark) { return mark.unicode() - FirstMark; }

QString Fill(QString text, const QStringList &values)
{
    for (int s = 0; s < values.size() && s < Count; ++s)
        text.replace(Mark(s), values[s]);
    return text;
}

QStringList SplitArguments(const QString &marked, const QStringList &values)
{
    // The splitter reads its first word as a program name, by simpler rules: a stand-in name
    // in front makes every word of the line an argument.
    QStringList args = pl::splitCommandLine(QStringLiteral("x ") + marked).mid(1);
    for (QString &arg : args)
        arg = Fill(arg, values);
    return args;
}

} // namespace CommandSlots
