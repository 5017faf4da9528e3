#pragma once

#include <cstdint>
#include <vector>

// Gives the see-through pixels of a straight RGBA image the colour of the
// nearest solid pixel, so filtering and mipmapping never pull a dark or grey
// fringe into a sprite's edge.
//
// The game's loader overwrites every fully transparent pixel that touches a
// visible one with the average red of its neighbours in all three channels,
// which would grey out green grass and blue jelly edges. Pixels within a few
// texels of the artwork therefore keep an alpha of 1/255: invisible on screen,
// but enough for the loader to leave their colour alone. Indices wrap around
// the image edges the way the loader's own fill does, so tiling images pad
// across their seams.
void PadTransparentEdges(std::vector<uint8_t>& rgba, int width, int height);
