#pragma once
#include <QDialog>

class QLabel;

// The notice line with the digits after its first "-" replaced one by one by the digits of
// year; unchanged when no digits follow the "-".
QString NoticeWithYear(const QString &notice, int year);

// The About box: product name, notice, platform line and build line, the logo beside them.
class TAboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);

    static QString BuildLine();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void DrawLogo();
    QLabel *Logo;
};
