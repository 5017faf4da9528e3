#include "audio/sound_file.h"

#include "audio/sound_id.h"

namespace {
// Rates a real sound file may have; anything else is taken for damage.
constexpr int MIN_RATE = 8000;
constexpr int MAX_RATE = 192000;
}  // namespace

bool SoundLayoutFits(int channels, int rate, long long frames) {
  if (channels != 1 || rate < MIN_RATE || rate > MAX_RATE) return false;
  const auto longest = static_cast<long long>(SOUND_MAX_SECONDS * rate);
  return frames > 0 && frames <= longest;
}
