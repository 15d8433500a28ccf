#pragma once
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QString>
#include <atomic>

namespace pl {

// One document drawn into a private PDF file (mode 0600) by Qt's PDF printer: what the "PDF
// file" printer renames over its target and what a print queue is sent. The file goes with the
// spool unless it was handed on (file cleared).
struct PdfSpool {
    QPrinter printer{QPrinter::HighResolution};
    QPainter painter;
    QString file;
    std::atomic<bool> aborted{false};

    // Reserves a file from pattern (a QTemporaryFile template) and begins drawing with the
    // given layout and resolution; false with the reason in error.
    bool begin(const QString &pattern, const QPageLayout &layout, int dpi, const QString &title, QString &error);
    ~PdfSpool();
};

} // namespace pl
