#pragma once
// A PDF of pages that each hold a content stream as written ("0 g 0 0 100 100 re f"), all of
// one size, with a complete cross-reference table. resources, when given, is the pages'
// resource dictionary as written.
#include <QByteArray>
#include <vector>

inline QByteArray RawPdf(const std::vector<QByteArray> &contents, double width = 595, double height = 842,
                         const QByteArray &resources = QByteArray())
{
    QByteArray out = "%PDF-1.4\n";
    std::vector<qsizetype> offsets;
    auto object = [&](const QByteArray &body) {
        offsets.push_back(out.size());
        out += QByteArray::number(qsizetype(offsets.size())) + " 0 obj\n" + body + "\nendobj\n";
    };
    const int n = int(contents.size());
    QByteArray kids;
    for (int i = 0; i < n; ++i)
        kids += QByteArray::number(3 + 2 * i) + " 0 R ";
    object("<< /Type /Catalog /Pages 2 0 R >>");
    object("<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(n) + " >>");
    for (int i = 0; i < n; ++i) {
        object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + QByteArray::number(width) + " "
               + QByteArray::number(height) + "] /Contents " + QByteArray::number(4 + 2 * i) + " 0 R"
               + (resources.isEmpty() ? QByteArray() : " /Resources " + resources) + " >>");
        object("<< /Length " + QByteArray::number(contents[size_t(i)].size()) + " >>\nstream\n" + contents[size_t(i)]
               + "\nendstream");
    }
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(qsizetype(offsets.size()) + 1) + "\n0000000000 65535 f \n";
    for (qsizetype o : offsets)
        out += QByteArray::number(o).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer << /Root 1 0 R /Size " + QByteArray::number(qsizetype(offsets.size()) + 1) + " >>\nstartxref\n"
        + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}
