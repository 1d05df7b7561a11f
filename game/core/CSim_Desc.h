#pragma once
// The simulation description: what a launch asks CGame::Set_Mode to start.
#include <cstdint>
#include <string>

#include "game/core/CWorld.h"
#include "runtime/src/math/math_types.h"

// Game-mode flags.
enum : uint32_t {
  kSim_Flags_Training = 0x01,
  kSim_Flags_WarRoom = 0x11,
  kSim_Flag_WarRoom_Mission = 0x10,
};

struct CSim_Desc {
  int32_t environment_variant = 0;  // 0-3
  uint32_t mode_flags = 0;
  int32_t brain_kind = 0;  // 0 none, 1 track only, 2 game rules
  CVector3 gravity{0.0f, -150.0f, 0.0f};
  uint32_t clear_color = 0xFF000000;  // blue in the lowest byte, then green, then red
  float view_distance_factor = 0.0f;  // not positive: 0.25
  CVector3 camera_position{0.0f, 0.0f, 0.0f};
  CVector3 camera_target{0.0f, 0.0f, 1.0f};
  uint32_t track_file_id = 0;  // also the simulation's id
  uint32_t music_id = 0;       // 0: none
  std::string user_name;
  int32_t access_level = 0;
  CWorld_Desc world_desc;
};
