#pragma once

// Resource numbers shared by the window and the game's resource script.
#define JELLYQUAKE_ICON 1
