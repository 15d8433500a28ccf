// The hand-over message read from a payload of any bytes; what it reads encodes back to itself.
#include "FuzzInput.h"

#include "app/HandOverMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<THandOverMessage> message = THandOverMessage::Decode(bytes);
    if (!message)
        return 0;
    FUZZ_CHECK(message->text.size() * 2 <= MaxCommandBytes && message->name.size() <= MaxNameChars);
    const std::optional<THandOverMessage> again = THandOverMessage::Decode(message->Encode());
    FUZZ_CHECK(again && again->name == message->name && again->text == message->text);
    return 0;
}
