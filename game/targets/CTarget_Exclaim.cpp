#include "game/targets/CTarget_Exclaim.h"

#include <algorithm>

#include "game/core/CObject_Pool.h"
#include "game/core/Sound_FX.h"
#include "game/targets/Flyer_Shared.h"

using namespace flyer;

namespace {
constexpr const char* kName = "CTarget_Exclaim";
constexpr uint32_t kAward_Sound = 0x220000f7;
constexpr uint32_t kHit_Sound = 0x220000f0;
constexpr float kGrowth_Time = 3.15f;
constexpr CColor4 kLights[4] = {
    {0.5f, 1.0f, 0.5f, 1.0f}, {1.0f, 1.0f, 0.4f, 1.0f}, {1.0f, 0.4f, 1.0f, 1.0f}, {1.0f, 0.5f, 0.5f, 1.0f}};
}  // namespace

CObject_Pool* CTarget_Exclaim::Pool() {
  static CObject_Pool_Of<CTarget_Exclaim, kType> pool;
  return &pool;
}

bool CTarget_Exclaim::Init() {
  if (!Load_Resources(kName, {Resource::Renderable(0x2200012e, m_Model, kNo_Renderable), Resource::Texture(0x2200003b, m_Texture, kNo_Texture),
                    Resource::Style(0x2200003c, m_Style, kNo_Shader), Resource::Style(0x22000020, m_Mirror_Style, kNo_Shader)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CTarget_Exclaim::Term() {
  Release_Resources({Resource::Renderable(0, m_Model, ""), Resource::Texture(0, m_Texture, ""), Resource::Style(0, m_Style, ""), Resource::Style(0, m_Mirror_Style, "")});
  m_Initialised = false;
  m_Spawned = false;
}

bool CTarget_Exclaim::Spawn(const int& colour_index) {
  m_Spawned = false;
  m_Colour_Index = colour_index;
  Setup_Object(kType, 100.0f, 100.0f, 0x04, kKind_Counted_Target);
  if (!Setup_Box_Body(50.0f, CVector3{1.0f, 1.0f, 1.0f}, 0.85f)) return false;
  m_Box.hit_flag = 1;
  m_Box.floor_contact_flag = 1;
  m_Escape = false;
  m_Scale = 0.0f;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Turn_Phase = 0.0f;
  m_Life = 12.0f;
  Set_Position(CVector3{0, 0, 0});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Spawned = true;
  return true;
}

CColor4 CTarget_Exclaim::Get_Color() const {
  if (m_Hit_Count > 0) return Black();
  return m_Colour_Index >= 0 && m_Colour_Index < 4 ? kLights[m_Colour_Index] : CColor4{1, 1, 1, 1};
}

void CTarget_Exclaim::Set_Turn(float angle) { m_Orientation = Turn_About_Y(angle); }

void CTarget_Exclaim::Update(const float& dt) {
  if (m_Scale != 1.0f || m_Kill_Timer != 0.0f) {
    const float grown = m_Kill_Timer != 0.0f ? 1.0f - m_Kill_Timer : m_Age / kGrowth_Time;
    m_Scale = std::clamp(grown, 0.0f, 1.0f);
    Set_Box_Extents(CVector3{34.0f * m_Scale + 1.0f, 99.0f * m_Scale + 1.0f, 34.0f * m_Scale + 1.0f});
  }
  const bool dying = m_Kill_Timer != 0.0f;
  if (dying && m_Hit_Count == 0) m_Motion.acceleration.y += 1250000.0f * dt;
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  if (!dying && m_Hit_Count == 0) {
    m_Turn_Phase += 0.5f * dt;
    Set_Turn(m_Turn_Phase);
  }
  m_Life -= dt;
  if (m_Life < 0.0f) {
    if (m_Kill_Timer == 0.0f) {
      if (m_Hit_Count == 0) m_Escape = true;
      m_Kill_Timer = 0.0001f;
    }
    m_Life = 0.0f;
  }
  m_Age += dt;
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += (m_Escape ? 1.0f : 0.35f) * dt;
}

bool CTarget_Exclaim::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Kill_Timer != 0.0f || (other && !Is_Player_Shot(other))) return false;
  if (m_Hit_Count == 0) {
    if (other) Register_Hit(*this, other);
    if (other || shot) {
      const CVector3& half = m_Box.half_size;
      const CMatrix3x3& o = m_Orientation;
      const uint32_t colour = Pack(Brighter(Get_Color(), 1.15f));
      for (int i = 0; i < 35; ++i) {
        const float s = (1.0f + Random01()) * 0.025f;
        const float a = (Random01() - 0.5f) * half.x;
        const float b = (Random01() - 0.5f) * half.y;
        const float c = (Random01() - 0.5f) * half.z;
        const CVector3 offset =
            Add(Add(Mul(m_Box.velocity, s), Mul(o.rows[0], a)), Add(Mul(o.rows[1], b), Mul(o.rows[2], c)));
        const float size = 45.0f + Random01() * 50.0f;
        const float life = 0.15f + Random01() * 1.85f;
        const float gravity = 0.1f + Random01() * 0.15f;
        if (!Add_Sparkle(Add(m_Position, Mul(offset, 1.5f)), offset, size, life, colour, gravity)) break;
      }
    }
    m_Kind_Flags |= kKind_Excluded;
    const bool awarded = Award_Precision(m_Position, other, shot);
    Play_Sound_3D(awarded ? kAward_Sound : kHit_Sound, m_Position, 1.0f);
  }
  ++m_Hit_Count;
  m_State_Flags &= ~uint32_t{0xe0};
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.01f;
  return true;
}

CMatrix4x4 CTarget_Exclaim::World() const {
  const float s = m_Scale * 0.2f;
  return World_Matrix(*this, CVector3{35.0f * s, 100.0f * s, 35.0f * s});
}

void CTarget_Exclaim::Render(const float& step) {
  (void)step;
  const CColor4 colour = Get_Color();
  targets::Draw(m_Model, World(), m_Style, m_Texture, &colour, m_Scale != 1.0f);
}

void CTarget_Exclaim::Render_Reflection(const CWorld_Mirror& mirror) {
  const CColor4 colour = Get_Color();
  targets::Draw(m_Model, Mirrored(World(), mirror), m_Mirror_Style, m_Texture, &colour, m_Scale != 1.0f);
}

void CTarget_Exclaim::Render_With_Shader(void* style, void* texture) {
  targets::Draw(m_Model, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture), nullptr,
            m_Scale != 1.0f);
}
