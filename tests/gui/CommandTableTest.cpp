// The command states and the main window's command table name the same commands.
#include "app/CommandStates.h"
#include "settings/Prefer.h"
#include "ui/MainCommands.h"

#include <gtest/gtest.h>

#include <QSet>

// Every state names an item of the menu table, for a snapshot that sets every state.
TEST(CommandTable, EveryCommandStateNamesAMenuItem)
{
    QSet<QString> fields;
    for (const TMenuEntry &e : MainMenuTable())
        if (e.kind == TMenuEntry::Item)
            fields << QLatin1String(e.field);
    TEngineSnapshot engine;
    engine.DocumentCount = 2;
    engine.Document = true;
    engine.Pages = true;
    const TCommandStates states = CommandStates(engine, TWindowFacts(), TPrefer());
    ASSERT_FALSE(states.States().empty());
    for (const TCommandStates::TState &state : states.States())
        EXPECT_TRUE(fields.contains(state.Command)) << state.Command.data();
    for (TZoomMode mode : {zfitPage, zfitWidth, zActualSize, zCustom})
        EXPECT_TRUE(fields.contains(QLatin1String(ZoomModeCommand(mode)))) << mode;
}
