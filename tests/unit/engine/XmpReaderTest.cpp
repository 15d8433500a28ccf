#include "engine/XmpReader.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

namespace {

// A packet around the given rdf:Description content, with the namespaces producers declare.
QByteArray Packet(const QByteArray &description, const QByteArray &attributes = QByteArray())
{
    return "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
           "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
           "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
           "xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" "
           "xmlns:xap=\"http://ns.adobe.com/xap/1.0/\" "
        + attributes + ">" + description + "</rdf:Description></rdf:RDF></x:xmpmeta>";
}

struct XmpCase {
    const char *name;
    QByteArray bytes;
    const char *tag;
    QString expected;
};

} // namespace

TEST(XmpReader, ValuesOfTags)
{
    const QByteArray longText(9999, 'a');
    const QByteArray almostLong(9998, 'a');
    const XmpCase cases[] = {
        {"first title item", Packet("<dc:title><rdf:Alt><rdf:li>One</rdf:li><rdf:li>Two</rdf:li></rdf:Alt></dc:title>"),
         "Title", "One"},
        {"authors joined", Packet("<dc:creator><rdf:Seq><rdf:li>A</rdf:li><rdf:li> B </rdf:li></rdf:Seq></dc:creator>"),
         "Author", "A, B"},
        {"rights joined", Packet("<dc:rights><rdf:Bag><rdf:li>R1</rdf:li><rdf:li>R2</rdf:li></rdf:Bag></dc:rights>"),
         "Rights", "R1, R2"},
        {"subject is the first description item",
         Packet("<dc:description><rdf:Alt><rdf:li>S</rdf:li><rdf:li>T</rdf:li></rdf:Alt></dc:description>"), "Subject",
         "S"},
        {"simple element", Packet("<pdf:Keywords>k1; k2</pdf:Keywords>"), "Keywords", "k1; k2"},
        {"simple attribute", Packet("", "pdf:Producer=\"P &amp; Q\""), "Producer", "P & Q"},
        {"pdf version", Packet("<pdf:PDFVersion>1.7</pdf:PDFVersion>"), "Version", "1.7"},
        {"xmp prefix", Packet("<xmp:CreateDate>2026-01-02T03:04:05Z</xmp:CreateDate>"), "CreationDate",
         "2026-01-02T03:04:05Z"},
        {"older xap prefix", Packet("<xap:ModifyDate>2026-01-02</xap:ModifyDate>"), "ModDate", "2026-01-02"},
        {"creator tool as attribute", Packet("", "xap:CreatorTool=\"Tool\""), "Creator", "Tool"},
        {"entities decoded", Packet("<pdf:Producer>&lt;a&gt; &amp; &#x42;</pdf:Producer>"), "Producer", "<a> & B"},
        {"white space made one space",
         Packet("<dc:title><rdf:Alt><rdf:li>\n  Two\r\n   lines\t here </rdf:li></rdf:Alt></dc:title>"), "Title",
         "Two lines here"},
        {"CDATA", Packet("<pdf:Producer><![CDATA[a<b]]></pdf:Producer>"), "Producer", "a<b"},
        {"empty value", Packet("<pdf:Producer>   </pdf:Producer>"), "Producer", ""},
        {"9998 characters taken", Packet("<pdf:Producer>" + almostLong + "</pdf:Producer>"), "Producer",
         QString::fromLatin1(almostLong)},
        {"9999 characters not taken", Packet("<pdf:Producer>" + longText + "</pdf:Producer>"), "Producer", ""},
        {"other namespace, same prefix",
         Packet("<dc:title xmlns:dc=\"urn:other\"><rdf:Alt><rdf:li>X</rdf:li></rdf:Alt></dc:title>"), "Title", ""},
        {"nested in another property", Packet("<dc:format><pdf:Producer>Inner</pdf:Producer></dc:format>"), "Producer",
         ""},
        {"unknown tag", Packet("<pdf:Producer>P</pdf:Producer>"), "Trapped", ""},
        {"packet exists", Packet(""), "XMP", "XMP"},
        {"delimiters in any case, mid line",
         "%PDF-1.4 junk <?xpacket?><X:XMPMETA xmlns:X=\"adobe:ns:meta/\">"
         "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
         "<rdf:Description xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\">"
         "<pdf:Producer>Upper</pdf:Producer></rdf:Description></rdf:RDF>"
         "</X:XMPMETA> trailer",
         "Producer", "Upper"},
        {"no end delimiter", Packet("<pdf:Producer>P</pdf:Producer>").replace("</x:xmpmeta>", ""), "Producer", ""},
        {"no end delimiter: no packet", Packet("").replace("</x:xmpmeta>", ""), "XMP", ""},
        {"no packet", "<rdf:RDF><pdf:Producer>P</pdf:Producer></rdf:RDF>", "Producer", ""},
        {"value before an error kept",
         Packet("<pdf:Producer>Kept</pdf:Producer><dc:format>pdf<pdf:Keywords>k</pdf:Keywords>"), "Producer", "Kept"},
        {"value after an error dropped", Packet("<dc:format>pdf</dc:formatt><pdf:Keywords>k</pdf:Keywords>"),
         "Keywords", ""},
        {"unfinished item list dropped", Packet("<dc:creator><rdf:Seq><rdf:li>A</rdf:li><rdf:li>B"), "Author", ""},
    };
    for (const XmpCase &c : cases)
        EXPECT_EQ(XmpValue(c.bytes, c.tag), c.expected) << c.name;
}

// Only the packet between the delimiters is read: what follows its end does not count.
TEST(XmpReader, PacketIsTheFirstRangeBetweenTheDelimiters)
{
    const QByteArray bytes = "prefix " + Packet("<pdf:Producer>First</pdf:Producer>") + " "
        + Packet("<pdf:Producer>Second</pdf:Producer><pdf:Keywords>K</pdf:Keywords>");
    const QByteArrayView packet = FindXmpPacket(bytes);
    EXPECT_TRUE(packet.startsWith("<x:xmpmeta"));
    EXPECT_TRUE(packet.endsWith("</x:xmpmeta>"));
    EXPECT_EQ(XmpValue(bytes, "Producer"), "First");
    EXPECT_EQ(XmpValue(bytes, "Keywords"), "");
    EXPECT_TRUE(FindXmpPacket("</x:xmpmeta><x:xmpmeta").isEmpty());
    EXPECT_TRUE(FindXmpPacket("").isEmpty());
    EXPECT_TRUE(FindXmpPacket("<x:xmpmet").isEmpty());
}
