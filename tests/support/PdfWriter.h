#pragma once
// A small PDF writer for tests that need a document of their own making without TeX: pages of
// any size with lines of text in the standard Helvetica font (Latin-1 characters), laid out at
// given points; link annotations with any action; an outline whose entries may point anywhere
// (also back into themselves, as damaged files do). The file is complete (cross-reference
// table, trailer) so any reader opens it.
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

    // A link on page (0-based) over the rectangle, with an action dictionary as written
    // ("<< /S /URI /URI (https://x) >>").
    struct Link {
        int page = 0;
        double left = 0, bottom = 0, right = 0, top = 0;
        QByteArray action;
    };
    // An outline entry; first, next and parent are indexes into outline (-1 none, parent -1
    // the root). page (0-based) gives it a destination, action an action dictionary.
    struct OutlineItem {
        QByteArray title;
        int page = -1;
        QByteArray action;
        int first = -1, next = -1, parent = -1;
    };

    std::vector<Page> pages;
    std::vector<Link> links;
    std::vector<OutlineItem> outline;

    // A chain of entries, each the child of the one before (levels deep), titled "Level N".
    void addNestedOutline(int levels, int page = 0)
    {
        for (int i = 0; i < levels; ++i) {
            OutlineItem item;
            item.title = "Level " + QByteArray::number(i);
            item.page = page;
            item.parent = i > 0 ? i - 1 : -1;
            item.first = i + 1 < levels ? i + 1 : -1;
            outline.push_back(item);
        }
    }

    Page &addPage(double width = 595, double height = 842)
    {
        pages.push_back({width, height, {}});
        return pages.back();
    }

    QByteArray bytes() const
    {
        // Objects: 1 catalog, 2 page tree, 3 font, then a page and its contents per page, the
        // links, the outline's root and its entries.
        std::vector<QByteArray> objects;
        QByteArray kids;
        for (size_t i = 0; i < pages.size(); ++i)
            kids += QByteArray::number(int(4 + 2 * i)) + " 0 R ";
        const int firstLink = int(4 + 2 * pages.size());
        const int outlineRoot = firstLink + int(links.size());
        const auto ref = [](int object) { return QByteArray::number(object) + " 0 R"; };
        const auto entry = [&](int index) { return ref(index < 0 ? outlineRoot : outlineRoot + 1 + index); };
        objects.push_back("<< /Type /Catalog /Pages 2 0 R"
                          + (outline.empty() ? QByteArray() : " /Outlines " + ref(outlineRoot)) + " >>");
        objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(int(pages.size()))
                          + " >>");
        objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
        for (size_t i = 0; i < pages.size(); ++i) {
            const Page &p = pages[i];
            QByteArray content;
            for (const Text &t : p.texts)
                content += "BT /F1 " + num(t.size) + " Tf " + num(t.x) + ' ' + num(t.y) + " Td (" + escaped(t.text)
                    + ") Tj ET\n";
            QByteArray annots;
            for (size_t k = 0; k < links.size(); ++k)
                if (links[k].page == int(i))
                    annots += ref(firstLink + int(k)) + ' ';
            objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + num(p.width) + ' ' + num(p.height)
                              + "] /Resources << /Font << /F1 3 0 R >> >> /Contents "
                              + QByteArray::number(int(5 + 2 * i)) + " 0 R"
                              + (annots.isEmpty() ? QByteArray() : " /Annots [" + annots + "]") + " >>");
            objects.push_back("<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content
                              + "endstream");
        }
        for (const Link &l : links)
            objects.push_back("<< /Type /Annot /Subtype /Link /Border [0 0 0] /Rect [" + num(l.left) + ' '
                              + num(l.bottom) + ' ' + num(l.right) + ' ' + num(l.top) + "] /A " + l.action + " >>");
        if (!outline.empty())
            objects.push_back("<< /Type /Outlines /First " + entry(0) + " >>");
        for (const OutlineItem &o : outline) {
            QByteArray dict = "<< /Title (" + escaped(QString::fromLatin1(o.title)) + ") /Parent " + entry(o.parent);
            if (o.first >= 0)
                dict += " /First " + entry(o.first);
            if (o.next >= 0)
                dict += " /Next " + entry(o.next);
            if (o.page >= 0)
                dict += " /Dest [" + ref(int(4 + 2 * o.page)) + " /XYZ null null null]";
            if (!o.action.isEmpty())
                dict += " /A " + o.action;
            objects.push_back(dict + " >>");
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
