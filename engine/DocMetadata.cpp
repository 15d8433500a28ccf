#include "engine/DocMetadata.h"

#include "engine/XmpReader.h"

#include <vector>

namespace {

// The permission bits a restricted document is described by.
constexpr qint64 kPermitPrint = 0x04;
constexpr qint64 kPermitCopy = 0x10;

} // namespace

TDocMetadata::TDocMetadata(const TDPLPDFiumDLL &dll, FPDF_DOCUMENT doc, QByteArrayView fileBytes)
    : DLL(dll), Doc(doc), Packet(FindXmpPacket(fileBytes))
{}

QString TDocMetadata::GetMetaText(QByteArrayView tag) const
{
    if (!Doc || tag.isEmpty())
        return QString();
    const QString own = tag == QByteArrayView("Version") ? FileVersion() : InformationEntry(tag);
    return own.isEmpty() ? GetXMPText(tag) : own;
}

QString TDocMetadata::FileVersion() const
{
    int v = 0;
    if (!DLL.FPDF_GetFileVersion(Doc, &v))
        return QString();
    QString text = QString::number(v / 10) + QLatin1Char('.') + QString::number(v % 10);
    if (!GetXMPText("XMP").isEmpty())
        text += QStringLiteral("  <x:xmpmeta>");
    if (DLL.FPDFCatalog_IsTagged(Doc))
        text += QStringLiteral("  (tagged)");
    return text;
}

QString TDocMetadata::InformationEntry(QByteArrayView tag) const
{
    const QByteArray key = tag.toByteArray(); // the library wants it terminated
    // The length in bytes of the UTF-16 value with its terminator; odd lengths are no value.
    const unsigned long bytes = DLL.FPDF_GetMetaText(Doc, key.constData(), nullptr, 0);
    if (bytes <= 3 || (bytes & 1))
        return QString();
    std::vector<char16_t> buffer(bytes / 2);
    DLL.FPDF_GetMetaText(Doc, key.constData(), buffer.data(), bytes);
    return QString::fromUtf16(buffer.data(), qsizetype(bytes / 2 - 1));
}

QString TDocMetadata::GetXMPText(QByteArrayView tag) const { return XmpValue(Packet, tag); }

qint64 TDocMetadata::GetDocPermissions(TPermissionKind kind) const
{
    if (!Doc)
        return 0;
    switch (kind) {
    case TPermissionKind::Revision: return DLL.FPDF_GetSecurityHandlerRevision(Doc);
    case TPermissionKind::User: return DLL.FPDF_GetDocUserPermissions(Doc);
    case TPermissionKind::Document: break;
    }
    return DLL.FPDF_GetDocPermissions(Doc);
}

QString TDocMetadata::SecurityText() const
{
    const qint64 revision = GetDocPermissions(TPermissionKind::Revision);
    if (revision == 0 || revision == -1)
        return QString();
    const qint64 p = GetDocPermissions(TPermissionKind::User);
    const bool print = p & kPermitPrint;
    const bool copy = p & kPermitCopy;
    QString text = QStringLiteral("Security: Restricted");
    if (!print && !copy)
        return text + QStringLiteral(" Printing and Extracting");
    if (!print)
        text += QStringLiteral(" Printing");
    return text + (copy ? QStringLiteral(" Permissions") : QStringLiteral(" Extracting"));
}
