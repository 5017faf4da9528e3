// Sound files through WinMM's RIFF functions, on Windows: WAVE files of PCM
// samples (8 to 32 bits), read as libsndfile reads them on Linux, with the same
// refusals (SoundLayoutFits) and the same samples.
#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "audio/sound_file.h"
#include "base/file_open.h"

namespace {
constexpr int FORMAT_PCM = 1;
constexpr int FORMAT_EXTENSIBLE = 0xFFFE;
// The fields every format chunk has (tag, channels, rate, bytes a second, bytes a
// frame, bits a sample), and where an extensible one names its real format.
constexpr LONG PLAIN_FORMAT_BYTES = 16;
constexpr int SUBFORMAT_AT = 24;
constexpr int LONGEST_SAMPLE_BYTES = 4;

struct WaveFormat {
  int tag = 0;
  int channels = 0;
  int rate = 0;
  int frameBytes = 0;
  int sampleBits = 0;
};

// The largest sound file read: far above any of the game's (a few seconds of
// sound), and within what WinMM's offsets count.
constexpr long LARGEST_FILE_BYTES = 64L << 20;

struct MmioCloser {
  HMMIO file;
  ~MmioCloser() {
    if (file) mmioClose(file, 0);
  }
};

int Le16(const unsigned char* p) {
  return p[0] | (p[1] << 8);
}

int Le32(const unsigned char* p) {
  return static_cast<int>(static_cast<std::uint32_t>(Le16(p)) |
                          (static_cast<std::uint32_t>(Le16(p + 2)) << 16));
}

// The whole file, opened by its UTF-8 path: WinMM's own opening takes only narrow
// paths in the local code page, of up to 128 characters.
bool ReadWholeFile(const std::string& path, std::vector<char>& bytes) {
  std::FILE* file = OpenFileToRead(path);
  if (file == nullptr) return false;
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  const bool fits = size > 0 && size <= LARGEST_FILE_BYTES && std::fseek(file, 0, SEEK_SET) == 0;
  if (fits) bytes.resize(static_cast<size_t>(size));
  const bool read = fits && std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  std::fclose(file);
  return read;
}

// WinMM's RIFF reading over the file's bytes in memory.
HMMIO OpenInMemory(std::vector<char>& bytes) {
  MMIOINFO memory{};
  memory.fccIOProc = FOURCC_MEM;
  memory.pchBuffer = bytes.data();
  memory.cchBuffer = static_cast<LONG>(bytes.size());
  return mmioOpenW(nullptr, &memory, MMIO_READ);
}

bool FindChunk(HMMIO file, const MMCKINFO& riff, FOURCC id, MMCKINFO& chunk) {
  // From the start of the form each time: the chunks may come in any order.
  chunk = MMCKINFO{};
  chunk.ckid = id;
  return mmioSeek(file, static_cast<LONG>(riff.dwDataOffset + sizeof(FOURCC)), SEEK_SET) != -1 &&
         mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR;
}

bool ReadFormat(HMMIO file, const MMCKINFO& riff, WaveFormat& format) {
  MMCKINFO chunk;
  if (!FindChunk(file, riff, mmioFOURCC('f', 'm', 't', ' '), chunk) ||
      chunk.cksize < PLAIN_FORMAT_BYTES) {
    return false;
  }
  unsigned char bytes[SUBFORMAT_AT + 2] = {};
  const LONG wanted = std::min<LONG>(static_cast<LONG>(chunk.cksize), sizeof bytes);
  if (mmioRead(file, reinterpret_cast<HPSTR>(bytes), wanted) != wanted) return false;
  format.tag = Le16(bytes);
  if (format.tag == FORMAT_EXTENSIBLE && wanted == sizeof bytes) {
    format.tag = Le16(bytes + SUBFORMAT_AT);
  }
  format.channels = Le16(bytes + 2);
  format.rate = Le32(bytes + 4);
  format.frameBytes = Le16(bytes + 12);
  format.sampleBits = Le16(bytes + 14);
  return true;
}

// A sample as libsndfile hands it out as a short: its top 16 bits, an 8-bit
// sample being unsigned.
std::int16_t ToShort(const unsigned char* sample, int bytes) {
  if (bytes == 1) return static_cast<std::int16_t>((sample[0] - 128) * 256);
  return static_cast<std::int16_t>((sample[bytes - 1] << 8) | sample[bytes - 2]);
}
}  // namespace

bool LoadSoundFile(const std::string& path, SoundData& data) {
  data = SoundData();
  std::vector<char> whole;
  if (!ReadWholeFile(path, whole)) return false;
  MmioCloser closer{OpenInMemory(whole)};
  HMMIO file = closer.file;
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  WaveFormat format;
  if (!file || mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR ||
      !ReadFormat(file, riff, format)) {
    return false;
  }
  const int sampleBytes = format.sampleBits / 8;
  // No channels would make a frame of no bytes, which no count of frames fills.
  if (format.tag != FORMAT_PCM || format.channels < 1 || format.sampleBits % 8 != 0 ||
      sampleBytes < 1 || sampleBytes > LONGEST_SAMPLE_BYTES ||
      format.frameBytes != format.channels * sampleBytes) {
    return false;
  }
  MMCKINFO chunk;
  if (!FindChunk(file, riff, mmioFOURCC('d', 'a', 't', 'a'), chunk)) return false;
  // A file cut short holds fewer frames than its header promises; the frames
  // that are there are the sound, as libsndfile counts them.
  const LONG end = mmioSeek(file, 0, SEEK_END);
  if (end == -1 || mmioSeek(file, static_cast<LONG>(chunk.dwDataOffset), SEEK_SET) == -1) {
    return false;
  }
  const long long present =
      std::min<long long>(chunk.cksize, static_cast<long long>(end) - chunk.dwDataOffset);
  const long long frames = present / format.frameBytes;
  if (!SoundLayoutFits(format.channels, format.rate, frames)) return false;

  std::vector<unsigned char> bytes(static_cast<size_t>(frames * format.frameBytes));
  const LONG size = static_cast<LONG>(bytes.size());
  if (mmioRead(file, reinterpret_cast<HPSTR>(bytes.data()), size) != size) return false;
  data.samples.resize(static_cast<size_t>(frames));
  for (size_t i = 0; i < data.samples.size(); ++i) {
    data.samples[i] = ToShort(&bytes[i * sampleBytes], sampleBytes);
  }
  data.rate = format.rate;
  return true;
}
