// The game's window on Windows: a plain Win32 window with a WGL context. It
// keeps the promises GLUT keeps on Linux (size and place, pixel format, hidden
// pointer, no key repeat, GLUT's button and key codes, one update and one draw
// per turn of the loop) and hands every event to the application the way the
// GLUT window does.
#include <windows.h>
#include <windowsx.h>
// After windows.h, whose types they use.
#include <GL/gl.h>
#include <imm.h>
// A message box flag of Win32 has the name of the screens' right button.
#undef MB_RIGHT

#include <cstring>

#include "app/application.h"
#include "app/window.h"
#include "app/window_resources.h"

namespace {
constexpr wchar_t WINDOW_CLASS[] = L"Jellyquake";
constexpr wchar_t WINDOW_TITLE[] = L"Jellyquake";
constexpr DWORD WINDOWED_STYLE = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
// lParam bits of a key message: the key's scan code, whether it is an extended
// key, whether Alt is down, and whether the key was already down (a repeat).
constexpr int SCAN_CODE_SHIFT = 16;
constexpr LPARAM SCAN_CODE_MASK = 0x1ff;  // with the extended-key bit
constexpr LPARAM EXTENDED_KEY_BIT = LPARAM{1} << 24;
constexpr LPARAM ALT_DOWN_BIT = LPARAM{1} << 29;
constexpr LPARAM WAS_DOWN_BIT = LPARAM{1} << 30;
// The screens take character codes 0 to 255.
constexpr WPARAM MAX_CHARACTER = 255;
// GLUT hands Delete to the keyboard handler as this character.
constexpr int DELETE_CHARACTER = 127;
constexpr int ESCAPE_CHARACTER = 27;
constexpr int NO_CHARACTER = -1;
constexpr UINT_PTR MOVING_TIMER = 1;

// There is one window, as there is one in GLUT.
struct NativeWindow {
  HWND handle = nullptr;
  HDC deviceContext = nullptr;
  HGLRC glContext = nullptr;
  // Sizes reach the screens only from the first showing on, as with GLUT.
  bool shown = false;
  // The size the screens were last told of, so each size reaches them once.
  int reportedWidth = -1;
  int reportedHeight = -1;
  // What the screens were last told: the window can be seen, or is minimised or hidden.
  bool visible = false;
  // A draw is owed: the loop asked for one, or the system wants the window repainted.
  bool redisplay = false;
  bool fullScreen = false;
  // Frames one after another; otherwise the loop sleeps until a message comes.
  bool continuous = true;
  WINDOWPLACEMENT windowedPlacement = {};
  // Buttons held, as window button bits, so a lost capture can release them.
  unsigned buttonsDown = 0;
  // The pointer's last position, so that the system's repeated reports of an
  // unmoved pointer do not reach the screen.
  bool pointerKnown = false;
  int pointerX = 0;
  int pointerY = 0;
  // The character each physical key typed, so its release names the same one.
  int characterOfKey[SCAN_CODE_MASK + 1] = {};
  // Keys read by their place on the keyboard: the character the layout types
  // for them is not theirs and is dropped.
  bool keyByPlace[SCAN_CODE_MASK + 1] = {};
};

NativeWindow native;

int KeySlot(LPARAM lParam) {
  return static_cast<int>((lParam >> SCAN_CODE_SHIFT) & SCAN_CODE_MASK);
}

bool IsExtended(LPARAM lParam) {
  return (lParam & EXTENDED_KEY_BIT) != 0;
}

// GLUT's code for a key that is not a character, or 0 for none. Left and right
// modifiers differ only in the extended bit (Ctrl, Alt) or the scan code (Shift).
int SpecialKeyCode(WPARAM key, LPARAM lParam) {
  if (key >= VK_F1 && key <= VK_F12) return WINDOW_KEY_F1 + static_cast<int>(key - VK_F1);
  switch (key) {
    case VK_LEFT:
      return WINDOW_KEY_LEFT;
    case VK_UP:
      return WINDOW_KEY_UP;
    case VK_RIGHT:
      return WINDOW_KEY_RIGHT;
    case VK_DOWN:
      return WINDOW_KEY_DOWN;
    case VK_PRIOR:
      return WINDOW_KEY_PAGE_UP;
    case VK_NEXT:
      return WINDOW_KEY_PAGE_DOWN;
    case VK_HOME:
      return WINDOW_KEY_HOME;
    case VK_END:
      return WINDOW_KEY_END;
    case VK_INSERT:
      return WINDOW_KEY_INSERT;
    case VK_NUMLOCK:
      return WINDOW_KEY_NUM_LOCK;
    case VK_CLEAR:
      return WINDOW_KEY_BEGIN;
    case VK_SHIFT: {
      const UINT scanCode = static_cast<UINT>(KeySlot(lParam));
      const bool right = MapVirtualKeyW(scanCode, MAPVK_VSC_TO_VK_EX) == VK_RSHIFT;
      return right ? WINDOW_KEY_SHIFT_R : WINDOW_KEY_SHIFT_L;
    }
    case VK_CONTROL:
      return IsExtended(lParam) ? WINDOW_KEY_CTRL_R : WINDOW_KEY_CTRL_L;
    case VK_MENU:
      return IsExtended(lParam) ? WINDOW_KEY_ALT_R : WINDOW_KEY_ALT_L;
    case VK_LWIN:
      return WINDOW_KEY_SUPER_L;
    case VK_RWIN:
      return WINDOW_KEY_SUPER_R;
    default:
      return 0;
  }
}

// Win32 calls the window procedure from inside its own functions; a failure
// recorded there stops delivery at once, and the loop leaves after the message.
bool Delivering() {
  return native.shown && !CApplication::Instance().Failed();
}

void Reshape(int width, int height) {
  if (!native.shown || (width == native.reportedWidth && height == native.reportedHeight)) return;
  native.reportedWidth = width;
  native.reportedHeight = height;
  CApplication::Instance().Reshape(width, height);
}

// The screens hear once of a window minimised or hidden and once of its coming
// back, as GLUT tells of a window unmapped and mapped again.
void SetVisible(bool visible) {
  if (!native.shown || visible == native.visible) return;
  native.visible = visible;
  CApplication::Instance().Visibility(visible);
}

void Motion(int x, int y) {
  if (native.pointerKnown && x == native.pointerX && y == native.pointerY) return;
  native.pointerKnown = true;
  native.pointerX = x;
  native.pointerY = y;
  if (Delivering()) CApplication::Instance().Motion(x, y);
}

// Presses capture the pointer, so a drag that ends outside the window still
// releases its button; the capture goes with the last button.
void Button(HWND window, int button, bool pressed) {
  const unsigned bit = 1u << button;
  if (pressed) {
    if (native.buttonsDown == 0) SetCapture(window);
    native.buttonsDown |= bit;
  } else {
    if ((native.buttonsDown & bit) == 0) return;
    native.buttonsDown &= ~bit;
    if (native.buttonsDown == 0) ReleaseCapture();
  }
  if (Delivering()) {
    CApplication::Instance().Mouse(button, pressed ? WINDOW_BUTTON_DOWN : WINDOW_BUTTON_UP);
  }
}

// Another window took the pointer (a system dialog, a switch of task): the
// buttons it held are released, as the player can no longer let go of them here.
void ReleaseLostButtons() {
  for (int button = WINDOW_BUTTON_LEFT; button <= WINDOW_BUTTON_RIGHT; ++button) {
    const unsigned bit = 1u << button;
    if ((native.buttonsDown & bit) == 0) continue;
    native.buttonsDown &= ~bit;
    if (Delivering()) CApplication::Instance().Mouse(button, WINDOW_BUTTON_UP);
  }
}

void PressCharacter(int character, LPARAM lParam) {
  native.characterOfKey[KeySlot(lParam)] = character;
  if (Delivering()) CApplication::Instance().Keyboard(static_cast<unsigned char>(character), true);
}

void Character(WPARAM character, LPARAM lParam) {
  // Held keys give one press: repeats are dropped, as glutIgnoreKeyRepeat does.
  if ((lParam & WAS_DOWN_BIT) != 0 || character > MAX_CHARACTER) return;
  if (native.keyByPlace[KeySlot(lParam)]) return;
  PressCharacter(static_cast<int>(character), lParam);
}

void CharacterKeyUp(LPARAM lParam) {
  native.keyByPlace[KeySlot(lParam)] = false;
  int& character = native.characterOfKey[KeySlot(lParam)];
  if (character == NO_CHARACTER) return;
  const int released = character;
  character = NO_CHARACTER;
  if (Delivering()) CApplication::Instance().Keyboard(static_cast<unsigned char>(released), false);
}

// The character the game's own keys (pause, mute) stand for, by the key's virtual-key
// code: on a Russian or Greek layout the key marked P types a letter the game does
// not know, but it is still VK 'P'.
int CharacterByPlace(WPARAM key) {
  switch (key) {
    case 'P':
      return 'p';
    case 'M':
      return 'm';
    case VK_ESCAPE:
      return ESCAPE_CHARACTER;
    default:
      return NO_CHARACTER;
  }
}

// The character a layout types for the key follows as WM_CHAR, and is dropped.
bool KeyByPlace(WPARAM key, LPARAM lParam) {
  const int character = CharacterByPlace(key);
  if (character == NO_CHARACTER) return false;
  if ((lParam & WAS_DOWN_BIT) != 0) return true;
  native.keyByPlace[KeySlot(lParam)] = true;
  PressCharacter(character, lParam);
  return true;
}

// True when the key was the game's; other keys go on to the system (Alt+F4
// closes the window as a window manager's shortcut does on Linux).
bool KeyDown(WPARAM key, LPARAM lParam) {
  if (key == VK_F4 && (lParam & ALT_DOWN_BIT) != 0) return false;
  if (KeyByPlace(key, lParam)) return true;
  const int special = SpecialKeyCode(key, lParam);
  if (special == 0) {
    // Delete types no character on Windows, but is one on Linux.
    if (key == VK_DELETE) Character(DELETE_CHARACTER, lParam);
    return key == VK_DELETE;
  }
  if ((lParam & WAS_DOWN_BIT) == 0 && Delivering()) {
    CApplication::Instance().Special(special, true);
  }
  return true;
}

bool KeyUp(WPARAM key, LPARAM lParam) {
  CharacterKeyUp(lParam);
  const int special = SpecialKeyCode(key, lParam);
  if (special == 0) return false;
  if (Delivering()) CApplication::Instance().Special(special, false);
  return true;
}

// Nothing reaches the screens from here on, and the loop ends. The window itself
// goes with the process, which ends straight after: destroying it first would
// only wait for a window manager to answer, and Wine with none waits 2 s.
void EndLoop() {
  native.shown = false;
  PostQuitMessage(0);
}

// The keyboard came or went: another window was clicked, Alt+Tab, the Windows
// key, a notification taking the focus.
void FocusChanged(bool focused) {
  if (Delivering()) CApplication::Instance().Focus(focused);
}

// One update and one draw, as GLUT runs the idle handler and then the display;
// while no frames stream, only the draw an event asked for.
void Tick() {
  if (!native.shown) return;
  CApplication& app = CApplication::Instance();
  if (native.continuous && app.Idle()) native.redisplay = true;
  if (app.Failed()) return;
  // A minimised window has no pixels to draw into.
  if (native.redisplay && !IsIconic(native.handle)) {
    native.redisplay = false;
    if (app.Display()) SwapBuffers(native.deviceContext);
  }
}

// On a monitor of another scale the window takes the rectangle the system suggests,
// scaled to that monitor, so it looks as large there as it did; the game draws
// sharp at whatever size in pixels that is. Full screen already covers its monitor.
void FollowScaleChange(HWND window, const RECT& suggested) {
  if (native.fullScreen) return;
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// With an input method on (Chinese, Japanese, Korean), P and M would open its
// composition window over the game and Esc would close that instead of pausing.
void TurnOffInputMethod(HWND window) {
  ImmAssociateContextEx(window, nullptr, 0);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      // A minimised window keeps its size for the screens; it is only hidden, as an
      // X window is unmapped.
      if (wParam != SIZE_MINIMIZED) Reshape(LOWORD(lParam), HIWORD(lParam));
      SetVisible(wParam != SIZE_MINIMIZED);
      return 0;
    case WM_SHOWWINDOW:
      SetVisible(wParam != FALSE && !IsIconic(window));
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      native.redisplay = true;
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the next frame covers every pixel
    case WM_SETCURSOR:
      // The game draws its own hand over the client area.
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(nullptr);
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      Motion(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      Button(window, WINDOW_BUTTON_LEFT, message == WM_LBUTTONDOWN);
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      Button(window, WINDOW_BUTTON_MIDDLE, message == WM_MBUTTONDOWN);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      Button(window, WINDOW_BUTTON_RIGHT, message == WM_RBUTTONDOWN);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      FocusChanged(message == WM_SETFOCUS);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != window) ReleaseLostButtons();
      return 0;
    // With Alt held a character comes as a system one; GLUT on Linux gives it as it is.
    case WM_CHAR:
    case WM_SYSCHAR:
      Character(wParam, lParam);
      return 0;
    // Alt and F10 come as system keys; the game takes them, so that they do
    // not open the window menu and stop the loop.
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (KeyDown(wParam, lParam)) return 0;
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (KeyUp(wParam, lParam)) return 0;
      break;
    // While the player drags or sizes the window, Windows runs a loop of its own
    // until the button is let go; a timer keeps the game going meanwhile, as it
    // goes on while a window manager moves the window on Linux.
    case WM_ENTERSIZEMOVE:
      SetTimer(window, MOVING_TIMER, USER_TIMER_MINIMUM, nullptr);
      return 0;
    case WM_EXITSIZEMOVE:
      KillTimer(window, MOVING_TIMER);
      return 0;
    case WM_TIMER:
      if (wParam == MOVING_TIMER) Tick();
      return 0;
    case WM_DPICHANGED:
      FollowScaleChange(window, *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CLOSE:
      EndLoop();
      return 0;
    case WM_DESTROY:
      native.handle = nullptr;
      EndLoop();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Double-buffered RGB with a depth buffer, as GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH asks.
bool CreateGLContext() {
  PIXELFORMATDESCRIPTOR format = {};
  format.nSize = sizeof(format);
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = 24;
  format.cDepthBits = 24;
  format.iLayerType = PFD_MAIN_PLANE;
  const int chosen = ChoosePixelFormat(native.deviceContext, &format);
  if (chosen == 0 || !SetPixelFormat(native.deviceContext, chosen, &format)) return false;
  native.glContext = wglCreateContext(native.deviceContext);
  return native.glContext != nullptr && wglMakeCurrent(native.deviceContext, native.glContext);
}

using SwapInterval = BOOL(WINAPI*)(int);

// One frame a refresh of the screen where the driver can pace them; where it
// cannot, frames come as they did.
void AskForPacedFrames() {
  const PROC found = wglGetProcAddress("wglSwapIntervalEXT");
  if (found == nullptr) return;
  SwapInterval setInterval;
  static_assert(sizeof(setInterval) == sizeof(found));
  std::memcpy(&setInterval, &found, sizeof(found));
  setInterval(1);
}

// With no frames to run and no draw owed, the loop sleeps until a message comes;
// a minimised window owes none, as it has nothing to draw into.
void WaitWhileIdle() {
  const bool drawOwed = native.redisplay && !IsIconic(native.handle);
  if (!native.continuous && !drawOwed) WaitMessage();
}

// A turn of the loop: every waiting message, then a tick. False once the window
// is gone or a failure stopped the game.
bool RunTurn() {
  WaitWhileIdle();
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return false;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    if (CApplication::Instance().Failed()) return false;
  }
  Tick();
  return native.shown && !CApplication::Instance().Failed();
}
}  // namespace

void CWindow::OpenWindow(int, char**) {
  // Window sizes are real pixels, as on Linux: the program's manifest declares it
  // aware of each monitor's scale, so that Windows never stretches its picture.
  for (int& character : native.characterOfKey) character = NO_CHARACTER;
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const WindowPlacement placement = ComputeWindowPlacement(screenWidth, screenHeight);

  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(JELLYQUAKE_ICON),
                                                    IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                    GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  windowClass.hIconSm = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(JELLYQUAKE_ICON), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  windowClass.lpszClassName = WINDOW_CLASS;
  RegisterClassExW(&windowClass);

  // The placement is the client area's, as GLUT's is: the frame goes round it.
  RECT frame = {placement.x, placement.y, placement.x + placement.width,
                placement.y + placement.height};
  AdjustWindowRectEx(&frame, WINDOWED_STYLE, FALSE, 0);
  native.handle = CreateWindowExW(0, WINDOW_CLASS, WINDOW_TITLE, WINDOWED_STYLE, frame.left,
                                  frame.top, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, nullptr);
  if (native.handle == nullptr) throw "couldn't open the window";
  TurnOffInputMethod(native.handle);
  native.deviceContext = GetDC(native.handle);
  if (!CreateGLContext()) throw "couldn't set up OpenGL";
  if (!OpenGLVersionAtLeast(reinterpret_cast<const char*>(glGetString(GL_VERSION)), 1, 2)) {
    throw OPENGL_TOO_OLD;
  }
  AskForPacedFrames();
  width = placement.width;
  height = placement.height;
  open = true;
}

void CWindow::MainLoop() {
  // The first reshape comes when the window shows, after the first screen is in.
  // Then the screens hear that it can be seen.
  native.shown = true;
  native.visible = true;
  ShowWindow(native.handle, SW_SHOWNORMAL);
  RECT client;
  GetClientRect(native.handle, &client);
  Reshape(client.right, client.bottom);
  CApplication::Instance().Visibility(true);
  while (RunTurn()) {
  }
  native.shown = false;
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(native.glContext);
  native.glContext = nullptr;
  open = false;
}

void CWindow::LeaveMainLoop() {
  EndLoop();
}

void CWindow::SetContinuous(bool continuous) {
  native.continuous = continuous;
}

void CWindow::Redraw() {
  native.redisplay = true;
}

// Full screen is a frameless window over the whole monitor it is on; the
// windowed placement is kept to come back to.
void CWindow::ToggleFullScreen() {
  const HWND window = native.handle;
  if (window == nullptr) return;
  if (!native.fullScreen) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    native.windowedPlacement.length = sizeof(native.windowedPlacement);
    if (!GetWindowPlacement(window, &native.windowedPlacement) ||
        !GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
      return;
    }
    native.fullScreen = true;
    SetWindowLongPtrW(window, GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
    const RECT& area = monitor.rcMonitor;
    SetWindowPos(window, HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
  } else {
    native.fullScreen = false;
    SetWindowLongPtrW(window, GWL_STYLE, WINDOWED_STYLE | WS_VISIBLE);
    SetWindowPlacement(window, &native.windowedPlacement);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
  }
}
