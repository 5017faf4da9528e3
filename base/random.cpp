#include "base/random.h"

#include <cmath>
#include <cstdint>

namespace {
// A 15-bit linear congruential generator, so the same seed gives the same game
// on every platform (the C library's rand differs between systems).
std::uint32_t randomState = 1;
constexpr std::uint32_t RAND_MULTIPLIER = 214013;
constexpr std::uint32_t RAND_INCREMENT = 2531011;
}  // namespace

const double PI = 4 * std::atan(1.0);

void SeedRandom(unsigned int seed) {
  randomState = seed;
}

int Rand() {
  randomState = randomState * RAND_MULTIPLIER + RAND_INCREMENT;
  return static_cast<int>((randomState >> 16) & 0x7FFF);
}
