#pragma once
// A developer trace of the steps the game's frame and mode changes run, in order. Silent unless
// a recorder is installed (tests and the run harness install one).
#include <functional>

using Frame_Trace_Recorder = std::function<void(const char* step)>;

// Installs the recorder; an empty one removes it.
void Set_Frame_Trace_Recorder(Frame_Trace_Recorder recorder);

// Passes the step's name to the recorder, if any.
void Frame_Trace(const char* step);
