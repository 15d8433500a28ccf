#include "platform/PrinterDevice.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What the folder holds besides the named file: no temporary file may be left behind.
QStringList Others(const QTemporaryDir &dir, const QString &name)
{
    QStringList all = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    all.removeAll(name);
    return all;
}

} // namespace

TEST(PdfFilePrinter, CapabilitiesHaveNoMargins)
{
    auto printer = pl::makePdfFilePrinter(QStringLiteral("/tmp/unused.pdf"), 72);
    EXPECT_EQ(printer->name(), u"PDF file"_qs);
    const pl::PrinterCaps caps = printer->caps();
    EXPECT_EQ(caps.dpi, 72);
    EXPECT_EQ(caps.paperWidth, 595);
    EXPECT_EQ(caps.paperHeight, 842);
    EXPECT_EQ(caps.offsetX, 0);
    EXPECT_EQ(caps.offsetY, 0);
    EXPECT_FALSE(printer->supportsCopies());
    printer->setLandscape(true);
    EXPECT_EQ(printer->caps().paperWidth, 842);
}

TEST(PdfFilePrinter, EndWritesTheFileAndAbortKeepsTheOlderOne)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("out.pdf"));
    auto printer = pl::makePdfFilePrinter(target, 72);
    ASSERT_TRUE(printer->begin(QStringLiteral("doc.pdf")));
    EXPECT_TRUE(printer->printing());
    EXPECT_EQ(printer->title(), u"doc.pdf"_qs);
    printer->painter().fillRect(0, 0, 100, 100, Qt::black);
    ASSERT_TRUE(printer->newPage());
    printer->painter().fillRect(0, 0, 100, 100, Qt::black);
    EXPECT_FALSE(QFile::exists(target)) << "nothing reaches the name before the end";
    ASSERT_EQ(printer->end(), pl::PrintEnd::Delivered) << printer->lastError().toStdString();
    EXPECT_FALSE(printer->printing());
    const QByteArray written = Read(target);
    EXPECT_TRUE(written.startsWith("%PDF"));
    EXPECT_TRUE(written.contains("/Count 2"));
    EXPECT_TRUE(Others(dir, QStringLiteral("out.pdf")).isEmpty());

    ASSERT_TRUE(printer->begin(QStringLiteral("doc.pdf")));
    printer->painter().fillRect(0, 0, 10, 10, Qt::red);
    printer->abort();
    EXPECT_FALSE(printer->printing());
    EXPECT_EQ(Read(target), written) << "an aborted document leaves the older file";
    EXPECT_TRUE(Others(dir, QStringLiteral("out.pdf")).isEmpty());
}

TEST(PdfFilePrinter, AbortDuringTheEndStepDeliversNothing)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("out.pdf"));
    auto printer = pl::makePdfFilePrinter(target, 72);
    ASSERT_TRUE(printer->begin(QStringLiteral("doc.pdf")));
    printer->painter().fillRect(0, 0, 100, 100, Qt::black);
    printer->abort();
    EXPECT_EQ(printer->end(), pl::PrintEnd::Aborted) << "the end step of a taken-back document";
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(Others(dir, QStringLiteral("out.pdf")).isEmpty());
}

TEST(PdfFilePrinter, BeginFailsWithAReasonWhereNoFileCanBeMade)
{
    auto printer = pl::makePdfFilePrinter(QStringLiteral("/nonexistent-folder/out.pdf"), 72);
    EXPECT_FALSE(printer->begin(QStringLiteral("doc.pdf")));
    EXPECT_FALSE(printer->printing());
    EXPECT_FALSE(printer->lastError().isEmpty());
}

// Qt's printer dialog edits a QPrinter: the "PDF file" printer is described on it as a file
// print, and takes back the paper and orientation chosen there.
TEST(PdfFilePrinter, TakesThePaperChosenInThePrinterDialog)
{
    auto printer = pl::makePdfFilePrinter(QStringLiteral("/tmp/unused.pdf"), 72);
    QPrinter edited(QPrinter::HighResolution);
    printer->fillSetup(edited);
    EXPECT_EQ(edited.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(pl::setupPrinterName(edited), u"PDF file"_qs);
    edited.setPageSize(QPageSize(QPageSize::A5));
    edited.setPageOrientation(QPageLayout::Landscape);
    printer->takeSetup(edited);
    EXPECT_TRUE(printer->landscape());
    const pl::PrinterCaps caps = printer->caps();
    EXPECT_EQ(caps.paperWidth, 595);
    EXPECT_EQ(caps.paperHeight, 420);
    EXPECT_EQ(caps.offsetX, 0) << "a file has no unprintable edge, whatever the dialog's margins";
    EXPECT_EQ(caps.offsetY, 0);
}
