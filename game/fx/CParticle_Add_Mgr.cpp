#include "game/fx/CParticle_Add_Mgr.h"

#include <algorithm>
#include <cmath>

#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/fx/FX_Resources.h"
#include "runtime/src/math/geometry.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/sprite_array.h"

CParticle_Add_Mgr g_Particle_Add_Mgr;

namespace {

constexpr float kDefault_Sprite_Size = 15.0f;
constexpr uint32_t kSprite_Mode_Flags = 7;
constexpr float kBounce_Reach_Sq = 2.0f;
constexpr float kBounce_Keep = 0.85f;

// The fade curve: 0 to 1 over the first tenth of the life, back to 0 over the rest.
float Fade_Level(float t) { return t > 0.1f ? (t - 0.1f) * 1.1111112f : t * 10.0f; }

}  // namespace

bool CParticle_Add_Mgr::Init() {
  return Start({kMax_Capacity, 0x2200002F, 0x22000031, "Error in CParticle_Add_Mgr\nUnable to load texture...",
                "Error in CParticle_Add_Mgr\nUnable to load shader..."});
}

bool CParticle_Add_Mgr::Start(const Resources& r) {
  if (m_Initialised) return true;
  m_Capacity = std::min(r.capacity, kMax_Capacity);
  CRenderObject* object = g_pRenderDevice ? g_pRenderDevice->CreateRenderObject(CSpriteArray::kType) : nullptr;
  m_Sprites = object && object->GetType() == CSpriteArray::kType ? static_cast<CSpriteArray*>(object) : nullptr;
  if (object && !m_Sprites) g_pRenderDevice->DestroyRenderObject(object);
  if (m_Sprites) m_Sprites->SetHolder(reinterpret_cast<CRenderObject**>(&m_Sprites));
  if (!m_Sprites || !m_Sprites->Init(kDefault_Sprite_Size, kSprite_Mode_Flags, m_Capacity, false)) {
    Term();
    return false;
  }
  m_Texture = fx::Get_Texture(r.texture_id);
  if (!m_Texture) {
    Show_Message("%s", r.texture_message);
    Term();
    return false;
  }
  m_Style = fx::Get_Style(r.style_id);
  if (!m_Style) {
    Show_Message("%s", r.style_message);
    Term();
    return false;
  }
  for (CParticle& p : m_Table) p = CParticle();
  m_Initialised = true;
  return true;
}

void CParticle_Add_Mgr::Term() {
  if (m_Sprites) {
    CSpriteArray* sprites = m_Sprites;
    sprites->SetHolder(nullptr);
    m_Sprites = nullptr;
    if (g_pRenderDevice) g_pRenderDevice->DestroyRenderObject(sprites);
  }
  fx::Release(m_Texture);
  fx::Release(m_Style);
  m_Initialised = false;
}

uint32_t CParticle_Add_Mgr::Live_Count() const { return m_Sprites ? m_Sprites->GetCount() : 0; }

bool CParticle_Add_Mgr::Add_Particle(const CVector3& position, const CVector3& velocity, float size, float life,
                                     uint32_t color, float gravity_scale, uint8_t flags) {
  if (!m_Initialised || !m_Sprites || m_Sprites->GetCount() >= m_Capacity) return false;
  const uint32_t index = m_Sprites->AddSprite();
  // The sprite array answers 0 (or an index beyond the table) when it has no room.
  if (index == 0 || index > m_Capacity) {
    if (index != 0) m_Sprites->RemoveSprite(index);
    return false;
  }
  CParticle& p = m_Table[index];
  p.flags = static_cast<uint8_t>(flags | kParticle_Live);
  p.position = position;
  p.velocity = velocity;
  p.color = color;
  p.gravity_scale = gravity_scale;
  p.size = size;
  p.life = p.remaining = life;
  if (!Size_Follows_Fade(p)) m_Sprites->SetSize(index, size);
  return true;
}

void CParticle_Add_Mgr::Update(const float& dt) {
  if (!m_Sprites || !m_Sprites->Lock()) return;
  const float h = dt * 1.5f;
  for (uint32_t i = 1; i <= m_Capacity; ++i)
    if (m_Table[i].flags & kParticle_Live) Update_Particle(i, h);
  m_Sprites->Unlock();
}

void CParticle_Add_Mgr::Update_Particle(uint32_t index, float h) {
  CParticle& p = m_Table[index];
  p.remaining -= h * 0.35f;
  if (!(p.remaining > 0.0f)) {
    m_Sprites->RemoveSprite(index);
    p.flags = 0;
    return;
  }
  CVector3 motion;
  p.velocity.Scale(h, motion);
  CVector3 normal;
  // A paused frame moves nothing, so nothing can bounce (a resting particle would otherwise
  // lose speed at every paused frame).
  const bool moving = motion.Length_Squared() > 0.0f;
  if (moving && (p.flags & Collide_Bit()) && Hit_Terrain(p.position, motion, kBounce_Reach_Sq, normal)) {
    CVector3 reflected;
    p.velocity.Subtract(normal.Scale(2.0f * p.velocity.Dot(normal), reflected), reflected);
    reflected.Scale(kBounce_Keep, p.velocity);
  } else {
    p.position.Add_Assign(motion);
    CVector3 drag, pull;
    p.velocity.Scale(h * 0.75f, drag);
    g_World.m_Gravity.Scale(h * p.gravity_scale, pull);
    p.velocity.Subtract_Assign(drag).Add_Assign(pull);
  }
  m_Sprites->SetPosition(index, p.position);
  const float t = (p.life - p.remaining) / p.life;
  const int a0 = static_cast<int>(p.color >> 24);
  int alpha = t > 0.1f ? a0 - static_cast<int>((t - 0.1f) * static_cast<float>(a0) * 1.111111f)
                       : static_cast<int>(t * static_cast<float>(a0) * 10.0f);
  alpha = std::clamp(alpha, 0, a0);
  m_Sprites->SetColor(index, static_cast<uint32_t>(alpha) << 24 | (p.color & 0xFFFFFF));
  if (Size_Follows_Fade(p)) {
    const float e = Fade_Level(t);
    m_Sprites->SetSize(index, (t > 0.1f ? 1.0f - e : e) * p.size);
  }
}

bool CParticle_Add_Mgr::Hit_Terrain(const CVector3& from, const CVector3& motion, float reach, CVector3& normal) {
  const CWorld& w = g_World;
  if (!w.Has_Terrain() || !w.m_Positions || !w.m_Normals) return false;
  const int nx = w.m_Terrain.vertices_x, nz = w.m_Terrain.vertices_z;
  if (nx < 2 || nz < 2) return false;
  const CVector3 to{from.x + motion.x, from.y + motion.y, from.z + motion.z};
  auto bound = [](float coordinate, float per_unit, int last) {
    const float cell = coordinate * per_unit;
    if (!(cell >= 1.0f)) return 0;
    return cell >= static_cast<float>(last) ? last : std::min(static_cast<int>(cell), last);
  };
  const int c0 = bound(std::min(from.x, to.x), w.m_Cells_Per_Unit_X, nx - 2);
  const int c1 = bound(std::max(from.x, to.x), w.m_Cells_Per_Unit_X, nx - 2);
  const int r0 = bound(std::min(from.z, to.z), w.m_Cells_Per_Unit_Z, nz - 2);
  const int r1 = bound(std::max(from.z, to.z), w.m_Cells_Per_Unit_Z, nz - 2);
  for (int row = r0; row <= r1; ++row) {
    for (int column = c0; column <= c1; ++column) {
      const int k = row * nx + column;
      const CVector3* v = w.m_Positions;
      if (SegmentTriangleDistanceSq(from, motion, v[k], v[k + nx], v[k + 1]) <= reach) {
        normal = w.m_Normals[k];
        return true;
      }
      if (SegmentTriangleDistanceSq(from, motion, v[k + nx], v[k + nx + 1], v[k + 1]) <= reach) {
        normal = w.m_Normals[k + 1];
        return true;
      }
    }
  }
  return false;
}

void CParticle_Add_Mgr::Render(const float& dt) {
  if (!m_Initialised || !m_Sprites || m_Sprites->GetCount() == 0) return;
  Update(dt);
  fx::Set_Fog(false);
  CMatrix4x4 identity;
  identity.Set_Identity();
  CDeviceTexture* textures[2] = {fx::Device_Texture(m_Texture), nullptr};
  m_Sprites->Render(&identity, m_Style, textures);
  fx::Set_Fog(true);
}
