#include "render/image_scale.h"

#include <cmath>
#include <vector>

namespace {
// GLU widens bytes to 16 bits (x 257) before it filters and keeps the high byte after.
constexpr int WIDEN = 257;
constexpr int NARROW_SHIFT = 8;
constexpr int MAX_COMPONENTS = 4;

// Halving on 16-bit values, the shortcut gluScaleImage takes for an exact half.
void HalveWide(int components, int width, int height, const unsigned short* in,
               unsigned short* out) {
  const int newWidth = width / 2, newHeight = height / 2;
  const int rowLength = width * components;
  for (int y = 0; y < newHeight; ++y)
    for (int x = 0; x < newWidth; ++x)
      for (int k = 0; k < components; ++k) {
        const unsigned short* t = in + (2 * y) * rowLength + 2 * x * components + k;
        *out++ = static_cast<unsigned short>(
            (t[0] + t[components] + t[rowLength] + t[rowLength + components] + 2) / 4);
      }
}

// The box filter of gluScaleImage, its arithmetic in single precision as GLU has it.
void ScaleWide(int components, int widthIn, int heightIn, const unsigned short* in, int widthOut,
               int heightOut, unsigned short* out) {
  if (widthIn == widthOut * 2 && heightIn == heightOut * 2) {
    HalveWide(components, widthIn, heightIn, in, out);
    return;
  }
  const float convy = static_cast<float>(heightIn) / heightOut;
  const float convx = static_cast<float>(widthIn) / widthOut;
  const float halfconvx = convx / 2;
  const float halfconvy = convy / 2;
  for (int i = 0; i < heightOut; ++i) {
    float y = static_cast<float>(convy * (i + 0.5));
    float highy, lowy;
    if (heightIn > heightOut) {
      highy = y + halfconvy;
      lowy = y - halfconvy;
    } else {
      highy = static_cast<float>(y + 0.5);
      lowy = static_cast<float>(y - 0.5);
    }
    for (int j = 0; j < widthOut; ++j) {
      float x = static_cast<float>(convx * (j + 0.5));
      float highx, lowx;
      if (widthIn > widthOut) {
        highx = x + halfconvx;
        lowx = x - halfconvx;
      } else {
        highx = static_cast<float>(x + 0.5);
        lowx = static_cast<float>(x - 0.5);
      }
      float totals[MAX_COMPONENTS] = {0, 0, 0, 0};
      float area = 0;
      y = lowy;
      int yint = static_cast<int>(std::floor(y));
      while (y < highy) {
        const int yindex = (yint + heightIn) % heightIn;
        const float ypercent = highy < yint + 1 ? highy - y : yint + 1 - y;
        x = lowx;
        int xint = static_cast<int>(std::floor(x));
        while (x < highx) {
          const int xindex = (xint + widthIn) % widthIn;
          const float xpercent = highx < xint + 1 ? highx - x : xint + 1 - x;
          const float percent = xpercent * ypercent;
          area += percent;
          const int at = (xindex + yindex * widthIn) * components;
          for (int k = 0; k < components; ++k) totals[k] += in[at + k] * percent;
          ++xint;
          x = static_cast<float>(xint);
        }
        ++yint;
        y = static_cast<float>(yint);
      }
      const int at = (j + i * widthOut) * components;
      for (int k = 0; k < components; ++k)
        out[at + k] = static_cast<unsigned short>((totals[k] + 0.5) / area);
    }
  }
}
}  // namespace

void ScaleImage(int components, int widthIn, int heightIn, const unsigned char* in, int widthOut,
                int heightOut, unsigned char* out) {
  const size_t inCount = static_cast<size_t>(widthIn) * heightIn * components;
  const size_t outCount = static_cast<size_t>(widthOut) * heightOut * components;
  std::vector<unsigned short> wideIn(inCount), wideOut(outCount);
  for (size_t i = 0; i < inCount; ++i) wideIn[i] = static_cast<unsigned short>(in[i] * WIDEN);
  ScaleWide(components, widthIn, heightIn, wideIn.data(), widthOut, heightOut, wideOut.data());
  for (size_t i = 0; i < outCount; ++i)
    out[i] = static_cast<unsigned char>(wideOut[i] >> NARROW_SHIFT);
}

void HalveImage(int components, int width, int height, const unsigned char* in,
                unsigned char* out) {
  if (width == 1 || height == 1) {
    // One row or one column: pairs along it, their mean truncated.
    const int pairs = (width == 1 ? height : width) / 2;
    for (int p = 0; p < pairs; ++p)
      for (int k = 0; k < components; ++k)
        *out++ = static_cast<unsigned char>(
            (in[2 * p * components + k] + in[(2 * p + 1) * components + k]) / 2);
    return;
  }
  const int newWidth = width / 2, newHeight = height / 2;
  const int rowLength = width * components;
  for (int y = 0; y < newHeight; ++y)
    for (int x = 0; x < newWidth; ++x)
      for (int k = 0; k < components; ++k) {
        const unsigned char* t = in + (2 * y) * rowLength + 2 * x * components + k;
        *out++ = static_cast<unsigned char>(
            (t[0] + t[components] + t[rowLength] + t[rowLength + components] + 2) / 4);
      }
}
