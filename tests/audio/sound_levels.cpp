// sound_levels FILE STEP: the loudest sample of each STEP seconds of a sound file,
// as "start peak" lines, peak from 0 to 1 of full scale.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  SF_INFO info{};
  SNDFILE* file = sf_open(argv[1], SFM_READ, &info);
  if (!file) return 1;
  const sf_count_t step = static_cast<sf_count_t>(std::atof(argv[2]) * info.samplerate);
  std::vector<float> block(static_cast<size_t>(step * info.channels));
  for (sf_count_t at = 0;; at += step) {
    const sf_count_t got = sf_readf_float(file, block.data(), step);
    if (got <= 0) break;
    float peak = 0;
    for (sf_count_t i = 0; i < got * info.channels; ++i) peak = std::max(peak, std::fabs(block[i]));
    std::printf("%.3f %.5f\n", static_cast<double>(at) / info.samplerate, peak);
  }
  sf_close(file);
  return 0;
}
