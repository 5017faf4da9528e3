// PNG decoding through the Windows Imaging Component, on Windows. It keeps the
// libpng decoder's contract: the layout is judged by the bits a pixel that the file
// stores (from its header, not from the format WIC hands out, which may have
// expanded a transparent colour into alpha), and the bytes handed on are the
// file's own, in its own order.
#include <wincodec.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>
#include <vector>

#include "render/png_decoder.h"

namespace {
constexpr unsigned char PNG_SIGNATURE[8] = {137, 'P', 'N', 'G', '\r', '\n', 26, '\n'};
constexpr int COLOUR_GREY_ALPHA = 4;
constexpr int COLOUR_RGBA = 6;
// The signature, then the first chunk's length and type, then IHDR's fields.
constexpr std::size_t IHDR_TYPE_AT = 12;
constexpr std::size_t IHDR_END = 8 + 8 + 13;

// What the file's header says of its pixels.
struct PngHeader {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bitDepth = 0;
  int colourType = 0;
};

// How WIC lays out the pixels it hands out: bytes a sample, samples a pixel and
// where red, green, blue and alpha sit (-1: none). Samples of two bytes are in
// the machine's order, little-endian.
struct WicLayout {
  const GUID* format;
  int sampleBytes;
  int samples;
  int red, green, blue, alpha;
};

const WicLayout WIC_LAYOUTS[] = {
    {&GUID_WICPixelFormat24bppBGR, 1, 3, 2, 1, 0, -1},
    {&GUID_WICPixelFormat24bppRGB, 1, 3, 0, 1, 2, -1},
    {&GUID_WICPixelFormat32bppBGRA, 1, 4, 2, 1, 0, 3},
    {&GUID_WICPixelFormat32bppRGBA, 1, 4, 0, 1, 2, 3},
    {&GUID_WICPixelFormat64bppRGBA, 2, 4, 0, 1, 2, 3},
    {&GUID_WICPixelFormat64bppBGRA, 2, 4, 2, 1, 0, 3},
};

// Holds one COM interface and lets it go at the end of the scope.
template <typename T>
struct ComHolder {
  T* p = nullptr;
  ComHolder() = default;
  ComHolder(const ComHolder&) = delete;
  ComHolder& operator=(const ComHolder&) = delete;
  ~ComHolder() {
    if (p != nullptr) p->Release();
  }
};

// COM on the calling thread for one decode (images are read on worker threads
// too); a thread that already has it keeps it as it was.
struct ComScope {
  bool entered = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
  ComScope() = default;
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (entered) CoUninitialize();
  }
};

bool ReadWholeStream(std::FILE* file, std::vector<unsigned char>& bytes) {
  unsigned char chunk[65536];
  std::size_t read = 0;
  while ((read = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  return std::ferror(file) == 0;
}

std::uint32_t BigEndian32(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         p[3];
}

// The PNG signature and the IHDR chunk that must follow it.
bool ReadHeader(const std::vector<unsigned char>& bytes, PngHeader& header) {
  if (bytes.size() < IHDR_END ||
      !std::equal(std::begin(PNG_SIGNATURE), std::end(PNG_SIGNATURE), bytes.begin()) ||
      BigEndian32(&bytes[8]) != 13 || std::memcmp(&bytes[IHDR_TYPE_AT], "IHDR", 4) != 0) {
    return false;
  }
  header.width = BigEndian32(&bytes[16]);
  header.height = BigEndian32(&bytes[20]);
  header.bitDepth = bytes[24];
  header.colourType = bytes[25];
  return true;
}

const WicLayout* FindLayout(const GUID& format) {
  for (const WicLayout& layout : WIC_LAYOUTS) {
    if (IsEqualGUID(*layout.format, format)) return &layout;
  }
  return nullptr;
}

// Decodes the whole first frame as WIC lays it out, top row first.
bool DecodeWithWic(const std::vector<unsigned char>& bytes, const PngHeader& header,
                   std::vector<unsigned char>& pixels, const WicLayout*& layout) {
  ComScope com;
  ComHolder<IWICImagingFactory> factory;
  ComHolder<IWICStream> stream;
  ComHolder<IWICBitmapDecoder> decoder;
  ComHolder<IWICBitmapFrameDecode> frame;
  UINT width = 0;
  UINT height = 0;
  WICPixelFormatGUID format;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(&factory.p))) ||
      FAILED(factory.p->CreateStream(&stream.p)) ||
      FAILED(stream.p->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                            static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory.p->CreateDecoder(GUID_ContainerFormatPng, nullptr, &decoder.p)) ||
      FAILED(decoder.p->Initialize(stream.p, WICDecodeMetadataCacheOnDemand)) ||
      FAILED(decoder.p->GetFrame(0, &frame.p)) || FAILED(frame.p->GetSize(&width, &height)) ||
      FAILED(frame.p->GetPixelFormat(&format))) {
    return false;
  }
  layout = FindLayout(format);
  if (layout == nullptr || width != header.width || height != header.height) return false;
  const std::size_t stride =
      static_cast<std::size_t>(width) * layout->sampleBytes * layout->samples;
  pixels.assign(stride * height, 0);
  return SUCCEEDED(frame.p->CopyPixels(nullptr, static_cast<UINT>(stride),
                                       static_cast<UINT>(pixels.size()), pixels.data()));
}

// The file's own bytes of each pixel from WIC's layout: its channels in the file's
// order, each sample as wide as the file's depth and big-endian as in the file.
// False when WIC's samples are not as wide as the file's, so the bytes cannot be
// the file's own.
bool ToStoredBytes(const std::vector<unsigned char>& wic, const WicLayout& layout,
                   const PngHeader& header, std::vector<unsigned char>& stored) {
  const int sampleBytes = header.bitDepth / 8;
  if (sampleBytes != layout.sampleBytes) return false;
  std::vector<int> channels;
  if (header.colourType == COLOUR_GREY_ALPHA) {
    channels = {layout.red, layout.alpha};
  } else if (header.colourType == COLOUR_RGBA) {
    channels = {layout.red, layout.green, layout.blue, layout.alpha};
  } else {
    channels = {layout.red, layout.green, layout.blue};
  }
  for (int channel : channels) {
    if (channel < 0) return false;
  }
  const std::size_t pixelCount = wic.size() / (layout.sampleBytes * layout.samples);
  stored.resize(pixelCount * channels.size() * sampleBytes);
  unsigned char* out = stored.data();
  for (std::size_t i = 0; i < pixelCount; ++i) {
    const unsigned char* pixel = wic.data() + i * layout.sampleBytes * layout.samples;
    for (int channel : channels) {
      const unsigned char* sample = pixel + channel * layout.sampleBytes;
      for (int b = sampleBytes - 1; b >= 0; --b) *out++ = sample[b];
    }
  }
  return true;
}
}  // namespace

bool DecodePngStream(std::FILE* file, DecodedImage& out) {
  std::vector<unsigned char> bytes;
  PngHeader header;
  if (!ReadWholeStream(file, bytes) || !ReadHeader(bytes, header)) return false;
  const int bits = StoredBitsPerPixel(header.bitDepth, header.colourType);
  // A layout that will be refused is not decoded at all.
  if ((bits != 24 && bits != 32) || header.width == 0 || header.height == 0 ||
      header.width > MAX_IMAGE_SIDE || header.height > MAX_IMAGE_SIDE) {
    return false;
  }
  std::vector<unsigned char> wic;
  const WicLayout* layout = nullptr;
  std::vector<unsigned char> stored;
  try {
    if (!DecodeWithWic(bytes, header, wic, layout) ||
        !ToStoredBytes(wic, *layout, header, stored)) {
      return false;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  const std::size_t rowSize = static_cast<std::size_t>(header.width) * (bits / 8);
  std::vector<const unsigned char*> rows(header.height);
  for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = stored.data() + y * rowSize;
  return StorePngRows(rows.data(), static_cast<int>(header.width), static_cast<int>(header.height),
                      bits, out);
}
