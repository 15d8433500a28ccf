#pragma once
// Saving a document: the library writes it out, the file is replaced as a whole, and a
// document saved under a new name is shown under that name.
#include <QByteArray>
#include <QString>

class TDocumentList;
class TDocumentView;
class TDPLPDFiumDLL;
class THostLink;
class TRecentDocuments;

class TDocumentSaver {
public:
    TDocumentSaver(const TDPLPDFiumDLL &dll, TDocumentList &docs, TRecentDocuments &recent, TDocumentView &view,
                   const THostLink &host)
        : DLL(dll), Docs(docs), Recent(recent), View(view), Host(host)
    {}

    // Document Doc serialised by the library; empty on failure.
    QByteArray GetDocAsString(int Doc);
    // Writes the current document to FN: a temporary file beside it, renamed over it. A name
    // that another tab shows is refused; under a new name the old one goes to the recent
    // list and the tab takes the new one.
    bool SaveFile(const QString &FN);

private:
    const TDPLPDFiumDLL &DLL;
    TDocumentList &Docs;
    TRecentDocuments &Recent;
    TDocumentView &View;
    const THostLink &Host;
};
