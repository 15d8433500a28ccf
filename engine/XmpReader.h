#pragma once
// Values of a document's XMP packet. Producers write packets by hand as often as with a
// library, so the reader is an XML reader that keeps whatever it could read completely.
#include <QByteArrayView>
#include <QString>

// The first packet of bytes: from "<x:xmpmeta" to the end of the next "</x:xmpmeta>", both
// found anywhere and ignoring ASCII case; empty when either is missing.
QByteArrayView FindXmpPacket(QByteArrayView bytes);

// The value of tag in the first packet of bytes. Tags: "Title" and "Subject" (the first item
// of dc:title and dc:description), "Author" and "Rights" (all items of dc:creator and
// dc:rights joined with ", "), "Keywords", "Producer" and "Version" (pdf:Keywords,
// pdf:Producer, pdf:PDFVersion), "Creator", "CreationDate" and "ModDate" (xmp:CreatorTool,
// xmp:CreateDate, xmp:ModifyDate), and "XMP", which is "XMP" when there is a packet.
// Elements match by namespace and local name; simple values are read from elements and from
// attributes of rdf:Description. A value has its entities decoded and its runs of white space
// made one space; empty values and values of 9999 characters or more count as none. Reading
// stops at the first XML error, keeping the values completed before it. Empty when the tag
// has no value.
QString XmpValue(QByteArrayView bytes, QByteArrayView tag);
