#pragma once
#include <QByteArray>

#include <functional>

enum class TInflateResult { Done, Failed, Cancelled };

// Inflates gzip or zlib data (the header tells which). The output buffer is sized from the
// gzip trailer's length field when that is plausible, else grown by doubling. cancelled is
// asked between blocks of output; produced is told how many bytes of out are written after
// each block.
TInflateResult InflateSyncText(const QByteArray &packed, QByteArray &out, const std::function<bool()> &cancelled = {},
                               const std::function<void(qsizetype)> &produced = {});
