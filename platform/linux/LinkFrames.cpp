#include "platform/LinkFrames.h"

#include <cstring>

namespace pl {

namespace {

constexpr uint32_t kMagic = 0x3250524F; // "ORP2"

struct RequestFrame {
    uint32_t magic;
    uint32_t message;
    int64_t wParam;
    uint32_t payloadBytes;
    uint32_t pad;
};
static_assert(sizeof(RequestFrame) == 24);

} // namespace

QByteArray encodeLinkRequest(uint32_t message, int64_t wParam, const QByteArray &payload)
{
    const RequestFrame frame{kMagic, message, wParam, uint32_t(payload.size()), 0};
    QByteArray bytes(reinterpret_cast<const char *>(&frame), sizeof(frame));
    bytes.append(payload);
    return bytes;
}

FrameRead takeLinkRequest(QByteArray &buffer, qsizetype maxPayload, LinkRequest &request)
{
    if (buffer.size() < qsizetype(sizeof(RequestFrame)))
        return FrameRead::Incomplete;
    RequestFrame frame;
    std::memcpy(&frame, buffer.constData(), sizeof(frame));
    if (frame.magic != kMagic || frame.pad != 0 || qsizetype(frame.payloadBytes) > maxPayload)
        return FrameRead::Garbled;
    const qsizetype whole = qsizetype(sizeof(frame)) + qsizetype(frame.payloadBytes);
    if (buffer.size() < whole)
        return FrameRead::Incomplete; // the rest of the payload is still on its way
    request.message = frame.message;
    request.wParam = frame.wParam;
    request.payload = buffer.mid(sizeof(frame), frame.payloadBytes);
    buffer.remove(0, whole);
    return FrameRead::Request;
}

qsizetype linkBufferLimit(qsizetype maxPayload) { return 64 * qsizetype(sizeof(RequestFrame)) + maxPayload; }

} // namespace pl
