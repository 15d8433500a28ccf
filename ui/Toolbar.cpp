#include "ui/Toolbar.h"

#include "base/DebugLog.h"
#include "engine/ZoomSteps.h"
#include "settings/Prefer.h"
#include "settings/ToolbarDefinition.h"
#include "ui/ImageRes.h"
#include "ui/MainCommands.h"
#include "ui/MainForm.h"
#include "ui/widgets/PngSpeedButton.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

const TMenuEntry *entryOfToolbarWord(const QString &word)
{
    for (const TMenuEntry &e : MainMenuTable())
        if (e.kind == TMenuEntry::Item && word == QLatin1String(e.toolbar))
            return &e;
    return nullptr;
}

// A command's caption as a hint: "&&" gives "&", other "&" go; the shortcut in brackets.
QString hintOf(const QAction &action)
{
    QString caption;
    const QString text = action.text();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&')
            caption += text[i];
        else if (i + 1 < text.size() && text[i + 1] == u'&')
            caption += text[++i];
    }
    if (!action.shortcut().isEmpty())
        caption += QStringLiteral("  (") + action.shortcut().toString(QKeySequence::PortableText) + QLatin1Char(')');
    return caption;
}

void toDebugLog(const QString &text) { DebugLog(text); }

// The zoom box shows the largest zoom whole, whatever its line asks for: Qt's arrow button
// takes more room than the 20 pixels the arithmetic leaves, and the built-in line's "9999%"
// is a digit short of 10000%.
int ZoomBoxWidth(const QComboBox &combo, const QFontMetrics &fm)
{
    const QString widest = QString::number(int(kMaxZoom)) + QLatin1Char('%');
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.editable = true;
    // QLineEdit keeps two pixels on either side of its text and one for the cursor.
    const QSize text(fm.horizontalAdvance(widest) + 5, fm.height());
    return combo.style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, &combo).width();
}

} // namespace

TXToolbar::TXToolbar(TMainForm &form) : QObject(&form), Form(form) { Form.CoolBar->installEventFilter(this); }

TXToolbar::~TXToolbar() = default;

bool TXToolbar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Form.CoolBar && event->type() == QEvent::Resize && !Compiling && !items.empty())
        TrimToolbar();
    return QObject::eventFilter(watched, event);
}

QWidget *TXToolbar::Control(TToolbarControl control) const
{
    switch (control) {
    case TToolbarControl::PageLabel: return Form.edPageLabel;
    case TToolbarControl::PageGoto: return Form.edPageGoto;
    case TToolbarControl::PageCount: return Form.edPages;
    case TToolbarControl::ZoomLabel: return Form.edZoom;
    case TToolbarControl::Zoom: return Form.cbZoom;
    case TToolbarControl::FindLabel: return Form.edFindLabel;
    case TToolbarControl::FindString: return Form.edFindString;
    case TToolbarControl::FoundCount: return Form.edFoundLabel;
    }
    return nullptr;
}

void TXToolbar::FreeItems()
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].xtype != TToolbarItemKind::Control)
            delete ptr[i].data();
    items.clear();
    ptr.clear();
    menuitem.clear();
    controlWidths.clear();
    tbDocIcon = nullptr;
}

bool TXToolbar::CompileToolbar()
{
    if (!ImageListsLoaded()) {
        toDebugLog(QStringLiteral("Toolbar: no PNG image list!"));
        return false;
    }
    const TPNGImageList &list = ImageListOf(0);
    Compiling = true;
    FreeItems();
    items = TToolbarLanguage::Compile(ToolbarDefinition.lines, toDebugLog);
    FixPriority();

    Form.UpdateMainFont();
    for (int c = 0; c < ToolbarControlCount; ++c)
        Control(TToolbarControl(c))->hide();

    const int P = CurrentPPI;
    const QFontMetrics fm(Form.font());
    geometry = TToolbarGeometry::Of(P, Prefer.ToolbarHeight, Prefer.LargeIcons, fm.height(), list.Size());
    Form.CoolBar->setFixedHeight(geometry.stripHeight);
    Form.CoolBevel->setFixedHeight(1);

    ptr.assign(items.size(), nullptr);
    menuitem.assign(items.size(), nullptr);
    controlWidths.assign(items.size(), 0);
    const int away = -Form.CoolBar->width() - 999;
    for (size_t i = 0; i < items.size(); ++i) {
        switch (items[i].xtype) {
        case TToolbarItemKind::Button: ptr[i] = CreateButton(i); break;
        case TToolbarItemKind::Separator: {
            auto *line = new QFrame(Form.CoolBar);
            line->setFrameShape(QFrame::VLine);
            line->setFrameShadow(QFrame::Plain);
            line->setForegroundRole(QPalette::Mid);
            line->setGeometry(away, geometry.buttonTop - 1, 1, geometry.buttonHeight + 2);
            line->hide();
            ptr[i] = line;
            break;
        }
        case TToolbarItemKind::Control: ptr[i] = Control(items[i].control); break;
        }
    }
    // The controls' heights follow their fonts: place them until the middle stays put.
    int v = ControlTop();
    for (int pass = 0; pass < 3; ++pass) {
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].xtype == TToolbarItemKind::Control)
                PlaceControl(i, v);
        const int again = ControlTop();
        if (again == v)
            break;
        v = again;
    }
    Form.cbZoom->lineEdit()->deselect();
    Compiling = false;
    return !items.empty();
}

int TXToolbar::ControlTop() const
{
    return (geometry.stripHeight - Form.edPageGoto->sizeHint().height() - (68 + CurrentPPI) / 96) / 2;
}

TPngSpeedButton *TXToolbar::CreateButton(size_t index)
{
    const TXToolbarItem &item = items[index];
    auto *button = new TPngSpeedButton(0, Form.CoolBar);
    button->setObjectName(QStringLiteral("tb") + item.name);
    button->setGeometry(-Form.CoolBar->width() - 999, geometry.buttonTop, geometry.buttonWidth, geometry.buttonHeight);
    button->hide();
    const TPNGImageList &list = ImageListOf(0);
    if (item.hasExtra && list.GetImageIndex(item.extra) >= 0)
        button->SetImageName(item.extra);
    const TMenuEntry *entry = entryOfToolbarWord(item.name);
    QAction *command = entry ? Form.Command(QLatin1String(entry->field)) : nullptr;
    menuitem[index] = command;
    if (!command)
        return button;
    QObject::connect(button, &QToolButton::clicked, button,
                     [this, button, command] { Form.RunFromButton(command, button); });
    button->setToolTip(hintOf(*command));
    if (!*entry->image)
        button->setCheckable(true); // a command without a menu image is a toggle
    else if (!item.hasExtra)
        button->SetImageName(QLatin1String(entry->image));
    if (QLatin1String(entry->field) == QLatin1String("menuDocumentProperties"))
        tbDocIcon = button;
    return button;
}

void TXToolbar::PlaceControl(size_t index, int v)
{
    const TXToolbarItem &item = items[index];
    QWidget *control = ptr[index];
    const int P = CurrentPPI;
    control->setFont(Form.font());
    const QFontMetrics fm(Form.font());
    int width = control->sizeHint().width();
    int height = control->sizeHint().height();
    int top = v;
    const TToolbarControlKind kind = ControlKindOf(item.control);
    if (item.hasExtra)
        width = ToolbarControlWidth(item.control, item.extra, fm, P);
    if (auto *combo = qobject_cast<QComboBox *>(control))
        width = std::max(width, ZoomBoxWidth(*combo, fm));
    if (kind == TToolbarControlKind::Label) {
        if (item.hasExtra)
            height = fm.height();
        // Qt's edits are taller than their text by more than the native ones: the label's
        // text sits on the edits' middle line.
        top = v + P / 96 + std::max(0, (Form.edPageGoto->sizeHint().height() - height) / 2 - P / 96);
        auto *label = static_cast<QLabel *>(control);
        label->setAlignment(Qt::AlignCenter);
        if (item.hasCaption && !label->text().isEmpty())
            label->setText(item.caption);
    } else if (item.hasCaption) {
        if (auto *edit = qobject_cast<QLineEdit *>(control); edit && (!edit->text().isEmpty() || edit->isEnabled()))
            edit->setText(item.caption);
        if (auto *combo = qobject_cast<QComboBox *>(control);
            combo && (!combo->currentText().isEmpty() || combo->isEnabled()))
            combo->setCurrentText(item.caption);
    }
    if (auto *edit = qobject_cast<QLineEdit *>(control); edit && !edit->hasFrame())
        top = v + P / 96;
    control->setGeometry(control->isVisible() ? control->x() : -Form.CoolBar->width() - 999, top, width, height);
    controlWidths[index] = width;
}

bool TXToolbar::FixPriority()
{
    return TToolbarLanguage::FixPriority(items, ToolbarDefinition.SearchToolbar, Prefer.AdobeInToolbar);
}

int TXToolbar::TrimToolbar()
{
    TToolbarMetrics metrics;
    metrics.ppi = CurrentPPI;
    metrics.buttonWidth = geometry.buttonWidth;
    metrics.stripWidth = Form.CoolBar->width();
    metrics.controlWidths = controlWidths;
    const TToolbarPlacement placement = TrimToolbarItems(items, metrics);
    const int away = -metrics.stripWidth - 999;
    for (size_t i = 0; i < items.size(); ++i) {
        QWidget *w = ptr[i];
        if (!w)
            continue;
        const auto &left = placement.left[i];
        w->move(left ? *left : away, w->y());
        w->setVisible(left.has_value());
    }
    return placement.threshold;
}

int TXToolbar::EnableToolbar()
{
    int enabled = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].xtype != TToolbarItemKind::Button || !ptr[i])
            continue;
        auto *button = static_cast<QToolButton *>(ptr[i].data());
        QAction *command = menuitem[i];
        // Qt disables an action it hides; a command kept out of the menus for the toolbar's
        // sake (the find options) has no state of its own there and stays usable.
        button->setEnabled(command && (command->isEnabled() || !command->isVisible()));
        if (button->isCheckable())
            button->setChecked(command && command->isChecked());
        enabled += button->isEnabled();
    }
    return enabled;
}

void TXToolbar::SetDocIcon(int imageIndex)
{
    if (tbDocIcon && imageIndex >= 0)
        tbDocIcon->SetImageIndex(imageIndex);
}
