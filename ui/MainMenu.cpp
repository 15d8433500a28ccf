#include "ui/MainMenu.h"

#include "base/AppState.h"
#include "base/DebugLog.h"
#include "engine/QPDF.h"
#include "settings/Prefer.h"
#include "ui/MainForm.h"
#include "ui/ViewCommands.h"
#include "ui/ImageRes.h"
#include "ui/style/ImageListStyle.h"
#include "ui/style/MenuDrawStyle.h"

#include <QApplication>
#include <QEvent>

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>

QIcon MenuImage(const char *name) { return ImageListOf(1).Icon(QLatin1String(name)); }

TMainMenu::TMainMenu(TMainForm &form) : QObject(&form), Form(form)
{
    MenuStyle = new TImageListStyle;
    MenuStyle->setParent(this);
    Current = MenuStyle;
    Form.menuBar()->setStyle(MenuStyle);
    PopupView = new QMenu(&Form);
    PopupView->setStyle(MenuStyle);
    PopupView->setObjectName(QStringLiteral("PopupMenuView"));
    for (const TPopupEntry &e : PopupMenuViewTable()) {
        if (!*e.name) {
            PopupView->addSeparator();
            continue;
        }
        QAction *a = PopupView->addAction(QString::fromUtf8(e.caption));
        a->setObjectName(QLatin1String(e.name));
        const QString counterpart = QLatin1String(e.counterpart);
        connect(a, &QAction::triggered, this, [this, counterpart] {
            if (QAction *c = Command(counterpart))
                c->trigger();
        });
    }
}

void TMainMenu::BuildMenu()
{
    QMenuBar *bar = Form.menuBar();
    bar->clear();
    for (QActionGroup *g : std::as_const(RadioGroups))
        delete g;
    RadioGroups.clear();
    qDeleteAll(Commands);
    Commands.clear();
    qDeleteAll(Menus);
    Menus.clear();
    ZoomMenu = nullptr;

    // Parents by level; level 0 is the menu bar.
    QList<QMenu *> stack;
    QAction *last = nullptr;
    for (const TMenuEntry &e : MainMenuTable()) {
        QMenu *parent = stack.isEmpty() ? nullptr : stack.last();
        switch (e.kind) {
        case TMenuEntry::Separator:
            if (parent)
                parent->addSeparator()->setData(-1);
            break;
        case TMenuEntry::Descend:
            if (last && stack.size() < 8) {
                auto *sub = new QMenu(last->text(), parent ? static_cast<QWidget *>(parent) : bar);
                sub->setObjectName(last->objectName());
                sub->setStyle(Current);
                last->setMenu(sub);
                stack << sub;
                Menus << sub;
                connect(sub, &QMenu::aboutToShow, this, [this] { Form.SetStatusText(QStringLiteral("Menu ...")); });
                connect(sub, &QMenu::aboutToHide, this, [this] { Form.SetStatusText(QString()); });
                if (last->objectName() == QLatin1String("menuZoom"))
                    ZoomMenu = sub;
            }
            break;
        case TMenuEntry::Ascend:
            if (!stack.isEmpty())
                stack.removeLast();
            break;
        case TMenuEntry::Item:
            AddCommand(parent, e);
            last = Commands.value(QLatin1String(e.field));
            break;
        }
    }
    if (QAction *themes = Command(QStringLiteral("menuThemes")))
        themes->setVisible(Prefer.ShowThemesMenu);
    CreateZoomMenu();
}

void TMainMenu::AddCommand(QMenu *parent, const TMenuEntry &e)
{
    const QString field = QLatin1String(e.field);
    QString caption = QString::fromUtf8(e.caption);
    QString shortcut = QLatin1String(e.shortcut);
    bool visible = e.visible;
    if (field == QLatin1String("menuOpenAdobe")) {
        caption = Prefer.AdobeMenu;
        shortcut = Prefer.AdobeShortcut;
        visible = Prefer.AdobeInMenu;
    }
    auto *a = new QAction(MenuImage(e.image), caption, &Form);
    a->setObjectName(field);
    a->setData(e.tag);
    a->setCheckable(e.checkable);
    a->setShortcutContext(Qt::WindowShortcut);
    if (*e.alternateOf) {
        // The visible command takes the second shortcut: a hidden action never fires.
        if (QAction *main = Command(QLatin1String(e.alternateOf)))
            main->setShortcuts(main->shortcuts() << QKeySequence::fromString(shortcut, QKeySequence::PortableText));
    } else if (!shortcut.isEmpty()) {
        a->setShortcut(QKeySequence::fromString(shortcut, QKeySequence::PortableText));
    }
    if (e.radioGroup > 0) {
        QActionGroup *&group = RadioGroups[e.radioGroup];
        if (!group)
            group = new QActionGroup(&Form);
        group->addAction(a);
    }
    a->setVisible(visible && !*e.alternateOf);
    Commands.insert(field, a);
    if (parent)
        parent->addAction(a);
    else
        Form.menuBar()->addAction(a);
    // Shortcuts of actions in hidden menus still fire when the window holds them.
    Form.addAction(a);
    const auto click = e.click;
    const bool isMenu = !e.click && !*e.shortcut && parent == nullptr;
    if (isMenu)
        return;
    connect(a, &QAction::triggered, this, [this, a, click] { RunCommand(a, click); });
}

void TMainMenu::RunCommand(QAction *action, const TCommandClick &click)
{
    if (!click) {
        NotAvailableYet(action);
        Form.EnableMenu();
        return;
    }
    CurrentCommand = action;
    click(Form);
    CurrentCommand = nullptr;
    if (TQPDF *engine = Form.Engine(); engine && engine->SelDoc() >= 0)
        engine->UpdateStatus();
    Form.EnableMenu();
}

QAction *TMainMenu::ToolbarCommand(const QString &word) const
{
    for (const TMenuEntry &e : MainMenuTable())
        if (e.kind == TMenuEntry::Item && word == QLatin1String(e.toolbar))
            return Command(QLatin1String(e.field));
    return nullptr;
}

void TMainMenu::RunFromButton(QAction *action, QWidget *button)
{
    CurrentButton = button;
    action->trigger();
    CurrentButton = nullptr;
}

void TMainMenu::NotAvailableYet(QAction *action)
{
    const QString text = PlainCaption(action->text()) + QStringLiteral(": not available yet");
    DebugLog(text);
    Form.SetStatusText(text);
}

void TMainMenu::CreateZoomMenu()
{
    if (!ZoomMenu)
        return;
    for (QAction *a : ZoomMenu->actions())
        if (a->data().toInt() > 0) {
            ZoomMenu->removeAction(a);
            delete a;
        }
    if (!Prefer.ZoomMenu)
        return;
    for (int value : ZoomMenuPresets(Prefer.ZoomMenuValues)) {
        QAction *a = ZoomMenu->addAction(QString::number(value) + QLatin1Char('%'));
        a->setData(value);
        connect(a, &QAction::triggered, this,
                [this, a] { RunCommand(a, [](TMainForm &form) { form.ViewCommands().menuZoomClick(); }); });
    }
}

void TMainMenu::SetCommand(const TCommandStates::TState &state)
{
    QAction *a = Command(state.Command);
    if (!a) {
        // The states and the command table disagree: a misspelt or removed command.
        DebugLog(QStringLiteral("No command for state: ") + state.Command);
        Q_ASSERT_X(false, "TMainMenu::SetCommand", "a command state names no command");
        return;
    }
    if (state.Kind == TCommandStates::Checked)
        a->setChecked(state.On);
    else
        a->setEnabled(state.On);
}

void TMainMenu::PopupMenuViewPopup(const QPoint &globalPos)
{
    for (QAction *item : PopupView->actions()) {
        if (item->isSeparator())
            continue;
        const auto &table = PopupMenuViewTable();
        const auto it = std::find_if(table.begin(), table.end(),
                                     [&](const TPopupEntry &e) { return item->objectName() == QLatin1String(e.name); });
        QAction *main = it == table.end() ? nullptr : Command(QLatin1String(it->counterpart));
        if (!main)
            continue;
        item->setIcon(main->icon());
        item->setEnabled(main->isEnabled());
        item->setShortcut(main->shortcut());
        const QString name = item->objectName();
        if (name == QLatin1String("OpenFolder1") || name == QLatin1String("OpeninAdobe1")
            || name == QLatin1String("OpenNewinstance1")) {
            item->setText(main->text());
            item->setVisible(main->isVisible());
        }
        if (name == QLatin1String("ShowBookmarks1")) {
            item->setCheckable(true);
            item->setChecked(main->isChecked());
        }
    }
    PopupView->popup(globalPos);
}

void TMainMenu::Apply(const TCommandStates &states)
{
    for (const char *menu : {"menuView", "menuZoom"})
        if (QAction *m = Command(QLatin1String(menu)); m && m->menu())
            for (QAction *a : m->menu()->actions())
                if (!a->isSeparator())
                    a->setEnabled(states.ViewMenus);
    for (const TCommandStates::TState &state : states.States())
        SetCommand(state);
}

void TMainMenu::SetOwnerDrawn(bool on)
{
    if (on && !DrawStyle) {
        DrawStyle = new TMenuDrawStyle;
        DrawStyle->setParent(this);
    }
    QStyle *wanted = on ? DrawStyle : MenuStyle;
    if (wanted == Current)
        return;
    QStyle *old = Current;
    Current = wanted;
    // Menus of other windows took the program's drawing when they were shown; they go back to
    // the application's style.
    for (QWidget *w : QApplication::allWidgets()) {
        if (w->style() != old || !(qobject_cast<QMenu *>(w) || qobject_cast<QMenuBar *>(w)))
            continue;
        const bool ours = w == Form.menuBar() || w == PopupView || Menus.contains(static_cast<QMenu *>(w));
        w->setStyle(ours ? Current : (on ? Current : nullptr));
    }
    // A new style makes the bar measure its items again.
    Form.menuBar()->setStyle(Current);
    PopupView->setStyle(Current);
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool TMainMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && OwnerDrawn()) {
        auto *menu = qobject_cast<QMenu *>(watched);
        if (menu && menu->style() != DrawStyle) {
            menu->setStyle(DrawStyle);
            menu->adjustSize();
        }
    }
    return QObject::eventFilter(watched, event);
}

void TMainMenu::UpdateAdobe()
{
    QAction *a = Command(QStringLiteral("menuOpenAdobe"));
    if (!a)
        return;
    a->setText(Prefer.AdobeMenu);
    a->setShortcut(QKeySequence::fromString(Prefer.AdobeShortcut, QKeySequence::PortableText));
    a->setVisible(Prefer.AdobeInMenu);
}
