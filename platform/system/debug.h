#pragma once
// The debug output sink: text for developers, written to stderr only while the switch is on
// (off by default). Tests may install a recorder that receives every text regardless.
#include <functional>
#include <string>

namespace plat {

using Debug_Recorder = std::function<void(const std::string& text)>;

void Set_Debug_Output_Enabled(bool enabled);
bool Debug_Output_Enabled();
void Debug_Output(const char* text);
void Set_Debug_Recorder(Debug_Recorder recorder);  // an empty one removes it

}  // namespace plat

// The debug sink under the name engine code uses.
inline void OutputDebugStringA(const char* text) { plat::Debug_Output(text); }
