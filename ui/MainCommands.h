#pragma once
// The main window's command table in menu order: captions with their "&" accelerators,
// shortcut texts, image and toolbar names, radio groups and the click handlers.
#include <QList>
#include <QString>

#include <functional>
#include <vector>

class TMainForm;

// A command's handler: a method of one of the main window's command groups.
using TCommandClick = std::function<void(TMainForm &)>;

struct TMenuEntry {
    enum Kind { Item, Separator, Descend, Ascend };
    Kind kind = Item;
    const char *field = ""; // the item's name, by which other windows reach it
    const char *caption = "";
    const char *shortcut = ""; // portable key text; empty for none
    const char *image = "";    // name in the menu image list; empty for none
    const char *toolbar = "";  // the word that binds a toolbar button; empty for none
    int radioGroup = 0;        // 0 none; items of one group are exclusive
    int tag = 0;
    bool checkable = false;
    bool visible = true;
    // A hidden item carries a second shortcut for the visible command named here; the
    // visible action gets both, since a hidden action never fires.
    const char *alternateOf = "";
    // Empty: the command's window does not exist yet and it says so when chosen.
    TCommandClick click;
};

// The whole menu bar; a Descend opens the submenu of the item before it, an Ascend closes it.
const std::vector<TMenuEntry> &MainMenuTable();

// Items of the page view's context menu: its name, its caption in the form and the main
// command it mirrors (empty name: a separator).
struct TPopupEntry {
    const char *name;
    const char *caption;
    const char *counterpart;
};
const std::vector<TPopupEntry> &PopupMenuViewTable();

// The zoom presets of a ZoomMenuValues text: each run of digits that starts with 1 to 9,
// when it lies in 5 to 10000, in the order of the text.
QList<int> ZoomMenuPresets(const QString &values);

// The caption without "&" accelerators and a trailing "...".
QString PlainCaption(const QString &caption);
