#pragma once
// The instance link's request frames: {magic, message, wParam, payload length, pad} followed
// by the payload. The listener reads them from bytes another process wrote, so the reader
// trusts nothing of them.
#include <QByteArray>

#include <cstdint>

namespace pl {

struct LinkRequest {
    uint32_t message = 0;
    int64_t wParam = 0;
    QByteArray payload;
};

QByteArray encodeLinkRequest(uint32_t message, int64_t wParam, const QByteArray &payload);

enum class FrameRead { Request, Incomplete, Garbled };

// Takes the first request off the front of buffer. Incomplete leaves buffer as it was; Garbled
// (a wrong magic or pad, or a payload longer than maxPayload) means nothing of the connection
// may be handled any more.
FrameRead takeLinkRequest(QByteArray &buffer, qsizetype maxPayload, LinkRequest &request);

// The most a listener buffers for one peer: a peer has one request in flight at a time.
qsizetype linkBufferLimit(qsizetype maxPayload);

} // namespace pl
