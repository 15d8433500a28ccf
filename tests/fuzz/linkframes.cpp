// What a listener reads from another process: request frames arriving in pieces of any size,
// and the hand-over message inside a payload.
#include "FuzzInput.h"

#include "app/HandOverMessage.h"
#include "platform/LinkFrames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzInput in(data, size);
    const qsizetype maxPayload = qsizetype(in.Byte()) * 64;
    const int piece = 1 + in.Byte() % 32;
    const QByteArray stream = in.Rest();
    QByteArray buffer;
    pl::LinkRequest request;
    for (qsizetype at = 0; at < stream.size(); at += piece) {
        buffer.append(stream.mid(at, piece));
        if (buffer.size() > pl::linkBufferLimit(maxPayload))
            return 0;
        for (;;) {
            const qsizetype before = buffer.size();
            const pl::FrameRead read = pl::takeLinkRequest(buffer, maxPayload, request);
            if (read == pl::FrameRead::Garbled)
                return 0;
            if (read == pl::FrameRead::Incomplete) {
                FUZZ_CHECK(buffer.size() == before);
                break;
            }
            FUZZ_CHECK(request.payload.size() <= maxPayload);
            FUZZ_CHECK(pl::encodeLinkRequest(request.message, request.wParam, request.payload).size()
                       == before - buffer.size());
            if (const std::optional<THandOverMessage> message = THandOverMessage::Decode(request.payload)) {
                const std::optional<THandOverMessage> again = THandOverMessage::Decode(message->Encode());
                FUZZ_CHECK(again && again->name == message->name && again->text == message->text);
            }
        }
    }
    return 0;
}
