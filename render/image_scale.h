#pragma once

// Image scaling as GLU does it, in plain C++, for the mipmap levels of a renderer
// that has no GLU: the same box filter and the same rounding, so each level holds
// the bytes GLU would have made. Pixels are `components` bytes each, rows packed.

// As gluScaleImage with unsigned bytes in and out: a box filter over the input
// area under each output pixel, computed on 16-bit values.
void ScaleImage(int components, int widthIn, int heightIn, const unsigned char* in, int widthOut,
                int heightOut, unsigned char* out);

// As gluBuild2DMipmaps makes each level from the one before: every output pixel
// the rounded mean of a 2 x 2 block, or the truncated mean of two pixels once a
// side has reached 1. Sides above 1 halve; width and height not both 1.
void HalveImage(int components, int width, int height, const unsigned char* in, unsigned char* out);
