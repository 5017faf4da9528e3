// Sound files through libsndfile, for every platform but Windows.
#include <sndfile.h>

#include "audio/sound_file.h"

namespace {
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
  if (!closer.file || !SoundLayoutFits(info.channels, info.samplerate, info.frames)) return false;

  std::vector<std::int16_t> samples(static_cast<size_t>(info.frames));
  const sf_count_t read = sf_readf_short(closer.file, samples.data(), info.frames);
  // A file cut short may read fewer frames than its header promises.
  if (read <= 0) return false;
  samples.resize(static_cast<size_t>(read));
  data.rate = info.samplerate;
  data.samples.swap(samples);
  return true;
}
