#pragma once
// A titled message for the user with an OK button. It is shown with SDL's message box when a
// display is there, and written to stderr otherwise. Tests install a recorder that receives
// the messages instead.
#include <functional>
#include <string>

namespace plat {

constexpr int kMessageBoxOk = 1;  // the result of a message closed with OK

using Message_Recorder = std::function<void(const std::string& caption, const std::string& text)>;

// Shows the message and waits until the user closes it; returns kMessageBoxOk.
int Show_Message_Box(const char* caption, const char* text);

// Installs a recorder (an empty one removes it). While one is installed nothing is shown.
void Set_Message_Recorder(Message_Recorder recorder);

}  // namespace plat
