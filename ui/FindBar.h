#pragma once
// The toolbar's find items: the "Find:" label, the find box and its keys, and the buttons of
// the Find, FindOpt, FindNext and FindPrev commands beside them. The box takes the search
// string; getting the focus starts a search, Enter and F3 step through the matches.
#include <QObject>

class QToolButton;
class TMainForm;

class TFindBar final : public QObject {
public:
    explicit TFindBar(TMainForm &form);

    // The buttons bound to the commands by their toolbar words, null for a word without one.
    QToolButton *Button(const QString &word) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QToolButton *AddButton(const char *word, int index);
    // Enter or F3 in the box: the page view takes the keyboard, then the next match (with
    // Shift the previous one).
    void BoxStep(bool backward);

    TMainForm &Form;
};
