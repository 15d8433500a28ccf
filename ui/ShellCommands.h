#pragma once
// The commands that hand the current document to other programs: send it by e-mail, show its
// folder in the file manager, open it in the external viewer or in a new instance of this
// viewer at the page in view.
#include <QString>

class TQPDF;

class TShellCommands {
public:
    explicit TShellCommands(TQPDF *engine) : QPDF(engine) {}

    void menuSendMailClick();
    void menuOpenHomeFolderClick();
    void menuOpenAdobeClick();
    void menuNewInstanceClick();

private:
    // The current document's path when its file exists, else empty.
    QString ExistingFile() const;
    int PageInView() const;

    TQPDF *QPDF;
};
