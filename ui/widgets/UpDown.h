#pragma once
#include <QWidget>

class QToolButton;

// A pair of arrow buttons that step a whole number within a range, beside a box that shows it
// (the box is the owner's: it may hold text the number is read from).
class TUpDown final : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget *parent = nullptr);
    void SetRange(int min, int max);
    int Min() const { return min; }
    int Max() const { return max; }
    int Value() const { return value; }
    // Clamped into the range; valueChanged when it changed.
    void SetValue(int v);

    QToolButton *UpButton = nullptr;
    QToolButton *DownButton = nullptr;

signals:
    void valueChanged(int value);

private:
    int min = 0, max = 100, value = 0;
};
