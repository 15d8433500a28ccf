#pragma once
// The viewer's forward and inverse search without a window: one PDF opened by the engine as
// the viewer opens it, its SyncTeX data loaded once, and answers written as text lines.
#include "engine/QPDF.h"
#include "tools/synctex/WindowlessHost.h"

#include <QTextStream>

#include <memory>

class TSyncTeXTool {
public:
    explicit TSyncTeXTool(QTextStream &out) : Out(out) {}

    // Binds the PDF library beside the tool and opens the PDF (a name relative to the
    // current folder is taken from there). False with the reason written.
    bool Open(const QString &pdfFile);

    // "Page: N" and one "Box: LEFT TOP RIGHT BOTTOM" per rectangle the viewer marks for
    // the source line, in points from the page's top-left corner.
    bool View(const QString &source, int line);
    // "Input: FILE" and "Line: N" for the point (points from the top-left corner) of page.
    bool Edit(int page, double x, double y);
    // "Found: FILE" or "Missing: NAME" for each source file the SyncTeX data names, resolved as
    // a forward search resolves it; false without usable data.
    bool Inputs();
    // One query: "view", SOURCE, LINE or "edit", PAGE, X, Y.
    bool Query(const QStringList &fields);
    // Answers the queries of in, one a line, each answer followed by an empty line.
    void Batch(QTextStream &in);

private:
    bool Fail(const QString &message);
    // Page point of a mark rectangle back to the top-left origin of the page.
    TFloatRect TopLeftRect(int page, const TFloatRect &mark);

    QTextStream &Out;
    TWindowlessHost Host;
    std::unique_ptr<TQPDF> Engine;
    QString PdfFile;
};

// A file name taken relative to the current folder, with "." and ".." resolved.
QString AbsoluteFileName(const QString &name);
