#include "engine/DocReport.h"

#include "base/FileIO.h"
#include "base/FileUtils.h"
#include "engine/DocMetadata.h"
#include "engine/NamedDestinations.h"
#include "engine/ReportFormat.h"
#include "engine/SyncTeXSummary.h"

namespace {

// The largest file the report reads for its XMP values.
constexpr int64_t kMaxFileCopy = 111111111;

// Lines in groups: an empty line goes between a group that wrote something and the next line.
class TReportText {
public:
    // A line that is always written: value, else "N/A".
    void Required(const QString &label, const QString &value)
    {
        Line(label + (value.isEmpty() ? QStringLiteral("N/A") : value));
    }
    // A line written only with a value.
    void Optional(const QString &label, const QString &value)
    {
        if (!value.isEmpty())
            Line(label + value);
    }
    void Line(const QString &line)
    {
        if (GroupWritten && !Wrote) {
            Text += QLatin1Char('\n');
            GroupWritten = false;
        }
        Text += line + QLatin1Char('\n');
        Wrote = true;
    }
    void EndGroup()
    {
        GroupWritten = GroupWritten || Wrote;
        Wrote = false;
    }
    QString Text;

private:
    bool Wrote = false;        // the current group wrote a line
    bool GroupWritten = false; // a finished group wrote and no line followed it yet
};

QString Marked(bool exists, const QString &name) { return exists ? name : QStringLiteral("? ") + name; }

} // namespace

QString TDocReport::Build(const TReportPages &pages, bool destinations) const
{
    // A document read from its file still shows its XMP values: the report reads the file
    // for the moment.
    QByteArray fileCopy;
    const bool fileExists = FileExists(Doc.FileName);
    if (Doc.PDFiumDocBuf.isEmpty() && fileExists && FileSize64(Doc.FileName) <= kMaxFileCopy
        && ReadWholeFile(Doc.FileName, fileCopy, kMaxFileCopy) != frOk)
        fileCopy.clear();
    FPDF_DOCUMENT doc = Doc.PDFiumDoc.get();
    const TDocMetadata meta(DLL, doc, Doc.PDFiumDocBuf.isEmpty() ? QByteArrayView(fileCopy) : Doc.PDFiumDocBuf);

    TReportText r;
    const QString folder = FileFolder(Doc.FileName);
    r.Line(QStringLiteral("Path: ") + Marked(FolderExists(folder), folder));
    r.Line(QStringLiteral("File: ") + Marked(fileExists, Doc.FileName.mid(Doc.FileName.lastIndexOf('/') + 1)));
    r.EndGroup();

    r.Optional(QString(), meta.SecurityText());
    r.EndGroup();

    r.Required(QStringLiteral("Title:  "), meta.GetMetaText("Title"));
    r.Required(QStringLiteral("Author: "), meta.GetMetaText("Author"));
    r.Optional(QStringLiteral("Rights: "), meta.GetMetaText("Rights"));
    r.EndGroup();

    r.Optional(QStringLiteral("Subject:  "), meta.GetMetaText("Subject"));
    r.Optional(QStringLiteral("Keywords: "), meta.GetMetaText("Keywords"));
    r.EndGroup();

    r.Required(QStringLiteral("PDF Producer: "), meta.GetMetaText("Producer"));
    r.Required(QStringLiteral("PDF Creator:  "), meta.GetMetaText("Creator"));
    r.Required(QStringLiteral("PDF Version:  "), meta.GetMetaText("Version"));
    r.EndGroup();

    const int named = doc ? int(DLL.FPDF_CountNamedDests(doc)) : 0;
    r.Line(QStringLiteral("Pages:     ") + QString::number(pages.count) + QStringLiteral(" (Named Destinations: ")
           + QString::number(named) + QLatin1Char(')'));
    r.Required(QStringLiteral("Page Size: "),
               pages.selected ? FormatPageSize(pages.selected->width(), pages.selected->height()) : QString());
    r.EndGroup();

    if (fileExists) {
        r.Line(QStringLiteral("Size:      ") + FormatByteSize(FileSize64(Doc.FileName)));
        r.Required(QStringLiteral("Created:   "), FormatMetaDate(meta.GetMetaText("CreationDate")));
        r.Required(QStringLiteral("Modified:  "), FormatMetaDate(meta.GetMetaText("ModDate")));
    } else {
        r.Line(QStringLiteral("PDF File does not exist ..."));
    }
    r.EndGroup();

    r.Line(QStringLiteral("SyncTeX:   ") + SyncTeXSummary(Doc.FileName, Doc.SyncTeX.get()));
    r.EndGroup();

    if (destinations) {
        const QString rule(65, QLatin1Char('='));
        r.Line(rule);
        r.Line(QString());
        r.Text += ListNamedDestinations(DLL, doc, pages.count);
        r.Line(rule);
    }
    return r.Text;
}
