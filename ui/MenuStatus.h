#pragma once
// Tells the status line while a menu is open: "Menu ..." when the first menu opens, an
// empty text when the last one closes. Watches every menu of the application.
#include <QObject>

#include <functional>

class TMenuStatus final : public QObject {
    Q_OBJECT
public:
    // showText receives the text for the status panel.
    explicit TMenuStatus(std::function<void(const QString &)> showText, QObject *parent = nullptr);
    ~TMenuStatus() override;
    bool MenuOpen() const { return OpenMenus > 0; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QString &)> ShowText;
    int OpenMenus = 0;
};
