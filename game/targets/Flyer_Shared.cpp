#include "game/targets/Flyer_Shared.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/core/WinMain.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

namespace flyer {

namespace {

constexpr CColor4 kVariants[4] = {
    {0.2f, 0.9f, 0.2f, 1.0f}, {1.0f, 1.0f, 0.1f, 1.0f}, {1.0f, 0.1f, 1.0f, 1.0f}, {0.9f, 0.2f, 0.2f, 1.0f}};
constexpr CColor4 kLights[4] = {
    {0.5f, 1.0f, 0.5f, 1.0f}, {1.0f, 1.0f, 0.4f, 1.0f}, {1.0f, 0.3f, 1.0f, 1.0f}, {1.0f, 0.3f, 0.3f, 1.0f}};
constexpr CColor4 kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr CColor4 kBlack{0.0f, 0.0f, 0.0f, 1.0f};

// A hitter's velocity: sphere and box bodies have one, other kinds none.
CVector3 Hitter_Velocity(const CWorld_Object* hitter) { return hitter ? hitter->Body_Velocity() : CVector3{0, 0, 0}; }

}  // namespace

const char* const kNo_Renderable = "Unable to create renderable object...";
const char* const kNo_Texture = "Unable to load texture...";
const char* const kNo_Created_Texture = "Unable to create texture...";
const char* const kNo_Shader = "Unable to load shader...";
const char* const kNo_Render_Shader = "Unable to create render shader...";

CColor4 Variant_Colour(int index) { return index >= 0 && index < 4 ? kVariants[index] : kWhite; }
CColor4 Light_Colour(int index) { return index >= 0 && index < 4 ? kLights[index] : kWhite; }
const CColor4& Black() { return kBlack; }

CColor4 Brighter(const CColor4& colour, float factor) {
  return CColor4{colour.r * factor, colour.g * factor, colour.b * factor, colour.a};
}

uint32_t Pack(const CColor4& colour) { return Pack_Color_ARGB(colour); }

float Wrap_Angle(float angle) {
  if (!std::isfinite(angle)) return 0.0f;
  angle = std::fmod(angle, kTwo_Pi);
  return angle < 0.0f ? angle + kTwo_Pi : angle;
}

CMatrix3x3 Turn_About_Y(float angle) {
  CMatrix3x3 turn;
  turn.From_Axis_Angle(CVector3{0.0f, 1.0f, 0.0f}, angle);
  return turn;
}

bool Add_Sparkle(const CVector3& position, const CVector3& velocity, float size, float life, uint32_t colour,
                 float gravity) {
  return g_Particle_Sparkle_Mgr.Add_Particle(position, velocity, size, life, colour, gravity, kSparkle_Size_Fades);
}

int Emit_Sparkles(const CWorld_Object& target, const CVector3& velocity, const Sparkle_Burst& burst) {
  const CMatrix3x3& o = target.m_Orientation;
  int added = 0;
  for (; added < burst.count; ++added) {
    const float s = (1.0f + Random01()) * 0.025f;
    const float a = Random01() * 2.0f * burst.spread - burst.spread;
    const float b = Random01() * 2.0f * burst.spread - burst.spread;
    const float c = Random01() * 2.0f * burst.spread - burst.spread;
    const CVector3 offset = Add(Add(Mul(velocity, s), Mul(o.rows[0], a)), Add(Mul(o.rows[1], b), Mul(o.rows[2], c)));
    const float size = burst.size_base + Random01() * burst.size_range;
    const float life = burst.life_base + Random01() * burst.life_range;
    const float gravity = 0.1f + Random01() * 0.15f;
    const CVector3 at = Add(target.m_Position, Mul(offset, burst.offset_factor));
    if (!Add_Sparkle(at, offset, size, life, burst.colour, gravity)) break;
  }
  return added;
}

float Point_Line_Dist_Sq(const CVector3& centre, const CVector3& point, const CVector3& direction, float* t) {
  CVector3 w = Sub(centre, point);
  float along = Dot(w, direction);
  const float length_sq = Dot(direction, direction);
  if (along > 0.0f && length_sq > 0.0f) {
    w = Sub(w, Mul(direction, along / length_sq));
  } else {
    along = 0.0f;
  }
  if (t) *t = along;
  return Dot(w, w);
}

bool Precision_Award(const CWorld_Object& target, const CWorld_Object* hitter, const CShot_Line* shot) {
  CVector3 point, direction;
  if (shot) {
    point = shot->point;
    direction = shot->direction;
  } else {
    const CVector3 v = Hitter_Velocity(hitter);
    if (!hitter || !(Dot(v, v) > 1000000.0f)) return false;
    point = hitter->m_Position;
    direction = v;
  }
  const float length = std::max(Length(direction), 0.0001f);
  if (!std::isfinite(length)) return false;
  direction = Mul(direction, 1.0f / length);
  if (!(Point_Line_Dist_Sq(target.m_Position, point, direction) < 100.0f)) return false;
  g_Score_Board_Mgr.Award_Target_Hit();
  return true;
}

bool Is_Player_Shot(const CWorld_Object* hitter) { return hitter && (hitter->m_Kind_Flags & kKind_Shot) != 0; }

bool Is_Hit_Target(const CWorld_Object* hitter) {
  return hitter && (hitter->m_Kind_Flags & (kKind_Counted_Target | kKind_Excluded)) ==
                       (kKind_Counted_Target | kKind_Excluded);
}

void Register_Hit(CWorld_Object& target, CWorld_Object* hitter) {
  const uint32_t tag = 0;
  g_Sim_Stats.Register_Hit(&target, hitter, nullptr, tag);
}

Resource Mesh(uint32_t id, CRenderableObject*& slot, const char* ending) {
  return Resource{Resource::kRenderable, id, ending, &slot};
}
Resource Texture(uint32_t id, CTextureData*& slot, const char* ending) {
  return Resource{Resource::kTexture, id, ending, &slot};
}
Resource Style(uint32_t id, CD3DRenderStyle*& slot, const char* ending) {
  return Resource{Resource::kStyle, id, ending, &slot};
}

bool Load(const char* class_name, std::initializer_list<Resource> resources) {
  for (const Resource& r : resources) {
    bool ok = false;
    switch (r.kind) {
      case Resource::kRenderable:
        ok = (*static_cast<CRenderableObject**>(r.slot) = fx::Get_Renderable(r.id)) != nullptr;
        break;
      case Resource::kTexture:
        ok = (*static_cast<CTextureData**>(r.slot) = fx::Get_Texture(r.id)) != nullptr;
        break;
      case Resource::kStyle:
        ok = (*static_cast<CD3DRenderStyle**>(r.slot) = fx::Get_Style(r.id)) != nullptr;
        break;
    }
    if (!ok) {
      Show_Message("Error in %s\n%s", class_name, r.ending);
      return false;
    }
  }
  return true;
}

void Release(std::initializer_list<Resource> resources) {
  for (const Resource& r : resources) {
    switch (r.kind) {
      case Resource::kRenderable: fx::Release(*static_cast<CRenderableObject**>(r.slot)); break;
      case Resource::kTexture: fx::Release(*static_cast<CTextureData**>(r.slot)); break;
      case Resource::kStyle: fx::Release(*static_cast<CD3DRenderStyle**>(r.slot)); break;
    }
  }
}

CMatrix4x4 World_Matrix(const CWorld_Object& object, const CVector3& scale) {
  CMatrix4x4 m;
  m.Set_Identity();
  const CMatrix3x3& o = object.m_Orientation;
  const float s[3] = {scale.x, scale.y, scale.z};
  for (int i = 0; i < 3; ++i) {
    m.m[i][0] = o.rows[i].x * s[i];
    m.m[i][1] = o.rows[i].y * s[i];
    m.m[i][2] = o.rows[i].z * s[i];
  }
  m.Set_Translation(object.m_Position);
  return m;
}

void Draw_Mesh(CRenderableObject* mesh, const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* texture,
               const CColor4* tint, bool renormalise) {
  if (renormalise) fx::Set_Normalize_Normals(true);
  fx::Draw_Renderable(mesh, world, style, texture, tint ? &tint->r : nullptr);
  if (renormalise) fx::Set_Normalize_Normals(false);
}

void Draw_Glow(const CVector3& centre, const CVector3& spoke, const CVector3& axis, unsigned count, float half_length,
               float width, uint32_t colour, CD3DRenderStyle* style, CTextureData* texture) {
  g_D3DDrawPrim.SetTransformType(kDrawPrimWorld);
  Draw_Axis_Quads(centre, spoke, CVector3{0, 0, 0}, axis, count, half_length, width, colour, style, texture);
}

CVector3 Mirror_Point(const CWorld_Mirror& mirror, const CVector3& point) {
  const CMatrix4x4& m = mirror.transform;
  return CVector3{point.x * m.m[0][0] + point.y * m.m[1][0] + point.z * m.m[2][0] + m.m[3][0],
                  point.x * m.m[0][1] + point.y * m.m[1][1] + point.z * m.m[2][1] + m.m[3][1],
                  point.x * m.m[0][2] + point.y * m.m[1][2] + point.z * m.m[2][2] + m.m[3][2]};
}

CVector3 Mirror_Direction(const CWorld_Mirror& mirror, const CVector3& direction) {
  CVector3 out = direction;
  return out.Rotate_By_Matrix4(mirror.transform);
}

CMatrix4x4 Mirrored(const CMatrix4x4& world, const CWorld_Mirror& mirror) {
  CMatrix4x4 out;
  world.Multiply(mirror.transform, out);
  return out;
}

uint32_t With_Alpha(uint32_t colour, float alpha_0_255) {
  return fx::Clamp_Byte(alpha_0_255) << 24 | (colour & 0x00FFFFFF);
}

const CVector3& Camera_Position() { return g_Camera.Position(); }
float World_X() { return g_World.m_Terrain.size_x; }
float World_Z() { return g_World.m_Terrain.size_z; }
float Ground(float x, float z) { return g_World.Has_Terrain() ? g_World.Get_Height(x, z) : 0.0f; }

}  // namespace flyer
