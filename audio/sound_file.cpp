#include "audio/sound_file.h"

#include <sndfile.h>

#include "audio/sound_id.h"

namespace {
// Rates a real sound file may have; anything else is taken for damage.
constexpr int MIN_RATE = 8000;
constexpr int MAX_RATE = 192000;

struct FileCloser {
  SNDFILE* file;
  ~FileCloser() {
    if (file) sf_close(file);
  }
};
}  // namespace

bool LoadSoundFile(const std::string& path, SoundData& data) {
  data = SoundData();
  SF_INFO info{};
  FileCloser closer{sf_open(path.c_str(), SFM_READ, &info)};
  if (!closer.file) return false;
  if (info.channels != 1 || info.samplerate < MIN_RATE || info.samplerate > MAX_RATE) {
    return false;
  }
  const sf_count_t longest = static_cast<sf_count_t>(SOUND_MAX_SECONDS * info.samplerate);
  if (info.frames <= 0 || info.frames > longest) return false;

  std::vector<std::int16_t> samples(static_cast<size_t>(info.frames));
  const sf_count_t read = sf_readf_short(closer.file, samples.data(), info.frames);
  // A file cut short may read fewer frames than its header promises.
  if (read <= 0) return false;
  samples.resize(static_cast<size_t>(read));
  data.rate = info.samplerate;
  data.samples.swap(samples);
  return true;
}
