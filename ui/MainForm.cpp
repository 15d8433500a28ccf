#include "ui/MainForm.h"

#include "app/AppState.h"
#include "app/MainSequence.h"

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>

TMainForm::TMainForm(std::function<bool()> writeData, QWidget *parent)
    : QMainWindow(parent), writeData_(std::move(writeData)), statusText_(new QLabel(this))
{
    setWindowTitle(App.InstanceName);
    setCentralWidget(new QWidget(this));
    statusBar()->addWidget(statusText_, 1);
    resize(900, 700);
}

void TMainForm::SetStatusText(const QString &text) { statusText_->setText(text); }

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (!closing_) {
        closing_ = true;
        MainFormCloseQuery(writeData_);
    }
    event->accept();
}
