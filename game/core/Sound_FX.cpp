#include "game/core/Sound_FX.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CGame_State.h"
#include "platform/system/random.h"
#include "runtime/src/sound/sound_mgr.h"

namespace {

// At or below this sound-effect volume no effect plays.
constexpr float kSilent_Volume = 0.05f;
constexpr float kDistance_Falloff = 4e-8f;

void Play(uint32_t id, float volume) {
  if (!g_pSoundMgr) return;
  const uint8_t flags = 0;
  g_pSoundMgr->Play(&id, &volume, &flags);
}

uint32_t Component_Byte(float component) {
  const float scaled = component * 255.0f;
  // Truncation toward zero; NaN counts as 0.
  if (!(scaled > 0.0f)) return 0;
  if (scaled >= 255.0f) return 255;
  return static_cast<uint32_t>(scaled);
}

}  // namespace

void Play_Sound_FX(uint32_t id, const float& volume) {
  const float user_volume = g_Game_State.SoundFX_Volume;
  if (user_volume <= kSilent_Volume) return;
  const float v = std::clamp(g_Game_State.m_FX_Volume_Factor * volume * user_volume, 0.0f, 1.0f);
  Play(id, v);
}

void Play_Sound_3D(uint32_t id, const CVector3& position, float scale) {
  const float user_volume = g_Game_State.SoundFX_Volume;
  if (user_volume <= kSilent_Volume) return;
  CVector3 offset;
  position.Subtract(g_Camera.Position(), offset);
  const float distance_sq = offset.Length_Squared();
  const float r = static_cast<float>(plat::Random());
  const float minimum = g_Game_State.m_Min_3D_Volume;
  const float maximum = g_Game_State.m_Max_3D_Volume;
  float v = minimum + (0.8f + r / 32768.0f * 0.4f) * (1.0f / (1.0f + kDistance_Falloff * distance_sq)) * scale *
                          (maximum - minimum);
  v = std::min(v, maximum);
  Play(id, std::clamp(v * user_volume, 0.0f, 1.0f));
}

uint32_t Pack_Color(const CColor4& color) {
  return Component_Byte(color.r) << 24 | Component_Byte(color.g) << 16 | Component_Byte(color.b) << 8 |
         Component_Byte(color.a);
}

uint32_t Pack_Color_ARGB(const CColor4& color) {
  return Component_Byte(color.a) << 24 | Component_Byte(color.r) << 16 | Component_Byte(color.g) << 8 |
         Component_Byte(color.b);
}
