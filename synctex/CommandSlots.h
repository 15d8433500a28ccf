#pragma once
#include <QString>
#include <QStringList>

// Stand-ins for values in a command template while it is split into arguments. A value
// (a file name above all) goes into its argument only after the split, so quotes, blanks or
// backslashes in it never change how the line splits. The stand-ins are Unicode
// noncharacters, which no text carries, and which the splitter treats as ordinary characters.
namespace CommandSlots {

constexpr int Count = 5;

QChar Mark(int slot);
bool IsMark(QChar c);
int SlotOf(QChar mark); // the slot of a mark

// Each mark of text replaced by its slot's value (values[slot]).
QString Fill(QString text, const QStringList &values);

// The arguments of a line that holds arguments only, split as a program's start-up code
// splits the part after its name, each with its marks filled in.
QStringList SplitArguments(const QString &marked, const QStringList &values);

} // namespace CommandSlots
