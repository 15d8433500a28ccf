#pragma once
// What every fuzz target shares: the input cut into a few leading choices and a text, and a
// private folder for targets that read files.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

class TFuzzInput {
public:
    TFuzzInput(const uint8_t *data, size_t size) : bytes(reinterpret_cast<const char *>(data), qsizetype(size)) {}

    // The next byte as a choice (0 when the input is used up).
    uint8_t Byte()
    {
        if (pos >= bytes.size())
            return 0;
        return uint8_t(bytes[pos++]);
    }
    // Up to the next NUL (or the end) as UTF-8.
    QString Text()
    {
        qsizetype end = bytes.indexOf('\0', pos);
        if (end < 0)
            end = bytes.size();
        const QString text = QString::fromUtf8(bytes.mid(pos, end - pos));
        pos = end < bytes.size() ? end + 1 : end;
        return text;
    }
    QByteArray Rest() const { return bytes.mid(pos); }

private:
    QByteArray bytes;
    qsizetype pos = 0;
};

// A finding: the sanitizers' report names the target and the input.
[[noreturn]] inline void FuzzFailure() { std::abort(); }
#define FUZZ_CHECK(cond) \
    do { \
        if (!(cond)) \
            FuzzFailure(); \
    } while (0)

// One folder for the whole run, removed at the end.
inline const QTemporaryDir &FuzzFolder()
{
    static const QTemporaryDir dir;
    return dir;
}
