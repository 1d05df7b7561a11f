#pragma once
// The debug output sink: text for developers, written to stderr only while the switch is on
// (off by default; VORTHANE_DEBUG=1 in the environment turns it on at start). Tests may install
// a recorder that receives every text regardless.
//
// Error output: reports a user should see even with the switch off (a resource that cannot be
// found or read, a damaged pack), written to stderr as one line "Vorthane: <text>". A tool may
// install a recorder that also receives each such text (the line is still written).
#include <functional>
#include <string>

namespace plat {

using Debug_Recorder = std::function<void(const std::string& text)>;

void Set_Debug_Output_Enabled(bool enabled);
bool Debug_Output_Enabled();
// True when debug output goes to stderr: switched on and no recorder installed.
bool Debug_Output_Reaches_Stderr();
void Debug_Output(const char* text);
void Set_Debug_Recorder(Debug_Recorder recorder);  // an empty one removes it
void Error_Output(const char* text);
void Set_Error_Recorder(Debug_Recorder recorder);  // an empty one removes it

}  // namespace plat

// The debug sink under the name engine code uses.
inline void OutputDebugStringA(const char* text) { plat::Debug_Output(text); }
