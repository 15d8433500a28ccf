#pragma once
#include <QChar>
#include <QString>

// Case-insensitive comparison by simple case folding of each UTF-16 unit, the same in every
// locale ("Ä" equals "ä"; "ß" does not equal "SS"). With n >= 0 only the first n characters
// of each text count. 0 when equal, else negative or positive as a sorts before or after b.
int CompareIgnoringCase(const QString &a, const QString &b, int n = -1);
bool SameTextIgnoringCase(const QString &a, const QString &b);

// left := text before the first "|", right := the text after it; without "|" the whole
// text goes left and right is empty.
void SplitAtBar(const QString &text, QString &left, QString &right);

// Removes prefix (ignoring case) from the start of text; false when text does not start with it.
bool StripPrefix(QString &text, const QString &prefix);

// "1".."9" -> 1..9, "A".."F" and "a".."f" -> 10..15; any other character, "0" included, -> 0.
int HexDigitValue(QChar ch);
