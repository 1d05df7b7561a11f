#include "game/fx/CShadowProjector.h"

#include <algorithm>
#include <cmath>

#include "game/core/CWorld.h"
#include "game/core/CWorld_Object.h"
#include "game/core/WinMain.h"
#include "game/fx/CGen_Projector.h"
#include "game/fx/FX_Resources.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/render_state_warm_up.h"
#include "game/core/CGame.h"

namespace {

constexpr float kCircle_Fade = 0.003f;
constexpr float kBox_Fade = 0.00175f;
constexpr int kMax_Alpha = 200;

struct Projector_State {
  bool initialised = false;
  CD3DRenderStyle* style = nullptr;
  CTextureData* textures[3] = {};  // 0x2200000d circular, 0x22000086 choice 1, 0x22000046 box and rectangle
  CTerrain_Patch patch;
  int last_alpha = -1;
  int warm_up_drawer = 0;
};

Projector_State& State() {
  static Projector_State* state = new Projector_State();
  return *state;
}

CTextureData* Circle_Texture() { return State().textures[0]; }
CTextureData* Box_Texture() { return State().textures[2]; }

float Death_Fade(const CWorld_Object& object) {
  const float k = object.m_Kill_Timer;
  return k != 0.0f ? 1.0f - k * k : 1.0f;
}

float Height_Above_Ground(const CVector3& p) { return p.y - g_World.Get_Height(p.x, p.z); }

// Camera space to the shadow's texture: back to the world, relative to the centre, turned by
// the heading (ground axes x and z of the shadow), laid into the texture plane by the quarter
// turn about x, scaled per axis and projected into the middle of the texture.
CMatrix4x4 Shadow_Transform(const CVector3& centre, const CMatrix3x3* heading, float scale_x, float scale_z) {
  CMatrix4x4 relative;
  relative.Set_Identity();
  if (heading) {
    // The inverse of the heading's turn: its rows become columns.
    for (int i = 0; i < 3; ++i) {
      relative.m[0][i] = heading->rows[i].x;
      relative.m[1][i] = heading->rows[i].y;
      relative.m[2][i] = heading->rows[i].z;
    }
  }
  CVector3 moved{-centre.x, -centre.y, -centre.z};
  moved.Rotate_By_Matrix4(relative);
  relative.Set_Translation(moved);
  CMatrix4x4 quarter{};
  quarter.m[0][0] = 1.0f;
  quarter.m[1][2] = 1.0f;
  quarter.m[2][1] = -1.0f;
  quarter.m[3][3] = 1.0f;
  CMatrix4x4 scale{};
  scale.m[0][0] = scale_x;
  scale.m[1][1] = scale_z;
  scale.m[2][2] = 0.001f;
  scale.m[3][2] = -0.0001f;
  scale.m[3][3] = 1.0f;
  CMatrix4x4 a, b, c, out;
  Camera_To_World().Multiply(relative, a);
  a.Multiply(quarter, b);
  b.Multiply(scale, c);
  c.Multiply(CGen_Projector::Projection_Matrix(), out);
  return out;
}

void Draw(const CVector3& centre, float radius, float scale_x, float scale_z, const CMatrix3x3* heading, int alpha,
          CTextureData* texture) {
  Projector_State& s = State();
  s.last_alpha = -1;
  if (!s.initialised || alpha < 0) return;
  const int n = s.patch.Build(centre.x, centre.z, radius);
  if (n == 0) return;
  fx::Write_Projection_Pass(s.style, Shadow_Transform(centre, heading, scale_x, scale_z),
                            static_cast<uint32_t>(alpha) << 24);
  s.last_alpha = alpha;
  if (alpha == 0) return;
  fx::Set_Fog(false);
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
  g_pDrawPrim->SetTexture(texture, 0);
  g_pDrawPrim->SetRenderStyle(s.style);
  g_pDrawPrim->DrawTexTriangles(s.patch.Triangles(), static_cast<uint32_t>(n));
  fx::Set_Fog(true);
}

// The shadow's pass as it is drawn: projected, with the shadow's blend and with the blend of a
// shadow in the caster's own texture.
void Warm_Up_Shadow_Passes() {
  const Projector_State& s = State();
  if (!s.initialised) return;
  for (const fx::Pass_Blend& blend : {fx::kShadow_Blend, fx::kReplacement_Blend}) {
    Warm_Up_Rewritten_Style(s.style, [&blend](uint32_t index, RenderPassDesc& pass) {
      if (index != 0) return;
      fx::Edit_Projection_Pass(pass, CMatrix4x4{}, 0xFF000000u);
      fx::Edit_Pass_Blend(pass, blend);
    });
  }
}

float Object_Radius(const CWorld_Object& object) {
  return object.m_Body_Kind == kBody_Sphere ? std::sqrt(object.m_Sphere.radius_sq) : object.m_Collision_Radius;
}

}  // namespace

bool CShadowProjector::Init() {
  Projector_State& s = State();
  s.textures[0] = fx::Get_Texture(0x2200000D);
  s.textures[1] = fx::Get_Texture(0x22000086);
  s.textures[2] = fx::Get_Texture(0x22000046);
  if (!s.textures[0] || !s.textures[1] || !s.textures[2]) {
    Show_Message("CShadowProjector::Couldn't load texture.");
    Term();
    return false;
  }
  s.style = fx::Get_Style(0x2200000E);
  if (!s.style) {
    Show_Message("CShadowProjector::Couldn't load shader.");
    Term();
    return false;
  }
  s.initialised = true;
  if (s.warm_up_drawer == 0) s.warm_up_drawer = Add_Warm_Up_Drawer(Warm_Up_Shadow_Passes);
  return true;
}

void CShadowProjector::Term() {
  Projector_State& s = State();
  Remove_Warm_Up_Drawer(s.warm_up_drawer);
  s.warm_up_drawer = 0;
  for (CTextureData*& t : s.textures) fx::Release(t);
  fx::Release(s.style);
  s.initialised = false;
}

bool CShadowProjector::Is_Initialised() { return State().initialised; }
int CShadowProjector::Last_Alpha() { return State().last_alpha; }
const CTerrain_Patch& CShadowProjector::Patch() { return State().patch; }
CD3DRenderStyle* CShadowProjector::Style() { return State().style; }

int CShadowProjector::Height_Alpha(float height, float fade_factor, float death_fade) {
  if (height < 0.0f || std::isnan(height)) return -1;
  const float g = std::clamp(1.0f - height * fade_factor, 0.0f, 1.0f);
  return static_cast<int>(std::min(fx::Clamp_Byte(death_fade * g * g * 255.0f), static_cast<uint32_t>(kMax_Alpha)));
}

void CShadowProjector::Cast_Shadow(int texture_choice, const CVector3& position, float size, float strength) {
  const float r = size * 1.25f;
  State().last_alpha = -1;
  const int alpha = Height_Alpha(Height_Above_Ground(position), kCircle_Fade, strength);
  CTextureData* texture = texture_choice == 1 ? State().textures[1] : texture_choice == 2 ? Box_Texture() : Circle_Texture();
  Draw(position, r, 2.0f / r, 2.0f / r, nullptr, alpha, texture);
}

void CShadowProjector::Cast_Sphere_Shadow(const CWorld_Object& object, float fade_factor) {
  const float r = Object_Radius(object);
  const int alpha = Height_Alpha(Height_Above_Ground(object.m_Position), fade_factor, Death_Fade(object));
  Draw(object.m_Position, r, 2.0f / r, 2.0f / r, nullptr, alpha, Circle_Texture());
}

void CShadowProjector::Cast_Ellipse_Shadow(const CWorld_Object& object, float stretch_x, float stretch_z,
                                           CTextureData* texture) {
  const float r = Object_Radius(object);
  const float reach = r * std::max(1.0f, std::max(stretch_x, stretch_z));
  int alpha = Height_Alpha(Height_Above_Ground(object.m_Position), kCircle_Fade, 1.0f);
  if (!texture) {
    Draw(object.m_Position, reach, 2.0f / (r * stretch_x), 2.0f / (r * stretch_z), nullptr, alpha, Circle_Texture());
    return;
  }
  if (alpha >= 0) alpha = 255;
  fx::Write_Pass_Blend(State().style, fx::kReplacement_Blend);
  Draw(object.m_Position, reach, 2.0f / (r * stretch_x), 2.0f / (r * stretch_z), nullptr, alpha, texture);
  fx::Write_Pass_Blend(State().style, fx::kShadow_Blend);
}

void CShadowProjector::Cast_Box_Shadow(const CWorld_Object& object) {
  const CVector3& half = object.m_Box.half_size;
  const float r = std::max(Object_Radius(object), 0.001f);
  const int alpha = Height_Alpha(Height_Above_Ground(object.m_Position), kBox_Fade, Death_Fade(object));
  // The heading: the box's x axis laid flat on the ground, z across it.
  CVector3 side = object.m_Orientation.rows[0];
  side.y = 0.0f;
  if (!(side.Length() > 0.0001f)) side.Set(1.0f, 0.0f, 0.0f);
  side.Normalize();
  CMatrix3x3 heading;
  heading.Set_Rows(side, CVector3{0.0f, 1.0f, 0.0f}, CVector3{-side.z, 0.0f, side.x});
  const float sx = std::max(half.x, 0.001f), sz = std::max(half.z, 0.001f);
  Draw(object.m_Position, r, 2.0f / sx, 2.0f / sz, &heading, alpha, Box_Texture());
}

void CShadowProjector::Cast_Rect_Shadow(const CVector3& position, float size_x, float size_z, float strength) {
  const float r = std::max(size_x, size_z);
  const int alpha = static_cast<int>(fx::Clamp_Byte(strength * 255.0f));
  Draw(position, r, 2.0f / size_x, 2.0f / size_z, nullptr, alpha, Box_Texture());
}
