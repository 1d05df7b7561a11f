#include "platform/window/window.h"

#include <SDL2/SDL.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/window/splash_picture.h"
#include "platform/window/window_registry.h"

namespace plat::window_detail {

namespace {

std::vector<Window_Record> g_windows;
// The display environment in which video last failed to start: in it, video is not tried again
// (its reason was said once); a process whose environment has changed since tries afresh.
bool g_video_failed = false;
std::string g_failed_environment;

std::string Display_Environment() {
  std::string text;
  for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = SDL_getenv(name);
    text += value ? std::string("=") + value : std::string("-");
    text += '\n';
  }
  return text;
}

void Remember_Video_Failure() {
  g_video_failed = true;
  g_failed_environment = Display_Environment();
}

// `full_buffers`: alpha, 24-bit depth and 8-bit stencil in the window itself, so that the
// graphics device can draw a matching back buffer straight into it instead of copying it there.
void Set_Gl_Attributes(bool full_buffers) {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, full_buffers ? 8 : 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, full_buffers ? 24 : 16);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, full_buffers ? 8 : 0);
}

}  // namespace

// A hang-up (the terminal closing) quits like SIGTERM, which SDL turns into a quit request: the
// game shuts down and saves its settings. A hang-up someone chose to ignore (nohup) stays ignored.
void On_Hang_Up(int) { kill(getpid(), SIGTERM); }

void Quit_On_Hang_Up() {
  struct sigaction current {};
  if (sigaction(SIGHUP, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) return;
  struct sigaction action {};
  action.sa_handler = On_Hang_Up;
  sigemptyset(&action.sa_mask);
  sigaction(SIGHUP, &action, nullptr);
}

// SDL falls back to its drivers without a screen when no real display opens; those are used
// only when SDL_VIDEODRIVER asks for them, so that the game never runs unseen by mistake.
bool Display_Driver_Chosen() {
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  if (asked != nullptr && asked[0] != '\0') return true;
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

bool Ensure_Video() {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
  if (g_video_failed && g_failed_environment == Display_Environment()) return false;
  // Closing the last window is a WM_CLOSE like any other; only a signal makes SDL_QUIT.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    Remember_Video_Failure();
    std::fprintf(stderr, "Vorthane: no display could be opened (%s)\n", SDL_GetError());
    return false;
  }
  if (!Display_Driver_Chosen()) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    Remember_Video_Failure();
    std::fprintf(stderr,
                 "Vorthane: no display could be opened (DISPLAY or WAYLAND_DISPLAY unset or unreachable); "
                 "set SDL_VIDEODRIVER=offscreen to run without one\n");
    return false;
  }
  // Keeps the OpenGL driver loaded for the life of the process: SDL would otherwise unload it
  // whenever the last OpenGL window is destroyed, and load it again for the next one. Without
  // a driver, creating the main window fails later.
  SDL_GL_LoadLibrary(nullptr);
  Quit_On_Hang_Up();
  Set_Gl_Attributes(false);
  Apply_Cursor_Visibility();
  return true;
}

Window_Record* Find_Window(HWND window) {
  if (window == nullptr) return nullptr;
  for (Window_Record& record : g_windows) {
    if (record.window == window) return &record;
  }
  return nullptr;
}

Window_Record* Find_Window_By_Id(uint32_t id) {
  for (Window_Record& record : g_windows) {
    if (record.id == id) return &record;
  }
  return nullptr;
}

HWND Main_Window() {
  for (const Window_Record& record : g_windows) {
    if (record.proc != nullptr) return record.window;
  }
  return nullptr;
}

std::vector<HWND> Message_Windows() {
  std::vector<HWND> windows;
  for (const Window_Record& record : g_windows) {
    if (record.proc != nullptr) windows.push_back(record.window);
  }
  return windows;
}

// Keeps the OpenGL context that is current across work on another window: SDL may paint a
// window surface through a context of its own, and destroying a window drops its context.
class Keep_Current_Context {
 public:
  explicit Keep_Current_Context(SDL_Window* leaving = nullptr)
      : m_window(SDL_GL_GetCurrentWindow()), m_context(SDL_GL_GetCurrentContext()), m_leaving(leaving) {}
  ~Keep_Current_Context() {
    if (m_context == nullptr || m_window == nullptr || m_window == m_leaving) return;
    if (SDL_GL_GetCurrentContext() != m_context || SDL_GL_GetCurrentWindow() != m_window) {
      SDL_GL_MakeCurrent(m_window, m_context);
    }
  }
  Keep_Current_Context(const Keep_Current_Context&) = delete;
  Keep_Current_Context& operator=(const Keep_Current_Context&) = delete;

 private:
  SDL_Window* m_window;
  SDL_GLContext m_context;
  SDL_Window* m_leaving;
};

Picture_Placement Placement_Of(const Window_Record& record) {
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(record.window, &width, &height);
  if (record.presented_width <= 0 || record.presented_height <= 0) return Place_Picture(width, height, width, height);
  return Place_Picture(width, height, record.presented_width, record.presented_height);
}

void Paint_Picture(const Window_Record& record) {
  if (record.picture.empty()) return;
  const Keep_Current_Context keep;
  SDL_Surface* target = SDL_GetWindowSurface(record.window);
  if (target == nullptr) return;
  SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint32_t*>(record.picture.data()), record.picture_width, record.picture_height,
      32, record.picture_width * 4, SDL_PIXELFORMAT_ARGB8888);
  if (source == nullptr) return;
  SDL_BlitSurface(source, nullptr, target, nullptr);
  SDL_FreeSurface(source);
  SDL_UpdateWindowSurface(record.window);
}

namespace {

void Add_Window(Window_Record record) { g_windows.push_back(std::move(record)); }

void Remove_Window(HWND window) {
  g_windows.erase(std::remove_if(g_windows.begin(), g_windows.end(),
                                 [window](const Window_Record& r) { return r.window == window; }),
                  g_windows.end());
}

}  // namespace

}  // namespace plat::window_detail

namespace wd = plat::window_detail;

namespace {

bool Valid_Size(int width, int height) {
  return width > 0 && height > 0 && width <= 16384 && height <= 16384;
}

bool Is_Visible(HWND window) { return (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) != 0; }

void Show(wd::Window_Record& record, bool show) {
  if (!show) {
    SDL_HideWindow(record.window);
    return;
  }
  SDL_ShowWindow(record.window);
  wd::Paint_Picture(record);
}

}  // namespace

HWND Create_Main_Window(const char* title, int width, int height, WNDPROC proc) {
  if (proc == nullptr || !Valid_Size(width, height) || !wd::Ensure_Video()) return nullptr;
  SDL_Window* window = nullptr;
  for (const bool full_buffers : {true, false}) {  // a display without such buffers gets the defaults
    wd::Set_Gl_Attributes(full_buffers);
    window = SDL_CreateWindow(title != nullptr ? title : "", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                              width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window != nullptr) break;
  }
  if (window == nullptr) return nullptr;
  wd::Window_Record record;
  record.window = window;
  record.id = SDL_GetWindowID(window);
  record.proc = proc;
  wd::Add_Window(std::move(record));
  return window;
}

HWND Create_Splash_Window(HWND owner, int width, int height) {
  (void)owner;  // SDL has no owned windows; the splash is simply a second top-level window.
  if (!Valid_Size(width, height) || !wd::Ensure_Video()) return nullptr;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SDL_Window* window = SDL_CreateWindow(
      "", x, y, width, height, SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN | SDL_WINDOW_SKIP_TASKBAR);
  if (window == nullptr) return nullptr;
  wd::Window_Record record;
  record.window = window;
  record.id = SDL_GetWindowID(window);
  record.picture = plat::Generate_Splash_Picture(width, height);
  record.picture_width = width;
  record.picture_height = height;
  wd::Add_Window(std::move(record));
  return window;
}

BOOL DestroyWindow(HWND window) {
  wd::Window_Record* record = wd::Find_Window(window);
  if (record == nullptr) return FALSE;
  if (record->proc != nullptr) record->proc(window, WM_DESTROY, 0, 0);
  wd::Forget_Window_Messages(window, record->id);
  wd::Forget_Window_Cursor(window);
  wd::Remove_Window(window);
  {
    const wd::Keep_Current_Context keep(window);
    SDL_DestroyWindow(window);
  }
  return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
  wd::Window_Record* record = wd::Find_Window(window);
  if (record == nullptr) return FALSE;
  const bool was_visible = Is_Visible(window);
  Show(*record, command != SW_HIDE);
  return was_visible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
  wd::Window_Record* record = wd::Find_Window(window);
  if (record == nullptr) return FALSE;
  if (Is_Visible(window)) wd::Paint_Picture(*record);
  return TRUE;
}

BOOL SetWindowPos(HWND window, HWND /*insert_after*/, int x, int y, int width, int height,
                  UINT flags) {
  wd::Window_Record* record = wd::Find_Window(window);
  if (record == nullptr) return FALSE;
  if ((flags & SWP_NOMOVE) == 0) SDL_SetWindowPosition(window, x, y);
  if ((flags & SWP_NOSIZE) == 0) {
    if (!Valid_Size(width, height)) return FALSE;
    SDL_SetWindowSize(window, width, height);
  }
  if ((flags & SWP_SHOWWINDOW) != 0) Show(*record, true);
  if ((flags & SWP_HIDEWINDOW) != 0) Show(*record, false);
  return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
  const wd::Window_Record* record = wd::Find_Window(window);
  if (record == nullptr || rect == nullptr) return FALSE;
  const plat::Picture_Placement placement = wd::Placement_Of(*record);
  *rect = RECT{0, 0, placement.picture_width, placement.picture_height};
  return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
  if (wd::Find_Window(window) == nullptr || rect == nullptr) return FALSE;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  SDL_GetWindowPosition(window, &x, &y);
  SDL_GetWindowSize(window, &width, &height);
  *rect = RECT{x, y, x + width, y + height};
  return TRUE;
}

BOOL AdjustWindowRect(RECT* rect, DWORD /*style*/, BOOL /*menu*/) {
  return rect != nullptr ? TRUE : FALSE;
}

int GetSystemMetrics(int index) {
  if ((index != SM_CXSCREEN && index != SM_CYSCREEN) || !wd::Ensure_Video()) return 0;
  // The display's bounds rather than its desktop mode: headless drivers report a bounds
  // rectangle but no desktop mode size.
  SDL_Rect bounds{};
  if (SDL_GetDisplayBounds(0, &bounds) != 0) return 0;
  return index == SM_CXSCREEN ? bounds.w : bounds.h;
}

namespace plat {

void Set_Presented_Size(HWND window, int width, int height) {
  wd::Window_Record* record = wd::Find_Window(window);
  if (record == nullptr) return;
  const bool valid = Valid_Size(width, height);
  record->presented_width = valid ? width : 0;
  record->presented_height = valid ? height : 0;
  wd::Refresh_Cursor_Clip(window);
}

Picture_Placement Presented_Placement(HWND window) {
  const wd::Window_Record* record = wd::Find_Window(window);
  if (record == nullptr) return Picture_Placement{};
  return wd::Placement_Of(*record);
}

bool Set_Full_Screen(HWND window, bool full_screen) {
  if (window == nullptr) return false;
  if (full_screen) {
    // The window first covers its display as a plain window: a window manager then turns it
    // into a full-screen one, and on a bare X server, where nobody carries out that request,
    // it covers the display all the same.
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &bounds) == 0) {
      SDL_SetWindowPosition(window, bounds.x, bounds.y);
      SDL_SetWindowSize(window, bounds.w, bounds.h);
    }
  }
  const bool done = SDL_SetWindowFullscreen(window, full_screen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
  wd::Refresh_Cursor_Clip(window);
  return done;
}

}  // namespace plat
