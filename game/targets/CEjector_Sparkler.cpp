#include "game/targets/CEjector_Sparkler.h"

#include <algorithm>

#include "game/core/CObject_Pool.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/CGen_Projector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/CTarget_Sparkler.h"
#include "game/targets/Target_Shared.h"
#include "game/core/CGame.h"

namespace {

constexpr CVector3 kBody_Size{0.5f, 0.5f, 0.5f};
constexpr float kLaunch_Height = 75.0f;
constexpr float kLaunch_Speed = 500.0f;
constexpr float kGlow_Fall = 0.5f;
// Some of its resources were shared with another class, whose name their messages keep.
constexpr const char* kShared_Class = "CEjector_Enemy_Mosquito";
constexpr const char* kNo_Render_Shader = "\nUnable to create render shader...";

constexpr CColor4 kFuse_Colours[4] = {{0.8f, 0.1f, 0.1f, 1.0f}, {0.1f, 0.6f, 0.1f, 1.0f}, {0.2f, 0.2f, 1.0f, 1.0f},
                                      {0.4f, 0.4f, 0.0f, 1.0f}};

int Draw_Below_4() { return static_cast<int>(fx::Random_Unit() * 4.0f); }

float Ground(float x, float z) { return g_World.Has_Terrain() ? g_World.Get_Height(x, z) : 0.0f; }

}  // namespace

CObject_Pool* CEjector_Sparkler::Pool() {
  static CObject_Pool_Of<CEjector_Sparkler, kType> pool;
  return &pool;
}

CColor4 CEjector_Sparkler::Fuse_Color(int index) {
  return index >= 0 && index < 4 ? kFuse_Colours[index] : CColor4{1.0f, 1.0f, 1.0f, 1.0f};
}

bool CEjector_Sparkler::Init() {
  using R = targets::Resource;
  const bool loaded =
      targets::Load_Resources("CEjector_Sparkler", {R::Texture(0x22000064, m_Fuse_Texture),
                                                    R::Style(0x2200002E, m_Fuse_Style),
                                                    R::Style(0x22000031, m_Glow_Style)}) &&
      targets::Load_Resources(kShared_Class, {R::Style(0x22000031, m_Second_Style, kNo_Render_Shader),
                                              R::Texture(0x22000084, m_Glow_Texture),
                                              R::Texture(0x22000032, m_Third_Texture, targets::kNo_Created_Texture)}) &&
      targets::Load_Resources("CEjector_Sparkler", {R::Style(0x22000020, m_Mirror_Style)});
  if (!loaded) {
    Term();
    return false;
  }
  Initialised = true;
  return true;
}

void CEjector_Sparkler::Term() {
  fx::Release(m_Fuse_Texture);
  fx::Release(m_Glow_Texture);
  fx::Release(m_Third_Texture);
  fx::Release(m_Fuse_Style);
  fx::Release(m_Glow_Style);
  fx::Release(m_Second_Style);
  fx::Release(m_Mirror_Style);
  m_Sparkler_Lock.Clear();
  Initialised = false;
  Active = false;
}

bool CEjector_Sparkler::Spawn(const uint8_t& flag, const uint32_t& fuse_kind, const uint32_t& colour_value,
                              const CVector3& position) {
  (void)flag;
  Active = false;
  m_Fuse_Kind = fuse_kind <= kRight_Wall ? fuse_kind : kGround;
  m_Colour_Value = colour_value;
  Launch_Requested = false;
  m_Launched = false;
  m_Burning = true;
  m_Glow = m_Age = 0.0f;
  if (colour_value >= 1 && colour_value <= 4) {
    m_Fuse_Colour_Index = static_cast<int>(colour_value) - 1;
  } else {
    const int first = Draw_Below_4();
    m_Fuse_Colour_Index = first <= 2 ? std::min(Draw_Below_4(), 3) : 3;
  }
  m_Fuse_Colour = Fuse_Color(m_Fuse_Colour_Index);
  if (!ejectors::Setup_Fixed_Ejector(*this, kType, 0x36, 0x04, kBody_Size)) return false;
  const float X = g_World.m_Terrain.size_x;
  m_Fuse_End = position;
  switch (m_Fuse_Kind) {
    case kLeft_Wall:
      m_Fuse_End.x = 1.0f;
      m_Fuse_Start.Set(1.0f, m_Fuse_End.y, 0.0f);
      break;
    case kRight_Wall:
      m_Fuse_End.x = X - 1.0f;
      m_Fuse_Start.Set(m_Fuse_End.x, m_Fuse_End.y, 0.0f);
      break;
    default:
      m_Fuse_End.y = Ground(m_Fuse_End.x, m_Fuse_End.z) + kFuse_Lift;
      m_Fuse_Start.Set(m_Fuse_End.x, 0.0f, 0.0f);
      break;
  }
  if (m_Colour_Value == 0) m_Fuse_End.z = g_World.m_Terrain.size_z;
  Set_Position(m_Fuse_End);
  m_Orientation.rows[0].Set(1.0f, 0.0f, 0.0f);
  m_Orientation.rows[1].Set(0.0f, 0.0f, -1.0f);
  m_Orientation.rows[2].Set(0.0f, 1.0f, 0.0f);
  m_Sparkler_Lock.Clear();
  m_Sparkler_Lock.Start(this);
  Active = true;
  return true;
}

void CEjector_Sparkler::Release_Attachments() {
  CTarget_Link* link = m_Sparkler_Lock.m_Link_Chain;
  while (link) {
    CTarget_Link* next = link->m_Next_Of_Lock;
    CWorld_Object* object = link->m_Object;
    if (object && object->m_Type == CTarget_Sparkler::kType) {
      if (object->m_Kill_Timer == 0.0f) object->m_Kill_Timer = 0.001f;
      g_Target_Link_Pool.Remove_Link(link);
    }
    link = next;
  }
  m_Sparkler_Lock.Clear_Links();
  CFixed_Object::Release_Attachments();
}

void CEjector_Sparkler::Update(const float& dt) {
  if (m_Launched) {
    m_Burning = false;
    m_Glow = std::max(m_Glow - kGlow_Fall * dt, 0.0f);
  } else {
    if (Launch_Requested) {
      if (m_Colour_Value != 0) Launch();
      Launch_Requested = false;
    }
    if (m_Burning) Burn_In();
  }
  if (m_Colour_Value == 0 && !m_Burning && m_Kill_Timer == 0.0f) m_Kill_Timer = 0.0001f;
  m_Age += dt;
  ejectors::Death_Step(*this, dt, ejectors::kDeath_Rate);
}

void CEjector_Sparkler::Burn_In() {
  if (m_Age >= kBurn_Time) {
    m_Glow = 1.0f;
    m_Burning = false;
    return;
  }
  CVector3 run;
  m_Fuse_End.Subtract(m_Fuse_Start, run);
  CVector3 tail = m_Fuse_Start, head = m_Fuse_End;
  float alpha = 1.0f;
  m_Glow = 1.0f;
  if (m_Age < 0.5f) {
    head = ejectors::Raised_Position(m_Fuse_Start, run, 2.0f * m_Age);
    m_Glow = 0.0f;
  } else if (m_Age <= 1.0f) {
    m_Glow = (m_Age - 0.5f) * 2.0f;
  } else {
    tail = ejectors::Raised_Position(m_Fuse_Start, run, 2.0f * (m_Age - 1.0f));
    alpha = 1.0f - 2.0f * (m_Age - 1.0f);
  }
  Build_Segments(tail, head, alpha);
}

CVector3 CEjector_Sparkler::Fuse_Point(const CVector3& along) const {
  if (m_Fuse_Kind == kGround) return CVector3{along.x, Ground(along.x, along.z) + kFuse_Lift, along.z};
  return CVector3{along.x, m_Fuse_End.y, along.z};
}

void CEjector_Sparkler::Build_Segments(const CVector3& tail, const CVector3& head, float alpha) {
  CVector3 step;
  head.Subtract(tail, step);
  step.Scale_Assign(1.0f / static_cast<float>(kSegments));
  const CVector3 across = m_Fuse_Kind == kGround ? CVector3{kFuse_Width * 0.5f, 0.0f, 0.0f}
                                                 : CVector3{0.0f, kFuse_Width * 0.5f, 0.0f};
  CColor4 colour = m_Fuse_Colour;
  colour.a = alpha;
  const uint32_t packed = targets::Pack_Scaled_ARGB(colour, 1.0f);
  const auto corner = [&](const CVector3& p, float side, float u, float v) {
    return TexVertex{p.x + side * across.x, p.y + side * across.y, p.z + side * across.z, packed, u, v};
  };
  int out = 0;
  for (int i = 0; i < kSegments; ++i) {
    const CVector3 a = Fuse_Point(ejectors::Raised_Position(tail, step, static_cast<float>(i)));
    const CVector3 b = Fuse_Point(ejectors::Raised_Position(tail, step, static_cast<float>(i + 1)));
    const float u0 = static_cast<float>(i) / kSegments, u1 = static_cast<float>(i + 1) / kSegments;
    m_Segments[out++] = corner(a, -1.0f, u0, 0.0f);
    m_Segments[out++] = corner(a, 1.0f, u0, 1.0f);
    m_Segments[out++] = corner(b, 1.0f, u1, 1.0f);
    m_Segments[out++] = corner(a, -1.0f, u0, 0.0f);
    m_Segments[out++] = corner(b, 1.0f, u1, 1.0f);
    m_Segments[out++] = corner(b, -1.0f, u1, 0.0f);
  }
}

void CEjector_Sparkler::Launch() {
  m_Launched = true;
  CObject_Pool* pool = g_Object_Pools[CTarget_Sparkler::kType];
  CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
  if (!object) return;
  auto* sparkler = static_cast<CTarget_Sparkler*>(object);
  // Its colours are numbered from 1, the fuse's from 0.
  const int32_t variant = m_Fuse_Colour_Index + 1;
  if (!sparkler->Spawn(variant)) {
    ejectors::Give_Back_Unspawned(object);
    return;
  }
  g_World.Add_Object(1, sparkler);
  sparkler->m_Orientation = CMatrix3x3::Identity;
  const CVector3& up = m_Orientation.rows[2];
  sparkler->Set_Position(ejectors::Raised_Position(m_Position, up, kLaunch_Height));
  up.Scale((fx::Random_Unit() + 1.0f) * kLaunch_Speed, sparkler->m_Sphere.velocity);
  sparkler->m_Sphere.spin.Set(0.0f, 0.0f, 0.0f);
  g_Sim_Stats.Record_Launch(sparkler);
  g_Target_Link_Pool.Add_Link(sparkler, &m_Sparkler_Lock);
}

void CEjector_Sparkler::Draw_Fuse(const CMatrix4x4* mirror) {
  if (!m_Burning || !m_Fuse_Style) return;
  CD3DDrawPrim& draw = *g_pDrawPrim;
  draw.SetTexture(m_Fuse_Texture, 0);
  draw.SetRenderStyle(mirror ? m_Mirror_Style : m_Fuse_Style);
  if (mirror) {
    draw.SetWorldMatrix(mirror);
    draw.SetTransformType(kDrawPrimWorldMatrix);
  } else {
    draw.SetTransformType(kDrawPrimWorld);
  }
  const int times = mirror ? 1 : 3;
  for (int i = 0; i < times; ++i)
    draw.DrawTexTriangles(reinterpret_cast<const DrawPrimTexTriangle*>(m_Segments), kSegments * 2);
  draw.SetTransformType(kDrawPrimWorld);
}

void CEjector_Sparkler::Draw_Glow() {
  if (!(m_Glow > 0.0f) || m_Colour_Value == 0 || !m_Glow_Style) return;
  CProjection_Frame frame;
  frame.position = m_Position;
  g_Gen_Projector.Project(0, frame, 8.0f * m_Glow, m_Glow_Texture, targets::Color_To_ARGB_Order(m_Fuse_Colour));
  CColor4 colour = m_Fuse_Colour;
  colour.a = m_Glow;
  const uint32_t packed = targets::Pack_Scaled_ARGB(colour, 1.0f);
  Draw_Axis_Quads(m_Position, m_Orientation.rows[0], m_Orientation.rows[1], m_Orientation.rows[2], 4u,
                  40.0f * m_Glow, 80.0f * m_Glow, packed, m_Glow_Style, m_Glow_Texture);
}

void CEjector_Sparkler::Render(const float& step) {
  (void)step;
  Draw_Fuse(nullptr);
  Draw_Glow();
}

void CEjector_Sparkler::Render_Reflection(const CWorld_Mirror& mirror) { Draw_Fuse(&mirror.transform); }
