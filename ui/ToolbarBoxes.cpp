#include "ui/ToolbarBoxes.h"

#include "engine/ZoomSteps.h"
#include "ui/MainForm.h"
#include "ui/ToolbarKeys.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

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
