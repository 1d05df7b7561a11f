#include "game/targets/CSparkle_Cloud.h"

#include "game/fx/CParticle_Add_Mgr.h"
#include "game/fx/FX_Resources.h"
#include "platform/system/random.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/sprite_array.h"

namespace {

std::function<bool()>& Create_Filter() {
  static std::function<bool()> filter;
  return filter;
}

// rand / 32767: a value in [0, 1].
float Closed_Unit() { return static_cast<float>(plat::Random()) / 32767.0f; }

constexpr float kSprite_Size = 25.0f;
constexpr uint32_t kSprite_Flags = CSpriteArray::kPosition | CSpriteArray::kColour | CSpriteArray::kSize;

}  // namespace

void CSparkle_Cloud::Set_Create_Filter(std::function<bool()> allow) { Create_Filter() = std::move(allow); }

bool CSparkle_Cloud::Create(uint32_t sprites) {
  Destroy();
  if (Create_Filter() && !Create_Filter()()) return false;
  CRenderObject* object = g_pRenderDevice ? g_pRenderDevice->CreateRenderObject(CSpriteArray::kType) : nullptr;
  if (!object) return false;
  if (object->GetType() != CSpriteArray::kType) {
    g_pRenderDevice->DestroyRenderObject(object);
    return false;
  }
  m_Sprites = static_cast<CSpriteArray*>(object);
  // The device clears the handle if it ever destroys the object itself.
  m_Sprites->SetHolder(reinterpret_cast<CRenderObject**>(&m_Sprites));
  if (!m_Sprites->Init(kSprite_Size, kSprite_Flags, sprites, true)) {
    Destroy();
    return false;
  }
  return true;
}

void CSparkle_Cloud::Destroy() {
  if (m_Sprites) {
    CSpriteArray* sprites = m_Sprites;
    sprites->SetHolder(nullptr);
    m_Sprites = nullptr;
    if (g_pRenderDevice) g_pRenderDevice->DestroyRenderObject(sprites);
  }
  for (bool& used : m_In_Use) used = false;
  m_Live = 0;
}

void CSparkle_Cloud::Set_Colour(const CColor4& colour) {
  m_Base.Set(colour.r * 0.5f, colour.g * 0.5f, colour.b * 0.5f, colour.a * 0.5f);
  m_Spread = m_Base;
}

bool CSparkle_Cloud::Add(const CVector3& position, const CVector3& velocity, float size, uint32_t limit) {
  if (!m_Sprites || m_Live >= limit) return false;
  const uint32_t index = m_Sprites->AddSprite();
  if (index == 0 || index >= kSlots || m_In_Use[index]) {
    if (index != 0 && (index >= kSlots || !m_In_Use[index])) m_Sprites->RemoveSprite(index);
    return false;
  }
  m_In_Use[index] = true;
  ++m_Live;
  m_Positions[index] = position;
  m_Velocities[index] = velocity;
  const uint32_t r = fx::Clamp_Byte((m_Base.r + m_Spread.r * Closed_Unit()) * 255.0f);
  const uint32_t g = fx::Clamp_Byte((m_Base.g + m_Spread.g * Closed_Unit()) * 255.0f);
  const uint32_t b = fx::Clamp_Byte((m_Base.b + m_Spread.b * Closed_Unit()) * 255.0f);
  m_Colours[index] = 0xFF000000u | r << 16 | g << 8 | b;
  m_Sizes[index] = size;
  m_Life[index] = 1.0f;
  return true;
}

void CSparkle_Cloud::Free_Slot(uint32_t slot) {
  if (m_Sprites) m_Sprites->RemoveSprite(slot);
  m_In_Use[slot] = false;
  if (m_Live > 0) --m_Live;
}

void CSparkle_Cloud::Move(uint32_t slot, float s, bool bounce) {
  CVector3& p = m_Positions[slot];
  CVector3& v = m_Velocities[slot];
  CVector3 motion;
  v.Scale(s, motion);
  CVector3 normal;
  if (bounce && motion.Length_Squared() > 0.0f &&
      CParticle_Add_Mgr::Hit_Terrain(p, motion, kBounce_Reach_Sq, normal)) {
    CVector3 reflected;
    v.Subtract(normal.Scale(2.0f * v.Dot(normal), reflected), reflected);
    reflected.Scale(kBounce_Keep, v);
    return;
  }
  p.Add_Assign(motion);
  const float k = 20.0f * s;
  v.Set(v.x - k * 0.001f * v.x, v.y - k * (0.001f * v.y + 0.75f), v.z - k * 0.001f * v.z);
}

void CSparkle_Cloud::Step(float s, float fade, bool bounce) {
  if (!m_Sprites || !m_Sprites->Lock()) return;
  for (uint32_t slot = 1; slot < kSlots; ++slot) {
    if (!m_In_Use[slot]) continue;
    m_Life[slot] -= fade / m_Sizes[slot] * s;
    if (!(m_Life[slot] > 0.0f)) {
      Free_Slot(slot);
      continue;
    }
    Move(slot, s, bounce);
    const float life = m_Life[slot];
    m_Sprites->SetPosition(slot, m_Positions[slot]);
    m_Sprites->SetSize(slot, life * m_Sizes[slot] + 2.0f);
    const uint32_t alpha = life > 0.7f ? fx::Clamp_Byte((1.0f - life) * 680.0f) : 204u;
    m_Sprites->SetColor(slot, alpha << 24 | (m_Colours[slot] & 0x00FFFFFFu));
  }
  m_Sprites->Unlock();
}

void CSparkle_Cloud::Draw(const CMatrix4x4* world, CD3DRenderStyle* style, CTextureData* texture, int times) {
  if (!m_Sprites || m_Live == 0 || !style) return;
  CMatrix4x4 identity;
  identity.Set_Identity();
  CDeviceTexture* textures[2] = {fx::Device_Texture(texture), nullptr};
  fx::Set_Fog(false);
  for (int i = 0; i < times; ++i) m_Sprites->Render(world ? world : &identity, style, textures);
  fx::Set_Fog(true);
}
