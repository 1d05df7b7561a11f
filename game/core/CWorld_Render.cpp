// The world's drawing: lights and flash, mirror walls, the terrain tiles around the camera with
// their reflections, the render lists filled from the tiles' grid cells, the mirror pass, the
// edge fences, and the layers drawn over them.
#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CGame_State.h"
#include "game/core/CWorld.h"
#include "game/core/CWorld_Decal_Mgr.h"
#include "game/core/Fence_Reach.h"
#include "game/fx/CParticle_Add_Mgr.h"
#include "game/fx/CParticle_Basic_Mgr.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/fx/CSpark_Mgr.h"
#include "game/player/CBullet_Machine_Mgr.h"
#include "game/player/CPlayer.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CText_Mgr.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/grid_mesh.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"

namespace {

constexpr float kWall_Reach = 5000.0f;
constexpr float kWall_Top = 5000.0f;
constexpr float kDeep_Floor = -2000.0f;
constexpr float kFence_Top = 2000.0f;
constexpr uint32_t kWhite = 0xFFFFFFFF;
// The mirror walls are untextured: their glassy tint is their vertex colour.
constexpr uint32_t kWall_Color = 0x4090B0FF;
constexpr uint32_t kSim_Kind_Training = 1;

// Render style pass modes: depth tested and written, depth tested only; no blending.
constexpr uint32_t kDepth_Test_And_Write = 0;
constexpr uint32_t kDepth_Test_Only = 1;
constexpr uint32_t kBlend_None = 0;

// Game-mode flag bits that close one side of the world to reflections and fences.
constexpr uint32_t kSide_Low_Z = 0x01;
constexpr uint32_t kSide_High_Z = 0x02;
constexpr uint32_t kSide_Low_X = 0x04;
constexpr uint32_t kSide_High_X = 0x08;

// (a + b) x s, each component first raised to 0.
CVector3 Lit_Color(const CVector3& a, const CVector3& b, float s) {
  return CVector3{std::max(0.0f, a.x + b.x) * s, std::max(0.0f, a.y + b.y) * s, std::max(0.0f, a.z + b.z) * s};
}

CMatrix4x4 Identity_Matrix() {
  CMatrix4x4 m;
  m.Set_Identity();
  return m;
}

// The low end of a tile range: truncated toward zero, and one tile lower below 1 so that the
// first negative tile is not lost to the truncation.
float Low_Tile(float coordinate) {
  float tile = std::trunc(coordinate);
  if (coordinate < 1.0f) tile -= 1.0f;
  return tile;
}

int Clamp_Tile(float tile, int low, int high) {
  if (!(tile >= static_cast<float>(low))) return low;
  if (tile > static_cast<float>(high)) return high;
  return static_cast<int>(tile);
}

bool In_Frustum(const CPlane planes[6], const CVector3& point, float radius) {
  for (int i = 0; i < 6; ++i)
    if (planes[i].Distance(point) < -radius) return false;
  return true;
}

// A quad of two triangles, corners in order around it.
void Put_Quad(DrawPrimFlatTriangle* out, const CVector3& a, const CVector3& b, const CVector3& c, const CVector3& d) {
  out[0] = DrawPrimFlatTriangle{{a, b, c}, kWall_Color};
  out[1] = DrawPrimFlatTriangle{{a, c, d}, kWall_Color};
}

// The style's first pass: depth tested (less or equal) and not written.
bool Style_Tests_Depth_Only(const CD3DRenderStyle* style) {
  RenderPassDesc pass{};
  return style && style->GetPass(0, &pass) && pass.DepthMode == kDepth_Test_Only;
}

// The style's first pass writes depth and replaces the colour (no blending).
bool Style_Overwrites(const CD3DRenderStyle* style) {
  RenderPassDesc pass{};
  return style && style->GetPass(0, &pass) && pass.DepthMode == kDepth_Test_And_Write && pass.BlendMode == kBlend_None;
}

}  // namespace

void CWorld::Build_Reflections() {
  const float sx = m_Terrain.size_x, sz = m_Terrain.size_z;
  m_Reflections[0].Scaling(-1.0f, 1.0f, 1.0f);
  m_Reflections[1].Scaling(-1.0f, 1.0f, 1.0f).Set_Translation_XYZ(2.0f * sx, 0.0f, 0.0f);
  m_Reflections[2].Scaling(1.0f, 1.0f, -1.0f);
  m_Reflections[3].Scaling(1.0f, 1.0f, -1.0f).Set_Translation_XYZ(0.0f, 0.0f, 2.0f * sz);
  for (int i = 0; i < 4; ++i) {
    m_Mirrors[i].transform = m_Reflections[i];
    CVector3 r0, r1, r2;
    m_Reflections[i].Get_Axes(r0, r1, r2);
    m_Mirrors[i].turn.Set_Rows(r0, r1, r2);
  }
}

void CWorld::Build_Walls() {
  const float sx = m_Terrain.size_x, sz = m_Terrain.size_z;
  const float floor = (m_Desc.world_flags & kWorld_Deep_Walls) ? kDeep_Floor : 0.0f;
  const float top = kWall_Top;
  DrawPrimFlatTriangle* t = m_Walls;
  // Along the lines z = 0 and z = size z, beyond both ends.
  for (float z : {0.0f, sz}) {
    Put_Quad(t, {-kWall_Reach, floor, z}, {-kWall_Reach, top, z}, {0.0f, top, z}, {0.0f, floor, z});
    t += 2;
    Put_Quad(t, {sx, floor, z}, {sx, top, z}, {sx + kWall_Reach, top, z}, {sx + kWall_Reach, floor, z});
    t += 2;
  }
  // Along the lines x = 0 and x = size x, beyond both ends.
  for (float x : {0.0f, sx}) {
    Put_Quad(t, {x, floor, -kWall_Reach}, {x, top, -kWall_Reach}, {x, top, 0.0f}, {x, floor, 0.0f});
    t += 2;
    Put_Quad(t, {x, floor, sz}, {x, top, sz}, {x, top, sz + kWall_Reach}, {x, floor, sz + kWall_Reach});
    t += 2;
  }
  m_Walls_Built = true;
}

void CWorld::Set_Lights() {
  if (m_Flash.active) {
    m_Flash.amount += (m_Flash.inputs[0] * 0.45f + 0.25f) * m_Flash.inputs[2];
    const float glow = m_Flash.inputs[1];
    m_Ambient_Accumulator.x += 0.25f * glow;
    m_Ambient_Accumulator.y += 0.1f * glow;
    m_Ambient_Accumulator.z += 0.1f * glow;
    m_Diffuse_Accumulator.x += 0.75f * glow;
    m_Diffuse_Accumulator.y += 0.2f * glow;
    m_Diffuse_Accumulator.z += 0.2f * glow;
  }
  const float a = std::clamp(1.0f - m_Flash.amount, 0.0f, 1.0f) * std::clamp(1.0f - m_Light_Dimming, 0.0f, 1.0f);

  LightDesc main{};
  main.Kind = kLightDirectional;
  main.Vector = m_Desc.light_direction;
  // A zero direction would light nothing sensibly: straight down instead.
  if (!(main.Vector.Length() > 0.0f)) main.Vector.Set(0.0f, -1.0f, 0.0f);
  main.Vector.Normalize();
  const CVector3 diffuse = Lit_Color(m_Desc.light_color, m_Diffuse_Accumulator, a);
  main.Diffuse = CColor4{diffuse.x, diffuse.y, diffuse.z, a};
  main.Range = 500.0f;
  const CVector3 ambient = Lit_Color(m_Desc.ambient_color, m_Ambient_Accumulator, a);
  const CColor4 ambient_color{ambient.x, ambient.y, ambient.z, 1.0f};
  m_Ambient_Accumulator.Set(0.0f, 0.0f, 0.0f);
  m_Diffuse_Accumulator.Set(0.0f, 0.0f, 0.0f);
  if (!g_pRenderDevice) return;
  g_pRenderDevice->SetLight(0, &main);
  g_pRenderDevice->EnableLight(0, true);
  g_pRenderDevice->SetAmbientLight(&ambient_color);

  if (m_Flash.amount == 0.0f) {
    g_pRenderDevice->EnableLight(1, false);
    return;
  }
  LightDesc flash{};
  flash.Kind = kLightPoint;
  flash.Vector = g_Camera.Position();
  flash.Vector.y += 250.0f;
  const CVector3 color = Lit_Color(m_Desc.light_color, m_Diffuse_Accumulator, m_Flash.amount * 1.35f);
  flash.Diffuse = CColor4{color.x, color.y, color.z, 1.0f};
  flash.Attenuation[0] = 1.0f;
  flash.Range = 5000.0f;
  g_pRenderDevice->SetLight(1, &flash);
  g_pRenderDevice->EnableLight(1, true);
  m_Flash.amount = 0.0f;
}

void CWorld::Render(const CFrame_Info& frame, const float& unpaused_delta) {
  (void)unpaused_delta;
  Set_Lights();
  const bool walls = (m_Desc.world_flags & kWorld_Mirror_Walls) && m_Walls_Built;
  const bool walls_after_ground = walls && m_Shortcuts.walls_after_ground && Walls_Can_Follow_Ground();
  if (walls && !walls_after_ground) Draw_Walls();
  CPlane planes[6];
  g_Camera.Get_Frustum_Planes(planes);
  Render_Terrain_And_Lists(planes, g_Camera.Position(), g_Camera.Far());
  if (walls_after_ground) Draw_Walls_Where_Nothing_Is();
  Mirror_Pass();
  if (!(m_Desc.world_flags & kWorld_No_Edge_Fences)) Draw_Fences();
  g_Screen_FX_Mgr.Render_In_World();
  for (int i = 0; i < m_Opaque_Count; ++i) m_Opaque[i]->Render(frame.Delta);
  // The collision-pair list is never filled, so there are no pairs to release here.
  g_World_Decal_Mgr.Render(frame.Delta);
  for (int i = 0; i < m_Translucent_Count; ++i) m_Translucent[i].object->Render(frame.Delta);
  Render_Layers(frame);
}

void CWorld::Render_Layers(const CFrame_Info& frame) {
  g_Player.Render(frame);
  g_Particle_Basic_Mgr.Render(frame.Delta);
  g_Particle_Add_Mgr.Render(frame.Delta);
  g_Particle_Sparkle_Mgr.Render(frame.Delta);
  if (g_Bullet_Machine_Mgr.Is_Initialised()) g_Bullet_Machine_Mgr.Render();
  if (g_Spark_Mgr.Is_Initialised()) g_Spark_Mgr.Render();
  if (g_Score_Board_Mgr.Is_Active() && g_Game_State.m_Sim_Kind == kSim_Kind_Training)
    g_Score_Board_Mgr.Render_Frame();
  g_Player.Render_Overlay(frame);
  g_Text_Mgr.Render();
}

void CWorld::Draw_Walls() {
  CD3DRenderStyle* style = m_Styles[kStyle_Mirror_Wall];
  if (!g_pWorldDrawPrim || !style) return;
  CD3DDrawPrim& draw = *g_pWorldDrawPrim;
  draw.SetTransformType(kDrawPrimWorld);
  for (int stage = 0; stage < kDrawPrimStages; ++stage) draw.SetTexture(nullptr, stage);
  draw.SetRenderStyle(style);
  draw.DrawFlatTriangles(m_Walls, kWall_Triangles);
  draw.SetRenderStyle(nullptr);
}

// The glass walls are drawn first and the ground, real and reflected, overwrites them wherever
// it lies; so they may as well be drawn after it onto the pixels it left alone, which spares
// blending the large part of them that the ground covers. That gives the same picture when the
// walls are depth-tested without writing depth and the first pass of each ground style writes
// depth without blending; otherwise the walls keep their place in front.
bool CWorld::Walls_Can_Follow_Ground() const {
  return Style_Tests_Depth_Only(m_Styles[kStyle_Mirror_Wall]) && Style_Overwrites(m_Styles[kStyle_Ground]) &&
         Style_Overwrites(m_Styles[kStyle_Reflected_Ground]);
}

// At depth 1, the cleared depth, the walls' depth test passes only where nothing has been drawn.
void CWorld::Draw_Walls_Where_Nothing_Is() {
  D3DVIEWPORT8 viewport{};
  if (!g_pRenderDevice || !g_pRenderDevice->GetViewport(&viewport)) {
    Draw_Walls();
    return;
  }
  D3DVIEWPORT8 far_only = viewport;
  far_only.MinZ = far_only.MaxZ = 1.0f;
  g_pRenderDevice->SetViewport(&far_only);
  Draw_Walls();
  g_pRenderDevice->SetViewport(&viewport);
}

void CWorld::World_Textures(CDeviceTexture* out[4]) const {
  for (int i = 0; i < 4; ++i) out[i] = m_Textures[i] ? m_Textures[i]->m_pDeviceTexture : nullptr;
}

void CWorld::Draw_Tile(CGridMesh* mesh, const CMatrix4x4& world, CD3DRenderStyle* style) {
  if (!mesh || !style) return;
  CDeviceTexture* textures[4];
  World_Textures(textures);
  mesh->GetLODCount();
  mesh->SetLOD(0);
  mesh->Render(&world, style, textures);
}

void CWorld::Render_Terrain_And_Lists(const CPlane planes[6], const CVector3& camera, float far_distance) {
  if (++m_Frame_Stamp == 0) {
    // After a wrap no object may look listed already.
    for (CWorld_Object* head : m_Lists)
      for (CWorld_Object* object = head; object; object = object->m_Next) object->m_Draw_Stamp = 0;
    m_Frame_Stamp = 1;
  }
  m_Opaque_Count = m_Translucent_Count = m_Reflected_Count = 0;
  m_Tiles_Drawn = m_Reflected_Tiles_Drawn = 0;
  if (!Has_Terrain() || !m_Grid.Is_Created()) return;

  const int tiles_x = m_Terrain.tiles_x, tiles_z = m_Terrain.tiles_z;
  const bool mirrored = (m_Desc.world_flags & kWorld_Mirror_Walls) != 0;
  const int min_c = mirrored ? -tiles_x : 0, max_c = mirrored ? 2 * tiles_x - 1 : tiles_x - 1;
  const int min_r = mirrored ? -tiles_z : 0, max_r = mirrored ? 2 * tiles_z - 1 : tiles_z - 1;
  const int low_c = Clamp_Tile(Low_Tile((camera.x - far_distance) * m_Tiles_Per_Unit_X), min_c, max_c);
  const int high_c = Clamp_Tile(std::trunc((camera.x + far_distance) * m_Tiles_Per_Unit_X), min_c, max_c);
  const int low_r = Clamp_Tile(Low_Tile((camera.z - far_distance) * m_Tiles_Per_Unit_Z), min_r, max_r);
  const int high_r = Clamp_Tile(std::trunc((camera.z + far_distance) * m_Tiles_Per_Unit_Z), min_r, max_r);
  const uint32_t closed = g_Game_State.m_Mode_Flags;
  const bool flash = m_Flash.active;
  const CMatrix4x4 identity = Identity_Matrix();

  for (int r = low_r; r <= high_r; ++r) {
    for (int c = low_c; c <= high_c; ++c) {
      const bool column_out = c < 0 || c >= tiles_x, row_out = r < 0 || r >= tiles_z;
      if (column_out && row_out) continue;
      int side = -1, source_c = c, source_r = r;
      if (c < 0) {
        if (closed & kSide_Low_X) continue;
        side = 0;
        source_c = -1 - c;
      } else if (c >= tiles_x) {
        if (closed & kSide_High_X) continue;
        side = 1;
        source_c = 2 * tiles_x - 1 - c;
      } else if (r < 0) {
        if (closed & kSide_Low_Z) continue;
        side = 2;
        source_r = -1 - r;
      } else if (r >= tiles_z) {
        if (closed & kSide_High_Z) continue;
        side = 3;
        source_r = 2 * tiles_z - 1 - r;
      }
      const float source_x = (static_cast<float>(source_c) + 0.5f) * m_Tile_X;
      const float source_z = (static_cast<float>(source_r) + 0.5f) * m_Tile_Z;
      const CVector3 centre{(static_cast<float>(c) + 0.5f) * m_Tile_X, Get_Height(source_x, source_z),
                            (static_cast<float>(r) + 0.5f) * m_Tile_Z};
      if (!In_Frustum(planes, centre, m_Tile_Radius)) continue;
      const size_t index = static_cast<size_t>(source_r) * static_cast<size_t>(tiles_x) + static_cast<size_t>(source_c);
      CGridMesh* mesh = index < m_Tile_Meshes.size() ? m_Tile_Meshes[index] : nullptr;
      if (side < 0) {
        Draw_Tile(mesh, identity, m_Styles[kStyle_Ground]);
        if (flash) Draw_Tile(mesh, identity, m_Styles[kStyle_Ground_Flash]);
        ++m_Tiles_Drawn;
      } else {
        // Every vertex, as the world's own tiles: a coarser grid moves the hills' outlines
        // against the sky and the fences by whole grey steps.
        Draw_Tile(mesh, m_Reflections[side], m_Styles[kStyle_Reflected_Ground]);
        ++m_Reflected_Tiles_Drawn;
      }
      List_Tile_Objects(source_c, source_r, side, planes, camera);
    }
  }
  if (mirrored && m_Embedded_Mesh && m_Styles[kStyle_Ground]) {
    CDeviceTexture* textures[4];
    World_Textures(textures);
    m_Embedded_Mesh->Render(&identity, m_Styles[kStyle_Ground], textures, nullptr, nullptr);
  }
}

// A tile is cut into m_Grid_Cells_Per_Tile x m_Grid_Cells_Per_Tile grid cells: every object
// filed in any of them is over the tile.
void CWorld::List_Tile_Objects(int column, int row, int side, const CPlane planes[6], const CVector3& camera) {
  const int cuts = m_Grid_Cells_Per_Tile;
  for (int cell_row = row * cuts; cell_row < (row + 1) * cuts; ++cell_row) {
    for (int cell_column = column * cuts; cell_column < (column + 1) * cuts; ++cell_column) {
      m_Grid.For_Each_In_Cell(cell_column, cell_row, [&](CWorld_Object* object) {
        if (object->m_Draw_Stamp != m_Frame_Stamp) {
          object->m_Draw_Stamp = m_Frame_Stamp;
          object->m_Mirror_Mask = 0;
        }
        if (side < 0)
          List_Object(object, planes, camera);
        else if (object->m_State_Flags & kState_Reflected)
          List_Reflected_Object(object, side, planes);
      });
    }
  }
}

namespace {
constexpr uint8_t kListed_In_World = 0x10;
}  // namespace

void CWorld::List_Object(CWorld_Object* object, const CPlane planes[6], const CVector3& camera) {
  if (object->m_Mirror_Mask & kListed_In_World) return;
  object->m_Mirror_Mask |= kListed_In_World;
  if (!(object->m_State_Flags & kState_Never_Culled) && !In_Frustum(planes, object->m_Position, object->m_View_Radius))
    return;
  if (!(object->m_State_Flags & kState_Translucent)) {
    // Objects past the list's end are not drawn this frame.
    if (m_Opaque_Count < kMax_Opaque) m_Opaque[m_Opaque_Count++] = object;
    return;
  }
  if (m_Translucent_Count >= kMax_Translucent) return;
  CVector3 offset;
  const float distance_sq = object->m_Position.Subtract(camera, offset).Length_Squared();
  // Farthest first; an object as far as one already listed goes after it.
  int at = 0;
  while (at < m_Translucent_Count && m_Translucent[at].distance_sq >= distance_sq) ++at;
  std::move_backward(m_Translucent + at, m_Translucent + m_Translucent_Count, m_Translucent + m_Translucent_Count + 1);
  m_Translucent[at] = Translucent_Entry{object, distance_sq};
  ++m_Translucent_Count;
}

void CWorld::List_Reflected_Object(CWorld_Object* object, int side, const CPlane planes[6]) {
  const uint8_t bit = static_cast<uint8_t>(1u << side);
  if ((object->m_Mirror_Mask & bit) || m_Reflected_Count >= kMax_Reflected) return;
  object->m_Mirror_Mask |= bit;
  CVector3 image = object->m_Position;
  image.Transform_By_Matrix4(m_Reflections[side]);
  if (!(object->m_State_Flags & kState_Never_Culled) && !In_Frustum(planes, image, object->m_View_Radius)) return;
  m_Reflected[m_Reflected_Count++] = Reflected_Entry{object, side};
}

void CWorld::Mirror_Pass() {
  if (m_Reflected_Count == 0) return;
  LightDesc main{};
  const bool have_light = g_pRenderDevice && g_pRenderDevice->GetLight(0, &main);
  for (int i = 0; i < m_Reflected_Count; ++i) {
    const CWorld_Mirror& mirror = m_Mirrors[m_Reflected[i].side];
    if (have_light) {
      LightDesc turned = main;
      turned.Vector.Rotate(mirror.turn);
      g_pRenderDevice->SetLight(0, &turned);
    }
    m_Reflected[i].object->Render_Reflection(mirror);
    if (have_light) g_pRenderDevice->SetLight(0, &main);
  }
}

void CWorld::Draw_Fences() {
  const bool flash = m_Flash.active;
  CD3DRenderStyle* style = m_Styles[flash ? kStyle_Fence_Flash : kStyle_Fence];
  if (!g_pWorldDrawPrim || !style) return;
  const float sx = m_Terrain.size_x, sz = m_Terrain.size_z;
  const float floor = (m_Desc.world_flags & kWorld_Deep_Walls) ? kDeep_Floor : 0.0f;
  const CVector3& camera = g_Camera.Position();
  const float far_distance = g_Camera.Far();
  const uint32_t closed = g_Game_State.m_Mode_Flags;
  // u runs up the fence, v along it, measured against the world's perimeter half.
  const float v_x = sx / (sx + sz), v_z = sz / (sx + sz);
  struct Edge {
    uint32_t side_bit;
    float distance;
    CVector3 from, to;
    float v_end;
  };
  const Edge edges[4] = {
      {kSide_Low_X, std::fabs(camera.x), {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, sz}, v_z},
      {kSide_Low_Z, std::fabs(camera.z), {0.0f, 0.0f, 0.0f}, {sx, 0.0f, 0.0f}, v_x},
      {kSide_High_X, std::fabs(sx - camera.x), {sx, 0.0f, 0.0f}, {sx, 0.0f, sz}, v_z},
      {kSide_High_Z, std::fabs(sz - camera.z), {0.0f, 0.0f, sz}, {sx, 0.0f, sz}, v_x},
  };
  // The quads end where their texture turns clear for good, with u cut to match.
  const float shown = m_Shortcuts.fences_cut_short ? Fence_Reach(style) : 1.0f;
  if (!(shown > 0.0f)) return;
  const float top = floor + shown * (kFence_Top - floor);
  DrawPrimFlatTexQuad quads[4];
  uint32_t count = 0;
  for (const Edge& e : edges) {
    if (!(e.distance < far_distance) || (closed & e.side_bit)) continue;
    DrawPrimFlatTexQuad& q = quads[count++];
    q.v[0] = TexPosition{e.from.x, floor, e.from.z, 0.0f, 0.0f};
    q.v[1] = TexPosition{e.from.x, top, e.from.z, shown, 0.0f};
    q.v[2] = TexPosition{e.to.x, top, e.to.z, shown, e.v_end};
    q.v[3] = TexPosition{e.to.x, floor, e.to.z, 0.0f, e.v_end};
    q.color = kWhite;
  }
  if (count == 0) return;
  CD3DDrawPrim& draw = *g_pWorldDrawPrim;
  draw.SetTransformType(kDrawPrimWorld);
  draw.SetTexture(m_Textures[2], 0);
  draw.SetTexture(m_Textures[3], 1);
  draw.SetRenderStyle(style);
  draw.DrawFlatTexQuads(quads, count);
  draw.SetRenderStyle(nullptr);
  draw.SetTexture(nullptr, 0);
  draw.SetTexture(nullptr, 1);
}

float CWorld::Fence_Reach(const CD3DRenderStyle* style) {
  CDeviceTexture* texture = m_Textures[2] ? m_Textures[2]->m_pDeviceTexture : nullptr;
  if (texture != m_Fence_Scanned) {
    m_Fence_Scanned = texture;
    m_Fence_Clear_U = Fence_Clear_U(Fence_Alpha_Columns(texture));
  }
  return Fence_Shown_Fraction(style, m_Fence_Clear_U);
}
