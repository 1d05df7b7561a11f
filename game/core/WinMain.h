#pragma once
// The program's entry: start-up, the main loop and shut-down.
int WinMain();

// Shows a printf-style message (at most 255 characters; longer text is cut) to the user with
// the caption "Message" and an OK button; returns the message box's result.
int Show_Message(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Sends a printf-style text (at most 255 characters) to the debug output.
void Debug_Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
