#pragma once
#include <QByteArray>

#include <optional>

namespace pl {

// The Windows code pages the program does not convert itself, through the system's converters,
// to and from UTF-16LE. An input unit that is invalid or has no mapping (a byte of the code
// page, a UTF-16 unit) becomes replacement when that is not null, setting replaced; a null
// replacement ends the conversion with nothing instead. Nothing also for an unknown code page.
std::optional<QByteArray> codePageToUtf16(int codePage, const QByteArray &bytes, const QByteArray &replacement,
                                          bool &replaced);
std::optional<QByteArray> utf16ToCodePage(int codePage, const QByteArray &utf16, const QByteArray &replacement,
                                          bool &replaced);

} // namespace pl
