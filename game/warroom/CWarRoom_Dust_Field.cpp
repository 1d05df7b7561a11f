#include "game/warroom/CWarRoom_Dust_Field.h"

#include <algorithm>
#include <cmath>

#include "game/warroom/Vector_Ops.h"
#include "platform/system/random.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"
#include "runtime/src/render/sys/pc/sprite_array.h"

using warroom::Add;
using warroom::Cross;
using warroom::Scale;
using warroom::Unit;

namespace {

constexpr uint32_t kDust_Texture = 0x22000073;
constexpr uint32_t kDust_Style = 0x22000031;
constexpr float kTwo_Pi = 6.28318530718f;

float Chance() { return static_cast<float>(plat::Random()) / 32768.0f; }

float Wrap(float phase) { return phase >= kTwo_Pi ? phase - kTwo_Pi : phase; }

}  // namespace

bool CWarRoom_Dust_Field::Init() {
  Term();
  m_Texture = g_pTexture ? g_pTexture->GetTexture(kDust_Texture) : nullptr;
  m_Style = g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(kDust_Style) : nullptr;
  m_Particles.reserve(kMax_Particles);
  for (float& phase : m_Phases) phase = 0.0f;
  m_Initialised = m_Texture && m_Style && Create_Points();
  return m_Initialised;
}

// One vertex per particle, position and colour, drawn as point sprites. The sizes stay in
// pixels at every distance: with the scale factor A at the viewport height squared, the
// device's scale formula (height x size / sqrt(A)) gives the size itself.
bool CWarRoom_Dust_Field::Create_Points() {
  if (!g_pRenderDevice) return false;
  CRenderObject* object = g_pRenderDevice->CreateRenderObject(CSpriteArray::kType);
  if (!object) return false;
  if (object->GetType() != CSpriteArray::kType) {
    g_pRenderDevice->DestroyRenderObject(object);
    return false;
  }
  m_Points = static_cast<CSpriteArray*>(object);
  m_Points->SetHolder(reinterpret_cast<CRenderObject**>(&m_Points));
  m_Point_Size = kPoint_Size_Of_Width * g_pRenderDevice->GetScreenWidthF();
  const uint32_t flags = CSpriteArray::kPosition | CSpriteArray::kColour;
  // The array's point size is twice its default sprite size.
  if (!m_Points->Init(0.5f * m_Point_Size, flags, kMax_Particles, true) || !m_Points->IsPointSprites()) {
    Destroy_Points();
    return false;
  }
  const float height = g_pRenderDevice->GetScreenHeightF();
  m_Points->SetPointScale(height * height, 0.0f, 0.0f, 0.0f, std::max(m_Point_Size, 1.0f));
  return true;
}

void CWarRoom_Dust_Field::Destroy_Points() {
  if (m_Points) {
    CSpriteArray* points = m_Points;
    points->SetHolder(nullptr);
    m_Points = nullptr;
    if (g_pRenderDevice) g_pRenderDevice->DestroyRenderObject(points);
  }
  m_Point_Size = 0.0f;
}

void CWarRoom_Dust_Field::Term() {
  Destroy_Points();
  if (m_Texture && g_pTexture) g_pTexture->ReleaseTexture(m_Texture);
  if (m_Style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(m_Style);
  m_Texture = nullptr;
  m_Style = nullptr;
  m_Particles.clear();
  m_Initialised = false;
}

void CWarRoom_Dust_Field::Update(float dt, const CVector3& camera_forward, float camera_speed) {
  if (!m_Initialised) return;
  m_Phases[0] = Wrap(m_Phases[0] + 0.03f * dt);
  m_Phases[1] = Wrap(m_Phases[1] + 0.1f * dt);
  m_Phases[2] = Wrap(m_Phases[2] + 0.3f * dt);
  const float a = m_Phases[0], b = m_Phases[1];
  m_Wind = Unit(CVector3{0.035f + std::sin(a) * 0.011f, 0.025f + std::sin(b) * 0.015f, 0.045f + std::sin(a + b) * 0.005f});
  m_Swirl = Unit(CVector3{0.03f * std::sin(b), 0.07f * std::cos(a), 0.02f * std::sin(a - b)});
  const float i2 = m_Intensity * m_Intensity;
  const CVector3 wind = Scale(m_Wind, i2 * 1.5f);
  const CVector3 swirl = Scale(m_Swirl, i2 * 8.0f);
  for (int n = 0; n < kBirths_Per_Step && static_cast<int>(m_Particles.size()) < kMax_Particles; ++n) Spawn(camera_forward);
  for (Particle& p : m_Particles) {
    p.position = Add(p.position, Scale(Add(wind, Scale(swirl, std::sin(m_Phases[2] + p.size))), dt));
    p.life -= camera_speed * 0.0001f + dt;
  }
  m_Particles.erase(std::remove_if(m_Particles.begin(), m_Particles.end(), [](const Particle& p) { return p.life < 0.0f; }),
                    m_Particles.end());
}

// A new particle ahead of the camera (which the view keeps at the origin), spread sideways and up.
void CWarRoom_Dust_Field::Spawn(const CVector3& forward) {
  const float distance = ((1.0f - m_Intensity) * 300.0f + 250.0f) * Chance() + 250.0f;
  const CVector3 side = Unit(Cross(CVector3{0.0f, 1.0f, 0.0f}, forward));
  const CVector3 up = Unit(Cross(forward, side));
  const float spread = 0.6f * distance;
  CVector3 at = Scale(forward, distance);
  at = Add(at, Scale(side, (Chance() * 2.0f - 1.0f) * spread));
  at = Add(at, Scale(up, (Chance() * 2.0f - 1.0f) * spread));
  const float small = (1.0f - m_Intensity) * 0.5f + 0.5f;
  const float large = (1.0f - m_Intensity) * 2.0f + 1.0f;
  m_Particles.push_back(Particle{at, 2.0f + 6.0f * Chance(), small + (large - small) * Chance()});
}

void CWarRoom_Dust_Field::Render() const {
  if (!m_Initialised || !m_Points || m_Particles.empty() || !m_Points->Lock()) return;
  const auto alpha = static_cast<uint32_t>(std::clamp(m_Intensity * 75.0f, 0.0f, 255.0f));
  const uint32_t colour = (alpha << 24) | 0xffffff;
  const auto count = static_cast<uint32_t>(std::min<size_t>(m_Particles.size(), kMax_Particles));
  for (uint32_t i = 0; i < count; ++i) {
    m_Points->SetPosition(i + 1, m_Particles[i].position);
    m_Points->SetColor(i + 1, colour);
  }
  m_Points->Unlock();
  CMatrix4x4 world{};
  for (int i = 0; i < 4; ++i) world.m[i][i] = 1.0f;
  CDeviceTexture* textures[4] = {m_Texture->m_pDeviceTexture, nullptr, nullptr, nullptr};
  m_Points->RenderPoints(&world, m_Style, textures, count);
}
