#pragma once
// The one message a second start sends a running instance to hand its command over.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// The largest command text (UTF-16 bytes) and instance name (characters) a running instance takes.
constexpr int64_t MaxCommandBytes = 1 << 20;
constexpr int MaxNameChars = 4096;

// The payload of a CmdLine message: Ident1Reply, Ident2Reply, the name's and the text's
// lengths in characters (four unsigned 32-bit values), then name and text in UTF-16.
struct THandOverMessage {
    QString name;
    QString text;
    QByteArray Encode() const;
    // Nothing when the bytes are not such a message.
    static std::optional<THandOverMessage> Decode(const QByteArray &bytes);
};
