#pragma once
// The program's entry: start-up, the main loop and shut-down, the window procedure, and the
// small helpers every part of the game uses.
#include "platform/window/win_messages.h"

// The program's entry: starts, runs the main loop until WM_QUIT, shuts down. 0 after a normal
// quit, -1 when the start fails (early, or when the game cannot start on its content).
int WinMain();

// The same program in steps, so that a harness can drive it frame by frame:
// App_Start runs the start-up and answers true when the main loop is to run; otherwise
// exit_code holds WinMain's result and nothing more is to be done.
bool App_Start(int show_command, int& exit_code);
// One turn of the main loop: a waiting message is dispatched, else a frame runs while the
// program is active, else it waits for a message. False once WM_QUIT has been taken.
bool App_Loop_Turn();
// Dispatches every waiting message; false once WM_QUIT has been taken.
bool App_Dispatch_Messages();
// One frame of the game when the program is active.
void App_Frame();
// The shut-down after the main loop; WinMain's result.
int App_Shut_Down();

// Shows a printf-style message (at most 255 characters; longer text is cut) to the user with
// the caption "Message" and an OK button; returns the message box's result.
int Show_Message(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Sends a printf-style text (at most 255 characters) to the debug output.
void Debug_Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The name of the lock that keeps a second copy from starting.
extern const char kInstance_Lock_Name[];
// The messages of the application frame.
extern const char kAlready_Running_Message[];
extern const char kRez_Init_Failure_Message[];
// The first line of the start-up failure the content's own reason follows.
extern const char kRez_Init_Failure_Title[];
extern const char kWorld_Init_Failure_Message[];

// The main window; null until created.
extern HWND g_Main_Window;
// The program is active (last WM_ACTIVATEAPP); frames run only while it is set.
extern bool g_App_Active;
// Set once the sound preloads are done; from then on activation also clips or frees the cursor.
extern bool g_Startup_Done;
// The game was paused by the loss of activation and is resumed on its return.
extern bool g_Paused_By_Deactivation;
// The mouse is captured for a held right button.
extern bool g_Right_Button_Captured;
// The working directory at start-up, with a trailing separator.
extern char g_Working_Dir[];
// The windowed flag and bits per pixel of the running display mode.
extern bool g_Device_Windowed;
extern int g_Device_Bit_Depth;

// Set while the music system runs: Init_Music succeeded and Term_Music has not run since.
extern bool g_Music_Available;

// The warning shown when the music system cannot start; start-up then goes on without music.
extern const char kMusic_Init_Warning[];

// Starts the music system on the default output at 44100 Hz; false when the player is not
// version 1.8 or the device cannot be opened.
bool Init_Music();
// The output device Init_Music opens: -1 the system's (default), 0 none, the mix then being
// pulled with plat::Audio_Render (the run harness does so in step with its clock).
extern int g_Music_Output_Device;
// Stops and shuts down the music system.
void Term_Music();

// Clips the mouse to the main window's client area, or frees it.
void Clip_Cursor_To_Window(bool clip);
// Takes the named single-instance lock; true when another copy holds it (or it cannot be had).
bool Is_Already_Running(const char* name);
// The render device's restore callback: releases the menu fonts on loss, rebuilds them after.
void On_Render_Device_Event(int lost);
// The window procedure of the main window.
LRESULT Main_Window_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
