#pragma once
// The program's entry: start-up, the main loop and shut-down.
int WinMain();

// Shows a printf-style message (at most 255 characters; longer text is cut) to the user with
// the caption "Message" and an OK button; returns the message box's result.
int Show_Message(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Sends a printf-style text (at most 255 characters) to the debug output.
void Debug_Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Set while the music system runs: Init_Music succeeded and Term_Music has not run since.
extern bool g_Music_Available;

// The warning shown when the music system cannot start; start-up then goes on without music.
extern const char kMusic_Init_Warning[];

// Starts the music system on the default output at 44100 Hz; false when the player is not
// version 1.8 or the device cannot be opened.
bool Init_Music();
// Stops and shuts down the music system.
void Term_Music();
