#pragma once
// Every dialog of the program takes the theme when it is shown (ThemeForm) and its frame
// follows its activation, whoever created it: the program's own dialogs, the file and colour
// dialogs, the print dialogs.
#include <QObject>

class TDialogTheming final : public QObject {
public:
    explicit TDialogTheming(QObject *parent = nullptr);
    ~TDialogTheming() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
