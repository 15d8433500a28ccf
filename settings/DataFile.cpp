#include "settings/DataFile.h"

#include "base/DebugLog.h"
#include "base/DurableWrite.h"
#include "base/FileIO.h"
#include "base/TextCodec.h"

#include <algorithm>

namespace {

const QString CRLF = QStringLiteral("\r\n");

bool isNumberText(const QString &s)
{
    const int start = s.startsWith('-') ? 1 : 0;
    const int digits = s.size() - start;
    if (digits < 1 || digits > 19)
        return false;
    return std::all_of(s.cbegin() + start, s.cend(), [](QChar c) { return c >= '0' && c <= '9'; });
}

QString hex(uint64_t v) { return QString::number(v, 16).toUpper(); }

} // namespace

void TDataFile::Init()
{
    EOFString = QStringLiteral("<<EOF>>");
    Buf.clear();
    maxb = len = linno = linnum = ErrCode = 0;
    pos = 1;
    ErrString.clear();
}

void TDataFile::Delete()
{
    Init();
    pos = 0;
    EOFString.clear();
}

bool TDataFile::fail(int32_t code, const QString &text)
{
    ErrCode = code;
    ErrString = text;
    return false;
}

bool TDataFile::Rewrite(int32_t l, int32_t m)
{
    Init();
    Buf.resize(std::max<int32_t>(l, 0));
    maxb = m;
    return true;
}

bool TDataFile::WrStr(const QString &s)
{
    const qint64 needed = qint64(len) + s.size() + 1;
    if (needed > Buf.size()) {
        const qint64 capacity = std::max({2 * qint64(Buf.size()), needed, qint64(1024)});
        if ((maxb != 0 && maxb < capacity) || capacity > INT32_MAX)
            return fail(1, QStringLiteral("Output buffer is too small: ") + QString::number(maxb));
        Buf.resize(capacity);
    }
    QChar *out = Buf.data() + len;
    std::copy(s.cbegin(), s.cend(), out);
    out[s.size()] = QChar('\n');
    len = int32_t(needed);
    return true;
}

bool TDataFile::WrBool(bool b) { return WrStr(b ? QStringLiteral("1") : QStringLiteral("0")); }

bool TDataFile::WrNum(int64_t x) { return WrStr(QString::number(x)); }

QString TDataFile::CheckLine(int32_t count)
{
    const QChar *p = Buf.constData();
    count = std::clamp(count, 0, len);
    uint64_t C = uint64_t(count), L = 0, W = 0, D = 0, S1 = 0, S2 = 0, S3 = 0;
    for (int32_t n = 0; n < count; ++n) {
        const uint64_t i = uint64_t(n) + 1;
        const uint16_t c = p[n].unicode();
        if (c == '\n') {
            ++L;
            S1 += i * L;
        } else if (c <= 32) {
            ++W;
            S2 += c * L + i;
        } else if (c >= '0' && c <= '9') {
            ++D;
            S3 += (c - 48) * L + i;
        }
    }
    linnum = int32_t(L);
    return QStringLiteral("<<-- $") + hex(C) + '$' + hex(L) + '$' + hex(W) + '$' + hex(D) + '$' + hex(S1) + '$'
        + hex(S2) + '$' + hex(S3) + QStringLiteral("$ -->>");
}

bool TDataFile::WriteTrailer()
{
    const QString check = CheckLine(len);
    WrStr(QString());
    WrStr(EOFString);
    WrStr(check);
    return ErrCode == 0;
}

bool TDataFile::WriteFile(const QString &FN)
{
    Buf.truncate(len);
    const QByteArray bytes = EncodeText(Buf, false, tfUtf8, CpUtf8, false);
    if (!WriteFileDurably(FN, bytes, PrivateFileMode))
        return fail(1, QStringLiteral("Error writing to file: \"") + FN + '"');
    return true;
}

bool TDataFile::ReadFile(const QString &FN, int32_t maxl)
{
    Init();
    QByteArray bytes;
    if (ReadWholeFile(FN, bytes, maxl > 0 ? maxl : 0) != frOk)
        return fail(1, QStringLiteral("Error reading file: \"") + FN + '"');
    int format = tfUtf8;
    int codepage = CpUtf8;
    Buf = DecodeText(bytes, true, format, codepage, false);
    len = int32_t(Buf.size());
    maxb = maxl;
    return true;
}

void TDataFile::Reset()
{
    pos = 1;
    linno = 0;
}

bool TDataFile::EOLN() const { return pos >= 1 && pos <= len && Buf[pos - 1] == '\n'; }

QString TDataFile::RdStr()
{
    const int32_t start = std::max(pos, 1) - 1;
    const int32_t lf = start < len ? int32_t(Text().indexOf('\n', start)) : -1;
    if (lf < 0) {
        fail(1, QStringLiteral("Error reading line ") + QString::number(linno));
        return QString();
    }
    const int32_t end = (lf > start && Buf[lf - 1] == '\r') ? lf - 1 : lf;
    pos = lf + 2;
    ++linno;
    return Buf.mid(start, end - start);
}

bool TDataFile::RdBool()
{
    if (ErrCode != 0)
        return false;
    const QString s = RdStr();
    if (ErrCode != 0)
        return false;
    if (s == QLatin1String("1"))
        return true;
    if (s != QLatin1String("0"))
        fail(1,
             QStringLiteral("Boolean out of bounds 0/1 in line ") + QString::number(linno) + CRLF
                 + QStringLiteral("String: ") + s);
    return false;
}

int64_t TDataFile::RdNum(int64_t a, int64_t b)
{
    if (ErrCode != 0)
        return 0;
    const QString s = RdStr();
    if (ErrCode != 0)
        return 0;
    bool ok = isNumberText(s);
    const int64_t v = ok ? s.toLongLong(&ok) : 0;
    if (!ok) {
        fail(1,
             QStringLiteral("Integer expected in line ") + QString::number(linno) + CRLF + QStringLiteral("String: ")
                 + s);
        return 0;
    }
    if (b >= a && (v < a || v > b)) {
        fail(1,
             QStringLiteral("Integer out of bounds in line ") + QString::number(linno) + CRLF
                 + QStringLiteral("String: ") + s);
        return a;
    }
    return v;
}

bool TDataFile::FindTrailer()
{
    if (ErrCode != 0)
        return false;
    int lfs = 0;
    const int32_t stop = std::max(len - 999, 0);
    for (int32_t n = len - 1; n >= stop; --n) {
        if (Buf[n] == '\n' && ++lfs == 3) {
            pos = n + 1;
            return true;
        }
    }
    return false;
}

bool TDataFile::CheckData(int32_t minchars, int32_t maxchars, int32_t minlines, int32_t maxlines)
{
    if (!FindTrailer())
        return false;
    ErrCode = 0;
    const int32_t count = pos - 1;
    const QString check = CheckLine(count);
    int32_t error = 0;
    if (count < minchars)
        error = 20;
    else if (count > maxchars)
        error = 21;
    else if (linnum < minlines)
        error = 22;
    else if (linnum > maxlines)
        error = 23;
    else if (!RdStr().isEmpty())
        error = 10;
    else if (RdStr() != EOFString)
        error = 11;
    else if (RdStr() != check)
        error = 12;
    else if (!Eof())
        error = 13;
    if (error == 0)
        return true;
    ErrCode = error;
    DebugLog(QStringLiteral("Data Check Failed: ") + QString::number(error));
    return false;
}

bool TDataFile::CheckTrailerPos()
{
    const int32_t readPos = pos;
    const bool found = FindTrailer() && pos == readPos;
    pos = readPos;
    return found;
}
