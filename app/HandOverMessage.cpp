#include "app/HandOverMessage.h"

#include "app/HandOver.h"
#include "base/TextCodec.h"

#include <cstring>

QByteArray THandOverMessage::Encode() const
{
    const uint32_t head[4] = {uint32_t(LinkMessage::Ident1Reply), uint32_t(LinkMessage::Ident2Reply),
                              uint32_t(name.size()), uint32_t(text.size())};
    QByteArray bytes(reinterpret_cast<const char *>(head), sizeof(head));
    bytes.append(reinterpret_cast<const char *>(name.utf16()), name.size() * 2);
    bytes.append(EncodeText(text, false, tfUtf16LE, 0, false));
    return bytes;
}

std::optional<THandOverMessage> THandOverMessage::Decode(const QByteArray &bytes)
{
    uint32_t head[4];
    if (bytes.size() < qsizetype(sizeof(head)))
        return std::nullopt;
    std::memcpy(head, bytes.constData(), sizeof(head));
    if (head[0] != uint32_t(LinkMessage::Ident1Reply) || head[1] != uint32_t(LinkMessage::Ident2Reply)
        || head[2] > uint32_t(MaxNameChars) || int64_t(head[3]) * 2 > MaxCommandBytes
        || bytes.size() != qsizetype(sizeof(head)) + 2 * (qsizetype(head[2]) + qsizetype(head[3])))
        return std::nullopt;
    THandOverMessage message;
    const char *data = bytes.constData() + sizeof(head);
    message.name = QString(reinterpret_cast<const QChar *>(data), qsizetype(head[2]));
    int format = tfUtf16LE, codepage = -1;
    message.text =
        DecodeText(bytes.mid(qsizetype(sizeof(head)) + 2 * qsizetype(head[2])), false, format, codepage, false);
    return message;
}
