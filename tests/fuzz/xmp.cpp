// A document's XMP packet, written by any producer or by hand.
#include "FuzzInput.h"

#include "engine/XmpReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArrayView packet = FindXmpPacket(bytes);
    FUZZ_CHECK(packet.isEmpty()
               || (packet.data() >= bytes.data() && packet.data() + packet.size() <= bytes.data() + bytes.size()));
    for (const char *tag : {"Title", "Subject", "Author", "Rights", "Keywords", "Producer", "Version", "Creator",
                            "CreationDate", "ModDate", "XMP"}) {
        const QString value = XmpValue(bytes, tag);
        FUZZ_CHECK(value.size() < 9999);
    }
    return 0;
}
