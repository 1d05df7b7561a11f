#pragma once
#include <functional>
// The message queue of the main thread. SDL events are read whenever the queue is looked at and
// become window messages: activation (WM_ACTIVATEAPP when the program gains or loses the focus
// of all its windows, WM_ACTIVATE per window), WM_MOVE, WM_SIZE, WM_CLOSE, key messages with
// auto-repeat, WM_CHAR in Windows-1252 for typed text, mouse buttons and wheel notches.
// TranslateMessage adds the control characters of key presses (Backspace, Tab, Enter, Esc,
// Ctrl+letter). Messages are taken in the order they were queued; WM_QUIT ends the loop.
// PostMessageA and PostQuitMessage may be called from any thread; the rest belong to the main
// thread.
#include "platform/window/win_messages.h"

// Takes (PM_REMOVE) or looks at (PM_NOREMOVE) the first queued message for `window` (any when
// null) whose number lies in [first, last] (any when both are 0); WM_QUIT always matches.
// FALSE when there is none. Never waits.
BOOL PeekMessageA(MSG* message, HWND window, UINT first, UINT last, UINT remove);

// Waits for and takes a message as PeekMessageA would; 0 for WM_QUIT, -1 without a record.
BOOL GetMessageA(MSG* message, HWND window, UINT first, UINT last);

// Waits until the queue holds a message.
BOOL WaitMessage();

// For a key press, queues the character it gives (see Control_Char_For_Key) to be taken next.
// Non-zero for every key message.
BOOL TranslateMessage(const MSG* message);

// Calls the window procedure of the message's window; 0 for a window without one.
LRESULT DispatchMessageA(const MSG* message);

// Queues a message for the window (null queues a thread message). A message for a window that
// is gone by the time it is dispatched is dropped.
BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Queues WM_QUIT with the exit code.
void PostQuitMessage(int exit_code);

// What a window procedure passes on: nothing further happens (closing does not destroy).
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

namespace plat {
// Tests may watch which messages a window procedure hands on to the default procedure; an
// empty function stops watching.
void Set_Default_Proc_Recorder(std::function<void(HWND window, UINT message, WPARAM wparam)> recorder);
}  // namespace plat
