#include "tools/art/edge_padding.h"

#include <cstddef>
#include <deque>

namespace {

// Below this alpha a straight colour recovered from cairo's premultiplied
// bytes is too coarse to trust (an error of up to 8 levels a channel).
constexpr uint8_t kTrustedAlpha = 16;
// How far the faint alpha reaches: enough for the two hand-built mipmap
// levels the sprites use (a 4 x 4 texel footprint) with room to spare.
constexpr int kFaintBand = 8;
constexpr uint8_t kFaintAlpha = 1;

}  // namespace

void PadTransparentEdges(std::vector<uint8_t>& rgba, int width, int height) {
  const size_t count = static_cast<size_t>(width) * height;
  std::vector<int> distance(count, -1);
  std::deque<size_t> frontier;
  for (size_t i = 0; i < count; ++i) {
    if (rgba[i * 4 + 3] >= kTrustedAlpha) {
      distance[i] = 0;
      frontier.push_back(i);
    }
  }
  if (frontier.empty()) return;

  // Breadth-first flood from the solid pixels: each pixel reached takes the
  // colour of the pixel it was reached from, i.e. of a nearest solid pixel.
  while (!frontier.empty()) {
    const size_t at = frontier.front();
    frontier.pop_front();
    const int x = static_cast<int>(at % width);
    const int y = static_cast<int>(at / width);
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const int nx = (x + dx + width) % width;
        const int ny = (y + dy + height) % height;
        const size_t next = static_cast<size_t>(ny) * width + nx;
        if (distance[next] >= 0) continue;
        distance[next] = distance[at] + 1;
        for (int c = 0; c < 3; ++c) rgba[next * 4 + c] = rgba[at * 4 + c];
        frontier.push_back(next);
      }
    }
  }

  for (size_t i = 0; i < count; ++i) {
    if (rgba[i * 4 + 3] == 0 && distance[i] <= kFaintBand) rgba[i * 4 + 3] = kFaintAlpha;
  }
}
