#include "engine/XmpReader.h"

#include <QXmlStreamReader>

#include <cstring>
#include <vector>

namespace {

const QString kRdf = QStringLiteral("http://www.w3.org/1999/02/22-rdf-syntax-ns#");
const QString kDc = QStringLiteral("http://purl.org/dc/elements/1.1/");
const QString kPdf = QStringLiteral("http://ns.adobe.com/pdf/1.3/");
// Older packets write this namespace with the prefix "xap", newer ones with "xmp".
const QString kXmp = QStringLiteral("http://ns.adobe.com/xap/1.0/");

// The longest value a report line takes, exclusive.
constexpr qsizetype kMaxValue = 9999;

enum class TXmpItems { First, Joined };

struct TXmpProperty {
    const char *tag;
    const QString &ns;
    const char *name;
    TXmpItems items;
};

const TXmpProperty kProperties[] = {
    {"Title", kDc, "title", TXmpItems::First},
    {"Author", kDc, "creator", TXmpItems::Joined},
    {"Rights", kDc, "rights", TXmpItems::Joined},
    {"Subject", kDc, "description", TXmpItems::First},
    {"Keywords", kPdf, "Keywords", TXmpItems::First},
    {"Producer", kPdf, "Producer", TXmpItems::First},
    {"Version", kPdf, "PDFVersion", TXmpItems::First},
    {"Creator", kXmp, "CreatorTool", TXmpItems::First},
    {"CreationDate", kXmp, "CreateDate", TXmpItems::First},
    {"ModDate", kXmp, "ModifyDate", TXmpItems::First},
};

const TXmpProperty *PropertyOf(QByteArrayView tag)
{
    for (const TXmpProperty &p : kProperties)
        if (tag == QByteArrayView(p.tag))
            return &p;
    return nullptr;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// Where needle (lower case, beginning with "<") starts in bytes from from on, ignoring ASCII
// case; -1 when it does not.
qsizetype IndexIgnoringAsciiCase(QByteArrayView bytes, QByteArrayView needle, qsizetype from)
{
    const char *data = bytes.data();
    const qsizetype last = bytes.size() - needle.size();
    for (qsizetype i = from; i <= last;) {
        const void *lt = std::memchr(data + i, '<', size_t(last - i + 1));
        if (!lt)
            return -1;
        i = static_cast<const char *>(lt) - data;
        qsizetype k = 1;
        while (k < needle.size() && AsciiLower(data[i + k]) == needle[k])
            ++k;
        if (k == needle.size())
            return i;
        ++i;
    }
    return -1;
}

// White space runs made one space, trimmed; none when empty or too long.
QString Cleaned(const QString &text)
{
    QString value = text.simplified();
    return value.size() >= kMaxValue ? QString() : value;
}

QString ValueOf(const std::vector<QString> &items, const QString &ownText, TXmpItems kind)
{
    if (items.empty())
        return Cleaned(ownText);
    if (kind == TXmpItems::First)
        return Cleaned(items.front());
    QStringList parts;
    for (const QString &item : items) {
        const QString part = Cleaned(item);
        if (!part.isEmpty())
            parts << part;
    }
    return Cleaned(parts.join(QStringLiteral(", ")));
}

bool Is(const QXmlStreamReader &xml, const QString &ns, QLatin1String name)
{
    return xml.namespaceUri() == ns && xml.name() == name;
}

// Reads one property from a packet: its first complete occurrence as an element of an
// rdf:Description (its rdf:li items, else its own text) or as an attribute of one.
QString ReadProperty(QByteArrayView packet, const TXmpProperty &p)
{
    const QLatin1String name(p.name);
    QXmlStreamReader xml(packet.toByteArray());
    // For each open element: is it an rdf:Description?
    std::vector<bool> descriptions;
    int depth = 0;   // inside the property: its depth below the property element, else 0
    int liDepth = 0; // inside an rdf:li of the property: the depth of that item, else 0
    std::vector<QString> items;
    QString ownText;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (xml.hasError())
            break;
        switch (token) {
        case QXmlStreamReader::StartElement:
            if (depth > 0) {
                ++depth;
                if (!liDepth && Is(xml, kRdf, QLatin1String("li"))) {
                    liDepth = depth;
                    items.emplace_back();
                }
            } else if (!descriptions.empty() && descriptions.back() && Is(xml, p.ns, name)) {
                depth = 1;
                items.clear();
                ownText.clear();
            } else if (Is(xml, kRdf, QLatin1String("Description"))) {
                for (const QXmlStreamAttribute &a : xml.attributes())
                    if (a.namespaceUri() == p.ns && a.name() == name) {
                        const QString value = Cleaned(a.value().toString());
                        if (!value.isEmpty())
                            return value;
                    }
            }
            descriptions.push_back(depth == 0 && Is(xml, kRdf, QLatin1String("Description")));
            break;
        case QXmlStreamReader::Characters:
            if (liDepth)
                items.back() += xml.text();
            else if (depth == 1)
                ownText += xml.text();
            break;
        case QXmlStreamReader::EndElement:
            descriptions.pop_back();
            if (depth == 0)
                break;
            if (depth == liDepth)
                liDepth = 0;
            if (--depth == 0) {
                const QString value = ValueOf(items, ownText, p.items);
                if (!value.isEmpty())
                    return value;
            }
            break;
        default: break;
        }
    }
    return QString();
}

} // namespace

QByteArrayView FindXmpPacket(QByteArrayView bytes)
{
    const QByteArrayView open("<x:xmpmeta");
    const QByteArrayView close("</x:xmpmeta>");
    const qsizetype start = IndexIgnoringAsciiCase(bytes, open, 0);
    if (start < 0)
        return {};
    const qsizetype end = IndexIgnoringAsciiCase(bytes, close, start + open.size());
    if (end < 0)
        return {};
    return bytes.sliced(start, end + close.size() - start);
}

QString XmpValue(QByteArrayView bytes, QByteArrayView tag)
{
    const QByteArrayView packet = FindXmpPacket(bytes);
    if (packet.isEmpty())
        return QString();
    if (tag == QByteArrayView("XMP"))
        return QStringLiteral("XMP");
    const TXmpProperty *p = PropertyOf(tag);
    return p ? ReadProperty(packet, *p) : QString();
}
