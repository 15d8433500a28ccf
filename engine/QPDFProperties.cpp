// The engine's calls for the document properties: metadata, the report and the password.
#include "engine/DocReport.h"
#include "engine/QPDF.h"

#include <algorithm>

namespace {

TDocMetadata CurrentMetadata(const TDPLPDFiumDLL &dll, const TQPDF &engine)
{
    if (engine.SelDoc() < 0)
        return TDocMetadata(dll, nullptr, {});
    const TDocument &doc = engine.Document(engine.SelDoc());
    return TDocMetadata(dll, doc.PDFiumDoc.get(), doc.PDFiumDocBuf);
}

} // namespace

QString TQPDF::GetMetaText(QByteArrayView tag) const { return CurrentMetadata(Library.DLL(), *this).GetMetaText(tag); }

QString TQPDF::GetXMPText(QByteArrayView tag) const { return CurrentMetadata(Library.DLL(), *this).GetXMPText(tag); }

qint64 TQPDF::GetDocPermissions(TPermissionKind kind) const
{
    return CurrentMetadata(Library.DLL(), *this).GetDocPermissions(kind);
}

QString TQPDF::DocumentReport(bool destinations)
{
    if (FSelDoc < 0)
        return QStringLiteral("No document is currently selected ...");
    TReportPages pages;
    pages.count = Source.PageCount();
    // Before the first layout the first page stands for the selected one.
    const int page = std::max(1, View.SelPage);
    double w = 0, h = 0;
    if (Source.LoadPage(page - 1) && View.GetPageDimensions(page, true, w, h))
        pages.selected = QSizeF(w, h);
    return TDocReport(Library.DLL(), Current()).Build(pages, destinations);
}

bool TQPDF::ForgetPassword()
{
    if (FSelDoc < 0 || Current().FilePwd.isEmpty())
        return false;
    Current().FilePwd.clear();
    return true;
}
