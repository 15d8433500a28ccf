#pragma once
// The metadata of one document: its information entries through the PDF library, with the XMP
// packet of its file's bytes in their place where an entry is missing, and its security.
#include "engine/DPLPDFiumDLL.h"

#include <QByteArrayView>
#include <QString>

// What GetDocPermissions reports.
enum class TPermissionKind { Revision = 0, User = 1, Document = 2 };

class TDocMetadata {
public:
    // fileBytes: the document's file as it is held in memory (empty when it is not); it must
    // outlive this object.
    TDocMetadata(const TDPLPDFiumDLL &dll, FPDF_DOCUMENT doc, QByteArrayView fileBytes);

    // The information entry tag ("Title", "Author", "Subject", "Keywords", "Creator",
    // "Producer", "CreationDate", "ModDate"), else its XMP value. "Version" is the file's
    // version ("1.6") followed by "  <x:xmpmeta>" when there is a packet and "  (tagged)" for a
    // tagged document (the XMP pdf:PDFVersion when the library cannot tell). Empty when there
    // is none.
    QString GetMetaText(QByteArrayView tag) const;
    // The XMP value of tag (see XmpValue).
    QString GetXMPText(QByteArrayView tag) const;
    // The security handler's revision (-1 not encrypted), the user permissions, or the
    // permissions in force; 0 without a document.
    qint64 GetDocPermissions(TPermissionKind kind) const;
    // "Security: Restricted ..." for an encrypted document, by what its user may not do;
    // empty for one that is not encrypted.
    QString SecurityText() const;

private:
    QString InformationEntry(QByteArrayView tag) const;
    // "1.6", with the marks of a packet and of a tagged document; empty when the library
    // cannot tell.
    QString FileVersion() const;

    const TDPLPDFiumDLL &DLL;
    FPDF_DOCUMENT Doc;
    QByteArrayView Packet; // the XMP packet of the file, found once
};
