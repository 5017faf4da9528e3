#include "app/placeholder_screen.h"

namespace {
// A slate blue, so an empty window is told apart from a window never drawn.
constexpr double CLEAR_RED = 0.2;
constexpr double CLEAR_GREEN = 0.3;
constexpr double CLEAR_BLUE = 0.4;
}  // namespace

void CPlaceholderScreen::Enter() {
  renderer = std::make_shared<COpenGLRenderer>();
  renderer->SetClearColor(CLEAR_RED, CLEAR_GREEN, CLEAR_BLUE);
}

void CPlaceholderScreen::Reshape(int width, int height) {
  renderer->SetViewport(0, 0, width, height);
}

void CPlaceholderScreen::MouseMove(double, double) {}

void CPlaceholderScreen::MouseButton(int, bool) {}

void CPlaceholderScreen::SpecialKey(int, bool) {}

void CPlaceholderScreen::Key(int, bool) {}

void CPlaceholderScreen::Draw() {
  renderer->Clear();
}

void CPlaceholderScreen::Update(double) {}
