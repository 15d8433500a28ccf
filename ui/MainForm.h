#pragma once
#include <QMainWindow>

#include <functional>

class QLabel;

// The main window frame: caption = instance name, a status text, and the close query
// that writes the settings.
class TMainForm final : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(std::function<bool()> writeData, QWidget *parent = nullptr);
    void SetStatusText(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::function<bool()> writeData_;
    QLabel *statusText_;
    bool closing_ = false;
};
