#pragma once
#include <QString>

// File names as a person orders them: case ignored, runs of digits by their value ("file2"
// before "file10"). The user's locale decides the letters; under the C or POSIX locale,
// whose collator knows no numbers, English (United States) stands in. Negative, zero or
// positive like a comparison function.
int NaturalCompare(const QString &a, const QString &b);

// The same order without the locale's collation: digit runs by value without leading zeros,
// the rest by case folding. Used when the collator does not order numbers.
int BuiltInNaturalCompare(const QString &a, const QString &b);
