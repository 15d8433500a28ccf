#include "ui/ToolbarBoxes.h"

#include "app/Placement.h"
#include "engine/ZoomSteps.h"
#include "ui/MainForm.h"
#include "ui/ToolbarKeys.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

// The widest text of the zoom box.
const QString kZoomBoxSample = QString::number(int(kMaxZoom)) + QLatin1Char('%');

QLabel *clickableLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

} // namespace

TToolbarBoxes::TToolbarBoxes(TMainForm &form, TToolbarKeys &keys) : Form(form)
{
    auto *layout = new QHBoxLayout(Form.CoolBar);
    layout->setContentsMargins(Scaled(4), 0, Scaled(4), 0);
    layout->setSpacing(Scaled(4));

    Form.edPageLabel = clickableLabel(QStringLiteral("Page:"), Form.CoolBar);
    Form.edPageGoto = new QLineEdit(Form.CoolBar);
    Form.edPageGoto->setObjectName(QStringLiteral("edPageGoto"));
    Form.edPageGoto->setMaxLength(5);
    Form.edPageGoto->setAlignment(Qt::AlignCenter);
    Form.edPageGoto->setContextMenuPolicy(Qt::NoContextMenu);
    Form.edPages = new QLabel(QStringLiteral("1/1"), Form.CoolBar);

    Form.edZoom = clickableLabel(QStringLiteral("Zoom:"), Form.CoolBar);
    Form.cbZoom = new QComboBox(Form.CoolBar);
    Form.cbZoom->setObjectName(QStringLiteral("cbZoom"));
    Form.cbZoom->setEditable(true);
    Form.cbZoom->setInsertPolicy(QComboBox::NoInsert);
    Form.cbZoom->setMaxVisibleItems(18);
    for (const char *z : {"10%", "25%", "50%", "75%", "100%", "125%", "150%", "200%", "250%", "300%", "400%", "500%",
                          "600%", "800%", "1000%", "1200%", "1600%", "2000%"})
        Form.cbZoom->addItem(QLatin1String(z));
    Form.cbZoom->lineEdit()->setMaxLength(kZoomBoxSample.size());
    Form.cbZoom->setContextMenuPolicy(Qt::NoContextMenu);
    Form.cbZoom->setCurrentText(QStringLiteral("100%"));

    Form.edFindLabel = new QLabel(QStringLiteral("Find:"), Form.CoolBar);
    Form.edFindString = new QLineEdit(Form.CoolBar);
    Form.edFindString->setObjectName(QStringLiteral("edFindString"));
    Form.edFindString->setContextMenuPolicy(Qt::NoContextMenu);
    Form.edFoundLabel = new QLabel(Form.CoolBar);

    SizeToolbarEdits();

    layout->addStretch(1);
    for (QWidget *w :
         std::initializer_list<QWidget *>{Form.edPageLabel, Form.edPageGoto, Form.edPages, Form.edZoom, Form.cbZoom,
                                          Form.edFindLabel, Form.edFindString, Form.edFoundLabel})
        layout->addWidget(w);

    for (QObject *o : std::initializer_list<QObject *>{Form.edPageGoto, Form.cbZoom->lineEdit(), Form.edFindString,
                                                       Form.edPageLabel, Form.edZoom})
        o->installEventFilter(&keys);
    QObject::connect(Form.cbZoom, &QComboBox::textActivated, &keys, [&keys] { keys.ZoomEnter(); });
    QObject::connect(Form.cbZoom->lineEdit(), &QLineEdit::textEdited, &keys, [&keys](const QString &text) {
        // Typing the "%" applies the zoom at once.
        if (text.size() >= 2 && text.endsWith(QLatin1Char('%')))
            keys.ZoomEnter();
    });
    QObject::connect(Form.edFindString, &QLineEdit::textChanged, &Form, [&form] { form.EnableMenu(); });
}

void TToolbarBoxes::SizeToolbarEdits()
{
    const int charWidth = Form.fontMetrics().horizontalAdvance(QLatin1Char('0'));
    Form.edPageGoto->setFixedWidth(charWidth * 6 + Scaled(8));
    QStyleOptionComboBox option;
    option.initFrom(Form.cbZoom);
    option.editable = true;
    const QSize text(Form.fontMetrics().horizontalAdvance(kZoomBoxSample) + Scaled(8), Form.fontMetrics().height());
    Form.cbZoom->setFixedWidth(Form.style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, Form.cbZoom).width());
    Form.edFindString->setFixedWidth(Scaled(140));
}
