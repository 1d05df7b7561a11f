#include "game/player/CAttach_Smart_Bomb.h"

#include "game/core/CWorld.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/fx/Draw_Helpers.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/Attachment_Strikes.h"
#include "game/sim/CSim_Stats.h"

CAttach_Smart_Bomb g_Weapon_Attachment_Smart_Bomb;

namespace {

using arsenal::Random01;

constexpr uint32_t kDetonate_Sound = 0x2200017A;
constexpr int kFlash = 11, kGround_Flash = 14;
constexpr uint32_t kScorch_Kind = 1;
constexpr uint32_t kScorch_Colour = 0xFFA99477;

void Strike(CWorld_Object* object, const CVector3& ground) {
  arsenal::Hit_By_Body_Kind(object, nullptr);
  g_Sim_Stats.Register_Hit(object, nullptr, nullptr, 0);
  Place_World_Decal_Random(kScorch_Kind, ground, 25.0f, 2.0f + Random01(), kScorch_Colour);
  // The draws are taken in the order written (duration, colour, strength, size): as call
  // arguments their order would be the compiler's.
  const float duration = 2.35f + 0.9f * Random01();
  const CVector3 colour{0.25f + 0.6f * Random01(), 0.25f + 0.6f * Random01(), 0.25f + 0.6f * Random01()};
  const float strength = 0.45f + 0.2f * Random01();
  const float size = 0.05f + 0.15f * Random01();
  g_Screen_FX_Mgr.Add_Effect_3(kGround_Flash, duration, ground, colour, strength, size);
}

}  // namespace

int CAttach_Smart_Bomb::Detonate() {
  arsenal::Play_Use_Sound(kDetonate_Sound);
  // The flash record holds its colour alpha first: violet (0.45, 0.3, 1.0) at alpha 0.4.
  g_Screen_FX_Mgr.Add_Effect(kFlash, 1.75f, CColor4{0.4f, 0.45f, 0.3f, 1.0f}, CColor4::Zero, 0.0f, 0.0f);
  CWorld_Query found;
  g_World.Collect_Objects(kKind_Counted_Target, found);
  int struck = 0;
  for (int i = 0; i < found.count && struck < kBudget; ++i) {
    CVector3 ground;
    if (!arsenal::Struck_Ground_Point(found.objects[i], ground)) continue;
    Strike(found.objects[i], ground);
    ++struck;
  }
  return struck;
}
