#pragma once
// A small PDF writer for tests that need a document of their own making without TeX: pages of
// any size with lines of text in the standard Helvetica font (Latin-1 characters), laid out at
// given points. The file is complete (cross-reference table, trailer) so any reader opens it.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <vector>

class PdfWriter {
public:
    // A line of text whose baseline starts at (x, y), points from the page's bottom-left.
    struct Text {
        double x = 72, y = 720, size = 12;
        QString text;
    };
    struct Page {
        double width = 595, height = 842;
        std::vector<Text> texts;
        Page &add(double x, double y, const QString &text, double size = 12)
        {
            texts.push_back({x, y, size, text});
            return *this;
        }
    };

    std::vector<Page> pages;

    Page &addPage(double width = 595, double height = 842)
    {
        pages.push_back({width, height, {}});
        return pages.back();
    }

    QByteArray bytes() const
    {
        // Objects: 1 catalog, 2 page tree, 3 font, then a page and its contents per page.
        std::vector<QByteArray> objects;
        QByteArray kids;
        for (size_t i = 0; i < pages.size(); ++i)
            kids += QByteArray::number(int(4 + 2 * i)) + " 0 R ";
        objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
        objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(int(pages.size()))
                          + " >>");
        objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
        for (size_t i = 0; i < pages.size(); ++i) {
            const Page &p = pages[i];
            QByteArray content;
            for (const Text &t : p.texts)
                content += "BT /F1 " + num(t.size) + " Tf " + num(t.x) + ' ' + num(t.y) + " Td (" + escaped(t.text)
                    + ") Tj ET\n";
            objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + num(p.width) + ' ' + num(p.height)
                              + "] /Resources << /Font << /F1 3 0 R >> >> /Contents "
                              + QByteArray::number(int(5 + 2 * i)) + " 0 R >>");
            objects.push_back("<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content
                              + "endstream");
        }
        QByteArray out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
        std::vector<qsizetype> offsets;
        for (size_t i = 0; i < objects.size(); ++i) {
            offsets.push_back(out.size());
            out += QByteArray::number(int(i + 1)) + " 0 obj\n" + objects[i] + "\nendobj\n";
        }
        const qsizetype xref = out.size();
        out += "xref\n0 " + QByteArray::number(int(objects.size() + 1)) + "\n0000000000 65535 f \n";
        for (qsizetype offset : offsets)
            out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
        out += "trailer\n<< /Size " + QByteArray::number(int(objects.size() + 1)) + " /Root 1 0 R >>\nstartxref\n"
            + QByteArray::number(xref) + "\n%%EOF\n";
        return out;
    }

    bool write(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes()) >= 0;
    }

private:
    static QByteArray num(double v) { return QByteArray::number(v, 'f', 2); }
    // Latin-1 with the string delimiters and the backslash escaped.
    static QByteArray escaped(const QString &text)
    {
        QByteArray out;
        for (char c : text.toLatin1()) {
            if (c == '(' || c == ')' || c == '\\')
                out += '\\';
            out += c;
        }
        return out;
    }
};
