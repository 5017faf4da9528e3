#pragma once

#include <string>

// Shows the line the game ends with where the player looks, after it was
// written on standard error. On Linux standard error is where the player
// looks already (a terminal, the desktop's log), so nothing more is shown; on
// Windows a windowed program has no console, so a message box titled
// "Jellyquake" shows the line before the program ends.
void ShowErrorToPlayer(const std::string& line);

// Writes the line on standard error and shows it as above: the one way the
// game says why it ends.
void ReportError(const std::string& line);
