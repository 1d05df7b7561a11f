#include "game/targets/CStruct_Light_Wall.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/Flyer_Shared.h"

namespace {
constexpr const char* kName = "CStruct_Light_Wall";
constexpr const char* kNo_Render_Shader = "\nUnable to create render shader...";
}

CObject_Pool* CStruct_Light_Wall::Pool() {
  static CObject_Pool_Of<CStruct_Light_Wall, kType> pool;
  return &pool;
}

bool CStruct_Light_Wall::Init() {
  using namespace flyer;
  if (!Load_Resources(kName, {Resource::Renderable(0x220000aa, m_Model, kNo_Renderable), Resource::Renderable(0x220000ab, m_Lit_Model, kNo_Renderable),
                    Resource::Texture(0x2200002c, m_Texture, kNo_Texture), Resource::Texture(0x22000084, m_Lit_Texture, kNo_Texture),
                    Resource::Texture(0x2200005e, m_Glow_Texture, kNo_Created_Texture),
                    Resource::Style(0x22000061, m_Style, kNo_Texture), Resource::Style(0x220000ac, m_Lit_Style, kNo_Texture),
                    Resource::Style(0x22000031, m_Glow_Style, kNo_Render_Shader),
                    Resource::Style(0x22000020, m_Mirror_Style, kNo_Shader)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CStruct_Light_Wall::Term() {
  using namespace flyer;
  Release_Resources({Resource::Renderable(0, m_Model, ""), Resource::Renderable(0, m_Lit_Model, ""), Resource::Texture(0, m_Texture, ""), Resource::Texture(0, m_Lit_Texture, ""),
           Resource::Texture(0, m_Glow_Texture, ""), Resource::Style(0, m_Style, ""), Resource::Style(0, m_Lit_Style, ""),
           Resource::Style(0, m_Glow_Style, ""), Resource::Style(0, m_Mirror_Style, "")});
  m_Initialised = false;
  m_Spawned = false;
}

bool CStruct_Light_Wall::Spawn(const int& direction, const CVector3& position, const float* colour) {
  m_Direction = direction;
  m_Glow_Trigger = false;
  for (int i = 0; i < 4; ++i) m_Colour[i] = colour ? colour[i] : 1.0f;
  m_Glow = 0.0f;
  m_Spawned = false;
  Setup_Object(kType, 1.0f, 1.0f, 0x06, 0);
  if (!Setup_Kind5_Body(CVector3{37.5f, 37.5f, 13.5f})) return false;
  Set_Position(position);
  m_Orientation = CMatrix3x3::Identity;
  float half = 0.0f;
  switch (direction) {
    case 0: half = flyer::kPi / 4.0f; break;
    case 1: half = -flyer::kPi / 4.0f; break;
    case 2: half = flyer::kPi / 2.0f; break;
    default: break;
  }
  if (half != 0.0f) {
    const float s = std::sin(half), c = std::cos(half);
    m_Orientation.rows[0].Set(1.0f - 2.0f * s * s, 0.0f, -2.0f * s * c);
    m_Orientation.rows[1].Set(0.0f, 1.0f, 0.0f);
    m_Orientation.rows[2].Set(2.0f * s * c, 0.0f, 1.0f - 2.0f * s * s);
  }
  m_Spawned = true;
  return true;
}

void CStruct_Light_Wall::Update(const float& dt) {
  if (m_Glow_Trigger) {
    m_Glow += 2.5f * dt;
    if (m_Glow >= 1.0f) {
      m_Glow = 1.0f;
      m_Glow_Trigger = false;
    }
  } else if (m_Glow != 0.0f) {
    m_Glow = std::max(m_Glow - dt, 0.0f);
  }
}

uint32_t CStruct_Light_Wall::Lit_Colour() const {
  const float m = std::max(m_Glow, kDim_Level);
  const float argb[4] = {m_Colour[0] * m, m_Colour[1] * m, m_Colour[2] * m, m_Colour[3] * m};
  return fx::Pack_Color(argb);
}

void CStruct_Light_Wall::Draw(const CMatrix4x4& world, CD3DRenderStyle* wall_style, CD3DRenderStyle* lit_style) {
  fx::Draw_Renderable(m_Model, world, wall_style, m_Texture);
  const uint32_t lit = Lit_Colour();
  const float m = std::max(m_Glow, kDim_Level);
  const float tint[4] = {m_Colour[1] * m, m_Colour[2] * m, m_Colour[3] * m, m_Colour[0] * m};
  fx::Draw_Renderable(m_Lit_Model, world, lit_style, m_Lit_Texture, tint);
  if (m_Glow == 0.0f) return;
  CVector3 axes[3];
  for (int i = 0; i < 3; ++i) {
    axes[i].Set(world.m[i][0], world.m[i][1], world.m[i][2]);
    const float length = axes[i].Length();
    if (length > 0.0f) axes[i].Scale_Assign(1.0f / length);
  }
  const CVector3 origin{world.m[3][0], world.m[3][1], world.m[3][2]};
  const CVector3 centre = flyer::Sub(origin, flyer::Mul(axes[2], 0.1f));
  const uint32_t colour = flyer::With_Alpha(lit, m_Glow * 0.2f * 255.0f);
  flyer::Draw_Glow(centre, axes[0], axes[2], 6, m_Glow * 100.0f, m_Glow * 350.0f, colour, m_Glow_Style,
                   m_Glow_Texture);
}

void CStruct_Light_Wall::Render(const float& step) {
  (void)step;
  Draw(flyer::World_Matrix(*this, CVector3{1, 1, 1}), m_Style, m_Lit_Style);
}

void CStruct_Light_Wall::Render_Reflection(const CWorld_Mirror& mirror) {
  CMatrix4x4 world;
  flyer::World_Matrix(*this, CVector3{1, 1, 1}).Multiply(mirror.transform, world);
  Draw(world, m_Mirror_Style, m_Mirror_Style);
}

void CStruct_Light_Wall::Render_With_Shader(void* style, void* texture) {
  const CMatrix4x4 world = flyer::World_Matrix(*this, CVector3{1, 1, 1});
  fx::Draw_Renderable(m_Model, world, static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture));
  fx::Draw_Renderable(m_Lit_Model, world, static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture));
}
