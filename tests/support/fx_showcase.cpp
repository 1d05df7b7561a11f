#include "tests/support/fx_showcase.h"

#include <cmath>

#include "game/core/CBox_Object.h"
#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/CDebris_Crystal.h"
#include "game/fx/CDebris_Dirt.h"
#include "game/fx/CDebris_Target_Box.h"
#include "game/fx/CDebris_Target_Brick.h"
#include "game/fx/CDebris_Target_Ground_Proj.h"
#include "game/fx/CDebris_Target_Sparkler.h"
#include "game/fx/CFX_Laser.h"
#include "game/fx/CFX_Lightning.h"
#include "game/fx/CFX_Poly_Trail.h"
#include "game/fx/CGen_Projector.h"
#include "game/fx/CParticle_Basic_Mgr.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/CSpark_Mgr.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "platform/system/random.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

namespace vt_test {
namespace {

constexpr float kPi = 3.14159265f;

enum class Group { Particles, Sparks, Shadows, Projection, Quads, Laser, Bolts, Trail };

// The camera looks at the middle of the field from 420 units south and 160 above the ground.
void Place_Camera() {
  const float x = 0.5f * g_World.m_Terrain.size_x, z = 0.5f * g_World.m_Terrain.size_z;
  const float y = g_World.Get_Height(x, z);
  g_Camera.Look_At(CVector3{x, y + 160.0f, z - 420.0f}, CVector3{x, y + 40.0f, z - 120.0f});
}

CVector3 Ground_Point(float ahead, float side = 0.0f) {
  const CMatrix3x3& axes = g_Camera.Rotation();
  CVector3 forward = axes.rows[2];
  forward.y = 0.0f;
  if (forward.Length() < 0.001f) forward.Set(0, 0, 1);
  forward.Normalize();
  const CVector3 right{forward.z, 0.0f, -forward.x};
  CVector3 p = g_Camera.Position();
  p.Add_Assign(CVector3{forward.x * ahead + right.x * side, 0.0f, forward.z * ahead + right.z * side});
  p.y = g_World.Get_Height(p.x, p.z);
  return p;
}

// A drawn stand-in that owns the effects of one group, updates and draws them every frame, and
// lends its texture and style to the debris pieces broken from it.
class Fx_Showcase : public CBox_Object, public CDebris_Skin_Source {
 public:
  explicit Fx_Showcase(Group group) : m_Group(group) {
    Setup_Object(72, 1.0f, 1.0f, kState_Never_Culled | kState_No_World_Contact | kState_No_Gravity, 0);
    m_View_Radius = m_Collision_Radius = 400.0f;
    m_Centre = Ground_Point(300.0f);
    Set_Position(CVector3{m_Centre.x, m_Centre.y + 1.0f, m_Centre.z});
    m_Texture = fx::Get_Texture(0x22000029);
    m_Style = fx::Get_Style(0x22000040);
    m_Glow = fx::Get_Texture(0x2200005C);
    m_Glow_Style = fx::Get_Style(0x22000031);
    m_Ring = fx::Get_Texture(0x22000033);
    m_Mark = fx::Get_Texture(0x22000015);
    Start();
  }
  ~Fx_Showcase() override {
    fx::Release(m_Texture);
    fx::Release(m_Style);
    fx::Release(m_Glow);
    fx::Release(m_Glow_Style);
    fx::Release(m_Ring);
    fx::Release(m_Mark);
  }
  CTextureData* Debris_Texture() const override { return m_Texture; }
  CD3DRenderStyle* Debris_Style() const override { return m_Style; }

  void Update(const float& dt) override {
    m_Clock += dt;
    switch (m_Group) {
      case Group::Particles: Emit_Particles(); break;
      case Group::Sparks:
        if (g_Spark_Mgr.Live_Count() < 12) Emit_Spark();
        break;
      case Group::Laser:
        for (CFX_Laser& beam : m_Lasers) {
          beam.Update(dt * 0.2f);
          if (!beam.m_Active) Aim_Laser(beam);
        }
        break;
      case Group::Bolts:
        for (int i = 0; i < 3; ++i) {
          m_Bolts[i].Update(dt);
          if (!m_Bolts[i].m_Active) Strike(i);
        }
        break;
      case Group::Trail: {
        const CVector3 head = Trail_Head();
        m_Trail.Update(dt, head);
        break;
      }
      default: break;
    }
  }

  void Render(const float& step) override {
    (void)step;
    CD3DDrawPrim& draw = g_D3DDrawPrim;
    draw.ResetState();
    draw.SetTransformType(kDrawPrimWorld);
    switch (m_Group) {
      case Group::Shadows: Draw_Shadows(); break;
      case Group::Projection: Draw_Projections(); break;
      case Group::Quads: Draw_Quads(); break;
      case Group::Laser:
        for (CFX_Laser& beam : m_Lasers) beam.Render();
        for (CFX_Laser& beam : m_Lasers) beam.Render_Glow();
        break;
      case Group::Bolts:
        for (CFX_Lightning& bolt : m_Bolts) bolt.Render();
        for (CFX_Lightning& bolt : m_Bolts) bolt.Render_Glow();
        break;
      case Group::Trail: m_Trail.Render(Trail_Head(), 1.0f); break;
      default: break;
    }
    draw.ResetState();
  }

 private:
  void Start() {
    if (m_Group == Group::Trail) m_Trail.Setup(Trail_Head(), 0xFFFFC080, 3.0f, 6.0f);
    if (m_Group == Group::Laser)
      for (CFX_Laser& beam : m_Lasers) Aim_Laser(beam);
    if (m_Group == Group::Bolts)
      for (int i = 0; i < 3; ++i) Strike(i);
  }

  CVector3 Trail_Head() const {
    const float a = m_Clock * 2.0f;
    return CVector3{m_Centre.x + 120.0f * std::cos(a), m_Centre.y + 80.0f + 40.0f * std::sin(a * 1.7f),
                    m_Centre.z + 120.0f * std::sin(a)};
  }

  void Emit_Particles() {
    for (int i = 0; i < 6; ++i) {
      const float a = fx::Random_Unit() * 2.0f * kPi;
      const float s = 40.0f + 60.0f * fx::Random_Unit();
      const CVector3 v{std::cos(a) * s, 150.0f + 120.0f * fx::Random_Unit(), std::sin(a) * s};
      const CVector3 at{m_Centre.x, m_Centre.y + 10.0f, m_Centre.z};
      g_Particle_Add_Mgr.Add_Particle(at, v, 12.0f, 3.0f, 0xFFFF9030, 0.6f, kParticle_Collides);
      g_Particle_Basic_Mgr.Add_Particle(CVector3{at.x - 80.0f, at.y, at.z}, v, 14.0f, 3.0f, 0xC080C0FF, 0.6f,
                                        kParticle_Collides);
      g_Particle_Sparkle_Mgr.Add_Particle(CVector3{at.x + 80.0f, at.y + 40.0f, at.z}, CVector3{v.x, v.y * 0.3f, v.z},
                                          16.0f, 2.0f, 0xFFFFFFC0, 0.2f, kSparkle_Size_Fades | kSparkle_Collides);
    }
  }

  void Emit_Spark() {
    const float a = fx::Random_Unit() * 2.0f * kPi;
    const CVector3 at{m_Centre.x, m_Centre.y + 60.0f, m_Centre.z};
    g_Spark_Mgr.Add_Spark(at, CVector3{std::cos(a) * 250.0f, 150.0f + 200.0f * fx::Random_Unit(), std::sin(a) * 250.0f},
                          fx::Random_Unit() > 0.5f ? 0xFFFFC040 : 0xFF80C0FF);
  }

  void Aim_Laser(CFX_Laser& beam) {
    const int i = static_cast<int>(&beam - m_Lasers);
    const CVector3 from{m_Centre.x - 150.0f + 150.0f * i, m_Centre.y + 120.0f, m_Centre.z - 60.0f};
    const CVector3 to{m_Centre.x + 40.0f * (i - 1), m_Centre.y, m_Centre.z + 40.0f};
    CVector3 d;
    to.Subtract(from, d);
    const float length = d.Length();
    d.Scale(1.0f / length, d);
    const uint32_t colours[3] = {0xFFFF3020, 0xFF30FF40, 0xFF4080FF};
    beam.Setup(from, d, length, colours[i], 0.35f, 1.0f);
    beam.m_Glow = i == 1;
  }

  void Strike(int i) {
    const CVector3 start{m_Centre.x - 160.0f, m_Centre.y + 60.0f + 50.0f * i, m_Centre.z};
    const CVector3 end{m_Centre.x + 160.0f, m_Centre.y + 40.0f * i, m_Centre.z + 20.0f * i};
    const int kind = i;
    const uint32_t colours[3] = {0xFFA0C0FF, 0xFFFFE080, 0xFFC080FF};
    const float width = 0.4f, life = 0.6f, scale = 1.5f;
    m_Bolts[i].Setup(kind, start, end, colours[i], width, life, scale);
  }

  void Draw_Shadows() {
    // Three balls at rising heights with their round shadows, a box and a flat rectangle.
    for (int i = 0; i < 3; ++i) {
      const CVector3 at{m_Centre.x - 120.0f + 120.0f * i, m_Centre.y + 15.0f + 60.0f * i, m_Centre.z};
      CShadowProjector::Cast_Shadow(0, at, 20.0f, 1.0f);
      Draw_Billboard(at, 10.0f, 10.0f, 0xFFFFFFFF, m_Glow_Style, m_Glow);
    }
    CShadowProjector::Cast_Rect_Shadow(CVector3{m_Centre.x, m_Centre.y, m_Centre.z + 110.0f}, 60.0f, 25.0f, 0.8f);
  }

  void Draw_Projections() {
    CProjection_Frame frame;
    frame.orientation.Set_Rows(CVector3{1, 0, 0}, CVector3{0, 0, 1}, CVector3{0, -1, 0});
    frame.position = CVector3{m_Centre.x - 90.0f, m_Centre.y, m_Centre.z};
    g_Gen_Projector.Project(0, frame, 60.0f, m_Ring, CColor4{1.0f, 1.0f, 0.8f, 0.3f});
    const float turn = m_Clock;
    frame.orientation.Set_Rows(CVector3{std::cos(turn), 0, std::sin(turn)}, CVector3{-std::sin(turn), 0, std::cos(turn)},
                               CVector3{0, -1, 0});
    frame.position = CVector3{m_Centre.x + 90.0f, m_Centre.y, m_Centre.z};
    g_Gen_Projector.Project(1, frame, 45.0f, m_Mark, CColor4{0.9f, 0.3f, 0.7f, 1.0f});
  }

  void Draw_Quads() {
    const CVector3 at{m_Centre.x - 110.0f, m_Centre.y, m_Centre.z};
    const unsigned count = 5;
    const float half_length = 40.0f, width = 150.0f;
    const uint32_t colour = 0xC0FFD080;
    g_D3DDrawPrim.SetTransformType(kDrawPrimWorld);
    CTextureData* spoke = fx::Get_Texture(0x22000032);
    Draw_Axis_Quads(at, CVector3{1, 0, 0}, CVector3{0, 0, 1}, CVector3{0, 1, 0}, count, half_length, width, colour,
                    m_Glow_Style, spoke);
    fx::Release(spoke);
    Draw_Billboard(CVector3{m_Centre.x, m_Centre.y + 60.0f, m_Centre.z}, 40.0f, 40.0f, 0xFF80FFFF, m_Glow_Style,
                   m_Glow);
    const CVector3 beam_centre{m_Centre.x + 110.0f, m_Centre.y + 60.0f, m_Centre.z};
    Draw_Beam_Quad(beam_centre, CVector3{0, 60, 0}, CVector3{12, 0, 0}, 0xFFFF80C0, m_Glow_Style, m_Glow);
  }

  Group m_Group;
  CVector3 m_Centre{0, 0, 0};
  float m_Clock = 0.0f;
  CFX_Laser m_Lasers[3];
  CFX_Lightning m_Bolts[3];
  CFX_Poly_Trail m_Trail;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CTextureData* m_Glow = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
  CTextureData* m_Ring = nullptr;
  CTextureData* m_Mark = nullptr;
};

Fx_Showcase* Add_Showcase(Group group) {
  auto* showcase = new Fx_Showcase(group);
  g_World.Add_Object(1, showcase);
  return showcase;
}

template <class T>
T* Take(uint32_t type) {
  CObject_Pool* pool = g_Object_Pools[type];
  return pool ? static_cast<T*>(pool->Alloc_Object()) : nullptr;
}

void Launch(CWorld_Object* object, const CVector3& at, const CVector3& velocity, int list = 2) {
  object->Set_Position(at);
  object->m_Box.velocity = velocity;
  object->m_Sphere.velocity = velocity;
  g_World.Add_Object(list, object);
}

bool Show_Debris(const std::string& name) {
  const CVector3 c = Ground_Point(300.0f);
  plat::Seed_Random(18);
  if (name == "crystal") {
    for (int i = 0; i < 4; ++i) {
      auto* shard = Take<CDebris_Crystal>(CDebris_Crystal::kType);
      if (!shard) return false;
      shard->Spawn(0.35f + 0.1f * i, CColor4{1.0f, 0.6f, 0.9f, 1.0f});
      shard->m_Orientation.From_Axis_Angle(CVector3{0.6f, 0.0f, 0.8f}, 0.5f * i);
      Launch(shard, CVector3{c.x - 90.0f + 60.0f * i, c.y + 140.0f, c.z}, CVector3{0, 20, 0});
    }
  } else if (name == "dirt") {
    for (int i = 0; i < 10; ++i) {
      auto* clod = Take<CDebris_Dirt>(CDebris_Dirt::kType);
      if (!clod) return false;
      clod->Spawn(1.0f);
      const float a = 2.0f * kPi * i / 10.0f;
      Launch(clod, CVector3{c.x, c.y + 30.0f, c.z}, CVector3{std::cos(a) * 110.0f, 70.0f, std::sin(a) * 110.0f});
    }
  } else if (name == "box" || name == "brick") {
    Fx_Showcase* target = Add_Showcase(Group::Shadows);
    target->m_Kill_Timer = 1.0f;  // a stand-in target, swept after this frame
    target->m_Box.half_size.Set(30, 30, 30);
    const int pieces = name == "box" ? 3 : 10;
    for (int i = 0; i < pieces; ++i) {
      CVector3 offset;
      CWorld_Object* piece = nullptr;
      if (name == "box") {
        auto* p = Take<CDebris_Target_Box>(CDebris_Target_Box::kType);
        if (!p || !p->Spawn(i, target, &offset)) return false;
        piece = p;
      } else {
        auto* p = Take<CDebris_Target_Brick>(CDebris_Target_Brick::kType);
        if (!p || !p->Spawn(i, target, nullptr, &offset)) return false;
        piece = p;
      }
      Launch(piece, CVector3{c.x + offset.x * 1.5f, c.y + 120.0f + offset.y, c.z + offset.z * 4.0f},
             CVector3{offset.x * 2.0f, 60.0f, 30.0f});
    }
  } else if (name == "mark") {
    for (int i = 0; i < 2; ++i) {
      auto* mark = Take<CDebris_Target_Ground_Proj>(CDebris_Target_Ground_Proj::kType);
      if (!mark) return false;
      mark->Spawn(i, CVector3{c.x - 80.0f + 160.0f * i, c.y, c.z}, i == 0 ? 0xFFFFD040 : 0xFF40C0FF);
      mark->Set_Position(CVector3{c.x - 80.0f + 160.0f * i, c.y + 2.0f, c.z});
      mark->m_View_Radius = 100.0f;
      g_World.Add_Object(1, mark);
    }
  } else if (name == "sparkler") {
    for (int i = 0; i < 3; ++i) {
      auto* flash = Take<CDebris_Target_Sparkler>(CDebris_Target_Sparkler::kType);
      if (!flash) return false;
      const float colours[3][4] = {{1, 1, 0.8f, 0.3f}, {1, 0.4f, 1, 0.5f}, {1, 0.5f, 0.8f, 1}};
      flash->Spawn(CColor4{colours[i][0], colours[i][1], colours[i][2], colours[i][3]});
      flash->Set_Position(CVector3{c.x - 100.0f + 100.0f * i, c.y + 40.0f + 30.0f * i, c.z});
      g_World.Add_Object(1, flash);
    }
  } else {
    return false;
  }
  return true;
}

}  // namespace

const std::vector<std::string>& Fx_Group_Names() {
  static const std::vector<std::string> names = {"particles", "sparks", "shadows",  "projection", "quads",
                                                 "laser",     "bolts",  "trail",    "crystal",    "dirt",
                                                 "box",       "brick",  "mark",     "sparkler"};
  return names;
}

bool Show_Fx_Group(const std::string& name, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  if (!g_World.Has_Terrain()) return fail("fx needs a launched world");
  Place_Camera();
  const std::pair<const char*, Group> groups[] = {
      {"particles", Group::Particles}, {"sparks", Group::Sparks}, {"shadows", Group::Shadows},
      {"projection", Group::Projection}, {"quads", Group::Quads}, {"laser", Group::Laser},
      {"bolts", Group::Bolts}, {"trail", Group::Trail}};
  for (const auto& [group_name, group] : groups)
    if (name == group_name) {
      Add_Showcase(group);
      return true;
    }
  for (const char* debris : {"crystal", "dirt", "box", "brick", "mark", "sparkler"})
    if (name == debris) return Show_Debris(name) || fail("no free debris for " + name);
  return fail("unknown effect group " + name);
}

bool Show_Screen_Fx(int kind, std::string* error) {
  if (kind < 0 || kind >= CScreen_FX_Mgr::kKind_Count) {
    if (error) *error = "screen effect kinds are 0-24";
    return false;
  }
  CScreen_FX_Mgr& fx = g_Screen_FX_Mgr;
  if (g_World.Has_Terrain()) Place_Camera();
  const CVector3 ground = Ground_Point(400.0f);
  switch (kind) {
    case 0: case 1: case 2: fx.Add_Effect(kind, 4.0f, CColor4::Zero, CColor4::Zero, 1.0f, 0.0f); break;
    case 3: case 16: case 17: case 21: case 23: fx.Add_Effect_2(kind, 4.0f, 1.0f); break;
    case 4: fx.Add_Effect_2(kind, 4.0f, 0.0f); break;
    case 5: fx.Add_Effect_4(kind, 4.0f, "Target practice begins"); break;
    case 6: fx.Add_Effect_4(kind, 4.5f, "Shields breached"); break;
    case 7: fx.Add_Effect_4(kind, 5.0f, "Northern Relay"); break;
    case 8: fx.Add_Effect_4(kind, 4.0f, "Level complete"); break;
    case 9: case 10: fx.Add_Effect_2(kind, 4.0f, 0.0f); break;
    case 11: case 12: fx.Add_Effect(kind, 2.0f, CColor4{0.6f, 1.0f, 0.5f, 0.7f}, CColor4::Zero, 0.0f, 0.0f); break;
    case 13: fx.Add_Effect_2(kind, 3.0f, 1.0f); break;
    case 14: fx.Add_Effect_3(kind, 3.0f, ground, CVector3{1.0f, 0.8f, 0.4f}, 0.002f, 0.12f); break;
    case 15: case 18: fx.Add_Effect(kind, 4.0f, CColor4{1.0f, 1.0f, 0.6f, 0.2f}, CColor4::Zero, 0.0f, 0.0f); break;
    case 19: fx.Add_Effect_5(kind, 4.0f, 0xFF802060); break;
    case 20: fx.Add_Effect_2(kind, 4.0f, 0.6f); break;
    case 22: fx.Add_Effect_2(kind, 6.0f, 40.0f); break;
    case 24: {
      const CVector3 from{ground.x + 150.0f, ground.y + 10.0f, ground.z};
      fx.Add_Effect_3(kind, 3.0f, from, CVector3{0.4f, 1.0f, 0.6f}, 0.8f, 0.01f);
      break;
    }
    default: break;
  }
  return true;
}

}  // namespace vt_test
