#pragma once
#include <QString>

#include <cstdint>

// The line-oriented data file: one value per line, read and written strictly in sequence,
// closed by a trailer (an empty line, "<<EOF>>" and a check line over everything before it).
// The whole file is held as UTF-16 code units; the check values are defined on those.
// Errors are sticky: after the first failed read, boolean and integer reads return false/0
// without consuming lines, so a reader can run to its end and test ErrCode once.
class TDataFile {
public:
    QString EOFString;
    QString Buf; // capacity = Buf.size(); the first len characters are used
    int32_t len = 0;
    int32_t pos = 1;    // 1-based read position
    int32_t maxb = 0;   // largest allowed capacity in characters; 0 = unlimited
    int32_t linno = 0;  // lines read so far
    int32_t linnum = 0; // line count of the last check-line computation
    int32_t ErrCode = 0;
    QString ErrString;

    TDataFile() { Init(); }
    ~TDataFile() { Delete(); }
    TDataFile(const TDataFile &) = delete;
    TDataFile &operator=(const TDataFile &) = delete;

    void Init();
    void Delete();

    // Writing.
    bool Rewrite(int32_t l, int32_t m);
    bool WrStr(const QString &s);
    bool WrBool(bool b);
    bool WrNum(int64_t x);
    bool WriteTrailer();
    bool WriteFile(const QString &FN);

    // Reading.
    bool ReadFile(const QString &FN, int32_t maxl);
    void Reset();
    bool Eof() const { return pos > len; } // (EOF is a C library macro)
    bool EOLN() const;
    QString RdStr();
    bool RdBool();
    int64_t RdNum(int64_t a, int64_t b);

    // Checking.
    bool FindTrailer();
    bool CheckData(int32_t minchars, int32_t maxchars, int32_t minlines, int32_t maxlines);
    bool CheckTrailerPos();

    // "<<-- $C$L$W$D$S1$S2$S3$ -->>" over the first count characters; sets linnum.
    QString CheckLine(int32_t count);

    // The used part of the buffer.
    QStringView Text() const { return QStringView(Buf).left(len); }

private:
    bool fail(int32_t code, const QString &text);
};
