#pragma once
// Which commands of the main window can be used and which are checked, as a function of the
// engine's snapshot, what the window adds and the settings. The window applies the states
// to its menu items in order; a state for a command the window lacks is an error there, as
// a lookup here of a command without a state is.
#include "app/EngineSnapshot.h"

#include <QLatin1String>
#include <QString>

#include <vector>

struct TPrefer;

// What the window itself adds to the engine's snapshot.
struct TWindowFacts {
    // The measuring display is shown; the find box holds a text.
    bool Measuring = false;
    bool FindText = false;
    // 0 normal, 1 full screen, 2 presentation.
    int PresentationState = 0;
};

class TCommandStates {
public:
    enum TKind { Enabled, Checked };
    struct TState {
        QLatin1String Command;
        TKind Kind;
        bool On;
    };

    // Every item of the View and Zoom menus, the zoom presets included, needs a document;
    // the states below come after it.
    bool ViewMenus = false;
    // The toolbar's page, zoom and find boxes.
    bool PageBox = false;
    bool ZoomBox = false;
    bool FindBox = false;

    // In the order they are to be applied.
    const std::vector<TState> &States() const { return List; }
    // The last state of that kind set for command; std::out_of_range for a command that has
    // none.
    bool IsEnabled(const QString &command) const { return Find(command, Enabled); }
    bool IsChecked(const QString &command) const { return Find(command, Checked); }

    void Enable(const char *command, bool on) { List.push_back({QLatin1String(command), Enabled, on}); }
    void Check(const char *command, bool on) { List.push_back({QLatin1String(command), Checked, on}); }

private:
    bool Find(const QString &command, TKind kind) const;
    std::vector<TState> List;
};

TCommandStates CommandStates(const TEngineSnapshot &engine, const TWindowFacts &window, const TPrefer &prefer);

// The menu item that stands for a zoom mode; null for a value outside the enumeration.
const char *ZoomModeCommand(TZoomMode mode);
