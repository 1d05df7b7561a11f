#include "game/core/CWorld.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "game/core/CGame_State.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld_Decal_Mgr.h"
#include "game/core/CWorld_Object.h"
#include "game/fx/CGen_Projector.h"
#include "game/fx/CShadowProjector.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "game/sim/CText_Mgr.h"
#include "platform/system/memory.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/math/geometry.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/grid_mesh.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"

CWorld g_World;
bool g_Game_Paused = false;
CD3DDrawPrim* g_pWorldDrawPrim = nullptr;
CD3DRenderStyles* g_pWorldRenderStyles = nullptr;

namespace {
CInterfaceHolder<CD3DDrawPrim> g_World_DrawPrim_Holder("IKSDrawPrim.Default", &g_pWorldDrawPrim);
CInterfaceHolder<CD3DRenderStyles> g_World_Styles_Holder("IKSRenderStyles.Default", &g_pWorldRenderStyles);
}  // namespace

void Set_Game_Paused(const bool& paused) {
  if (paused == g_Game_Paused) return;
  if (g_Menu_Mgr.Is_Initialised()) g_Menu_Mgr.On_Pause(paused);
  if (g_Music_Track.Is_Running()) g_Music_Track.Set_Pause(paused);
  g_Game_Paused = paused;
}

namespace {

constexpr uint32_t kHeader_Size = 20;
constexpr uint32_t kTile_Vertex_Size = 32;  // position, normal, one texture-coordinate set
constexpr float kMax_World_Size = 1.0e6f;
constexpr int32_t kMax_Tiles_Per_Side = 256;
constexpr int32_t kMax_Tiles = 4096;
constexpr int32_t kMax_Tile_Grid = 257;
constexpr int32_t kMax_Vertices_Per_Side = 4097;
constexpr int64_t kMax_Vertices = int64_t{1} << 20;
constexpr int64_t kMax_Tile_Bytes = int64_t{64} << 20;
constexpr uint32_t kRenderable_Rigid_Mesh = 4;
constexpr uint32_t kMax_Mesh_Vertices = 65536;
constexpr uint32_t kMax_Mesh_Triangles = 1u << 20;
constexpr float kTerrain_Hit_Distance_Sq = 1.0e-3f;
constexpr uint32_t kTile_Content = 11;  // position, normal, one texture set
constexpr uint32_t kRenderable_Body_Offset = 24;  // after the header and the type word

// The world's styles with their roles' ids, in the order of the style slots.
constexpr uint32_t kStyle_Ids[kWorld_Style_Count] = {0x22000017, 0x22000018, 0x22000142,
                                                     0x22000019, 0x22000143, 0x22000016};

bool Read_Exact(CStream* stream, void* buffer, uint32_t size) {
  return size == 0 || stream->Read(buffer, size) == size;
}

template <class T>
bool Read_Value(CStream* stream, T& value) {
  return Read_Exact(stream, &value, sizeof(T));
}

// Bytes left after the current position, or UINT32_MAX when the stream cannot tell.
uint64_t Bytes_Left(CStream* stream) {
  uint32_t pos = 0, len = 0;
  if (!stream->GetPos(&pos) || !stream->GetLen(&len) || len < pos) return UINT32_MAX;
  return len - pos;
}

bool All_Finite(const float* values, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (!std::isfinite(values[i])) return false;
  return true;
}

// Bytes of one vertex of a renderable stream's vertex-format word.
uint32_t Vertex_Size(uint32_t format) {
  uint32_t size = 0;
  if (format & 0x01) size += 12;
  if (format & 0x02) size += 12;
  if (format & 0x08) size += 4;
  if (format & 0x04) size += 4;
  for (int bit = 7; bit >= 4; --bit) {
    if (format & (1u << bit)) {
      size += 8 * static_cast<uint32_t>(bit - 3);
      break;
    }
  }
  static const uint32_t kExtra[3] = {4, 12, 16};
  if (format & 0x100) size += 12;
  for (int i = 0; i < 3; ++i)
    if (format & (0x200u << i)) {
      size += kExtra[i];
      break;
    }
  for (int i = 0; i < 3; ++i)
    if (format & (0x1000u << i)) {
      size += kExtra[i];
      break;
    }
  return size;
}

// Reads an embedded renderable (header, type 4 and the rigid-mesh body) and keeps its bytes.
const char* Read_Embedded_Object(CStream* stream, std::vector<uint8_t>& bytes) {
  uint32_t head[6 + 5 + 4 + 1];  // header words, type, five words, four formats, user value
  if (!Read_Exact(stream, head, sizeof(head))) return "embedded object truncated";
  if (head[5] != kRenderable_Rigid_Mesh) return "embedded object is not a rigid mesh";
  const uint32_t vertices = head[7];
  const uint32_t triangles = head[8];
  if (vertices > kMax_Mesh_Vertices || triangles > kMax_Mesh_Triangles) return "embedded object too large";
  uint64_t body = uint64_t{triangles} * 6;
  for (int s = 0; s < 4; ++s) body += uint64_t{vertices} * Vertex_Size(head[11 + s]);
  if (body > Bytes_Left(stream)) return "embedded object truncated";
  bytes.resize(sizeof(head) + body);
  std::memcpy(bytes.data(), head, sizeof(head));
  if (!Read_Exact(stream, bytes.data() + sizeof(head), static_cast<uint32_t>(body)))
    return "embedded object truncated";
  return nullptr;
}

const char* Check_Header(const CWorld_Terrain_Header& h) {
  if (!std::isfinite(h.size_x) || !std::isfinite(h.size_z) || !(h.size_x > 0.0f) || !(h.size_z > 0.0f) ||
      h.size_x > kMax_World_Size || h.size_z > kMax_World_Size)
    return "bad world size";
  if (h.tiles_x < 1 || h.tiles_z < 1 || h.tiles_x > kMax_Tiles_Per_Side || h.tiles_z > kMax_Tiles_Per_Side ||
      h.tiles_x * h.tiles_z > kMax_Tiles)
    return "bad tile count";
  if (h.tile_grid_size < 2 || h.tile_grid_size > kMax_Tile_Grid) return "bad tile grid size";
  if (h.vertices_x < 2 || h.vertices_z < 2 || h.vertices_x > kMax_Vertices_Per_Side ||
      h.vertices_z > kMax_Vertices_Per_Side || int64_t{h.vertices_x} * h.vertices_z > kMax_Vertices)
    return "bad vertex count";
  const int64_t tile_bytes = int64_t{h.tile_grid_size} * h.tile_grid_size * kTile_Vertex_Size;
  if (tile_bytes * h.tiles_x * h.tiles_z > kMax_Tile_Bytes) return "tile data too large";
  return nullptr;
}

// Cell index of a coordinate: raised to 0, truncated, clamped to [0, count - 2].
int Cell_Of(float coordinate, float cells_per_unit, int vertices) {
  const float cell = coordinate * cells_per_unit;
  if (!(cell > 0.0f)) return 0;
  if (!(cell < static_cast<float>(vertices - 2))) return vertices - 2;
  return static_cast<int>(cell);
}

}  // namespace

CWorld::~CWorld() {
  Counted_Free(m_Heights);
  Counted_Free(m_Positions);
  Counted_Free(m_Normals);
}

bool CWorld::Init_Managers() {
  if (!RenderObjectDeviceExists()) return false;
  if (!g_World_Decal_Mgr.Init() || !CShadowProjector::Init() || !g_Gen_Projector.Init()) {
    Term();
    return false;
  }
  m_Managers_Ready = true;
  return true;
}

bool CWorld::Init(const CWorld_Desc& desc) {
  m_Desc = desc;
  if (!g_Game_State.Mirrors_Enable) {
    m_Desc.world_flags &= ~kWorld_Mirror_Walls;
    m_Desc.texture_ids[2] = kFallback_Fence_Texture;
  }
  m_Flash = CWorld_Flash();
  Set_Lights();
  if (!g_pRezMgr) return false;
  CFileStream* stream = g_pRezMgr->OpenRawFile(m_Desc.world_id);
  if (!stream) return false;
  const bool loaded = Load_Terrain(stream);
  g_pRezMgr->CloseRawFile(stream);
  // A failed load has freed the terrain; the pools and managers stay as they are, so that the
  // menus and the next launch still find them.
  if (!loaded) return false;
  m_Walls_Built = false;
  if (m_Desc.world_flags & kWorld_Mirror_Walls) Build_Walls();
  m_Flash = CWorld_Flash();
  m_World_Ready = true;
  return true;
}

void CWorld::Term() {
  for (CObject_Pool* pool : g_Object_Pools)
    if (pool) pool->Term();
  g_World_Decal_Mgr.Term();
  CShadowProjector::Term();
  g_Gen_Projector.Term();
  m_Managers_Ready = false;
}

void CWorld::Reset() {
  Return_All_Objects();
  Free_Terrain();
  g_World_Decal_Mgr.Clear();
  m_Walls_Built = false;
  m_World_Ready = false;
}

bool CWorld::Load_Terrain(CStream* stream) {
  Free_Terrain();
  if (Read_Terrain(stream) && Load_Drawing()) {
    for (Decal_Slot& slot : m_Decal_Slots) slot.used = false;
    m_Free_Decal_Slots = kTerrain_Decal_Slots;
    return true;
  }
  Free_Terrain();
  return false;
}

namespace {

// Applies a scale to the texture coordinates of stage 0 (and 1) of every pass of the style.
void Scale_Style_Coordinates(CD3DRenderStyle* style, int stage, float su, float sv) {
  for (uint32_t i = 0; i < style->GetPassCount(); ++i) {
    RenderPassDesc pass;
    if (!style->GetPass(i, &pass)) continue;
    TextureStageDesc& st = pass.Stages[stage];
    st.TransformOn = 1;
    std::fill(std::begin(st.Matrix), std::end(st.Matrix), 0.0f);
    st.Matrix[0] = su;
    st.Matrix[5] = sv;
    st.Matrix[10] = 1.0f;
    st.Matrix[15] = 1.0f;
    style->SetPass(i, pass);
  }
}

}  // namespace

// The tile meshes, the embedded mesh, the styles and the textures; without a graphics device
// the terrain is loaded for its queries alone.
bool CWorld::Load_Drawing() {
  if (!RenderObjectDeviceExists()) return true;
  auto fail = [](const char* reason) {
    Show_Message("CWorld::Couldn't load world (%s).", reason);
    return false;
  };
  const uint32_t grid = static_cast<uint32_t>(m_Terrain.tile_grid_size);
  const float extents[3] = {1.0f, 1.0f, 1.0f};
  for (const std::vector<uint8_t>& bytes : m_Tile_Data) {
    auto* mesh = static_cast<CGridMesh*>(g_pRenderDevice->CreateRenderObject(CGridMesh::kType));
    if (!mesh) return fail("cannot create a tile mesh");
    m_Tile_Meshes.push_back(mesh);
    if (!mesh->Create(kTile_Content, grid, grid, extents)) return fail("cannot set up a tile mesh");
    CMemoryStream* stream = CreateMemoryStream(0);
    if (!stream) return fail("no memory for a tile");
    stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    stream->SeekTo(0);
    const bool filled = mesh->LockVertices() && mesh->FillVertices(stream, static_cast<uint32_t>(bytes.size()));
    stream->Release();
    if (!filled || !mesh->UnlockVertices()) return fail("tile data does not fit its mesh");
  }
  if (!m_Embedded_Object.empty()) {
    auto* mesh = static_cast<CRigidMesh*>(g_pRenderDevice->CreateRenderObject(CRigidMesh::kType));
    if (!mesh) return fail("cannot create the embedded object");
    m_Embedded_Mesh = mesh;
    CMemoryStream* stream = CreateMemoryStream(0);
    if (!stream) return fail("no memory for the embedded object");
    stream->Write(m_Embedded_Object.data() + kRenderable_Body_Offset,
                  static_cast<uint32_t>(m_Embedded_Object.size() - kRenderable_Body_Offset));
    stream->SeekTo(0);
    const bool loaded = mesh->Load(stream);
    stream->Release();
    if (!loaded) return fail("embedded object unreadable");
  }

  if (!g_pWorldRenderStyles) return fail("no render styles");
  for (int i = 0; i < kWorld_Style_Count; ++i) {
    m_Styles[i] = g_pWorldRenderStyles->GetRenderStyle(kStyle_Ids[i]);
    if (!m_Styles[i]) return fail("missing render style");
  }
  const float* scale = m_Desc.texture_scales;
  const float sx = m_Terrain.size_x, sz = m_Terrain.size_z;
  Scale_Style_Coordinates(m_Styles[kStyle_Ground], 0, scale[0] * sx * 0.003f, scale[1] * sz * 0.003f);
  Scale_Style_Coordinates(m_Styles[kStyle_Reflected_Ground], 0, scale[0] * sx * 0.003f, scale[1] * sz * 0.003f);
  Scale_Style_Coordinates(m_Styles[kStyle_Ground_Flash], 0, scale[0] * sx * 0.002f, scale[1] * sz * 0.002f);
  Scale_Style_Coordinates(m_Styles[kStyle_Fence], 0, scale[2] * 5.0f, (sx + sz) * scale[3] * 0.00125f);
  Scale_Style_Coordinates(m_Styles[kStyle_Fence_Flash], 0, scale[2] * 5.0f, (sx + sz) * scale[3] * 0.00125f);
  Scale_Style_Coordinates(m_Styles[kStyle_Fence_Flash], 1, scale[2] * 2.0f, (sx + sz) * scale[3] * 0.0005f);

  const uint32_t texture_ids[4] = {m_Desc.texture_ids[0], m_Desc.texture_ids[1], m_Desc.texture_ids[2],
                                   kFence_Detail_Texture};
  for (int i = 0; i < 4; ++i) {
    m_Textures[i] = g_pTexture ? g_pTexture->GetTexture(texture_ids[i]) : nullptr;
    if (!m_Textures[i]) {
      Show_Message("CWorld::Couldn't load world texture.");
      return false;
    }
  }
  return true;
}

void CWorld::Free_Drawing() {
  for (CGridMesh* mesh : m_Tile_Meshes)
    if (g_pRenderDevice) g_pRenderDevice->DestroyRenderObject(mesh);
  m_Tile_Meshes.clear();
  if (m_Embedded_Mesh && g_pRenderDevice) g_pRenderDevice->DestroyRenderObject(m_Embedded_Mesh);
  m_Embedded_Mesh = nullptr;
  for (CD3DRenderStyle*& style : m_Styles) {
    if (style && g_pWorldRenderStyles) g_pWorldRenderStyles->ReleaseRenderStyle(style);
    style = nullptr;
  }
  for (CTextureData*& texture : m_Textures) {
    if (texture && g_pTexture) g_pTexture->ReleaseTexture(texture);
    texture = nullptr;
  }
  m_Fence_Scanned = nullptr;
}

bool CWorld::Read_Terrain(CStream* stream) {
  auto fail = [](const char* reason) {
    Show_Message("CWorld::Couldn't load world (%s).", reason);
    return false;
  };
  uint8_t header[kHeader_Size];
  CWorld_Terrain_Header& h = m_Terrain;
  if (!stream || !Read_Exact(stream, header, kHeader_Size) || !Read_Value(stream, h.size_x) ||
      !Read_Value(stream, h.size_z) || !Read_Value(stream, h.tiles_x) || !Read_Value(stream, h.tiles_z) ||
      !Read_Value(stream, h.tile_grid_size) || !Read_Value(stream, h.vertices_x) ||
      !Read_Value(stream, h.vertices_z) || !Read_Value(stream, h.flags))
    return fail("header truncated");
  if (const char* reason = Check_Header(h)) return fail(reason);

  m_Cell_X = h.size_x / static_cast<float>(h.vertices_x - 1);
  m_Cell_Z = h.size_z / static_cast<float>(h.vertices_z - 1);
  m_Cells_Per_Unit_X = 1.0f / m_Cell_X;
  m_Cells_Per_Unit_Z = 1.0f / m_Cell_Z;
  m_Tile_X = h.size_x / static_cast<float>(h.tiles_x);
  m_Tile_Z = h.size_z / static_cast<float>(h.tiles_z);
  m_Tiles_Per_Unit_X = 1.0f / m_Tile_X;
  m_Tiles_Per_Unit_Z = 1.0f / m_Tile_Z;
  m_Tile_Radius = std::sqrt(2.0f * m_Tile_X * m_Tile_X);
  Build_Reflections();

  const int cuts = CWorld_Grid::Cells_Per_Tile(m_Tile_X, m_Tile_Z, h.tiles_x, h.tiles_z);
  m_Grid_Cells_Per_Tile = cuts;
  if (!m_Grid.Create(h.tiles_x * cuts, h.tiles_z * cuts, m_Tiles_Per_Unit_X * static_cast<float>(cuts),
                     m_Tiles_Per_Unit_Z * static_cast<float>(cuts)))
    return fail("no memory for the object grid");

  const size_t vertices = static_cast<size_t>(h.vertices_x) * static_cast<size_t>(h.vertices_z);
  if (vertices * 28 > Bytes_Left(stream)) return fail("vertex data truncated");
  m_Heights = static_cast<float*>(Counted_Alloc(vertices * sizeof(float)));
  m_Positions = static_cast<CVector3*>(Counted_Alloc(vertices * sizeof(CVector3)));
  m_Normals = static_cast<CVector3*>(Counted_Alloc(vertices * sizeof(CVector3)));
  if (!m_Heights || !m_Positions || !m_Normals) return fail("no memory for the terrain");
  const uint32_t height_bytes = static_cast<uint32_t>(vertices * sizeof(float));
  const uint32_t vector_bytes = static_cast<uint32_t>(vertices * sizeof(CVector3));
  if (!Read_Exact(stream, m_Heights, height_bytes) || !Read_Exact(stream, m_Positions, vector_bytes) ||
      !Read_Exact(stream, m_Normals, vector_bytes))
    return fail("vertex data truncated");
  if (!All_Finite(m_Heights, vertices) || !All_Finite(&m_Positions[0].x, vertices * 3) ||
      !All_Finite(&m_Normals[0].x, vertices * 3))
    return fail("vertex data not finite");
  m_Height_Bound.Build(m_Positions, h.vertices_x, h.vertices_z);
  m_Triangle_Bounds.Build(m_Positions, m_Normals, h.vertices_x, h.vertices_z);

  const uint32_t tile_bytes = static_cast<uint32_t>(h.tile_grid_size * h.tile_grid_size) * kTile_Vertex_Size;
  m_Tile_Data.resize(static_cast<size_t>(h.tiles_x) * static_cast<size_t>(h.tiles_z));
  for (std::vector<uint8_t>& tile : m_Tile_Data) {
    uint32_t n = 0;
    if (!Read_Value(stream, n)) return fail("tile data truncated");
    if (n != tile_bytes) return fail("tile data of the wrong size");
    if (n > Bytes_Left(stream)) return fail("tile data truncated");
    tile.resize(n);
    if (!Read_Exact(stream, tile.data(), n)) return fail("tile data truncated");
  }

  if (h.flags & kTerrain_Embedded_Object) {
    if (const char* reason = Read_Embedded_Object(stream, m_Embedded_Object)) return fail(reason);
  }
  uint32_t trailing = 0;
  if (!Read_Value(stream, trailing)) return fail("trailer missing");
  return true;
}

void CWorld::Free_Terrain() {
  Free_Drawing();
  Counted_Free(m_Heights);
  Counted_Free(m_Positions);
  Counted_Free(m_Normals);
  m_Heights = nullptr;
  m_Positions = nullptr;
  m_Normals = nullptr;
  m_Tile_Data.clear();
  m_Embedded_Object.clear();
  m_Grid.Destroy();
  m_Height_Bound.Clear();
  m_Triangle_Bounds.Clear();
  m_Terrain = CWorld_Terrain_Header();
}

float CWorld::Get_Height(float x, float z) const {
  if (!m_Heights) return 0.0f;
  const int vx = m_Terrain.vertices_x, vz = m_Terrain.vertices_z;
  const int i = Cell_Of(x, m_Cells_Per_Unit_X, vx);
  const int j = Cell_Of(z, m_Cells_Per_Unit_Z, vz);
  const int i1 = std::min(i + 1, vx - 1), j1 = std::min(j + 1, vz - 1);
  const float fx = i1 == i ? 0.0f : (x - i * m_Cell_X) / (i1 * m_Cell_X - i * m_Cell_X);
  const float fz = j1 == j ? 0.0f : (z - j * m_Cell_Z) / (j1 * m_Cell_Z - j * m_Cell_Z);
  auto h = [&](int a, int b) { return m_Heights[a + vx * b]; };
  return h(i, j) * (1.0f - fz) * (1.0f - fx) + h(i1, j) * fx * (1.0f - fz) + h(i1, j1) * fx * fz +
         h(i, j1) * fz * (1.0f - fx);
}

CVector3 CWorld::Get_Normal(float x, float z) const {
  if (!m_Normals) return CVector3{0.0f, 1.0f, 0.0f};
  const int vx = m_Terrain.vertices_x, vz = m_Terrain.vertices_z;
  const int i = Cell_Of(x, m_Cells_Per_Unit_X, vx);
  const int j = Cell_Of(z, m_Cells_Per_Unit_Z, vz);
  const int i1 = std::min(i + 1, vx - 1), j1 = std::min(j + 1, vz - 1);
  const float fx = i1 == i ? 0.0f : (x - i * m_Cell_X) / (i1 * m_Cell_X - i * m_Cell_X);
  const float fz = j1 == j ? 0.0f : (z - j * m_Cell_Z) / (j1 * m_Cell_Z - j * m_Cell_Z);
  const float w00 = (1.0f - fz) * (1.0f - fx), w10 = fx * (1.0f - fz), w11 = fx * fz, w01 = fz * (1.0f - fx);
  const CVector3& a = m_Normals[i + vx * j];
  const CVector3& b = m_Normals[i1 + vx * j];
  const CVector3& c = m_Normals[i1 + vx * j1];
  const CVector3& d = m_Normals[i + vx * j1];
  return CVector3{a.x * w00 + b.x * w10 + c.x * w11 + d.x * w01, a.y * w00 + b.y * w10 + c.y * w11 + d.y * w01,
                  a.z * w00 + b.z * w10 + c.z * w11 + d.z * w01};
}

bool CWorld::Intersect_Terrain(const CVector3& start, const CVector3& direction, CVector3& hit) const {
  if (!m_Positions) return false;
  const int vx = m_Terrain.vertices_x, vz = m_Terrain.vertices_z;
  CVector3 end;
  start.Add(direction, end);
  const int i0 = Cell_Of(start.x, m_Cells_Per_Unit_X, vx), i1 = Cell_Of(end.x, m_Cells_Per_Unit_X, vx);
  const int j0 = Cell_Of(start.z, m_Cells_Per_Unit_Z, vz), j1 = Cell_Of(end.z, m_Cells_Per_Unit_Z, vz);
  const int di = i1 >= i0 ? 1 : -1, dj = j1 >= j0 ? 1 : -1;
  float best = 2.0f;
  auto test = [&](int a, int b, int c) {
    float r = 0.0f;
    const float d2 = SegmentTriangleDistanceSq(start, direction, m_Positions[a], m_Positions[b], m_Positions[c], &r);
    if (d2 < kTerrain_Hit_Distance_Sq && r < best) best = r;
  };
  // Every cell of the range is tested so that the crossing nearest the start wins.
  for (int j = j0;; j += dj) {
    for (int i = i0;; i += di) {
      const int k = i + vx * j;
      test(k, k + vx, k + 1);
      test(k + vx, k + vx + 1, k + 1);
      if (i == i1) break;
    }
    if (j == j1) break;
  }
  if (best > 1.0f) return false;
  CVector3 step;
  start.Add(direction.Scale(best, step), hit);
  return true;
}

bool CWorld::Add_Object(int list, CWorld_Object* object) {
  if (!object || list < 0 || list >= kList_Count || object->m_List >= 0) return false;
  object->m_Next = m_Lists[list];
  object->m_List = list;
  m_Lists[list] = object;
  if (!(object->m_State_Flags & kState_In_Grid)) object->Set_Position(object->m_Position);
  return true;
}

void CWorld::Update(const float& factor, const unsigned& step, const float& delta, const float& unpaused_delta) {
  // The pending collision-pair list is never filled: there is nothing to dispatch.
  // Objects added during an update go on the front of their list and are first updated on the
  // next pass; the walk always continues from the object just updated.
  for (unsigned tick = 0; tick < step; ++tick)
    for (CWorld_Object* object = m_Lists[2]; object; object = object->m_Next) object->Update(factor);
  for (CWorld_Object* object = m_Lists[1]; object; object = object->m_Next) object->Update(delta);
  g_Sim_Stats.Update(delta);
  if (g_Score_Board_Mgr.Is_Active()) g_Score_Board_Mgr.Update(delta);
  if (g_Music_Track.Is_Running()) g_Music_Track.Update();
  g_Text_Mgr.Update(delta, unpaused_delta);
}

bool CWorld::Is_Dead(const CWorld_Object* object) const {
  const CVector3& p = object->m_Position;
  if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return true;
  const int32_t kind = object->m_Body_Kind;
  if (kind == kBody_Sphere || kind == kBody_Box || kind == 4) {
    const CVector3 v = object->Body_Velocity();
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return true;
  }
  return object->m_Kill_Timer >= 1.0f;
}

void CWorld::Return_Object(CWorld_Object* object) {
  object->Release_Attachments();
  object->m_Next = nullptr;
  object->m_List = -1;
  m_Grid.Remove(object);
  object->m_State_Flags &= ~kState_In_Grid;
  // An object goes back to the pool that holds it, whatever type it is filed under: one of a
  // pool's own objects is never deleted. Only an object of a type without a pool, held by no
  // pool, was made on its own and is deleted.
  CObject_Pool* own = object->m_Type < kObject_Type_Count ? g_Object_Pools[object->m_Type] : nullptr;
  if (own && own->Holds(object)) {
    own->Free_Object(object);
    return;
  }
  for (CObject_Pool* pool : g_Object_Pools) {
    if (pool && pool->Holds(object)) {
      pool->Free_Object(object);
      return;
    }
  }
  if (!own) delete object;
}

void CWorld::Remove_Dead_Objects() {
  if (g_Game_Paused) return;
  for (CWorld_Object*& head : m_Lists) {
    CWorld_Object** link = &head;
    while (CWorld_Object* object = *link) {
      if (Is_Dead(object)) object->m_Kill_Timer = std::max(object->m_Kill_Timer, 1.0f);
      if (object->m_Kill_Timer >= 1.0f) {
        *link = object->m_Next;
        g_Sim_Stats.On_Object_Removed(object);
        g_Music_Track.Remove_Object(object);
        Return_Object(object);
      } else {
        link = &object->m_Next;
      }
    }
  }
}

void CWorld::Return_All_Objects() {
  for (CWorld_Object*& head : m_Lists) {
    while (CWorld_Object* object = head) {
      head = object->m_Next;
      Return_Object(object);
    }
  }
}

uint32_t CWorld::Next_Query_Stamp() {
  if (++m_Query_Stamp == 0) {
    // After a wrap no object may carry a stamp that looks current.
    for (CWorld_Object* head : m_Lists)
      for (CWorld_Object* object = head; object; object = object->m_Next) object->m_Query_Stamp = 0;
    m_Query_Stamp = 1;
  }
  return m_Query_Stamp;
}

namespace {

// Distance from the point to the object's shape by body kind; false for kinds never returned.
bool Distance_To_Object(const CVector3& point, const CWorld_Object* object, float& distance) {
  CVector3 offset;
  point.Subtract(object->m_Position, offset);
  const CMatrix3x3& axes = object->m_Orientation;
  switch (object->m_Body_Kind) {
    case kBody_Sphere:
    case 3:
    case 4:
      distance = offset.Length() - object->m_Collision_Radius;
      return true;
    case kBody_Box:
    case kBody_Fixed: {
      const CVector3& half = object->m_Body_Kind == kBody_Box ? object->m_Box.half_size : object->m_Fixed.half_size;
      distance = std::sqrt(PointBoxDistanceSq(point, object->m_Position, axes.rows[0], axes.rows[1], axes.rows[2], half));
      return true;
    }
    case 6:
      if (offset.y > 0.0f) offset.y = 0.0f;
      distance = offset.Length() - object->m_Collision_Radius;
      return true;
    default:
      return false;
  }
}

}  // namespace

int CWorld::Query_Radius(const CVector3& point, float radius, CWorld_Query& out) {
  out.count = 0;
  if (!m_Grid.Is_Created()) return 0;
  const uint32_t stamp = Next_Query_Stamp();
  const CWorld_Grid::Cell_Range range = m_Grid.Range_Of(point.x, point.z, radius);
  for (int row = range.low_row; row <= range.high_row; ++row) {
    for (int column = range.low_column; column <= range.high_column; ++column) {
      m_Grid.For_Each_In_Cell(column, row, [&](CWorld_Object* object) {
        if (object->m_Query_Stamp == stamp || out.count >= CWorld_Query::kMax_Results) return;
        object->m_Query_Stamp = stamp;
        // Every shape but the upward half-line lies within its collision radius of its
        // position: farther centres are passed over without the exact distance.
        const float reach = radius + object->m_Collision_Radius;
        CVector3 offset;
        if (object->m_Body_Kind != 6 && point.Subtract(object->m_Position, offset).Length_Squared() > reach * reach)
          return;
        float distance = 0.0f;
        if (Distance_To_Object(point, object, distance) && distance <= radius) out.objects[out.count++] = object;
      });
    }
  }
  return out.count;
}

int CWorld::Collect_Objects(uint32_t kind_mask, CWorld_Query& out) const {
  out.count = 0;
  for (CWorld_Object* head : m_Lists)
    for (CWorld_Object* object = head; object && out.count < CWorld_Query::kMax_Results; object = object->m_Next)
      if (object->m_Kind_Flags & kind_mask) out.objects[out.count++] = object;
  return out.count;
}

int CWorld::Collect_Objects_On_Segment(const CVector3& start, const CVector3& end, float limit,
                                       CWorld_Query& out) const {
  out.count = 0;
  CVector3 segment;
  end.Subtract(start, segment);
  for (CWorld_Object* head : m_Lists) {
    for (CWorld_Object* object = head; object && out.count < CWorld_Query::kMax_Results; object = object->m_Next) {
      const CMatrix3x3& axes = object->m_Orientation;
      float measure = 0.0f;
      if (object->m_Body_Kind == kBody_Box || object->m_Body_Kind == kBody_Fixed) {
        const CVector3& half = object->m_Body_Kind == kBody_Box ? object->m_Box.half_size : object->m_Fixed.half_size;
        measure = SegmentBoxDistanceSq(start, segment, object->m_Position, axes.rows[0], axes.rows[1], axes.rows[2], half);
      } else {
        CVector3 zero{0.0f, 0.0f, 0.0f};
        const float r = object->m_Collision_Radius;
        measure = SegmentSegmentDistanceSq(start, segment, object->m_Position, zero) - r * r;
      }
      if (measure < limit) out.objects[out.count++] = object;
    }
  }
  return out.count;
}

CWorld_Object* CWorld::Find_Object_In_Radius_By_Flags(uint32_t kind_mask, const CVector3& point, float radius) {
  CWorld_Query query;
  Query_Radius(point, radius, query);
  for (int i = 0; i < query.count; ++i)
    if (query.objects[i]->m_Kind_Flags & kind_mask) return query.objects[i];
  return nullptr;
}

CWorld_Object* CWorld::Find_Live_Object_In_Radius(uint32_t kind_mask, const CVector3& point, float radius) {
  CWorld_Query query;
  Query_Radius(point, radius, query);
  for (int i = 0; i < query.count; ++i)
    if ((query.objects[i]->m_Kind_Flags & kind_mask) && query.objects[i]->m_Kill_Timer == 0.0f)
      return query.objects[i];
  return nullptr;
}

CWorld_Object* CWorld::Find_Object_In_Radius_By_Type(uint32_t type, const CVector3& point, float radius) {
  CWorld_Query query;
  Query_Radius(point, radius, query);
  for (int i = 0; i < query.count; ++i)
    if (query.objects[i]->m_Type == type) return query.objects[i];
  return nullptr;
}

CWorld_Object* CWorld::Get_Object(int n) const {
  for (CWorld_Object* head : m_Lists)
    for (CWorld_Object* object = head; object; object = object->m_Next)
      if (n-- == 0) return object;
  return nullptr;
}

CWorld_Object* CWorld::Find_Object_By_Type(uint32_t type, int n) const {
  for (CWorld_Object* head : m_Lists)
    for (CWorld_Object* object = head; object; object = object->m_Next)
      if (object->m_Type == type && n-- == 0) return object;
  return nullptr;
}

CWorld_Object* CWorld::Find_Object_By_Flags(uint32_t kind_mask, int n) const {
  for (CWorld_Object* head : m_Lists)
    for (CWorld_Object* object = head; object; object = object->m_Next)
      if ((object->m_Kind_Flags & kind_mask) && n-- == 0) return object;
  return nullptr;
}

CWorld_Object* CWorld::Intersect_Objects(const CVector3& start, const CVector3& segment, float& limit,
                                         float* value) const {
  CWorld_Object* best = nullptr;
  for (CWorld_Object* head : m_Lists) {
    for (CWorld_Object* object = head; object; object = object->m_Next) {
      const CMatrix3x3& axes = object->m_Orientation;
      float measure = 0.0f;
      if (object->m_Body_Kind == kBody_Sphere) {
        CVector3 zero{0.0f, 0.0f, 0.0f};
        measure = SegmentSegmentDistanceSq(start, segment, object->m_Position, zero) - object->m_Sphere.radius_sq;
      } else if (object->m_Body_Kind == kBody_Box || object->m_Body_Kind == kBody_Fixed) {
        const CVector3& half = object->m_Body_Kind == kBody_Box ? object->m_Box.half_size : object->m_Fixed.half_size;
        measure = SegmentBoxDistanceSq(start, segment, object->m_Position, axes.rows[0], axes.rows[1], axes.rows[2], half);
      } else {
        continue;
      }
      if (measure < limit) {
        limit = measure;
        best = object;
      }
    }
  }
  if (best && value) *value = limit;
  return best;
}

bool CWorld::Build_Terrain_Decal(const CVector3& centre, float half_size, CTerrain_Decal& result) {
  result = CTerrain_Decal();
  if (m_Free_Decal_Slots <= 0 || !m_Positions) return false;
  int slot = 0;
  while (slot < kTerrain_Decal_Slots && m_Decal_Slots[slot].used) ++slot;
  if (slot == kTerrain_Decal_Slots) return false;
  const int vx = m_Terrain.vertices_x, vz = m_Terrain.vertices_z;
  const int i0 = Cell_Of(std::max(0.0f, centre.x - half_size), m_Cells_Per_Unit_X, vx);
  const int i1 = Cell_Of(std::max(0.0f, centre.x + half_size), m_Cells_Per_Unit_X, vx);
  const int j0 = Cell_Of(std::max(0.0f, centre.z - half_size), m_Cells_Per_Unit_Z, vz);
  const int j1 = Cell_Of(std::max(0.0f, centre.z + half_size), m_Cells_Per_Unit_Z, vz);
  if (i1 < i0 || j1 < j0) return true;
  const int triangles = (i1 - i0 + 1) * (j1 - j0 + 1) * 2;
  if (triangles > kMax_Decal_Triangles) return false;
  TexVertex* out = m_Decal_Slots[slot].vertices;
  auto put = [&](int k) {
    const CVector3& p = m_Positions[k];
    *out++ = TexVertex{p.x, p.y + 5.0f, p.z, 0x00FFFFFF, 0.0f, 0.0f};
  };
  for (int j = j0; j <= j1; ++j) {
    for (int i = i0; i <= i1; ++i) {
      const int k = i + vx * j;
      put(k);
      put(k + vx);
      put(k + 1);
      put(k + vx);
      put(k + vx + 1);
      put(k + 1);
    }
  }
  m_Decal_Slots[slot].used = true;
  --m_Free_Decal_Slots;
  result.slot = slot + 1;
  result.triangle_count = triangles;
  result.vertices = m_Decal_Slots[slot].vertices;
  return true;
}

int CWorld::Free_Terrain_Decal(int slot) {
  // A slot already free (or out of range) is left alone, so the free count stays true.
  if (slot >= 1 && slot <= kTerrain_Decal_Slots && m_Decal_Slots[slot - 1].used) {
    m_Decal_Slots[slot - 1].used = false;
    ++m_Free_Decal_Slots;
  }
  return m_Free_Decal_Slots;
}
