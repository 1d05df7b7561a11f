#include "game/enemies/CEmmo_Bar_1.h"

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/enemies/Emmo_Shared.h"
#include "game/targets/Target_Shared.h"
#include "platform/system/random.h"

using namespace emmo;

namespace {

constexpr uint32_t kShaft = 0x22000152;
constexpr uint32_t kHead_A = 0x22000153;
constexpr uint32_t kHead_B = 0x22000154;
constexpr uint32_t kShaft_Texture = 0x22000029;
constexpr uint32_t kHead_Texture = 0x2200001D;
constexpr uint32_t kShaft_Style = 0x220000CA;
constexpr uint32_t kHead_Style = 0x2200003C;
constexpr uint32_t kGlow_Style = 0x22000149;
const CVector3 kHalf_Size{24.0f, 24.0f, 175.0f};
constexpr float kLife = 15.0f;
constexpr float kFade_Rate = 0.5f;
constexpr float kGlow_Scale = 1.125f;
constexpr int kGlow_Copies = 5;
constexpr float kGlow_Alpha = 0.15f;

float R() { return static_cast<float>(plat::Random()) / 32768.0f; }

// A uniform scale about a point on the bar's axis.
CMatrix4x4 Scale_About(float z) {
  CMatrix4x4 to, scale, back, m;
  to.Translation(0.0f, 0.0f, -z);
  scale.Scaling(kGlow_Scale, kGlow_Scale, kGlow_Scale);
  back.Translation(0.0f, 0.0f, z);
  to.Multiply(scale, m);
  m.Multiply_Assign(back);
  return m;
}

CMatrix4x4 g_Glow_Matrices[2];

}  // namespace

CObject_Pool* CEmmo_Bar_1::Pool() {
  static CObject_Pool_Of<CEmmo_Bar_1, kType> pool;
  return &pool;
}

const CMatrix4x4& CEmmo_Bar_1::Glow_Matrix(int head) { return g_Glow_Matrices[head == 0 ? 0 : 1]; }

bool CEmmo_Bar_1::Init() {
  using targets::Resource;
  if (!targets::Load_Resources("CEmmo_Bar_1",
                               {Resource::Renderable(kShaft, m_Shaft), Resource::Renderable(kHead_A, m_Heads[0]),
                                Resource::Renderable(kHead_B, m_Heads[1]),
                                Resource::Texture(kShaft_Texture, m_Shaft_Texture),
                                Resource::Texture(kHead_Texture, m_Head_Texture),
                                Resource::Style(kShaft_Style, m_Shaft_Style, targets::kNo_Texture),
                                Resource::Style(kHead_Style, m_Head_Style, targets::kNo_Texture),
                                Resource::Style(kGlow_Style, m_Glow_Style, targets::kNo_Texture),
                                Resource::Style(kReflection_Style, m_Mirror_Style)}))
    return false;
  g_Glow_Matrices[0] = Scale_About(kHead_Offset);
  g_Glow_Matrices[1] = Scale_About(-kHead_Offset);
  return true;
}

void CEmmo_Bar_1::Term() {
  using targets::Resource;
  targets::Release_Resources({Resource::Renderable(kShaft, m_Shaft), Resource::Renderable(kHead_A, m_Heads[0]),
                              Resource::Renderable(kHead_B, m_Heads[1]),
                              Resource::Texture(kShaft_Texture, m_Shaft_Texture),
                              Resource::Texture(kHead_Texture, m_Head_Texture),
                              Resource::Style(kShaft_Style, m_Shaft_Style), Resource::Style(kHead_Style, m_Head_Style),
                              Resource::Style(kGlow_Style, m_Glow_Style),
                              Resource::Style(kReflection_Style, m_Mirror_Style)});
}

bool CEmmo_Bar_1::Spawn(const int* variant, const CVector3* start) {
  Setup_Object(kType, 1.0f, 1.0f, 0xEE, kKind_Ammo_Flags);
  if (!Setup_Box_Body(20.0f, kHalf_Size, 0.5f)) return false;
  m_Variant = variant ? *variant : 0;
  m_Hit_Player = false;
  m_Hit_Count = 0;
  m_Age = 0.0f;
  m_Box.hit_flag = 1;
  const CVector3 place = start ? *start : CVector3{0.0f, 0.0f, 0.0f};
  Set_Position(place);
  m_Motion.Clear();
  m_Box.velocity = CVector3{0.0f, -500.0f - 100.0f * R(), 0.0f};
  const float sx = 0.2f * (2.0f * R() - 1.0f);
  const float sy = 0.2f * (6.0f + 4.0f * R());
  const float sz = 0.2f * (2.0f * R() - 1.0f);
  m_Box.spin = CVector3{sx, sy, sz};
  m_Vertical_Damping = 0.5f + R();
  const CVector3& eye = g_Camera.Position();
  const float ax = 50.0f * (2.0f * R() - 1.0f);
  const float ay = 50.0f * (R() - 1.0f);
  m_Aim = CVector3{eye.x + ax, eye.y + ay, eye.z};
  const uint32_t colour = Pack_Scaled(Variant_Color(m_Variant, false), 1.0f);
  for (CFX_Poly_Trail& trail : m_Trails) trail.Setup(place, colour, 2.5f, 38.0f);
  Play_Sound(kSound_Launch, m_Position, 0.45f);
  return true;
}

void CEmmo_Bar_1::Update(const float& dt) {
  if (m_Kill_Timer == 0.0f) {
    const CVector3 d = Unit_Towards(m_Position, m_Aim, 0.001f);
    Pull_Towards(m_Box.velocity, d, CVector3{270.0f, 200.0f, 270.0f}, CVector3{0.5f, m_Vertical_Damping, 0.5f}, dt);
  }
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  if (Pass_Or_Strike(*this, Box_Radius(m_Box.half_size), 0.01f)) m_Hit_Player = true;
  m_Age += dt;
  if (Fade_Started(*this, m_Age, kLife)) Fade_Box(*this, kHalf_Size, kFade_Rate, dt);
}

bool CEmmo_Bar_1::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (other && !Is_Player_Shot(other)) return false;
  if (m_Hit_Count == 0) {
    if (Is_Player_Shot(other)) Register_Hit(*this, other);
    Play_Sound(kSound_Broken, m_Position);
    if (other || shot)
      Hit_Burst(*this, m_Box.velocity, Pack_Scaled(Variant_Color(m_Variant, false), 1.0f), kLong_Burst);
    m_Kind_Flags |= kKind_Spent;
  }
  ++m_Hit_Count;
  m_State_Flags &= ~kState_Falls;
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  return true;
}

CMatrix4x4 CEmmo_Bar_1::World() const { return Shrunk_Box_World(*this, kHalf_Size); }

CVector3 CEmmo_Bar_1::Head_Point(int head) const {
  const float along = head == 0 ? kHead_Offset : -kHead_Offset;
  const CVector3& z = m_Orientation.rows[2];
  return CVector3{m_Position.x + along * z.x, m_Position.y + along * z.y, m_Position.z + along * z.z};
}

void CEmmo_Bar_1::Render(const float& step) {
  const CMatrix4x4 world = World();
  const CColor4 colour = Variant_Color(m_Variant, m_Hit_Count != 0);
  const bool fading = m_Kill_Timer != 0.0f;
  if (fading) Normalize_Normals(true);
  Draw(m_Shaft, world, m_Shaft_Style, m_Shaft_Texture);
  for (CRenderableObject* head : m_Heads) Draw(head, world, m_Head_Style, m_Head_Texture, nullptr, &colour);
  if (fading) Normalize_Normals(false);
  const float a = Alpha_Factor(m_Kill_Timer);
  const CColor4 glow = Variant_Color(m_Variant, false);
  for (int head = 0; head < 2; ++head)
    Draw_Glow(m_Heads[head], world, Glow_Matrix(head), kGlow_Copies, kGlow_Alpha * a, glow, m_Glow_Style);
  for (int head = 0; head < 2; ++head) {
    const CVector3 point = Head_Point(head);
    m_Trails[head].Update(step, point);
    m_Trails[head].Render(point, a * a);
  }
}

void CEmmo_Bar_1::Render_Reflection(const CWorld_Mirror& mirror) {
  if (m_Hit_Player) return;
  const CMatrix4x4 world = Mirrored(World(), mirror);
  const CColor4 colour = Variant_Color(m_Variant, m_Hit_Count != 0);
  Draw(m_Shaft, world, m_Mirror_Style, m_Shaft_Texture);
  for (CRenderableObject* head : m_Heads) Draw(head, world, m_Mirror_Style, m_Head_Texture, nullptr, &colour);
}

void CEmmo_Bar_1::Render_With_Shader(void* style, void* texture) {
  if (m_Hit_Player) return;
  Draw(m_Shaft, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture), m_Shaft_Texture);
}
