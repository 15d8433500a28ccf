#pragma once
#include <QByteArray>
#include <QString>

// Conversion between UTF-16 text and byte encodings.
//
// Formats: 0 a code page (0 = the system code page), 1 UTF-16LE, 2 UTF-16BE, 3 UTF-8.
// Code page 9 stands for plain single bytes (each character's low byte), 65001 for UTF-8.
// The system code page is Windows-1252, built in, so results do not depend on the locale.
enum TTextFormat { tfCodePage = 0, tfUtf16LE = 1, tfUtf16BE = 2, tfUtf8 = 3 };
constexpr int CpSystem = 0;
constexpr int CpAscii = 9;
constexpr int CpWindows1252 = 1252;
constexpr int CpUtf8 = 65001;

// Encodes text; with bom the matching byte-order mark comes first. status: 0 ok, 1 some
// characters were lost, 2 the code page failed and single bytes were written instead,
// 3 nothing could be converted. With verify a code-page result is decoded again and
// compared with the text to detect losses.
QByteArray EncodeText(const QString &text, bool bom, int format, int codepage, bool verify, int *status = nullptr);

// Decodes bytes, trying in turn: byte-order mark, UTF-16, UTF-8, the given code page,
// the system code page (which takes any byte, so some text always results). format and
// codepage go in as hints and come out as what was used (code page 0 for the system one).
// status: 0 ok, 1 the text came through a fallback or holds replacement characters
// (see LastConversionMessage).
QString DecodeText(const QByteArray &bytes, bool detectBom, int &format, int &codepage, bool verify,
                   int *status = nullptr);

// Why the last conversion on this thread lost characters or took a fallback; empty when
// it did neither.
QString LastConversionMessage();

// UTF-8 without byte-order mark; the system code page if the text cannot be UTF-8.
QByteArray ToUtf8(const QString &text);
// Strict UTF-8; the system code page for bytes that are not UTF-8.
QString FromUtf8(const QByteArray &bytes);
