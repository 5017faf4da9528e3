#include "render/gles2_renderer.h"
#include "render/system_renderer.h"

std::shared_ptr<CRenderer> MakeSystemRenderer() {
  return std::make_shared<CGles2Renderer>();
}
