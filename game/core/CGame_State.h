#pragma once
// The game-state record: the user's settings and the state of the loaded simulation.
#include <cstdint>

class CBrain;
struct CSim_Desc;

// Game-mode flag bits that keep a boundary wall of the floor away.
enum : uint32_t {
  kWall_Open_Z0 = 0x01,
  kWall_Open_Z_Max = 0x02,
  kWall_Open_X0 = 0x04,
  kWall_Open_X_Max = 0x08,
};

class CGame_State {
 public:
  float SoundFX_Volume = 1.0f;
  float Music_Volume = 1.0f;
  bool Display_Windowed = false;
  int32_t Display_Resolution = 1;
  int32_t Display_BitDepth = 1;
  bool Mirrors_Enable = true;
  bool Mouse_Cap_Enable = true;
  bool Lock_Weapons_To_Cursor = false;
  bool Hide_Cursor_In_Sims = false;
  bool m_Ready = false;
  uint32_t m_Sim_Kind = 0;
  uint32_t m_Mode_Flags = 0;  // also the mask of open boundary walls
  int32_t m_Environment = 0;
  CBrain* m_Brain = nullptr;
  float m_FX_Volume_Factor = 0.925f;
  float m_Min_3D_Volume = 0.0f;
  float m_Max_3D_Volume = 1.0f;

  // No simulation loaded; ready. Always true.
  bool Init();
  // Unloads a loaded simulation; not ready.
  void Term();
  // Unloads the loaded simulation (its statistics, score board and brain), then loads the kind
  // with the description (none: unload only, and the world's gravity goes back to normal).
  // False when the statistics or the score board cannot start.
  bool Load_Sim(const unsigned& kind, const CSim_Desc* desc);
};

extern CGame_State g_Game_State;
