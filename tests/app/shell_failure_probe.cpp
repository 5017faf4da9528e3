// Runs the real application shell with a first screen that raises an error, so
// the window test can check how the shell reports it. Usage:
//   shell_failure_probe text|string|exception|enter
// text, string and exception raise during the third update, as a plain text, a
// standard string or a standard exception; enter raises a plain text while the
// screen is entered, before the loop starts. Any screen operation after the
// error aborts the process, which the test sees as a wrong exit status.
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "app/application.h"

namespace {
const char* const ERROR_TEXT = "couldn't place a new hole";
// Updates that pass before the error: enough for the loop to be running.
constexpr int QUIET_UPDATES = 2;

std::string kind;

class CFailingScreen : public CScreen {
 public:
  void Enter() override {
    if (kind == "enter") {
      Raise();
    }
  }
  void Reshape(int, int) override { Check(); }
  void MouseMove(double, double) override { Check(); }
  void MouseButton(int, bool) override { Check(); }
  void SpecialKey(int, bool) override { Check(); }
  void Key(int, bool) override { Check(); }
  void Draw() override { Check(); }
  void Update(double) override {
    Check();
    if (++updates > QUIET_UPDATES) {
      Raise();
    }
  }

 private:
  void Check() const {
    if (raised) {
      std::abort();
    }
  }

  void Raise() {
    raised = true;
    if (kind == "string") {
      throw std::string(ERROR_TEXT);
    }
    if (kind == "exception") {
      throw std::runtime_error(ERROR_TEXT);
    }
    throw ERROR_TEXT;
  }

  int updates = 0;
  bool raised = false;
};

std::shared_ptr<CScreen> MakeFailingScreen() {
  return std::make_shared<CFailingScreen>();
}
}  // namespace

int main(int argc, char** argv) {
  kind = argc > 1 ? argv[1] : "text";
  return CApplication::Instance().Run(argc, argv, MakeFailingScreen);
}
