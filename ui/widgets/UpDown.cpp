#include "ui/widgets/UpDown.h"

#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

TUpDown::TUpDown(QWidget *parent) : QWidget(parent)
{
    UpButton = new QToolButton(this);
    UpButton->setArrowType(Qt::UpArrow);
    UpButton->setAutoRepeat(true);
    DownButton = new QToolButton(this);
    DownButton->setArrowType(Qt::DownArrow);
    DownButton->setAutoRepeat(true);
    for (QToolButton *b : {UpButton, DownButton}) {
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        b->setFixedWidth(fontMetrics().height());
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(UpButton);
    layout->addWidget(DownButton);
    connect(UpButton, &QToolButton::clicked, this, [this] { SetValue(value + 1); });
    connect(DownButton, &QToolButton::clicked, this, [this] { SetValue(value - 1); });
}

void TUpDown::SetRange(int lo, int hi)
{
    min = lo;
    max = std::max(lo, hi);
    SetValue(value);
}

void TUpDown::SetValue(int v)
{
    v = std::clamp(v, min, max);
    if (v == value)
        return;
    value = v;
    emit valueChanged(value);
}
