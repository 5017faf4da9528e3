#pragma once

class CRenderer;
class CVisWorld;

// The floor under any frame of the game: one depth-tested quad of the grass that
// fills the whole view, seen from the visual world's camera with the scene's fog
// and the grass image's filtering (every mipmap level, blended). A frame of the
// game shades at least every pixel once with a texture like this one, so no
// frame can be cheaper.
void DrawLimitFrame(CRenderer& r, const CVisWorld& vis, int width, int height);
