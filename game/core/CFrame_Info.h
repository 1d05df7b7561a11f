#pragma once
// The frame record that CGame::Frame builds and hands to every per-frame update.
#include <cstdint>

// Game time per millisecond of frame step.
constexpr float kTime_Factor_Per_Ms = 0.0035f;

struct CFrame_Info {
  float Delta = 0.0f;           // the step in whole milliseconds times the time factor (0 while paused)
  uint32_t Reserved = 0;        // always 0
  float Unpaused_Delta = 0.0f;  // the step times 0.0035, paused or not
};
