#include "game/player/CAttach_Energy_Pulse.h"

#include "game/core/CWorld.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/fx/Draw_Helpers.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/Attachment_Strikes.h"
#include "game/sim/CSim_Stats.h"

CAttach_Energy_Pulse g_Weapon_Attachment_Energy_Pulse;

namespace {

using arsenal::Random01;

constexpr uint32_t kDischarge_Sound = 0x22000179;
constexpr int kFlash = 11;
constexpr float kBolt_Height = 1250.0f;
constexpr uint32_t kBolt_Colour = 0xFF6666FF;
constexpr uint32_t kScorch_Kind = 2;
constexpr uint32_t kScorch_Colour = 0xFFA99477;

}  // namespace

void CAttach_Energy_Pulse::Clear_Effects() {
  for (CFX_Lightning& bolt : m_Bolts) bolt.m_Active = false;
}

int CAttach_Energy_Pulse::Discharge() {
  arsenal::Play_Use_Sound(kDischarge_Sound);
  // The flash record holds its colour alpha first: cyan (0.35, 0.6, 0.6) at full alpha.
  g_Screen_FX_Mgr.Add_Effect(kFlash, 2.25f, CColor4{1.0f, 0.35f, 0.6f, 0.6f}, CColor4::Zero, 0.0f, 0.0f);
  CWorld_Query found;
  g_World.Collect_Objects(kKind_Counted_Target, found);
  int struck = 0;
  for (int i = 0; i < found.count && struck < kBudget; ++i) {
    CWorld_Object* object = found.objects[i];
    CVector3 ground;
    if (!arsenal::Struck_Ground_Point(object, ground)) continue;
    // Bolt slots follow the index in the collected list; a bolt still alive is not restarted.
    if (i < kBolts && !m_Bolts[i].m_Active) {
      const CVector3 sky{ground.x, ground.y + kBolt_Height, ground.z};
      const float r = Random01();
      m_Bolts[i].Setup(0, sky, ground, kBolt_Colour, 3.0f * (1.0f + r), 0.75f + 1.1f * Random01(), 3.0f);
      m_Bolts[i].m_No_Glow = true;
      Place_World_Decal_Random(kScorch_Kind, ground, 25.0f, 2.0f + Random01(), kScorch_Colour);
    }
    const CShot_Line contact{CVector3{object->m_Position.x + 40.0f * Random01() - 20.0f, ground.y,
                                      object->m_Position.z + 40.0f * Random01() - 20.0f},
                             CVector3{0.0f, 1500.0f, 0.0f}};
    if (object->Body_Hit_Flag()) object->On_Hit(nullptr, &contact);
    g_Sim_Stats.Register_Hit(object, nullptr, nullptr, 0);
    ++struck;
  }
  return struck;
}

void CAttach_Energy_Pulse::Update_Effects(float dt) {
  for (CFX_Lightning& bolt : m_Bolts)
    if (bolt.m_Active) bolt.Update(dt);
}

void CAttach_Energy_Pulse::Render() {
  for (CFX_Lightning& bolt : m_Bolts)
    if (bolt.m_Active) bolt.Render();
  Render_Display();
  for (CFX_Lightning& bolt : m_Bolts)
    if (bolt.m_Active) bolt.Render_Glow();
}
