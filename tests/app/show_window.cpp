// Minimises the game's window, or restores it, as Windows does when the player
// clicks its button on the taskbar: for the tests that run the Windows build
// under Wine, where no window manager does it. Usage: show_window minimise|restore
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  const bool minimise = argc == 2 && std::strcmp(argv[1], "minimise") == 0;
  const bool restore = argc == 2 && std::strcmp(argv[1], "restore") == 0;
  if (!minimise && !restore) {
    std::fprintf(stderr, "usage: show_window minimise|restore\n");
    return 2;
  }
  const HWND window = FindWindowW(L"Jellyquake", L"Jellyquake");
  if (window == nullptr) {
    std::fprintf(stderr, "no window titled Jellyquake\n");
    return 1;
  }
  ShowWindow(window, minimise ? SW_MINIMIZE : SW_RESTORE);
  return 0;
}
