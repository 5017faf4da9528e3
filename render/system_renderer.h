#pragma once

#include <memory>

#include "render/renderer.h"

// The renderer the game draws with in this build: OpenGL 1 on the desktop, OpenGL
// ES 2 (WebGL 1) in the browser. CMake builds the file that makes it. A context
// must be current.
std::shared_ptr<CRenderer> MakeSystemRenderer();
