#pragma once
// The main window's menus: the menu bar built from the command table, the zoom presets, the
// page view's context menu, the command states applied to the items, and the running of a
// command's handler.
#include "app/CommandStates.h"
#include "ui/MainCommands.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

class QAction;
class QActionGroup;
class QMenu;
class QPoint;
class QStyle;
class QWidget;
class TMainForm;

// A command's image: the one of that name in the small image list, none for an empty name or
// one the list lacks.
QIcon MenuImage(const char *name);

class TMainMenu final : public QObject {
public:
    explicit TMainMenu(TMainForm &form);

    // The menu bar from the command table, again (after a theme change, for the settings'
    // captions and visibility).
    void BuildMenu();
    // The zoom presets of the settings at the end of the Zoom menu.
    void CreateZoomMenu();
    QAction *Command(const QString &field) const { return Commands.value(field); }
    QList<QAction *> CommandActions() const { return Commands.values(); }
    // The action whose handler runs; null between commands.
    QAction *RunningCommand() const { return CurrentCommand; }
    // The command a toolbar word binds to (the table's toolbar name); null for none.
    QAction *ToolbarCommand(const QString &word) const;
    // Runs action's command as sent by a toolbar button, which the handler can ask for.
    void RunFromButton(QAction *action, QWidget *button);
    // The toolbar button that sent the running command; null for a menu or a key.
    QWidget *RunningButton() const { return CurrentButton; }

    // The states in order; a state for a command the table lacks is an error.
    void Apply(const TCommandStates &states);
    void SetCommand(const TCommandStates::TState &state);
    // A command whose window does not exist yet says so in the status line.
    void NotAvailableYet(QAction *action);

    QMenu *PopupMenuViewMenu() const { return PopupView; }
    // Fills the context menu from the main commands and shows it at a screen point.
    void PopupMenuViewPopup(const QPoint &globalPos);
    // The program draws the menu bar and every menu (context menus of other windows too, as
    // they are shown); off, the style draws them. A change re-measures the bar.
    void SetOwnerDrawn(bool on);
    // The external viewer's item: caption, shortcut and visibility of the settings.
    void UpdateAdobe();
    bool OwnerDrawn() const { return DrawStyle && Current == DrawStyle; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void AddCommand(QMenu *parent, const TMenuEntry &entry);
    void RunCommand(QAction *action, const TCommandClick &click);

    TMainForm &Form;
    QStyle *MenuStyle = nullptr; // the menus' icons at the small image list's size
    QStyle *DrawStyle = nullptr; // the program's drawing, made on first use
    QStyle *Current = nullptr;
    QMenu *PopupView = nullptr;
    QMenu *ZoomMenu = nullptr;
    QHash<QString, QAction *> Commands;
    QList<QMenu *> Menus;
    QHash<int, QActionGroup *> RadioGroups;
    QAction *CurrentCommand = nullptr;
    QWidget *CurrentButton = nullptr;
};
