#include "app/data_folder.h"

// The launcher (packaging/jellyquake.sh.in) starts the game in its data folder.
void EnterDataFolder() {}

const char* const MISSING_DATA_TEXT = "Jellyquake can't find its graphics folder";
