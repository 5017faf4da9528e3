// Sound files read by the game itself on Windows and in the browser: RIFF WAVE
// files of PCM samples, 8 to 32 bits, read as libsndfile reads them on Linux, with
// the same refusals (SoundLayoutFits) and the same samples. Files are opened by
// their UTF-8 path, so any folder name and long paths work on Windows.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "audio/sound_file.h"
#include "base/file_open.h"

namespace {
constexpr int FORMAT_PCM = 1;
constexpr int FORMAT_EXTENSIBLE = 0xFFFE;
// A chunk's header: its name and its size.
constexpr long CHUNK_HEADER_BYTES = 8;
// The fields every format chunk has (tag, channels, rate, bytes a second, bytes a
// frame, bits a sample), and where an extensible one names its real format.
constexpr long PLAIN_FORMAT_BYTES = 16;
constexpr int SUBFORMAT_AT = 24;
constexpr int LONGEST_SAMPLE_BYTES = 4;

struct WaveFormat {
  int tag = 0;
  int channels = 0;
  int rate = 0;
  int frameBytes = 0;
  int sampleBits = 0;
};

// Where a chunk's contents start in the file and how long it says they are.
struct Chunk {
  long start = 0;
  long long size = 0;
};

struct FileCloser {
  std::FILE* file;
  ~FileCloser() {
    if (file) std::fclose(file);
  }
};

int Le16(const unsigned char* p) {
  return p[0] | (p[1] << 8);
}

std::uint32_t Le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(Le16(p)) | (static_cast<std::uint32_t>(Le16(p + 2)) << 16);
}

bool ReadAt(std::FILE* file, long at, unsigned char* bytes, size_t count) {
  return std::fseek(file, at, SEEK_SET) == 0 && std::fread(bytes, 1, count, file) == count;
}

// The RIFF form: "RIFF", its size, "WAVE". Its chunks lie between formStart and
// formEnd.
bool ReadForm(std::FILE* file, long& formStart, long long& formEnd) {
  unsigned char header[CHUNK_HEADER_BYTES + 4];
  if (!ReadAt(file, 0, header, sizeof header) || std::memcmp(header, "RIFF", 4) != 0 ||
      std::memcmp(header + CHUNK_HEADER_BYTES, "WAVE", 4) != 0) {
    return false;
  }
  formStart = CHUNK_HEADER_BYTES + 4;
  formEnd = CHUNK_HEADER_BYTES + static_cast<long long>(Le32(header + 4));
  return true;
}

// Looks for the chunk from the start of the form each time: chunks may come in any
// order. Each chunk takes an even number of bytes.
bool FindChunk(std::FILE* file, long formStart, long long formEnd, const char* id, Chunk& chunk) {
  long long at = formStart;
  unsigned char header[CHUNK_HEADER_BYTES];
  while (at + CHUNK_HEADER_BYTES <= formEnd) {
    if (!ReadAt(file, static_cast<long>(at), header, sizeof header)) return false;
    const long long size = Le32(header + 4);
    if (std::memcmp(header, id, 4) == 0) {
      chunk.start = static_cast<long>(at + CHUNK_HEADER_BYTES);
      chunk.size = size;
      return true;
    }
    at += CHUNK_HEADER_BYTES + size + (size & 1);
  }
  return false;
}

bool ReadFormat(std::FILE* file, long formStart, long long formEnd, WaveFormat& format) {
  Chunk chunk;
  if (!FindChunk(file, formStart, formEnd, "fmt ", chunk) || chunk.size < PLAIN_FORMAT_BYTES) {
    return false;
  }
  unsigned char bytes[SUBFORMAT_AT + 2] = {};
  const size_t wanted = static_cast<size_t>(std::min<long long>(chunk.size, sizeof bytes));
  if (!ReadAt(file, chunk.start, bytes, wanted)) return false;
  format.tag = Le16(bytes);
  if (format.tag == FORMAT_EXTENSIBLE && wanted == sizeof bytes) {
    format.tag = Le16(bytes + SUBFORMAT_AT);
  }
  format.channels = Le16(bytes + 2);
  format.rate = static_cast<int>(std::min<std::uint32_t>(Le32(bytes + 4), 0x7fffffff));
  format.frameBytes = Le16(bytes + 12);
  format.sampleBits = Le16(bytes + 14);
  return true;
}

bool PlayableFormat(const WaveFormat& format) {
  const int sampleBytes = format.sampleBits / 8;
  // No channels would make a frame of no bytes, which no count of frames fills.
  return format.tag == FORMAT_PCM && format.channels >= 1 && format.sampleBits % 8 == 0 &&
         sampleBytes >= 1 && sampleBytes <= LONGEST_SAMPLE_BYTES &&
         format.frameBytes == format.channels * sampleBytes;
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
  FileCloser closer{OpenFileToRead(path)};
  std::FILE* file = closer.file;
  long formStart = 0;
  long long formEnd = 0;
  WaveFormat format;
  if (!file || !ReadForm(file, formStart, formEnd) ||
      !ReadFormat(file, formStart, formEnd, format) || !PlayableFormat(format)) {
    return false;
  }
  Chunk chunk;
  if (!FindChunk(file, formStart, formEnd, "data", chunk) || std::fseek(file, 0, SEEK_END) != 0) {
    return false;
  }
  // A file cut short holds fewer frames than its header promises; the frames
  // that are there are the sound.
  const long end = std::ftell(file);
  if (end < 0) return false;
  const long long present = std::min<long long>(chunk.size, end - chunk.start);
  const long long frames = present / format.frameBytes;
  if (!SoundLayoutFits(format.channels, format.rate, frames)) return false;

  const int sampleBytes = format.sampleBits / 8;
  std::vector<unsigned char> bytes(static_cast<size_t>(frames * format.frameBytes));
  if (!ReadAt(file, chunk.start, bytes.data(), bytes.size())) return false;
  data.samples.resize(static_cast<size_t>(frames));
  for (size_t i = 0; i < data.samples.size(); ++i) {
    data.samples[i] = ToShort(&bytes[i * sampleBytes], sampleBytes);
  }
  data.rate = format.rate;
  return true;
}
