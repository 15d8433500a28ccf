#pragma once

// Whether the windows draw dark: the dark theme always, the light theme never, and when
// following the system, a system palette whose buttons are darker than mid-grey.
bool DarkFlag();
