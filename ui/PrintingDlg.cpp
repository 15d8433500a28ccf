#include "ui/PrintingDlg.h"

#include "base/BusyIndicator.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TPrintingDlg::TPrintingDlg(TPrintJob &job, TPrintSource &source, const TPrintSettings &settings,
                           TPrintThread::TFailure onFailure, std::unique_ptr<TPrintThread> &endThread,
                           const QString &title, int pageCount, QWidget *parent)
    : QDialog(parent), job(job), source(source), settings(settings), onFailure(std::move(onFailure)),
      endThread(endThread)
{
    StartWorking(QStringLiteral("Printing..."));
    setWindowTitle(QStringLiteral("Printing ") + title);
    LabelPrint = new QLabel(QStringLiteral("Printing ... "), this);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setRange(0, pageCount);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    CancelBtn = new QPushButton(QStringLiteral("Abort"), this);
    connect(CancelBtn, &QPushButton::clicked, this, [this] { doAbort = true; });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LabelPrint);
    layout->addWidget(ProgressBar);
    layout->addWidget(CancelBtn, 0, Qt::AlignHCenter);
    const double scale = logicalDpiY() / 96.0;
    resize(int(400 * scale), int(100 * scale));
}

void TPrintingDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    QCoreApplication::postEvent(this, new QEvent(RunJobEvent));
    SetInfoText(QStringLiteral("Printing..."));
}

bool TPrintingDlg::event(QEvent *event)
{
    if (event->type() != RunJobEvent)
        return QDialog::event(event);
    doAbort = false;
    isPrinting = true;
    const TModalResult result = job.Run(source, *this, settings, onFailure, endThread);
    isPrinting = false;
    done(result == mrCancel ? QDialog::Rejected : QDialog::Accepted);
    return true;
}

void TPrintingDlg::closeEvent(QCloseEvent *event)
{
    if (isPrinting) {
        doAbort = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TPrintingDlg::reject()
{
    // Esc is "Abort" while pages print.
    if (isPrinting) {
        doAbort = true;
        return;
    }
    QDialog::reject();
}

void TPrintingDlg::SetLabel(const QString &text, const QColor &colour)
{
    LabelPrint->setText(text);
    QPalette palette = LabelPrint->palette();
    palette.setColor(QPalette::WindowText, colour);
    LabelPrint->setPalette(palette);
}

void TPrintingDlg::SetProgress(int position, bool error)
{
    ProgressBar->setValue(position);
    // The error state: the bar turns red.
    ProgressBar->setStyleSheet(error ? QStringLiteral("QProgressBar::chunk { background-color: red; }") : QString());
}

void TPrintingDlg::DisableAbort() { CancelBtn->setEnabled(false); }

void TPrintingDlg::ProcessEvents() { QCoreApplication::processEvents(); }
