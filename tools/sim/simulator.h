#pragma once

#include <cstdio>

class CWorld;

// jellyquake-sim: plays seeded games with no window, for testing and balancing.
//
//   jellyquake-sim --seed N --frames F --dt D [--trace FILE] [--player none|bot]
//                  [--games K]
//
// Seeds the generator with N, resets a 10 x 10 world, puts the eye where the camera
// starts a game and advances the world by D seconds F times. With --trace ("-" for
// standard output) it writes one JSON object per line: frame 0 before the first step and
// one after each. At the end it prints one JSON summary line on standard output.
//
// --player bot lets a quick player rescue blobs between frames (see CBotPlayer); the
// default, none, leaves the blobs to themselves. --games K plays K games with the seeds
// N, N + 1, ..., N + K - 1 (their traces one after another, each from frame 0), prints
// each game's summary line in that order and closes with one line for them all:
//   {"games":K,"player":"bot","seed":N,"frames":F,"dt":D,
//    "score":{"mean":..,"sd":..,"min":..,"max":..},"units":{...}}
// where units counts the blobs left at the end and sd is the spread over the games.
//
// Exit status: 0 on success, 1 if the game raised its internal error (its text goes to
// standard error), 2 for bad arguments (a usage line goes to standard error) or a trace
// file that cannot be written.
int RunSimulator(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

// Writes one trace line for the world's present state.
void WriteTraceLine(std::FILE* file, long long frame, const CWorld& world);

// Puts the world's eye point where the camera stands at the start of a game.
void PlaceStartEye(CWorld& world);
