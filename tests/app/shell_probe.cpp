// Runs the real application shell with a first screen of its own, so the
// window test can watch what reaches a screen. Usage:
//   shell_probe input
//     writes every input event the screen receives on standard output, one a
//     line ("Key 97 down", "MouseMove 0.000488 0.999349"), until the window
//     is closed;
//   shell_probe idle
//     as input, and like a game it pauses on P and whenever it goes out of play
//     and resumes on P; it writes "Draw" for every frame and "Step <dt>" for
//     every update of a quarter second or more;
//   shell_probe text|string|exception|enter
//     raises "couldn't place a new hole" during the third update, as a plain
//     text, a standard string or a standard exception, or (enter) as a plain
//     text while the screen is entered, before the loop starts. Any screen
//     operation after the error aborts the process, which the test sees as a
//     wrong exit status.
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "app/application.h"
#include "render/opengl_renderer.h"

namespace {
const char* const ERROR_TEXT = "couldn't place a new hole";
// Updates that pass before the error: enough for the loop to be running.
constexpr int QUIET_UPDATES = 2;
// Updates this long or longer are written down in idle mode.
constexpr double LONG_STEP = 0.25;

std::string mode;

class CProbeScreen : public CScreen {
 public:
  void Enter() override {
    Log("Enter");
    if (mode == "enter") {
      Raise();
    }
  }
  void Reshape(int width, int height) override {
    Check();
    std::printf("Reshape %d %d\n", width, height);
    Flush();
  }
  void MouseMove(double x, double y) override {
    Check();
    std::printf("MouseMove %.6f %.6f\n", x, y);
    Flush();
  }
  void MouseButton(int button, bool pressed) override {
    Check();
    std::printf("MouseButton %d %s\n", button, pressed ? "down" : "up");
    Flush();
  }
  void SpecialKey(int key, bool pressed) override {
    Check();
    std::printf("SpecialKey %d %s\n", key, pressed ? "down" : "up");
    Flush();
  }
  void Key(int key, bool pressed) override {
    Check();
    std::printf("Key %d %s\n", key, pressed ? "down" : "up");
    Flush();
    if (key == 'p' && pressed) paused = !paused;
  }
  void Draw() override {
    Check();
    if (mode == "idle") Log("Draw");
    renderer.SetClearColor(1, 1, 1);
    renderer.Clear();
  }
  void Update(double dt) override {
    Check();
    if (mode == "idle" && dt >= LONG_STEP) {
      std::printf("Step %.3f\n", dt);
      Flush();
    }
    if (mode != "input" && mode != "idle" && ++updates > QUIET_UPDATES) {
      Raise();
    }
  }
  void Visibility(bool shown) override {
    Check();
    std::printf("Visibility %s\n", shown ? "shown" : "hidden");
    Flush();
    if (!shown && mode == "idle") paused = true;
  }
  bool Animating() const override { return !paused; }
  void Touch(int, int, double, double) override {}

 private:
  static void Log(const char* line) {
    std::printf("%s\n", line);
    Flush();
  }
  static void Flush() { std::fflush(stdout); }

  void Check() const {
    if (raised) {
      std::abort();
    }
  }

  void Raise() {
    raised = true;
    if (mode == "string") {
      throw std::string(ERROR_TEXT);
    }
    if (mode == "exception") {
      throw std::runtime_error(ERROR_TEXT);
    }
    throw ERROR_TEXT;
  }

  COpenGLRenderer renderer;
  int updates = 0;
  bool raised = false;
  bool paused = false;
};

std::shared_ptr<CScreen> MakeProbeScreen() {
  return std::make_shared<CProbeScreen>();
}
}  // namespace

int main(int argc, char** argv) {
  mode = argc > 1 ? argv[1] : "input";
  return CApplication::Instance().Run(argc, argv, MakeProbeScreen);
}
