#include "game/targets/CTarget_Flier.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CDebris_Target_Sparkler.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/Flyer_Shared.h"
#include "game/targets/Target_Shared.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/sprite_array.h"
#include "game/core/CGame.h"

using namespace flyer;

namespace {
constexpr const char* kName = "CTarget_Flier";
constexpr uint32_t kHit_Sound = 0x220000f2;
constexpr float kRadius = 75.0f;
constexpr float kModel_Radius = 45.0f;  // the sphere model drawn at a tenth of the body's radius
constexpr float kRibbon_Half_Width = 20.0f;
}  // namespace

CObject_Pool* CTarget_Flier::Pool() {
  static CObject_Pool_Of<CTarget_Flier, kType> pool;
  return &pool;
}

bool CTarget_Flier::Init() {
  if (!Load_Resources(kName, {Resource::Renderable(0x22000000, m_Model, kNo_Renderable), Resource::Texture(0x2200003b, m_Texture, kNo_Texture),
                    Resource::Style(0x2200003c, m_Style, kNo_Texture), Resource::Texture(0x22000047, m_Exhaust_Texture, kNo_Texture),
                    Resource::Texture(0x22000064, m_Trail_Texture, kNo_Texture), Resource::Style(0x22000031, m_Trail_Style, kNo_Texture)})) {
    Term();
    return false;
  }
  m_Keys.Clear();
  for (int i = 0; i < kKeys; ++i) m_Keys.AddKey(static_cast<float>(i) * kKey_Step, CVector3{0, 0, 0}, 0, 0, 0);
  // Turns a floor's normal (0, 1, 0) into (0, 0, -1): free flight is pushed along -z over ground.
  m_Normal_Turn.rows[0].Set(1.0f, 0.0f, 0.0f);
  m_Normal_Turn.rows[1].Set(0.0f, 0.0f, -1.0f);
  m_Normal_Turn.rows[2].Set(0.0f, 1.0f, 0.0f);
  m_Initialised = true;
  return true;
}

void CTarget_Flier::Term() {
  Destroy_Exhaust_Object();
  Release_Resources({Resource::Renderable(0, m_Model, ""), Resource::Texture(0, m_Texture, ""), Resource::Style(0, m_Style, ""), Resource::Texture(0, m_Exhaust_Texture, ""),
           Resource::Texture(0, m_Trail_Texture, ""), Resource::Style(0, m_Trail_Style, "")});
  m_Initialised = false;
  m_Spawned = false;
}

void CTarget_Flier::Destroy_Exhaust_Object() {
  CSpriteArray* object = m_Exhaust_Object;
  m_Exhaust_Object = nullptr;
  if (object && g_pRenderDevice) g_pRenderDevice->DestroyRenderObject(object);
}

void CTarget_Flier::Release_Attachments() {
  Destroy_Exhaust_Object();
  for (Exhaust& p : m_Exhaust) p.live = false;
  CWorld_Object::Release_Attachments();
}

bool CTarget_Flier::Spawn(const int& colour_index, const CVector3& start, const uint8_t& loop) {
  m_Spawned = false;
  m_Colour_Index = colour_index;
  Setup_Object(kType, 100.0f, 100.0f, 0x7a, kKind_Counted_Target);
  if (!Setup_Sphere_Body(1.0f, kRadius, 0.25f)) return false;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  const CVector3& camera = Camera_Position();
  m_Loop = loop != 0;
  m_Right_Side = start.x > camera.x;
  m_Escape_Side = start.x < World_X() * 0.5f;
  m_Sphere.velocity.Set(0.0f, -100.0f, 0.0f);
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Emission_Remainder = 0.0f;
  m_Start = start;
  Set_Position(start);
  m_Motion.Clear();
  m_Camera_At_Spawn = camera;
  m_Loop_Width = 2.0f * std::fabs(start.x - camera.x);
  m_Loop_Depth = (0.8f + Random01() * 0.15f) * (World_Z() - camera.z);
  for (Trail_Point& point : m_Trail) point = Trail_Point{start, 0.0f};
  m_Trail_Head = 0;
  for (int i = 0; i < kKeys; ++i) m_Keys.Set_Key_Value(i, start);
  const CColor4 light = Get_Color();
  m_Exhaust_Start = Brighter(light, 0.5f);
  m_Exhaust_Start.a = light.a * 0.5f;
  m_Exhaust_Range = CColor4{light.r - m_Exhaust_Start.r, light.g - m_Exhaust_Start.g, light.b - m_Exhaust_Start.b,
                            light.a - m_Exhaust_Start.a};
  // A leftover exhaust object (a flier whose last run never released it) goes first.
  Destroy_Exhaust_Object();
  CRenderObject* object = g_pRenderDevice ? g_pRenderDevice->CreateRenderObject(CSpriteArray::kType) : nullptr;
  if (object && object->GetType() == CSpriteArray::kType) m_Exhaust_Object = static_cast<CSpriteArray*>(object);
  else if (object) g_pRenderDevice->DestroyRenderObject(object);
  if (!m_Exhaust_Object || !m_Exhaust_Object->Init(25.0f, 7, kExhaust_Slots, true)) {
    Destroy_Exhaust_Object();
    return false;
  }
  for (Exhaust& p : m_Exhaust) p.live = false;
  m_Spawned = true;
  return true;
}

CColor4 CTarget_Flier::Get_Color() const { return Light_Colour(m_Colour_Index); }

void CTarget_Flier::Fly_Loop() {
  const float angle = m_Age * 0.1f * kPi;
  const float w = m_Loop_Width;
  const float sweep = std::cos(angle) * w - std::sin(2.0f * angle) * w * 0.9f;
  const float x = m_Camera_At_Spawn.x + (m_Right_Side ? sweep : -sweep);
  Set_Position(CVector3{x, m_Start.y, m_Camera_At_Spawn.z + std::sin(angle) * m_Loop_Depth});
}

void CTarget_Flier::Fly_Free(float dt) {
  CVector3& v = m_Sphere.velocity;
  if (m_Position.y - Ground(m_Position.x, m_Position.z) < 450.0f) {
    CVector3 normal = g_World.Has_Terrain() ? g_World.Get_Normal(m_Position.x, m_Position.z) : CVector3{0, 1, 0};
    normal.Rotate(m_Normal_Turn);
    v.Add_Assign(Mul(normal, dt * 1250.0f));
    v.Scale_Assign(std::max(1.0f - 7.5f * dt, 0.5f));
  }
  const CVector3 ahead = Add(m_Position, Mul(v, 0.5f));
  if (g_World.Find_Object_In_Radius_By_Flags(0x04, ahead, 50.0f)) {
    v.x += dt * 1250.0f * (m_Escape_Side ? 1.0f : -1.0f);
    v.Scale_Assign(std::max(1.0f - 4.0f * dt, 0.5f));
  }
  const float speed = std::max(Length(v), 0.01f);
  v.Add_Assign(Mul(v, (kCruise_Speed - speed) * 0.1f / speed));
}

void CTarget_Flier::Update_Trail(float dt) {
  for (Trail_Point& point : m_Trail) point.age += dt;
  if (m_Trail[m_Trail_Head].age > kTrail_Interval) {
    m_Trail_Head = (m_Trail_Head + 1) % kTrail_Points;
    m_Trail[m_Trail_Head] = Trail_Point{m_Position, 0.0f};
  }
}

void CTarget_Flier::Update(const float& dt) {
  if (m_Loop) {
    Fly_Loop();
  } else {
    Fly_Free(dt);
  }
  if ((m_State_Flags & kState_No_Gravity) == 0) m_Motion.acceleration.Subtract_Assign(Mul(g_World.m_Gravity, 0.5f));
  Collide_Sphere_World(m_Motion);
  Integrate_Sphere(m_Motion, dt);
  Update_Trail(dt);
  if (m_Age < kGuard_Age && m_Age + dt >= kGuard_Age) m_State_Flags &= ~uint32_t{0x30};
  m_Age += dt;
  if (m_Kill_Timer == 0.0f) {
    const bool passed_camera = m_Age > kGuard_Age && m_Position.z < Camera_Position().z + 450.0f;
    if (passed_camera || m_Age > 10.0f || !(m_Value1 > 0.0f)) m_Kill_Timer = 0.001f;
  }
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += 0.35f * dt;
}

bool CTarget_Flier::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (m_Age < kGuard_Age) return false;
  if (other && (other->m_Type == kType || (other->m_Kind_Flags & 0x04))) return false;
  if (m_Hit_Count == 0) {
    if (Is_Player_Shot(other) || Is_Hit_Target(other)) Register_Hit(*this, other);
    if (other || shot) {
      targets::Sparkle_Burst burst;
      const uint32_t burst_colour = Pack(Brighter(Get_Color(), 1.25f));
      targets::Emit_Sparkle_Burst(*this, burst_colour, burst);
      CObject_Pool* pool = g_Object_Pools[CDebris_Target_Sparkler::kType];
      CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
      if (object) {
        auto* flash = static_cast<CDebris_Target_Sparkler*>(object);
        if (flash->Spawn(targets::Color_To_ARGB_Order(Get_Color()))) {
          g_World.Add_Object(1, flash);
          flash->Set_Position(m_Position);
          flash->m_Box.velocity.Set(0, 0, 0);
        } else {
          pool->Free_Object(flash);
        }
      }
      Play_Sound_3D(kHit_Sound, m_Position, 1.0f);
    }
    m_Kind_Flags |= kKind_Excluded;
    m_Kill_Timer += 0.0001f;
    Award_Precision(m_Position, other, shot);
  }
  m_State_Flags &= ~uint32_t{0xe0};
  ++m_Hit_Count;
  return true;
}

void CTarget_Flier::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)contact;
  if (std::fabs(normal.x) == 1.0f || std::fabs(normal.z) == 1.0f) return;
  m_State_Flags &= ~uint32_t{0xd0};
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.01f;
}

int CTarget_Flier::Live_Exhaust() const {
  int live = 0;
  for (const Exhaust& p : m_Exhaust) live += p.live ? 1 : 0;
  return live;
}

bool CTarget_Flier::Add_Exhaust(const CVector3& position, const CVector3& velocity) {
  if (!m_Exhaust_Object || Live_Exhaust() >= kExhaust_Slots) return false;
  const uint32_t index = m_Exhaust_Object->AddSprite();
  if (index == 0 || index > static_cast<uint32_t>(kExhaust_Slots)) {
    if (index != 0) m_Exhaust_Object->RemoveSprite(index);
    return false;
  }
  Exhaust& p = m_Exhaust[index];
  const float channels[3] = {m_Exhaust_Start.r + Random01() * m_Exhaust_Range.r,
                             m_Exhaust_Start.g + Random01() * m_Exhaust_Range.g,
                             m_Exhaust_Start.b + Random01() * m_Exhaust_Range.b};
  p.colour = 0xFF000000u | fx::Channel_Byte(channels[0]) << 16 | fx::Channel_Byte(channels[1]) << 8 |
             fx::Channel_Byte(channels[2]);
  const float fade = 1.0f - m_Kill_Timer;
  p.size = fade * 50.0f * Random01() + fade * 40.0f;
  p.life = 1.0f;
  p.position = position;
  p.velocity = velocity;
  p.live = true;
  return true;
}

void CTarget_Flier::Move_Exhaust(Exhaust& p, int index, float step) {
  const float s = step * 1.5f;
  p.life -= 45.0f / std::max(p.size, 0.001f) * s;
  if (!(p.life > 0.0f)) {
    m_Exhaust_Object->RemoveSprite(static_cast<uint32_t>(index));
    p.live = false;
    return;
  }
  p.position.Add_Assign(Mul(p.velocity, s));
  p.velocity.Subtract_Assign(Mul(Add(Mul(p.velocity, 0.001f), CVector3{0.0f, 0.75f, 0.0f}), 20.0f * s));
  const float alpha = p.life > 0.7f ? std::min((1.0f - p.life) * 680.0f, 255.0f) : 204.0f;
  m_Exhaust_Object->SetPosition(static_cast<uint32_t>(index), p.position);
  m_Exhaust_Object->SetSize(static_cast<uint32_t>(index), p.life * p.size + 2.0f);
  m_Exhaust_Object->SetColor(static_cast<uint32_t>(index), With_Alpha(p.colour, alpha));
}

void CTarget_Flier::Emit_Exhaust(float step) {
  if (!m_Exhaust_Object) return;
  const float rate = m_Kill_Timer == 0.0f ? (1.0f - m_Kill_Timer) * 50.0f : 0.0f;
  m_Emission_Remainder += step * rate;
  const int due = static_cast<int>(std::floor(m_Emission_Remainder));
  m_Emission_Remainder -= static_cast<float>(due);
  for (int i = 0; i < due; ++i) {
    const CVector3 jitter{Random01() * 5.0f - 2.5f, Random01() * 5.0f - 2.5f, Random01() * 5.0f - 2.5f};
    const CVector3 back = Mul(m_Sphere.velocity, -Random01() * step);
    const CVector3 velocity{Random01() * 45.0f - 22.5f, 10.0f + Random01() * 45.0f - 22.5f,
                            Random01() * 45.0f - 22.5f};
    if (!Add_Exhaust(Add(Add(m_Position, jitter), back), velocity)) break;
  }
  if (!m_Exhaust_Object->Lock()) return;
  for (int i = 1; i <= kExhaust_Slots; ++i)
    if (m_Exhaust[i].live) Move_Exhaust(m_Exhaust[i], i, step);
  m_Exhaust_Object->Unlock();
}

CVector3 CTarget_Flier::Trail_Position(float time_ago) const {
  int newer = m_Trail_Head;
  for (int walked = 0; walked < kTrail_Points - 1; ++walked) {
    const int older = (newer + kTrail_Points - 1) % kTrail_Points;
    if (m_Trail[older].age >= time_ago) {
      const float gap = std::max(m_Trail[older].age - m_Trail[newer].age, 0.0001f);
      const float t = std::clamp((time_ago - m_Trail[newer].age) / gap, 0.0f, 1.0f);
      return Add(m_Trail[newer].position, Mul(Sub(m_Trail[older].position, m_Trail[newer].position), t));
    }
    newer = older;
  }
  return m_Trail[newer].position;
}

void CTarget_Flier::Render_Trail() {
  if (m_Kill_Timer == 0.0f) m_Trail[m_Trail_Head].position = m_Position;
  for (int i = 0; i < kKeys; ++i) m_Keys.Set_Key_Value(i, Trail_Position(static_cast<float>(i) * kKey_Step));
  m_Keys.ComputeSpline();
  Build_Ribbon();
}

void CTarget_Flier::Build_Ribbon() {
  static DrawPrimTexTriangle triangles[kRibbon_Segments * 2];
  const CColor4 light = Get_Color();
  const uint32_t rgb = fx::Channel_Byte(light.r) << 16 | fx::Channel_Byte(light.g) << 8 | fx::Channel_Byte(light.b);
  const CVector3 eye = g_Camera.Position();
  const auto side_at = [&](const CVector3& point, const CVector3& along) {
    CVector3 across = arsenal::Cross(along, Sub(eye, point));
    const float length = Length(across);
    return length > 1e-4f ? Mul(across, kRibbon_Half_Width / length) : CVector3{0, kRibbon_Half_Width, 0};
  };
  CVector3 previous = m_Keys.Sample(0.0f);
  float alpha = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
  int count = 0;
  for (int i = 1; i <= kRibbon_Segments; ++i) {
    const CVector3 next = m_Keys.Sample(static_cast<float>(i) * kRibbon_Step);
    const float next_alpha = std::max(alpha - 1.0f / 128.0f, 0.0f);
    const CVector3 along = Sub(next, previous);
    const CVector3 w0 = side_at(previous, along), w1 = side_at(next, along);
    const uint32_t head = fx::Clamp_Byte(alpha * 255.0f) << 24 | rgb;
    const uint32_t tail = fx::Clamp_Byte(next_alpha * 255.0f) << 24 | rgb;
    const TexVertex a{previous.x + w0.x, previous.y + w0.y, previous.z + w0.z, head, 0.4f, 0.1f};
    const TexVertex b{previous.x - w0.x, previous.y - w0.y, previous.z - w0.z, head, 0.4f, 0.9f};
    const TexVertex c{next.x + w1.x, next.y + w1.y, next.z + w1.z, tail, 0.6f, 0.1f};
    const TexVertex d{next.x - w1.x, next.y - w1.y, next.z - w1.z, tail, 0.6f, 0.9f};
    triangles[count++] = DrawPrimTexTriangle{{a, b, c}};
    triangles[count++] = DrawPrimTexTriangle{{b, d, c}};
    previous = next;
    alpha = next_alpha;
  }
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
  g_pDrawPrim->SetRenderStyle(m_Trail_Style);
  g_pDrawPrim->SetTexture(m_Trail_Texture, 0);
  g_pDrawPrim->DrawTexTriangles(triangles, static_cast<uint32_t>(count));
}

void CTarget_Flier::Render(const float& step) {
  Emit_Exhaust(step);
  if (m_Kill_Timer == 0.0f) {
    const float s = std::clamp(1.0f - m_Kill_Timer, 0.001f, 1.0f) * m_Collision_Radius / kModel_Radius;
    const CColor4 colour = Get_Color();
    targets::Draw(m_Model, World_Matrix(*this, CVector3{s, s, s}), m_Style, m_Texture, &colour, true);
  }
  if (m_Exhaust_Object && m_Exhaust_Object->GetCount() > 0) {
    fx::Set_Fog(false);
    CMatrix4x4 identity;
    identity.Set_Identity();
    CDeviceTexture* textures[2] = {fx::Device_Texture(m_Exhaust_Texture), nullptr};
    m_Exhaust_Object->Render(&identity, m_Trail_Style, textures);
    fx::Set_Fog(true);
  }
  Render_Trail();
}
