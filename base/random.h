#pragma once

// The one process-wide random generator. Every draw in the game, model and view
// alike, takes one value from here in a fixed order, so a seed replays a game.

// The largest value Rand() returns; a uniform value in [0, 1] is Rand() / RAND_LIMIT.
constexpr int RAND_LIMIT = 32767;

// Sets the generator's state; the state before any seeding is 1.
void SeedRandom(unsigned int seed);

// The next value, 0 to 32767.
int Rand();

// Pi, computed once at start-up as 4 * atan(1).
extern const double PI;
