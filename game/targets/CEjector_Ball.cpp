#include "game/targets/CEjector_Ball.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/CTarget_Ball.h"
#include "game/targets/Target_Shared.h"
#include "platform/system/random.h"

namespace {

constexpr uint32_t kRenderable_Id = 0x220000b1;
constexpr uint32_t kTexture_Id = 0x2200002a;
constexpr uint32_t kStyle_Id = 0x22000043;
constexpr uint32_t kMirror_Style_Id = 0x22000020;
const CVector3 kSize{45.0f, 131.0f, 45.0f};
constexpr float kRise_Speed = 4.0f;
constexpr float kLaunch_Gap = 0.5f;
constexpr float kThrow_Speed = 295.0f;
constexpr float kPartner_Rest = 9.0f;
constexpr float kLaunch_Height = 0.85f;

float Unit_Draw() { return static_cast<float>(plat::Random()) / 32768.0f; }

}  // namespace

CObject_Pool* CEjector_Ball::Pool() {
  static CObject_Pool_Of<CEjector_Ball, kType> pool;
  return &pool;
}

bool CEjector_Ball::Init() {
  using targets::Resource;
  Initialised = targets::Load_Resources(
      "CEjector_Ball", {Resource::Renderable(kRenderable_Id, m_Renderable), Resource::Texture(kTexture_Id, m_Texture),
                        Resource::Style(kStyle_Id, m_Style), Resource::Style(kMirror_Style_Id, m_Mirror_Style)});
  if (!Initialised) Term();
  return Initialised;
}

void CEjector_Ball::Term() {
  using targets::Resource;
  targets::Release_Resources({Resource::Renderable(kRenderable_Id, m_Renderable),
                              Resource::Texture(kTexture_Id, m_Texture), Resource::Style(kStyle_Id, m_Style),
                              Resource::Style(kMirror_Style_Id, m_Mirror_Style)});
  Initialised = false;
  Active = false;
}

void CEjector_Ball::Spawn(const uint32_t& colour, const CVector3& position) {
  Active = false;
  if (!ejectors::Setup_Fixed_Ejector(*this, kType, 0x04, 0x04, kSize)) return;
  Launch_Requested = false;
  Decoy_Requested = false;
  Colour_Variant = colour;
  Catch_Timer = 0.0f;
  Age = 0.0f;
  Rise = 0.0f;
  Launch_Clock = 1000.0f;
  std::fill(std::begin(Incoming), std::end(Incoming), 0.0f);
  Partner = nullptr;
  Base_Position = position;
  Set_Position(position);
  m_Orientation = CMatrix3x3::Identity;
  Active = true;
}

bool CEjector_Ball::Is_Busy() const {
  return std::any_of(std::begin(Incoming), std::end(Incoming), [](float t) { return t > 0.0f && t < 3.0f; });
}

void CEjector_Ball::Add_Incoming(float time) {
  for (float& entry : Incoming) {
    if (entry == 0.0f) {
      entry = time;
      return;
    }
  }
}

CEjector_Ball* CEjector_Ball::Choose_Partner() {
  CEjector_Ball* chosen = nullptr;
  float p = 1.0f;
  for (int n = 0;; ++n) {
    CWorld_Object* object = g_World.Find_Object_By_Type(kType, n);
    if (!object) break;
    if (object == this) continue;
    auto* candidate = dynamic_cast<CEjector_Ball*>(object);
    if (!candidate) continue;
    if (!(candidate->Launch_Clock >= kPartner_Rest || candidate->Partner != this)) continue;
    if (Unit_Draw() < p) chosen = candidate;
    p *= 0.5f;
  }
  return chosen;
}

void CEjector_Ball::Launch() {
  const CVector3& up = m_Orientation.rows[1];
  const CVector3 at = ejectors::Raised_Position(m_Position, up, kLaunch_Height * m_Fixed.half_size.y);
  CVector3 velocity{0.0f, kThrow_Speed, 0.0f};
  const float a = Unit_Draw() - 0.5f;
  const float b = Unit_Draw() - 0.5f;
  const CVector3 spin{a, 3.0f, b};
  Partner = Choose_Partner();
  if (Partner) {
    const float g = std::min(g_World.m_Gravity.y, -0.1f);
    const float h = g * 0.5f;
    const float t1 = -kThrow_Speed / h;
    const float y1 = at.y + t1 * (kThrow_Speed + h * t1 * 0.5f);
    const float catch_height = Partner->m_Position.y + kLaunch_Height * Partner->m_Fixed.half_size.y;
    const float flight = t1 + std::sqrt(std::fabs(2.0f * (catch_height - y1) / h));
    const float d = std::max(flight, 0.1f);
    velocity.x = (Partner->m_Position.x - m_Position.x) / d;
    velocity.z = (Partner->m_Position.z - m_Position.z) / d;
    Partner->Add_Incoming(flight);
  }
  CObject_Pool* pool = CTarget_Ball::Pool();
  auto* ball = static_cast<CTarget_Ball*>(pool->Alloc_Object());
  if (!ball) return;
  const int32_t colour = static_cast<int32_t>(Colour_Variant);
  if (!ball->Spawn(colour)) {
    ejectors::Give_Back_Unspawned(ball);
    return;
  }
  g_World.Add_Object(2, ball);
  ball->m_Orientation = m_Orientation;
  ball->Set_Position(at);
  ball->m_Sphere.velocity = velocity;
  ball->m_Sphere.spin = spin;
  g_Sim_Stats.Record_Launch(ball);
  CColor4 colour_of_ball;
  ejectors::Emit_Launch_Puff(at, velocity, Pack_Color_ARGB(ball->Get_Color(colour_of_ball)));
  Launch_Clock = 0.0f;
}

void CEjector_Ball::Emit_Decoy() {
  const CVector3 at = ejectors::Raised_Position(m_Position, m_Orientation.rows[1], kLaunch_Height * m_Fixed.half_size.y);
  ejectors::Emit_Launch_Puff(at, CVector3{0.0f, 300.0f, 0.0f}, Pack_Color_ARGB(CColor4{0.0f, 0.0f, 0.0f, 0.35f}));
  Launch_Clock = 0.25f;
}

void CEjector_Ball::Update(const float& dt) {
  const CVector3& up = m_Orientation.rows[1];
  const float height = m_Fixed.half_size.y;
  if (Rise >= 1.0f && m_Kill_Timer == 0.0f) {
    if (Launch_Clock >= kLaunch_Gap) {
      if (Catch_Timer != 0.0f) {
        Catch_Timer -= dt;
        if (!(Catch_Timer > 0.0f)) {
          Catch_Timer = 0.0f;
          Launch_Clock = 0.0f;
        }
      } else if (Launch_Requested) {
        Launch();
        Launch_Requested = false;
      } else if (Decoy_Requested) {
        Emit_Decoy();
        Decoy_Requested = false;
      }
    } else {
      const float v = std::clamp(2.0f * Launch_Clock, 0.0f, 1.0f);
      Set_Position(ejectors::Raised_Position(Base_Position, up, (2.0f - 0.2f * (1.0f - v)) * height));
      Catch_Timer = 0.0f;
    }
  } else {
    Rise = ejectors::Next_Rise(Rise, m_Kill_Timer, Age, kRise_Speed);
    Set_Position(ejectors::Raised_Position(Base_Position, up, 2.0f * Rise * height));
  }
  for (float& entry : Incoming) entry = std::max(entry - dt, 0.0f);
  Age += dt;
  Launch_Clock += dt;
  ejectors::Death_Step(*this, dt, ejectors::kDeath_Rate);
}

CMatrix4x4 CEjector_Ball::World() const {
  const float widen = Rise < 1.0f ? Rise : 1.0f;
  return ejectors::Scaled_World(*this, CVector3{widen, 1.0f, widen});
}

void CEjector_Ball::Render(const float& step) {
  (void)step;
  targets::Draw(m_Renderable, World(), m_Style, m_Texture, nullptr, Rise < 1.0f);
}

void CEjector_Ball::Render_Reflection(const CWorld_Mirror& mirror) {
  targets::Draw(m_Renderable, targets::Mirrored(World(), mirror), m_Mirror_Style, m_Texture, nullptr, Rise < 1.0f);
}

void CEjector_Ball::Render_With_Shader(void* style, void* texture) {
  targets::Draw_Shader_Pass(m_Renderable, World(), static_cast<CD3DRenderStyle*>(style),
                            static_cast<CTextureData*>(texture), m_Texture, Rise < 1.0f);
}
