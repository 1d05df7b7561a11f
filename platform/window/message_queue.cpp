#include "platform/window/message_queue.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/window/cursor.h"
#include "platform/window/event_translation.h"
#include "platform/window/window_registry.h"

namespace wd = plat::window_detail;

namespace {

std::mutex g_queue_mutex;
std::condition_variable g_queue_changed;
std::deque<MSG> g_queue;

// Key states as of the messages taken so far (main thread only).
std::array<bool, 256> g_key_down{};
plat::Activation_Tracker g_activation;

// How long one wait for SDL events lasts before the queue is looked at again, so that messages
// posted by other threads are seen.
constexpr int kWaitSliceMs = 10;

void Post(const MSG& message, bool at_front = false) {
  {
    std::lock_guard<std::mutex> guard(g_queue_mutex);
    if (at_front) {
      g_queue.push_front(message);
    } else {
      g_queue.push_back(message);
    }
  }
  g_queue_changed.notify_all();
}

void Post(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Post(MSG{window, message, wparam, lparam, SDL_GetTicks(), POINT{0, 0}});
}

HWND Target_Of(uint32_t window_id) {
  const wd::Window_Record* record = wd::Find_Window_By_Id(window_id);
  if (record != nullptr) return record->window;
  return window_id == 0 ? wd::Main_Window() : nullptr;
}

void Translate_Window_Event(const SDL_WindowEvent& event) {
  const wd::Window_Record* record = wd::Find_Window_By_Id(event.windowID);
  if (record == nullptr) return;
  HWND window = record->window;
  int width = 0;
  int height = 0;
  if (event.event == SDL_WINDOWEVENT_MOVED || event.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
      event.event == SDL_WINDOWEVENT_MAXIMIZED || event.event == SDL_WINDOWEVENT_RESTORED) {
    wd::Refresh_Cursor_Clip(window);
  }
  switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      g_activation.Focus_Gained(event.windowID);
      Post(window, WM_ACTIVATE, WA_ACTIVE, 0);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      g_activation.Focus_Lost(event.windowID);
      Post(window, WM_ACTIVATE, WA_INACTIVE, 0);
      break;
    case SDL_WINDOWEVENT_MOVED:
      Post(window, WM_MOVE, 0, MAKELPARAM(event.data1, event.data2));
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      Post(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(event.data1, event.data2));
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      Post(window, WM_SIZE, SIZE_MINIMIZED, 0);
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
      SDL_GetWindowSize(window, &width, &height);
      Post(window, WM_SIZE,
           event.event == SDL_WINDOWEVENT_MAXIMIZED ? SIZE_MAXIMIZED : SIZE_RESTORED,
           MAKELPARAM(width, height));
      break;
    case SDL_WINDOWEVENT_CLOSE:
      Post(window, WM_CLOSE, 0, 0);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      wd::Paint_Picture(*record);
      break;
    default:
      break;
  }
}

void Translate_Text(const SDL_TextInputEvent& event) {
  HWND window = Target_Of(event.windowID);
  if (window == nullptr || !plat::Text_Allowed_With_Modifiers(SDL_GetModState())) return;
  for (uint8_t code : plat::Windows1252_From_Utf8(event.text)) Post(window, WM_CHAR, code, 0);
}

void Translate_Button(const SDL_MouseButtonEvent& event) {
  const UINT message = plat::Button_Message(event.button, event.type == SDL_MOUSEBUTTONDOWN);
  HWND window = GetCapture();
  if (window == nullptr) window = Target_Of(event.windowID);
  if (message == 0 || window == nullptr) return;
  // The event's position is in the pixels of the window under the mouse; the message's is in
  // the client coordinates of the window that takes it.
  HWND under = Target_Of(event.windowID);
  wd::Note_Mouse_Position(under, event.x, event.y);
  POINT point = wd::Window_Point_To_Screen(under, POINT{event.x, event.y});
  ScreenToClient(window, &point);
  const WPARAM flags = plat::Mouse_Key_Flags(SDL_GetMouseState(nullptr, nullptr), SDL_GetModState());
  Post(window, message, flags, MAKELPARAM(point.x, point.y));
}

void Translate_Wheel(const SDL_MouseWheelEvent& event) {
  HWND window = Target_Of(event.windowID);
  const int delta = plat::Wheel_Delta(event);
  if (window == nullptr || delta == 0) return;
  POINT point{0, 0};
  GetCursorPos(&point);
  const WPARAM flags = plat::Mouse_Key_Flags(SDL_GetMouseState(nullptr, nullptr), SDL_GetModState());
  Post(window, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(flags), delta),
       MAKELPARAM(point.x, point.y));
}

void Translate_Event(const SDL_Event& event) {
  MSG message{};
  switch (event.type) {
    case SDL_WINDOWEVENT:
      Translate_Window_Event(event.window);
      break;
    case SDL_QUIT:
      if (HWND window = wd::Main_Window()) {
        Post(window, WM_CLOSE, 0, 0);
      } else {
        PostQuitMessage(0);
      }
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (plat::Key_Message(event.key, Target_Of(event.key.windowID), &message) &&
          message.hwnd != nullptr) {
        Post(message);
      }
      break;
    case SDL_TEXTINPUT:
      Translate_Text(event.text);
      break;
    case SDL_MOUSEMOTION:
      wd::Note_Mouse_Position(Target_Of(event.motion.windowID), event.motion.x, event.motion.y);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      Translate_Button(event.button);
      break;
    case SDL_MOUSEWHEEL:
      Translate_Wheel(event.wheel);
      break;
    default:
      break;
  }
}

// Reads every pending SDL event into the queue, then reports a change of activation.
void Pump_Events() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) Translate_Event(event);
  bool active = false;
  if (!g_activation.Settle(&active)) return;
  for (HWND window : wd::Message_Windows()) Post(window, WM_ACTIVATEAPP, active ? 1 : 0, 0);
}

bool Matches(const MSG& message, HWND window, UINT first, UINT last) {
  if (message.message == WM_QUIT) return true;
  if (window != nullptr && message.hwnd != window) return false;
  if (first == 0 && last == 0) return true;
  return message.message >= first && message.message <= last;
}

// Key states follow the key messages as they are taken; losing activation forgets them, since
// releases made meanwhile go to other programs.
void Note_Taken(const MSG& message) {
  switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      g_key_down[message.wParam & 0xFF] = true;
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      g_key_down[message.wParam & 0xFF] = false;
      break;
    case WM_ACTIVATEAPP:
      if (message.wParam == 0) g_key_down.fill(false);
      break;
    default:
      break;
  }
}

bool Take(MSG* out, HWND window, UINT first, UINT last, bool remove) {
  std::unique_lock<std::mutex> guard(g_queue_mutex);
  const auto found = std::find_if(g_queue.begin(), g_queue.end(), [&](const MSG& message) {
    return Matches(message, window, first, last);
  });
  if (found == g_queue.end()) return false;
  *out = *found;
  if (!remove) return true;
  g_queue.erase(found);
  guard.unlock();
  Note_Taken(*out);
  return true;
}

bool Queue_Empty() {
  std::lock_guard<std::mutex> guard(g_queue_mutex);
  return g_queue.empty();
}

}  // namespace

namespace plat::window_detail {

void Forget_Window_Messages(HWND window, uint32_t id) {
  g_activation.Window_Gone(id);
  std::lock_guard<std::mutex> guard(g_queue_mutex);
  g_queue.erase(std::remove_if(g_queue.begin(), g_queue.end(),
                               [window](const MSG& message) { return message.hwnd == window; }),
                g_queue.end());
}

}  // namespace plat::window_detail

BOOL PeekMessageA(MSG* message, HWND window, UINT first, UINT last, UINT remove) {
  if (message == nullptr) return FALSE;
  Pump_Events();
  return Take(message, window, first, last, (remove & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessageA(MSG* message, HWND window, UINT first, UINT last) {
  if (message == nullptr) return -1;
  while (PeekMessageA(message, window, first, last, PM_REMOVE) == FALSE) WaitMessage();
  return message->message == WM_QUIT ? 0 : 1;
}

BOOL WaitMessage() {
  for (;;) {
    Pump_Events();
    if (!Queue_Empty()) return TRUE;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
      SDL_WaitEventTimeout(nullptr, kWaitSliceMs);
      continue;
    }
    std::unique_lock<std::mutex> guard(g_queue_mutex);
    g_queue_changed.wait(guard, [] { return !g_queue.empty(); });
    return TRUE;
  }
}

BOOL TranslateMessage(const MSG* message) {
  if (message == nullptr) return FALSE;
  const UINT kind = message->message;
  if (kind != WM_KEYDOWN && kind != WM_KEYUP && kind != WM_SYSKEYDOWN && kind != WM_SYSKEYUP) {
    return FALSE;
  }
  if (kind == WM_KEYDOWN) {
    const int code = plat::Control_Char_For_Key(static_cast<int>(message->wParam),
                                                g_key_down[VK_CONTROL], g_key_down[VK_MENU]);
    if (code != 0) {
      Post(MSG{message->hwnd, WM_CHAR, static_cast<WPARAM>(code), message->lParam, message->time,
               message->pt},
           true);
    }
  }
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* message) {
  if (message == nullptr) return 0;
  const wd::Window_Record* record = wd::Find_Window(message->hwnd);
  if (record == nullptr || record->proc == nullptr) return 0;
  return record->proc(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Post(MSG{window, message, wparam, lparam, 0, POINT{0, 0}});
  return TRUE;
}

void PostQuitMessage(int exit_code) {
  Post(MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exit_code), 0, 0, POINT{0, 0}});
}

namespace {
std::function<void(HWND, UINT, WPARAM)>& Default_Proc_Recorder() {
  static auto* recorder = new std::function<void(HWND, UINT, WPARAM)>;
  return *recorder;
}
}  // namespace

namespace plat {
void Set_Default_Proc_Recorder(std::function<void(HWND window, UINT message, WPARAM wparam)> recorder) {
  Default_Proc_Recorder() = std::move(recorder);
}
}  // namespace plat

// Nothing here needs the default handling of a message; tests may watch what arrives.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM /*lparam*/) {
  if (Default_Proc_Recorder()) Default_Proc_Recorder()(window, message, wparam);
  return 0;
}
