#pragma once
#include "print/PrintJob.h"

#include <QDialog>
#include <QEvent>

class QLabel;
class QProgressBar;
class QPushButton;

// The small modal window a print job runs in: which page is printing, the progress, and
// "Abort", which stops the job before the next page. It cannot be closed while pages print;
// trying to asks for the abort instead.
class TPrintingDlg final : public QDialog, public TPrintProgress {
    Q_OBJECT
public:
    TPrintingDlg(TPrintJob &job, TPrintSource &source, const TPrintSettings &settings, TPrintThread::TFailure onFailure,
                 std::unique_ptr<TPrintThread> &endThread, const QString &title, int pageCount,
                 QWidget *parent = nullptr);

    // The job's own event: it starts once the window shows.
    static constexpr QEvent::Type RunJobEvent = QEvent::Type(1152);

    void SetLabel(const QString &text, const QColor &colour) override;
    void SetProgress(int position, bool error) override;
    void DisableAbort() override;
    void ProcessEvents() override;
    bool AbortRequested() const override { return doAbort; }

    QLabel *LabelPrint = nullptr;
    QProgressBar *ProgressBar = nullptr;
    QPushButton *CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool event(QEvent *event) override;

private:
    TPrintJob &job;
    TPrintSource &source;
    const TPrintSettings settings;
    TPrintThread::TFailure onFailure;
    std::unique_ptr<TPrintThread> &endThread;
    bool doAbort = false;
    bool isPrinting = false;
};
