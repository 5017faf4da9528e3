#pragma once

// The game reads its images and sounds from graphics/ and sounds/ in its working
// folder. EnterDataFolder makes that folder the working folder before anything
// is read. On Windows the data sits beside the program, installed or unpacked,
// while a player may start it from anywhere (a shortcut, another program, a
// command prompt): the program's own folder becomes the working folder. On Linux
// the launcher has already started the game in its data folder, which lies
// apart from the program, so the working folder stays as it is.
void EnterDataFolder();
