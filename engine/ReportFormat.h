#pragma once
// The number and date forms of the document properties report. They never follow the
// locale: the report reads the same everywhere.
#include <QString>

#include <cstdint>

// "512 bytes"; "1.5 KB (1,536 bytes)" from 1024 bytes on; "2.3 MB (2,411,724 bytes)" from
// 1048576 bytes on. KB and MB have one decimal cut off, not rounded.
QString FormatByteSize(int64_t bytes);

// A metadata date as "yyyy-mm-dd  hh:mm:ss": a PDF date ("D:20261209225842Z") by its fields,
// an XMP date ("2026-12-09T22:58:42+01:00") by its first ten characters and the eight after
// the "T". Empty for values of 15 characters or fewer.
QString FormatMetaDate(const QString &value);

// A page of width x height points as "5.8 x 8.2 in  (148 x 210 mm, 420 x 595 pt)": inches
// with one decimal cut off, millimetres and points rounded half to even.
QString FormatPageSize(double width, double height);
