#pragma once
// The toolbar's find items: the "Find:" label and the find box with its keys; the toolbar
// (TXToolbar) places them and the buttons of the search commands. The box takes the search
// string; getting the focus starts a search, Enter and F3 step through the matches.
#include <QObject>

class QToolButton;
class TMainForm;

class TFindBar final : public QObject {
public:
    explicit TFindBar(TMainForm &form);

    // The toolbar's button of a toolbar word, null while the toolbar has none.
    QToolButton *Button(const QString &word) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Enter or F3 in the box: the page view takes the keyboard, then the next match (with
    // Shift the previous one).
    void BoxStep(bool backward);

    TMainForm &Form;
};
