// Damaged PDFs through the whole engine: from the fixtures and from documents of the test PDF
// writer, derives (deterministically from a seed) damaged files: truncations at every 1/64 of
// the length, byte flips, deleted and duplicated objects, broken cross-reference tables and
// trailers, huge numbers and counts, deep nesting of arrays, dictionaries, outlines and page
// trees, cyclic page trees and streams with lying lengths. Each file is opened in a child
// process (10 s, 1 GiB of address space) the way the viewer opens it: every page (at most 20)
// rendered at 72 dpi, its text page, links, labels; the first screen painted; the text of
// every page searched; the outline, metadata and properties report read. Crashes, hangs and
// exhausted memory are told apart by the stack of the failure: inside MuPDF (and the libraries
// it bundles) or in our own code (engine, PDF library layer). Each failing input is kept with a
// one-line reason.
// Usage: bench_malformed [--count N] [--seed S] [--out DIR] [--jobs J] [--only I]
#include "BenchEngine.h"
#include "PdfWriter.h"
#include "RawPdf.h"

#include "engine/Outline.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>

#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <new>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxPages = 20;
constexpr double kTimeLimit = 10;
constexpr rlim_t kAddressSpace = rlim_t(1) << 30;
// A page larger than this many pixels a side at 72 dpi is rendered cut to it: the viewer only
// ever renders the visible part of a page.
constexpr int kMaxSide = 4000;

// Exit codes of a child.
constexpr int kOpened = 0;
constexpr int kRejected = 10;
constexpr int kNoMemory = 11;
constexpr int kHangTrace = 12;

// ---------------------------------------------------------------------------------------
// Deterministic randomness (the same files on every machine).

class TRng {
public:
    explicit TRng(uint64_t seed) : S(seed) {}
    uint64_t Next()
    {
        uint64_t z = (S += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1 (0 when n is 0).
    qsizetype Below(qsizetype n) { return n > 0 ? qsizetype(Next() % uint64_t(n)) : 0; }
    template <typename T>
    const T &Pick(const std::vector<T> &v)
    {
        return v[size_t(Below(qsizetype(v.size())))];
    }

private:
    uint64_t S;
};

// ---------------------------------------------------------------------------------------
// Source documents.

struct TSource {
    QString name;
    QByteArray bytes;
};

// A document of numbered objects as written (object k is objects[k-1]), with a complete
// cross-reference table and a trailer naming object 1 the catalog.
QByteArray Assemble(const std::vector<QByteArray> &objects)
{
    QByteArray out = "%PDF-1.7\n";
    std::vector<qsizetype> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(out.size());
        out += QByteArray::number(qsizetype(i + 1)) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(qsizetype(objects.size() + 1)) + "\n0000000000 65535 f \n";
    for (qsizetype o : offsets)
        out += QByteArray::number(o).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<< /Size " + QByteArray::number(qsizetype(objects.size() + 1)) + " /Root 1 0 R >>\nstartxref\n"
        + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

QByteArray WriterDocument()
{
    PdfWriter w;
    for (int p = 0; p < 3; ++p) {
        PdfWriter::Page &page = w.addPage(p == 1 ? 842 : 595, p == 1 ? 595 : 842);
        for (int line = 0; line < 12; ++line)
            page.add(72, 760 - 24 * line,
                     QStringLiteral("Page %1 line %2: the quick brown fox, caf\u00e9").arg(p + 1).arg(line));
    }
    w.links.push_back({0, 72, 700, 300, 720, "<< /S /URI /URI (https://example.org/a) >>"});
    w.links.push_back({0, 72, 600, 300, 620, "<< /S /GoTo /D [6 0 R /Fit] >>"});
    w.links.push_back({1, 72, 500, 300, 520, "<< /S /Launch /F (other.pdf) >>"});
    w.links.push_back({2, 72, 400, 300, 420, "<< /S /GoToR /F (other.pdf) /D [0 /Fit] >>"});
    w.outline.push_back({"Chapter 1", 0, {}, 1, 2, -1});
    w.outline.push_back({"Section 1.1", 1, {}, -1, -1, 0});
    w.outline.push_back({"Chapter 2", 2, {}, -1, 3, -1});
    w.outline.push_back({"Web", -1, "<< /S /URI /URI (https://example.org/b) >>", -1, -1, -1});
    return w.bytes();
}

QByteArray GraphicsDocument()
{
    return RawPdf({"0 0 1 rg 10 10 200 200 re f 1 0 0 RG 5 w 0 0 m 500 800 l S",
                   "q 0.5 0 0 0.5 100 100 cm 0 g 0 0 100 100 re f Q BT /F1 24 Tf 72 72 Td (Hello) Tj ET"},
                  595, 842, "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Times-Roman >> >> >>");
}

std::vector<TSource> Sources(const QString &fixtures)
{
    std::vector<TSource> out;
    const QStringList folders = {QStringLiteral("pdfium"), QStringLiteral("multi"), QStringLiteral("render"),
                                 QStringLiteral("mainwin"), QStringLiteral("widths")};
    for (const QString &folder : folders) {
        const QDir dir(fixtures + '/' + folder);
        for (const QString &name : dir.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            if (f.size() > 0 && f.size() <= 100 * 1024 && f.open(QIODevice::ReadOnly))
                out.push_back({folder + '/' + name, f.readAll()});
        }
    }
    out.push_back({QStringLiteral("writer/links-outline"), WriterDocument()});
    out.push_back({QStringLiteral("writer/graphics"), GraphicsDocument()});
    return out;
}

// ---------------------------------------------------------------------------------------
// Damage.

struct TCase {
    QByteArray category;
    QString source;
    QByteArray detail;
    QByteArray bytes;
};

// Where the objects "N G obj" start and their "endobj" ends, in file order.
struct TSpan {
    qsizetype begin = 0, end = 0;
};

std::vector<TSpan> ObjectSpans(const QByteArray &b)
{
    std::vector<TSpan> out;
    qsizetype at = 0;
    while ((at = b.indexOf(" obj", at)) >= 0) {
        // Back over "G" and "N".
        qsizetype s = at;
        int numbers = 0;
        while (numbers < 2 && s > 0) {
            qsizetype e = s;
            while (s > 0 && b[s - 1] >= '0' && b[s - 1] <= '9')
                --s;
            if (s == e)
                break;
            ++numbers;
            if (numbers < 2 && s > 0 && b[s - 1] == ' ')
                --s;
        }
        const qsizetype end = b.indexOf("endobj", at);
        if (numbers == 2 && end > at)
            out.push_back({s, end + 6});
        at += 4;
    }
    return out;
}

// Positions of every occurrence of needle.
std::vector<qsizetype> FindAll(const QByteArray &b, const QByteArray &needle)
{
    std::vector<qsizetype> out;
    for (qsizetype at = b.indexOf(needle); at >= 0; at = b.indexOf(needle, at + 1))
        out.push_back(at);
    return out;
}

// The number after position at (skipping blanks): its start and length, or length 0.
std::pair<qsizetype, qsizetype> NumberAfter(const QByteArray &b, qsizetype at)
{
    while (at < b.size() && (b[at] == ' ' || b[at] == '\n' || b[at] == '\r'))
        ++at;
    qsizetype e = at;
    while (e < b.size() && (std::isdigit(static_cast<unsigned char>(b[e])) || b[e] == '-' || b[e] == '.'))
        ++e;
    return {at, e - at};
}

const std::vector<QByteArray> kHugeNumbers = {"2147483647",
                                              "2147483648",
                                              "-2147483648",
                                              "-2147483649",
                                              "4294967296",
                                              "9223372036854775807",
                                              "99999999999999999999999999999999",
                                              "1e308",
                                              "-1e308",
                                              "340282366920938463463374607431768211456.5",
                                              "0.00000000000000000000000001",
                                              "-1",
                                              "0",
                                              "-0",
                                              "65535",
                                              "1.#INF"};

void FlipBytes(TRng &rng, QByteArray &b, int n, qsizetype from = 0, qsizetype to = -1)
{
    if (to < 0 || to > b.size())
        to = b.size();
    if (to <= from)
        return;
    for (int i = 0; i < n; ++i)
        b[from + rng.Below(to - from)] ^= char(1 + rng.Below(255));
}

// A number token somewhere in b replaced by one of the huge (or degenerate) values; a
// key's number when key is given.
bool ReplaceNumber(TRng &rng, QByteArray &b, const QByteArray &key, QByteArray &detail)
{
    const std::vector<qsizetype> at = FindAll(b, key.isEmpty() ? QByteArray(" ") : key);
    if (at.empty())
        return false;
    for (int tries = 0; tries < 20; ++tries) {
        const auto [start, len] = NumberAfter(b, rng.Pick(at) + (key.isEmpty() ? 1 : key.size()));
        if (len == 0)
            continue;
        const QByteArray &value = rng.Pick(kHugeNumbers);
        detail = (key.isEmpty() ? QByteArray("number") : key.trimmed()) + ' ' + b.mid(start, len) + " -> " + value;
        b.replace(start, len, value);
        return true;
    }
    return false;
}

// Content of a page that nests depth deep: arrays in a TJ, or saved graphics states.
QByteArray NestedContent(TRng &rng, int depth)
{
    if (rng.Below(2) == 0)
        return "BT /F1 12 Tf 72 700 Td " + QByteArray(depth, '[') + "(x)" + QByteArray(depth, ']') + " TJ ET";
    return QByteArray("q ").repeated(depth) + "0 g 0 0 10 10 re f" + QByteArray(" Q").repeated(depth);
}

// A value nesting depth deep: arrays, dictionaries or both.
QByteArray NestedValue(TRng &rng, int depth)
{
    switch (rng.Below(3)) {
    case 0: return QByteArray(depth, '[') + "1" + QByteArray(depth, ']');
    case 1: return QByteArray("<< /A ").repeated(depth) + "1" + QByteArray(" >>").repeated(depth);
    default: return QByteArray("[ << /A ").repeated(depth) + "1" + QByteArray(" >> ]").repeated(depth);
    }
}

const std::vector<int> kDepths = {64, 256, 1000, 5000, 20000, 100000};

void DeepNesting(TRng &rng, TCase &c)
{
    const int depth = rng.Pick(kDepths);
    const QByteArray font = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";
    switch (rng.Below(5)) {
    case 0:
        c.detail = "content nesting " + QByteArray::number(depth);
        c.bytes = RawPdf({NestedContent(rng, depth)}, 595, 842, font);
        break;
    case 1: {
        c.detail = "nested value in the page dictionary " + QByteArray::number(depth);
        const QByteArray content = "0 g 0 0 10 10 re f";
        c.bytes =
            Assemble({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /X " + NestedValue(rng, depth)
                          + " /Contents 4 0 R >>",
                      "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "\nendstream"});
        break;
    }
    case 2: {
        c.detail = "nested outline " + QByteArray::number(depth);
        PdfWriter w;
        w.addPage().add(72, 700, QStringLiteral("deep"));
        w.addNestedOutline(std::min(depth, 20000));
        c.bytes = w.bytes();
        break;
    }
    case 3: {
        // A chain of page tree nodes, each the only kid of the one before.
        const int levels = std::min(depth, 20000);
        c.detail = "page tree depth " + QByteArray::number(levels);
        std::vector<QByteArray> objects = {"<< /Type /Catalog /Pages 2 0 R >>"};
        for (int i = 0; i < levels; ++i)
            objects.push_back("<< /Type /Pages /Kids [" + QByteArray::number(i + 3) + " 0 R] /Count 1"
                              + (i > 0 ? " /Parent " + QByteArray::number(i + 1) + " 0 R" : QByteArray()) + " >>");
        objects.push_back("<< /Type /Page /Parent " + QByteArray::number(levels + 1)
                          + " 0 R /MediaBox [0 0 200 200] >>");
        c.bytes = Assemble(objects);
        break;
    }
    default: {
        c.detail = "nested annotation action chain " + QByteArray::number(std::min(depth, 5000));
        PdfWriter w;
        w.addPage().add(72, 700, QStringLiteral("link"));
        QByteArray action = "<< /S /URI /URI (https://x) >>";
        for (int i = 0; i < std::min(depth, 5000); ++i)
            action = "<< /S /URI /URI (https://x) /Next " + action + " >>";
        w.links.push_back({0, 72, 690, 200, 710, action});
        c.bytes = w.bytes();
        break;
    }
    }
}

void CyclicPages(TRng &rng, TCase &c)
{
    const QByteArray page = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>";
    switch (rng.Below(7)) {
    case 0:
        c.detail = "page tree node is its own kid";
        c.bytes =
            Assemble({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [2 0 R 3 0 R] /Count 2 >>", page});
        break;
    case 1:
        c.detail = "two page tree nodes are each other's kid";
        c.bytes = Assemble({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
                            "<< /Type /Pages /Parent 2 0 R /Kids [2 0 R] /Count 1 >>", page});
        break;
    case 2:
        c.detail = "the catalog is a kid of the page tree";
        c.bytes =
            Assemble({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [1 0 R 3 0 R] /Count 2 >>", page});
        break;
    case 3:
        c.detail = "the same page a thousand times";
        c.bytes =
            Assemble({"<< /Type /Catalog /Pages 2 0 R >>",
                      "<< /Type /Pages /Kids [" + QByteArray("3 0 R ").repeated(1000) + "] /Count 1000 >>", page});
        break;
    case 4:
        c.detail = "a page's parent chain loops";
        c.bytes = Assemble({"<< /Type /Catalog /Pages 2 0 R >>",
                            "<< /Type /Pages /Parent 4 0 R /Kids [3 0 R] /Count 1 /Resources 4 0 R >>",
                            "<< /Type /Page /Parent 4 0 R /MediaBox [0 0 200 200] >>",
                            "<< /Type /Pages /Parent 2 0 R /Kids [3 0 R] /Count 1 >>"});
        break;
    case 5:
        c.detail = "page tree whose kids form a ring of nodes";
        c.bytes = Assemble({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 5 >>",
                            "<< /Type /Pages /Kids [4 0 R 6 0 R] /Count 4 >>",
                            "<< /Type /Pages /Kids [5 0 R 6 0 R] /Count 3 >>",
                            "<< /Type /Pages /Kids [3 0 R 6 0 R] /Count 2 >>",
                            "<< /Type /Page /Parent 3 0 R /MediaBox [0 0 200 200] >>"});
        break;
    default: {
        c.detail = "outline whose entries loop";
        PdfWriter w;
        w.addPage().add(72, 700, QStringLiteral("loop"));
        w.addPage().add(72, 700, QStringLiteral("loop 2"));
        w.outline.push_back({"A", 0, {}, 1, 2, -1});
        w.outline.push_back({"B", 1, {}, 0, 1, 0});
        w.outline.push_back({"C", 1, {}, 2, 0, -1});
        c.bytes = w.bytes();
        break;
    }
    }
}

void LyingStreamLength(TRng &rng, TCase &c)
{
    const std::vector<qsizetype> at = FindAll(c.bytes, "/Length ");
    if (at.empty()) {
        c.detail = "no stream: byte flips";
        FlipBytes(rng, c.bytes, 4);
        return;
    }
    const auto [start, len] = NumberAfter(c.bytes, rng.Pick(at) + 8);
    if (len == 0)
        return;
    const qint64 old = c.bytes.mid(start, len).toLongLong();
    const std::vector<QByteArray> values = {QByteArray::number(old + 1 + rng.Below(64)),
                                            QByteArray::number(std::max<qint64>(0, old - 1 - rng.Below(64))),
                                            "0",
                                            "-5",
                                            "2147483647",
                                            "99999999999",
                                            "999 0 R",
                                            "1 0 R",
                                            QByteArray::number(c.bytes.size() * 4)};
    const QByteArray &value = rng.Pick(values);
    c.detail = "/Length " + c.bytes.mid(start, len) + " -> " + value;
    c.bytes.replace(start, len, value);
    if (rng.Below(4) == 0) {
        const std::vector<qsizetype> ends = FindAll(c.bytes, "endstream");
        if (!ends.empty()) {
            c.bytes.remove(rng.Pick(ends), 9);
            c.detail += ", an endstream removed";
        }
    }
}

void BreakXref(TRng &rng, TCase &c)
{
    QByteArray &b = c.bytes;
    const qsizetype startxref = b.lastIndexOf("startxref");
    const qsizetype xref = b.lastIndexOf("\nxref");
    switch (rng.Below(7)) {
    case 0:
        if (startxref >= 0) {
            const auto [s, len] = NumberAfter(b, startxref + 9);
            const std::vector<QByteArray> values = {"0", "-1", "99999999999", QByteArray::number(rng.Below(b.size())),
                                                    QByteArray::number(b.size())};
            const QByteArray &v = rng.Pick(values);
            c.detail = "startxref -> " + v;
            b.replace(s, len, v);
            return;
        }
        break;
    case 1:
        if (xref >= 0) {
            c.detail = "the xref keyword removed";
            b.replace(xref + 1, 4, "xxxx");
            return;
        }
        break;
    case 2:
        if (xref >= 0) {
            // Every offset of the table moved by the same amount.
            const qsizetype shift = 1 + rng.Below(40);
            c.detail = "offsets moved by " + QByteArray::number(shift);
            for (qsizetype at = b.indexOf(" 00000 n", xref); at >= 0; at = b.indexOf(" 00000 n", at + 1))
                if (at >= 10)
                    b.replace(at - 10, 10,
                              QByteArray::number(b.mid(at - 10, 10).toLongLong() + shift).rightJustified(10, '0'));
            return;
        }
        break;
    case 3:
        if (xref >= 0) {
            const auto [s, len] = NumberAfter(b, b.indexOf(' ', xref + 5) + 1);
            const QByteArray &v = rng.Pick(kHugeNumbers);
            c.detail = "xref subsection count -> " + v;
            b.replace(s, len, v);
            return;
        }
        break;
    case 4:
        if (xref >= 0 && startxref > xref) {
            c.detail = "the xref table and trailer removed";
            b.remove(xref + 1, startxref - xref - 1);
            return;
        }
        break;
    case 5:
        if (xref >= 0) {
            c.detail = "garbage in the xref table";
            FlipBytes(rng, b, 8 + int(rng.Below(32)), xref, startxref > xref ? startxref : b.size());
            return;
        }
        break;
    default: break;
    }
    // Cross-reference streams (or the case above had nothing to break): damage what the
    // xref stream's dictionary says.
    static const std::vector<QByteArray> keys = {"/W [", "/Index [", "/Size ", "/Prev ", "/First ", "/N "};
    const QByteArray key = rng.Pick(keys);
    if (!ReplaceNumber(rng, b, key, c.detail)) {
        c.detail = "the end of the file flipped";
        FlipBytes(rng, b, 6, std::max<qsizetype>(0, b.size() - 200));
    }
}

void BreakTrailer(TRng &rng, TCase &c)
{
    QByteArray &b = c.bytes;
    static const std::vector<std::pair<QByteArray, QByteArray>> swaps = {
        {"/Root ", "/Root 999 0 R /X "},
        {"/Root ", "/Root 2 0 R /X "},
        {"/Root ", "/Root (string) /X "},
        {"/Root ", "/Rooo "},
        {"/Size ", "/Size 2147483647 /X "},
        {"/Size ", "/Size 0 /X "},
        {"/Size ", "/Size -7 /X "},
        {"/Root ", "/Prev 0 /Root "},
        {"/Root ", "/Encrypt << /Filter /Standard /V 9 /R 9 /O (x) /U (y) /P -1 >> /Root "},
        {"/Root ", "/Info 1 0 R /Root "},
        {"/Root ", "/ID [(a)] /Root "},
    };
    const auto &[from, to] = rng.Pick(swaps);
    const qsizetype at = b.lastIndexOf(from);
    if (at < 0) {
        c.detail = "trailer region flipped";
        FlipBytes(rng, b, 6, std::max<qsizetype>(0, b.size() - 300));
        return;
    }
    c.detail = from.trimmed() + " -> " + to.trimmed();
    b.replace(at, from.size(), to);
}

void HugeNumbers(TRng &rng, TCase &c)
{
    static const std::vector<QByteArray> keys = {"",
                                                 "",
                                                 "/Count ",
                                                 "/Count ",
                                                 "/Length ",
                                                 "/MediaBox [",
                                                 "/Rotate ",
                                                 "/Width ",
                                                 "/Height ",
                                                 "/BitsPerComponent ",
                                                 "/Size ",
                                                 "/N ",
                                                 "/First ",
                                                 "/K ",
                                                 "/UserUnit ",
                                                 "/Columns ",
                                                 "/Colors ",
                                                 "/Predictor ",
                                                 "/FontMatrix [",
                                                 "/Widths ["};
    QByteArray key = rng.Pick(keys);
    if (key == "/Rotate " && c.bytes.indexOf(key) < 0) {
        const qsizetype at = c.bytes.indexOf("/Type /Page ");
        if (at >= 0)
            c.bytes.insert(at, "/Rotate 90 ");
    }
    const int n = 1 + int(rng.Below(3));
    QByteArray all;
    for (int i = 0; i < n; ++i) {
        QByteArray d;
        if (ReplaceNumber(rng, c.bytes, key, d) || ReplaceNumber(rng, c.bytes, QByteArray(), d))
            all += (all.isEmpty() ? "" : "; ") + d;
    }
    c.detail = all;
}

void DeleteObject(TRng &rng, TCase &c)
{
    const std::vector<TSpan> spans = ObjectSpans(c.bytes);
    if (spans.empty()) {
        FlipBytes(rng, c.bytes, 4);
        c.detail = "no objects: byte flips";
        return;
    }
    const TSpan s = rng.Pick(spans);
    c.detail = "deleted " + c.bytes.mid(s.begin, std::min<qsizetype>(12, s.end - s.begin)).simplified();
    if (rng.Below(2) == 0)
        c.bytes.remove(s.begin, s.end - s.begin);
    else // Keeping the offsets of the objects after it.
        c.bytes.replace(s.begin, s.end - s.begin, QByteArray(s.end - s.begin, ' '));
}

void DuplicateObject(TRng &rng, TCase &c)
{
    const std::vector<TSpan> spans = ObjectSpans(c.bytes);
    if (spans.empty()) {
        FlipBytes(rng, c.bytes, 4);
        c.detail = "no objects: byte flips";
        return;
    }
    const TSpan s = rng.Pick(spans);
    QByteArray copy = c.bytes.mid(s.begin, s.end - s.begin);
    // The copy differs (a later definition of the same number), or is the same.
    if (rng.Below(2) == 0)
        FlipBytes(rng, copy, 1 + int(rng.Below(4)), std::min<qsizetype>(copy.size(), 10));
    const TSpan where = rng.Pick(spans);
    const qsizetype at = rng.Below(2) == 0 ? where.end : where.begin;
    c.detail = "duplicated " + copy.left(12).simplified();
    c.bytes.insert(at, "\n" + copy + "\n");
}

void Flips(TRng &rng, TCase &c)
{
    const int n = 1 + int(rng.Below(24));
    if (rng.Below(3) == 0) {
        // Near a keyword where the parser decides most.
        static const std::vector<QByteArray> words = {"stream", "obj",  "/Type",     "/Filter", "/Font",
                                                      "<<",     "xref", "/Outlines", "/Annots", "/Kids"};
        const QByteArray &w = rng.Pick(words);
        const std::vector<qsizetype> at = FindAll(c.bytes, w);
        if (!at.empty()) {
            const qsizetype p = rng.Pick(at);
            c.detail = QByteArray::number(n) + " flips near " + w;
            FlipBytes(rng, c.bytes, n, std::max<qsizetype>(0, p - 16), p + 48);
            return;
        }
    }
    c.detail = QByteArray::number(n) + " flips";
    FlipBytes(rng, c.bytes, n);
}

// Random bytes, after the signature of a format when one is given.
QByteArray Noise(TRng &rng, const QByteArray &signature)
{
    QByteArray out = signature;
    const qsizetype n = rng.Below(4096);
    for (qsizetype i = 0; i < n; ++i)
        out += char(rng.Below(256));
    return out;
}

QByteArray StreamObject(const QByteArray &dict, const QByteArray &data)
{
    return "<< " + dict + " /Length " + QByteArray::number(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

// Images and embedded fonts of broken data with absurd sizes, drawn and read for text, so
// that the decoders and font engines MuPDF bundles see them.
void BrokenDecoders(TRng &rng, TCase &c)
{
    static const std::vector<std::pair<QByteArray, QByteArray>> filters = {
        {"/DCTDecode", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11)},
        {"/JPXDecode", QByteArray("\x00\x00\x00\x0CjP  \r\n\x87\n", 12)},
        {"/JBIG2Decode", QByteArray("\x00\x00\x00\x00\x30\x00\x01\x00\x00\x00\x13", 11)},
        {"/FlateDecode", "\x78\x9C"},
        {"/LZWDecode", "\x80"},
        {"/RunLengthDecode", ""},
        {"/CCITTFaxDecode", ""},
        {"/ASCII85Decode", "<~"},
        {"/ASCIIHexDecode", "0a1b"},
    };
    static const std::vector<QByteArray> sizes = {"1", "16", "1000", "65535", "2147483647", "0", "-1", "1e10"};
    static const std::vector<QByteArray> bits = {"1", "8", "16", "0", "33"};
    static const std::vector<QByteArray> spaces = {"/DeviceRGB",   "/DeviceGray",
                                                   "/DeviceCMYK",  "[/Indexed /DeviceRGB 255 <00FF00>]",
                                                   "/Nonexistent", "[/ICCBased 5 0 R]"};
    static const std::vector<std::pair<QByteArray, QByteArray>> fonts = {
        {"/FontFile2", QByteArray("\x00\x01\x00\x00", 4)},
        {"/FontFile3 /Subtype /OpenType", "OTTO"},
        {"/FontFile3 /Subtype /Type1C", QByteArray("\x01\x00\x04\x02", 4)},
        {"/FontFile /Length1 100 /Length2 100 /Length3 0", "%!PS-AdobeFont-1.0"},
    };
    const auto &[filter, signature] = rng.Pick(filters);
    const auto &[fontKey, fontSignature] = rng.Pick(fonts);
    const QByteArray w = rng.Pick(sizes), h = rng.Pick(sizes), bpc = rng.Pick(bits), cs = rng.Pick(spaces);
    c.detail = "image " + filter + ' ' + w + 'x' + h + " bpc " + bpc + ' ' + cs + ", font " + fontKey;
    const QByteArray content = "q 200 0 0 200 50 50 cm /Im1 Do Q BT /F1 24 Tf 72 700 Td (Broken font) Tj ET";
    QByteArray parms;
    if (rng.Below(3) == 0)
        parms = " /DecodeParms << /Predictor " + rng.Pick(std::vector<QByteArray>{"2", "12", "15", "99"}) + " /Columns "
            + rng.Pick(sizes) + " /Colors " + rng.Pick(bits) + " /K -1 >>";
    c.bytes =
        Assemble({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                  "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 300] /Contents 4 0 R /Resources << "
                  "/XObject << /Im1 6 0 R >> /Font << /F1 7 0 R >> >> >>",
                  StreamObject("", content),
                  StreamObject("/N 3",
                               Noise(rng,
                                     QByteArray("\x00\x00\x02\x0C"
                                                "ADBE",
                                                8))),
                  StreamObject("/Type /XObject /Subtype /Image /Width " + w + " /Height " + h + " /BitsPerComponent "
                                   + bpc + " /ColorSpace " + cs + " /Filter " + filter + parms,
                               Noise(rng, signature)),
                  "<< /Type /Font /Subtype " + QByteArray(fontKey.startsWith("/FontFile2") ? "/TrueType" : "/Type1")
                      + " /BaseFont /Broken /FirstChar 32 /LastChar 126 /FontDescriptor 8 0 R >>",
                  "<< /Type /FontDescriptor /FontName /Broken /Flags 32 /FontBBox [0 0 1000 1000] "
                  "/ItalicAngle 0 /Ascent 800 /Descent -200 /CapHeight 700 /StemV 80 "
                      + fontKey.left(fontKey.indexOf(' ') < 0 ? fontKey.size() : fontKey.indexOf(' ')) + " 9 0 R >>",
                  StreamObject(fontKey.indexOf(' ') < 0 ? QByteArray() : fontKey.mid(fontKey.indexOf(' ') + 1),
                               Noise(rng, fontSignature))});
}

using TMutation = void (*)(TRng &, TCase &);
struct TKind {
    const char *category;
    TMutation mutate;
    bool generated; // Makes its own document instead of damaging a source.
};
const std::vector<TKind> kKinds = {
    {"flips", Flips, false},
    {"delete-object", DeleteObject, false},
    {"duplicate-object", DuplicateObject, false},
    {"xref", BreakXref, false},
    {"trailer", BreakTrailer, false},
    {"huge-numbers", HugeNumbers, false},
    {"stream-length", LyingStreamLength, false},
    {"deep-nesting", DeepNesting, true},
    {"cyclic", CyclicPages, true},
    {"decoders", BrokenDecoders, true},
};

// Every sixth file is a truncation, going through the sources and the 63 cuts in turn; the
// others a random kind of damage (now and then two) to a random source.
TCase MakeCase(const std::vector<TSource> &sources, uint64_t seed, int index)
{
    TCase c;
    if (index % 6 == 0) {
        const int t = (index / 6) % int(sources.size() * 63);
        const TSource &s = sources[size_t(t / 63)];
        const int k = 1 + t % 63;
        c.category = "truncation";
        c.source = s.name;
        c.detail = "cut at " + QByteArray::number(k) + "/64";
        c.bytes = s.bytes.left(s.bytes.size() * k / 64);
        return c;
    }
    TRng rng(seed * 1000003ull + uint64_t(index));
    const TSource &s = rng.Pick(sources);
    const TKind &kind = rng.Pick(kKinds);
    c.category = kind.category;
    c.source = kind.generated ? QStringLiteral("writer") : s.name;
    c.bytes = s.bytes;
    kind.mutate(rng, c);
    if (!kind.generated && rng.Below(8) == 0) {
        const TKind &second = kKinds[size_t(rng.Below(7))];
        TCase extra = c;
        second.mutate(rng, extra);
        c.bytes = extra.bytes;
        c.detail += QByteArray(" + ") + second.category + ": " + extra.detail;
    }
    return c;
}

// ---------------------------------------------------------------------------------------
// The child: the document through the engine, with a trace of the stack on a failure.

int TraceFd = -1;

void WriteAll(int fd, const char *s, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, s, n);
        if (w <= 0)
            return;
        s += w;
        n -= size_t(w);
    }
}

void WriteText(const char *s) { WriteAll(TraceFd, s, std::strlen(s)); }

// One line per frame: module, offset in it (hex), symbol if the module exports it.
void WriteTrace(const char *headline)
{
    WriteText(headline);
    WriteText("\n");
    void *frames[64];
    const int n = backtrace(frames, 64);
    for (int i = 0; i < n; ++i) {
        Dl_info info{};
        char line[768];
        if (dladdr(frames[i], &info) && info.dli_fname) {
            // The return address points after the call: look one byte back.
            const uintptr_t off = uintptr_t(frames[i]) - uintptr_t(info.dli_fbase) - (i > 0 ? 1 : 0);
            std::snprintf(line, sizeof line, "%s\t%lx\t%s\n", info.dli_fname, static_cast<unsigned long>(off),
                          info.dli_sname ? info.dli_sname : "");
        } else {
            std::snprintf(line, sizeof line, "?\t%lx\t\n", static_cast<unsigned long>(uintptr_t(frames[i])));
        }
        WriteText(line);
    }
}

extern "C" void OnCrashSignal(int sig)
{
    char head[64];
    std::snprintf(head, sizeof head, "crash %d", sig);
    WriteTrace(head);
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

extern "C" void OnHangSignal(int)
{
    WriteTrace("hang");
    ::_exit(kHangTrace);
}

void OnNoMemory()
{
    WriteTrace("memory");
    ::_exit(kNoMemory);
}

void InstallHandlers()
{
    static char altStack[1 << 16];
    stack_t ss{};
    ss.ss_sp = altStack;
    ss.ss_size = sizeof altStack;
    sigaltstack(&ss, nullptr);
    struct sigaction sa {};
    sa.sa_handler = OnCrashSignal;
    sa.sa_flags = SA_ONSTACK;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP})
        sigaction(sig, &sa, nullptr);
    sa.sa_handler = OnHangSignal;
    sigaction(SIGUSR1, &sa, nullptr);
    std::set_new_handler(OnNoMemory);
}

// The host of the benchmark's engine: the encrypted fixtures' user password, offered once.
class TPasswordHost : public RecordingHost {
public:
    bool AskPassword(const QString &, QString &password, bool &remember) override
    {
        if (Asked++ > 0)
            return false;
        password = QStringLiteral("user");
        remember = false;
        return true;
    }

private:
    int Asked = 0;
};

int Exercise(TQPDF &engine, const QString &file)
{
    // A file the library refuses keeps its tab, with the error, and no document.
    engine.OpenDocument(file, true, QString(), 0, TDestType::ForwardSearch);
    FPDF_DOCUMENT doc = engine.SelDoc() >= 0 ? engine.Document(engine.SelDoc()).PDFiumDoc.get() : nullptr;
    if (!doc)
        return kRejected;
    const TDPLPDFiumDLL &dll = *engine.PDFium();
    TPdfPageSource &source = engine.Pages();

    QImage screen(1280, 800, QImage::Format_BGR888);
    screen.fill(Qt::gray);
    engine.RefreshScreen(0, 0, 800, 1280, screen.rect(), screen);

    const int pages = std::min(source.PageCount(), kMaxPages);
    for (int p = 0; p < pages; ++p) {
        FS_SIZEF size{0, 0};
        if (source.PageSize(p, size)) {
            const auto side = [](float v) { return std::isfinite(v) ? std::clamp(int(std::ceil(v)), 1, kMaxSide) : 1; };
            QImage bmp(side(size.width), side(size.height), QImage::Format_BGR888);
            if (!bmp.isNull())
                engine.RenderPageBitmap(bmp, doc, p + 1, 0, 0, bmp.width(), bmp.height(), 0, 0);
        }
        source.LoadPage(p);
        if (FPDF_TEXTPAGE text = source.TextPage())
            dll.FPDFText_CountChars(text);
        if (FPDF_PAGE page = source.Page()) {
            int pos = 0;
            FPDF_LINK link = nullptr;
            while (dll.FPDFLink_Enumerate(page, &pos, &link)) {
                engine.GetAnnotHint(link);
                if (FPDF_DEST dest = dll.FPDFLink_GetDest(doc, link))
                    dll.FPDFDest_GetDestPageIndex(doc, dest);
            }
        }
        source.PageLabel(p);
        engine.Navigator().GetPageLabelEx(p + 1);
    }
    // The search reads the text of every page.
    engine.GetAllMatches(QStringLiteral("e"));

    if (const std::shared_ptr<TTree> &tree = engine.Tree()) {
        tree->Ready = false;
        engine.BuildTree(tree);
        engine.ReadTreePages(*tree);
    }
    for (const char *tag : {"Title", "Author", "Subject", "Keywords", "Creator", "Producer", "CreationDate", "ModDate",
                            "Version", "dc:title", "xmp:CreatorTool"}) {
        engine.GetMetaText(QByteArrayView(tag));
        engine.GetXMPText(QByteArrayView(tag));
    }
    engine.DocumentReport(true);
    return kOpened;
}

[[noreturn]] void RunChild(TQPDF &engine, const QString &file, const QString &trace)
{
    TraceFd = ::open(QFile::encodeName(trace).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const rlimit as{kAddressSpace, kAddressSpace};
    setrlimit(RLIMIT_AS, &as);
    const int code = Exercise(engine, file);
    // Leaving without the destructors: the parent's engine is the same memory.
    ::_exit(code);
}

// ---------------------------------------------------------------------------------------
// The parent: the classification of a failure by its stack.

struct TFrame {
    QString module;
    quint64 offset = 0;
    QString function;
    QString location;
};

std::vector<TFrame> ReadTrace(const QString &path, QString &headline)
{
    std::vector<TFrame> frames;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return frames;
    const QList<QByteArray> lines = f.readAll().split('\n');
    headline = lines.isEmpty() ? QString() : QString::fromUtf8(lines[0]);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> parts = lines[i].split('\t');
        if (parts.size() < 3)
            continue;
        frames.push_back(
            {QString::fromUtf8(parts[0]), parts[1].toULongLong(nullptr, 16), QString::fromUtf8(parts[2]), QString()});
    }
    // Names and places of what the modules do not export, from their symbol tables.
    std::map<QString, std::vector<size_t>> byModule;
    for (size_t i = 0; i < frames.size(); ++i)
        if (frames[i].module.contains(QLatin1String("libpdfium")) || frames[i].module.contains(QLatin1String("bench_"))
            || frames[i].function.isEmpty())
            byModule[frames[i].module].push_back(i);
    for (const auto &[module, indexes] : byModule) {
        if (!QFileInfo(module).isFile())
            continue;
        QStringList args = {QStringLiteral("-f"), QStringLiteral("-C"), QStringLiteral("-e"), module};
        for (size_t i : indexes)
            args << QStringLiteral("0x") + QString::number(frames[i].offset, 16);
        QProcess a2l;
        a2l.start(QStringLiteral("addr2line"), args);
        if (!a2l.waitForFinished(30000))
            continue;
        const QStringList out = QString::fromUtf8(a2l.readAllStandardOutput()).split('\n');
        for (size_t k = 0; k < indexes.size() && int(2 * k + 1) < out.size(); ++k) {
            TFrame &fr = frames[indexes[k]];
            if (out[int(2 * k)] != QLatin1String("??"))
                fr.function = out[int(2 * k)];
            fr.location = out[int(2 * k + 1)];
        }
    }
    return frames;
}

bool IsMuPDFFunction(const QString &f)
{
    static const char *const prefixes[] = {
        "fz_",      "pdf_",   "FT_",   "ft_",   "FT_",     "tt_",     "cff_",    "opj_",    "jbig2_", "hb_",
        "jpeg_",    "jinit_", "png_",  "cms",   "_cms",    "inflate", "deflate", "xps_",    "svg_",   "html_",
        "extract_", "js_",    "ucdn_", "gumbo", "af_",     "ps_",     "t1_",     "t42_",    "sfnt_",  "pfr_",
        "psh_",     "FTC_",   "lcms",  "Cms",   "adler32", "crc32",   "jpx_",    "zcalloc", "ps",     "decode_"};
    for (const char *p : prefixes)
        if (f.startsWith(QLatin1String(p)))
            return true;
    return false;
}

struct TVerdict {
    QString owner; // "ours", "MuPDF" or "unknown"
    QString where; // The deciding frames.
};

TVerdict Classify(const std::vector<TFrame> &frames)
{
    TVerdict v{QStringLiteral("unknown"), QString()};
    // Past the handler's own frames and the C library's (abort, raise, memcpy).
    size_t i = 0;
    for (size_t k = 0; k < frames.size(); ++k)
        if (frames[k].function.contains(QLatin1String("OnCrashSignal"))
            || frames[k].function.contains(QLatin1String("OnHangSignal"))
            || frames[k].function.contains(QLatin1String("OnNoMemory"))
            || frames[k].function.contains(QLatin1String("WriteTrace")))
            i = k + 1;
    const auto system = [](const TFrame &f) {
        return f.module.contains(QLatin1String("libc.so")) || f.module.contains(QLatin1String("libstdc++"))
            || f.module.contains(QLatin1String("libgcc")) || f.module.contains(QLatin1String("ld-linux"))
            || f.module.contains(QLatin1String("libm.so")) || f.module.contains(QLatin1String("linux-vdso"));
    };
    while (i < frames.size() && system(frames[i]))
        ++i;
    QStringList names;
    for (size_t k = i; k < frames.size() && names.size() < 4; ++k)
        names << (frames[k].function.isEmpty()
                      ? QFileInfo(frames[k].module).fileName() + '+' + QString::number(frames[k].offset, 16)
                      : frames[k].function);
    v.where = names.join(QLatin1String(" <- "));
    for (; i < frames.size(); ++i) {
        const TFrame &f = frames[i];
        if (f.module.contains(QLatin1String("libpdfium"))) {
            const bool compat = f.location.contains(QLatin1String("pdfium-compat"))
                || f.function.startsWith(QLatin1String("FPDF")) || f.function.startsWith(QLatin1String("FORM_"))
                || f.function.contains(QLatin1String("::"));
            v.owner = compat || !IsMuPDFFunction(f.function) ? QStringLiteral("ours") : QStringLiteral("MuPDF");
            if (!compat && !IsMuPDFFunction(f.function) && f.function.isEmpty())
                v.owner = QStringLiteral("MuPDF");
            return v;
        }
        if (f.module.contains(QLatin1String("bench_malformed"))) {
            v.owner = QStringLiteral("ours");
            return v;
        }
        if (system(f) || f.module.contains(QLatin1String("libQt6")))
            continue; // Called from the frames below: they decide.
        v.owner = QStringLiteral("unknown");
        return v;
    }
    return v;
}

// ---------------------------------------------------------------------------------------
// The run.

struct TOptions {
    int count = 10000;
    uint64_t seed = 1;
    QString out = QStringLiteral("malformed-out");
    int jobs = 1;
    int only = -1;
};

struct TSlot {
    pid_t pid = -1;
    int index = -1;
    TCase c;
    QString file, trace;
    Clock::time_point start;
    bool hangSignalled = false;
};

struct TCategoryFigures {
    int files = 0, opened = 0, rejected = 0, failures = 0;
};

struct TFigures {
    int files = 0, opened = 0, rejected = 0;
    std::map<QString, int> failures; // "crash in ours" and so on
    std::map<QByteArray, TCategoryFigures> categories;
    double slowest = 0;
    QString slowestName;
    long peakKiB = 0;
    std::vector<double> times;
};

QString CaseName(const TSlot &s)
{
    return QStringLiteral("%1-%2").arg(s.index, 5, 10, QLatin1Char('0')).arg(QString::fromLatin1(s.c.category));
}

void Record(const TOptions &opt, TSlot &s, int status, const rusage &ru, TFigures &fig, QFile &findings, QFile &log)
{
    const double seconds = std::chrono::duration<double>(Clock::now() - s.start).count();
    fig.times.push_back(seconds);
    fig.peakKiB = std::max(fig.peakKiB, ru.ru_maxrss);
    ++fig.files;
    TCategoryFigures &cat = fig.categories[s.c.category];
    ++cat.files;
    if (seconds > fig.slowest) {
        fig.slowest = seconds;
        fig.slowestName = CaseName(s) + " (" + s.c.source + ": " + QString::fromLatin1(s.c.detail) + ")";
    }
    QString kind;
    if (WIFEXITED(status) && WEXITSTATUS(status) == kOpened) {
        ++fig.opened;
        ++cat.opened;
    } else if (WIFEXITED(status) && WEXITSTATUS(status) == kRejected) {
        ++fig.rejected;
        ++cat.rejected;
    } else if (WIFEXITED(status) && WEXITSTATUS(status) == kNoMemory) {
        kind = QStringLiteral("memory cap");
    } else if (s.hangSignalled || (WIFEXITED(status) && WEXITSTATUS(status) == kHangTrace)) {
        kind = QStringLiteral("hang");
    } else if (WIFSIGNALED(status)) {
        kind = QStringLiteral("crash (signal %1)").arg(WTERMSIG(status));
    } else {
        kind = QStringLiteral("exit %1").arg(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    const char *result = kind.isEmpty() ? (WEXITSTATUS(status) == kOpened ? "opened" : "refused") : "FAILED";
    log.write(QStringLiteral("%1 %2 %3 ms %4: %5\n")
                  .arg(CaseName(s), QLatin1String(result))
                  .arg(int(1000 * seconds))
                  .arg(s.c.source, QString::fromLatin1(s.c.detail))
                  .toUtf8());
    if (kind.isEmpty())
        return;
    ++cat.failures;
    QString headline;
    const TVerdict v = Classify(ReadTrace(s.trace, headline));
    const QString group = kind.section(' ', 0, 0) + QStringLiteral(" in ") + v.owner;
    ++fig.failures[group];
    const QString reason = kind + QStringLiteral(" in ") + v.owner + QStringLiteral(": ") + v.where
        + QStringLiteral(" [") + s.c.source + QStringLiteral(": ") + QString::fromLatin1(s.c.detail)
        + QStringLiteral("]");
    const QString base = opt.out + QStringLiteral("/findings/") + CaseName(s);
    QFile::remove(base + QStringLiteral(".pdf"));
    QFile::copy(s.file, base + QStringLiteral(".pdf"));
    QFile::remove(base + QStringLiteral(".trace"));
    QFile::copy(s.trace, base + QStringLiteral(".trace"));
    QFile txt(base + QStringLiteral(".txt"));
    if (txt.open(QIODevice::WriteOnly | QIODevice::Truncate))
        txt.write(reason.toUtf8() + '\n');
    findings.write((CaseName(s) + QStringLiteral(".pdf: ") + reason).toUtf8() + '\n');
    findings.flush();
    std::printf("  %s: %s\n", qPrintable(CaseName(s)), qPrintable(reason));
    std::fflush(stdout);
}

bool ParseOptions(int argc, char **argv, TOptions &opt)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        if (i + 1 >= argc)
            return false;
        const QByteArray v = argv[++i];
        bool ok = true;
        if (a == "--count")
            opt.count = v.toInt(&ok);
        else if (a == "--seed")
            opt.seed = v.toULongLong(&ok);
        else if (a == "--out")
            opt.out = QString::fromLocal8Bit(v);
        else if (a == "--jobs")
            opt.jobs = std::max(1, v.toInt(&ok));
        else if (a == "--only")
            opt.only = v.toInt(&ok);
        else
            return false;
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    TOptions opt;
    if (!ParseOptions(argc, argv, opt)) {
        std::fprintf(stderr, "usage: bench_malformed [--count N] [--seed S] [--out DIR] [--jobs J] [--only I]\n");
        return 2;
    }
    opt.out = QDir(QString::fromLocal8Bit(qgetenv("PWD"))).absoluteFilePath(opt.out);
    QDir().mkpath(opt.out + QStringLiteral("/findings"));
    QDir().mkpath(opt.out + QStringLiteral("/work"));
    QDir().mkpath(opt.out + QStringLiteral("/home"));
    // The engine's settings and recent lists stay in the output folder.
    qputenv("HOME", QFile::encodeName(opt.out + QStringLiteral("/home")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(opt.out + QStringLiteral("/home/.config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(opt.out + QStringLiteral("/home/.local/share")));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    App.ExeFolder = QCoreApplication::applicationDirPath();
    // The engine is bound once here; each child opens its file in a copy of it.
    TBenchEngine bench(false);
    if (!bench.ready())
        return 1;
    TPasswordHost host;
    host.clientWidth = bench.host.clientWidth;
    host.clientHeight = bench.host.clientHeight;
    bench.engine->SetHost(&host);
    {
        // The unwinder loads on the first use: not inside a signal handler.
        void *frames[4];
        backtrace(frames, 4);
    }
    const std::vector<TSource> sources = Sources(QStringLiteral(ORVALE_SOURCE_DIR "/tests/fixtures"));
    std::printf("bench_malformed: %d files from %zu sources, seed %llu, %d job(s), %g s and %llu MiB a file\n",
                opt.only >= 0 ? 1 : opt.count, sources.size(), static_cast<unsigned long long>(opt.seed), opt.jobs,
                kTimeLimit, static_cast<unsigned long long>(kAddressSpace >> 20));
    std::fflush(stdout);

    QFile findings(opt.out + QStringLiteral("/findings.txt"));
    if (!findings.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    QFile log(opt.out + QStringLiteral("/results.txt"));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    TFigures fig;
    std::vector<TSlot> children(size_t(opt.jobs));
    for (size_t k = 0; k < children.size(); ++k) {
        children[k].file = opt.out + QStringLiteral("/work/slot%1.pdf").arg(k);
        children[k].trace = opt.out + QStringLiteral("/work/slot%1.trace").arg(k);
    }
    const auto t0 = Clock::now();
    int next = opt.only >= 0 ? opt.only : 0;
    const int end = opt.only >= 0 ? opt.only + 1 : opt.count;
    int running = 0;
    while (next < end || running > 0) {
        for (TSlot &s : children) {
            if (s.pid > 0 || next >= end)
                continue;
            s.index = next++;
            s.c = MakeCase(sources, opt.seed, s.index);
            QFile f(s.file);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(s.c.bytes) != s.c.bytes.size())
                return 1;
            f.close();
            QFile::remove(s.trace);
            s.hangSignalled = false;
            s.start = Clock::now();
            std::fflush(stdout);
            s.pid = fork();
            if (s.pid == 0) {
                InstallHandlers();
                RunChild(*bench.engine, s.file, s.trace);
            }
            ++running;
        }
        int status = 0;
        rusage ru{};
        const pid_t done = wait4(-1, &status, WNOHANG, &ru);
        if (done > 0) {
            for (TSlot &s : children)
                if (s.pid == done) {
                    Record(opt, s, status, ru, fig, findings, log);
                    s.pid = -1;
                    --running;
                }
            if (fig.files % 500 == 0) {
                std::printf("%d files, %.0f s\n", fig.files, std::chrono::duration<double>(Clock::now() - t0).count());
                std::fflush(stdout);
            }
            continue;
        }
        for (TSlot &s : children) {
            if (s.pid <= 0)
                continue;
            const double age = std::chrono::duration<double>(Clock::now() - s.start).count();
            if (age > kTimeLimit && !s.hangSignalled) {
                s.hangSignalled = true;
                ::kill(s.pid, SIGUSR1);
            } else if (age > kTimeLimit + 3) {
                ::kill(s.pid, SIGKILL);
            }
        }
        ::usleep(2000);
    }
    const double total = std::chrono::duration<double>(Clock::now() - t0).count();

    std::sort(fig.times.begin(), fig.times.end());
    const auto pct = [&](double p) {
        return fig.times.empty() ? 0 : fig.times[size_t(p * double(fig.times.size() - 1))];
    };
    std::printf("\nfiles %d: opened %d, refused %d, failed %d\n", fig.files, fig.opened, fig.rejected,
                fig.files - fig.opened - fig.rejected);
    for (const char *kind : {"crash", "hang", "memory"})
        for (const char *owner : {"ours", "MuPDF", "unknown"}) {
            const auto it =
                fig.failures.find(QStringLiteral("%1 in %2").arg(QLatin1String(kind), QLatin1String(owner)));
            std::printf("  %-6s in %-7s %d\n", kind, owner, it == fig.failures.end() ? 0 : it->second);
        }
    std::printf("\n%-18s %6s %6s %6s %6s\n", "category", "files", "opened", "refused", "failed");
    for (const auto &[name, c] : fig.categories)
        std::printf("%-18s %6d %6d %6d %6d\n", name.constData(), c.files, c.opened, c.rejected, c.failures);
    std::printf("\ntime %.1f s (%.1f ms a file; median %.1f ms, 99th percentile %.1f ms)\n", total,
                fig.files ? 1000 * total / fig.files : 0, 1000 * pct(0.5), 1000 * pct(0.99));
    std::printf("slowest %.2f s: %s\n", fig.slowest, qPrintable(fig.slowestName));
    std::printf("largest child: %ld MiB resident\n", fig.peakKiB / 1024);
    std::printf("findings in %s\n", qPrintable(findings.fileName()));
    const int ours = [&] {
        int n = 0;
        for (const auto &[k, v] : fig.failures)
            if (k.endsWith(QLatin1String("ours")))
                n += v;
        return n;
    }();
    return ours == 0 ? 0 : 3;
}
