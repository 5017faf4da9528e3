#pragma once

#include <memory>

#include "app/screen.h"
#include "render/opengl_renderer.h"

// The screen the application starts with until the game screen exists: it
// clears the window every frame and ignores input.
class CPlaceholderScreen : public CScreen {
 public:
  void Enter() override;
  void Reshape(int width, int height) override;
  void MouseMove(double x, double y) override;
  void MouseButton(int button, bool pressed) override;
  void SpecialKey(int key, bool pressed) override;
  void Key(int key, bool pressed) override;
  void Draw() override;
  void Update(double dt) override;

 private:
  std::shared_ptr<COpenGLRenderer> renderer;
};
