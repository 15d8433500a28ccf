#include "ui/style/DarkFlag.h"

#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "ui/ColorBlend.h"

bool DarkFlag()
{
    switch (Prefer.ThemeModeIndex) {
    case 1: return true;
    case 2: return false;
    default: return ColorLuma(ToQColor(SystemColor(COLOR_BTNFACE))) < 144;
    }
}
