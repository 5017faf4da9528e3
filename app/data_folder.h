#pragma once

// The game reads its images and sounds from graphics/ and sounds/ in its working
// folder. EnterDataFolder makes that folder the working folder before anything
// is read. On Windows the data sits beside the program, installed or unpacked,
// while a player may start it from anywhere (a shortcut, another program, a
// command prompt): the program's own folder becomes the working folder. On Linux
// the launcher has already started the game in its data folder, which lies
// apart from the program, so the working folder stays as it is.
void EnterDataFolder();

// True if the graphics folder is there: a game without any of its images is no
// game, while a single image missing or damaged only leaves a gap.
bool DataFolderPresent();

// The one line the game ends with when the graphics folder is missing.
extern const char* const MISSING_DATA_TEXT;
