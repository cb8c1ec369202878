// shotdriver: drives Quillmark's windows from outside for tools/screenshots.sh.
// Windows are found by their exact caption among the top-level windows.
//
//   shotdriver wait CAPTION [MS]     waits for the window (default 20 s) and
//                                    prints its rectangle: left top width height
//   shotdriver rect CAPTION          prints the rectangle of the window
//   shotdriver command CAPTION ID    posts WM_COMMAND ID (a menu item)
//   shotdriver close CAPTION         posts WM_CLOSE
//
// Exit code 0 on success, 1 when the window is not there, 2 on bad usage.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Screen coordinates in real pixels, whatever the DPI.
void BecomeDpiAware() {
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  HMODULE user32 = GetModuleHandleA("user32.dll");
  auto setContext = reinterpret_cast<SetContextFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
  if (setContext && setContext(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4)))) return;
  SetProcessDPIAware();
}

HWND FindByCaption(const char* caption, int waitMs) {
  for (int waited = 0;; waited += 50) {
    HWND window = FindWindowA(nullptr, caption);
    if (window && IsWindowVisible(window)) return window;
    if (waited >= waitMs) return nullptr;
    Sleep(50);
  }
}

void PrintRect(HWND window) {
  RECT rc{};
  GetWindowRect(window, &rc);
  std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

int Usage() {
  std::fprintf(stderr, "usage: shotdriver wait|rect|command|close CAPTION [MS|ID]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  BecomeDpiAware();
  const std::string verb = argv[1];
  const char* caption = argv[2];
  const int waitMs = verb == "wait" ? (argc > 3 ? std::atoi(argv[3]) : 20000) : 2000;
  HWND window = FindByCaption(caption, waitMs);
  if (!window) {
    std::fprintf(stderr, "shotdriver: no window \"%s\"\n", caption);
    return 1;
  }
  if (verb == "wait" || verb == "rect") {
    PrintRect(window);
  } else if (verb == "command" && argc > 3) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(std::atoi(argv[3]), 0), 0);
  } else if (verb == "close") {
    PostMessageA(window, WM_CLOSE, 0, 0);
  } else {
    return Usage();
  }
  return 0;
}
