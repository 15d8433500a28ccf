#pragma once
#include <QString>

// Integer parsing with range check. Accepts a decimal number with optional sign, "$FF" and
// "0x1F" hexadecimal, and the extended forms: blanks around sign and number, "#RRGGBB"
// (a colour, yields 0x00BBGGRR), "$" hexadecimal, "%", "##" or "$$" binary.
// On failure value is left unchanged and LastParseError() tells why.
bool ParseInteger(const QString &text, qint64 min, qint64 max, qint64 &value);
bool ParseInteger(const QString &text, int min, int max, int &value);
QString LastParseError(); // of the last ParseInteger on this thread

// Optional blanks, optional sign, digits with an optional "." and fraction, optional blanks;
// at least one digit; then min <= value <= max. Never depends on the C locale.
bool ParseReal(const QString &text, double min, double max, double &value);

// The integer part of |x|, ".", and digits fraction digits cut off (not rounded). With
// width > 0 the part before the fraction digits is padded with spaces on the left to width
// characters; a negative x gets "-" in front of everything.
QString FormatReal(double x, int digits, int width);
