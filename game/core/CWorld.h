#pragma once
// The level in which a simulation runs: the terrain height field and its tile meshes, the
// mirror walls and edge fences, the lights, three lists of world objects with their per-frame
// update, drawing and sweep, the object grid, the object queries and the terrain-decal slots.
#include <array>
#include <cstdint>
#include <vector>

#include "game/core/CWorld_Grid.h"
#include "game/core/CWorld_Object.h"
#include "game/core/CTerrain_Height_Bound.h"
#include "game/core/CTerrain_Triangle_Bounds.h"
#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

class CStream;
class CGridMesh;
class CRigidMesh;
class CDeviceTexture;
class CD3DRenderStyle;
class CD3DRenderStyles;
class CTextureData;
struct CFrame_Info;

enum : uint32_t {
  kWorld_Mirror_Walls = 0x01,
  kWorld_No_Edge_Fences = 0x02,
  kWorld_Deep_Walls = 0x04,
};

struct CWorld_Desc {
  uint32_t world_id = 0;
  uint32_t world_flags = 0;
  CVector3 ambient_color{0.2f, 0.2f, 0.3f};
  CVector3 light_direction{-0.52f, -0.78f, 0.347f};
  CVector3 light_color{0.64f, 0.63f, 0.39f};
  uint32_t texture_ids[3] = {0, 0, 0};
  float texture_scales[4] = {50.0f, 50.0f, 4.0f, 40.0f};
};

// The results of one collecting query, held by the caller so that a query run while another's
// results are being walked (from an On_Hit, say) leaves those results intact.
struct CWorld_Query {
  static constexpr int kMax_Results = 256;
  int count = 0;
  CWorld_Object* objects[kMax_Results];
};

// The header fields of a world resource, as stored after its 20-byte header.
struct CWorld_Terrain_Header {
  float size_x = 0.0f;
  float size_z = 0.0f;
  int32_t tiles_x = 0;
  int32_t tiles_z = 0;
  int32_t tile_grid_size = 0;
  int32_t vertices_x = 0;
  int32_t vertices_z = 0;
  uint32_t flags = 0;
};

enum : uint32_t { kTerrain_Embedded_Object = 0x01 };

// Terrain triangles cut out under a mark on the ground: the slot (from 1) that holds them, the
// triangle count and the slot's vertices (three per triangle).
struct CTerrain_Decal {
  int32_t slot = -1;
  int32_t triangle_count = 0;
  TexVertex* vertices = nullptr;
};

// The world's render styles, in the order they are fetched.
enum : int {
  kStyle_Ground = 0,
  kStyle_Reflected_Ground,
  kStyle_Ground_Flash,
  kStyle_Fence,
  kStyle_Fence_Flash,
  kStyle_Mirror_Wall,
  kWorld_Style_Count,
};

// The light-flash state, written by the game rules and the flash screen effect.
struct CWorld_Flash {
  float amount = 0.0f;
  bool active = false;
  float inputs[3] = {0.0f, 0.0f, 0.0f};
};

class CWorld {
 public:
  static constexpr int kList_Count = 3;
  static constexpr uint32_t kFallback_Fence_Texture = 0x2200001B;
  static constexpr uint32_t kFence_Detail_Texture = 0x22000144;
  static constexpr int kMax_Opaque = 256;
  static constexpr int kMax_Translucent = 128;
  static constexpr int kMax_Reflected = 256;
  static constexpr int kTerrain_Decal_Slots = 32;
  static constexpr int kMax_Decal_Triangles = 128;
  static constexpr int kWall_Triangles = 16;

  CWorld() = default;
  CWorld(const CWorld&) = delete;
  CWorld& operator=(const CWorld&) = delete;
  ~CWorld();

  // Starts the world's managers; only with a graphics device.
  bool Init_Managers();
  // Copies the description, opens the world resource and loads its terrain.
  bool Init(const CWorld_Desc& desc);
  // Terminates every registered object pool and the decal manager.
  void Term();
  // Returns every object to its pool, frees the terrain and clears the decals.
  void Reset();

  bool Load_Terrain(CStream* stream);
  void Free_Terrain();
  bool Has_Terrain() const { return m_Heights != nullptr; }

  float Get_Height(float x, float z) const;
  CVector3 Get_Normal(float x, float z) const;
  // The segment from start to start + direction against the terrain's triangles; the hit
  // nearest the start is written out.
  bool Intersect_Terrain(const CVector3& start, const CVector3& direction, CVector3& hit) const;

  // Pushes the object on the front of list 0, 1 or 2; false for another list or an object that
  // is already in a list.
  bool Add_Object(int list, CWorld_Object* object);
  void Update(const float& factor, const unsigned& step, const float& delta, const float& unpaused_delta);
  // Draws the world and everything in it, in layers (see CWorld_Render.cpp).
  void Render(const CFrame_Info& frame, const float& unpaused_delta);
  // Sets the two lights from the description and the flash state.
  void Set_Lights();

  // Fills the frame's render lists from the tiles around the camera and draws the visible
  // tiles; the planes are the camera's six frustum planes, normals inward.
  void Render_Terrain_And_Lists(const CPlane planes[6], const CVector3& camera, float far_distance);
  int Opaque_Count() const { return m_Opaque_Count; }
  int Translucent_Count() const { return m_Translucent_Count; }
  int Reflected_Count() const { return m_Reflected_Count; }
  CWorld_Object* Opaque(int i) const { return m_Opaque[i]; }
  CWorld_Object* Translucent(int i) const { return m_Translucent[i].object; }
  CWorld_Object* Reflected(int i) const { return m_Reflected[i].object; }
  int Reflected_Side(int i) const { return m_Reflected[i].side; }
  // Tiles drawn in the last frame: in the world and as reflections.
  int Tiles_Drawn() const { return m_Tiles_Drawn; }
  int Reflected_Tiles_Drawn() const { return m_Reflected_Tiles_Drawn; }
  bool Walls_Built() const { return m_Walls_Built; }
  // The drawing shortcuts that spare work without changing the picture, each on by default;
  // switched off, the world is drawn the plain way (the tests compare the two pictures).
  struct Drawing_Shortcuts {
    bool walls_after_ground = true;  // the mirror walls only on the pixels the ground left
    bool fences_cut_short = true;    // the fences end where their texture turns clear for good
  };
  Drawing_Shortcuts m_Shortcuts;
  // The mirror walls: two upright quads at each corner, on the edge lines beyond the world.
  void Build_Walls();
  const DrawPrimFlatTriangle* Walls() const { return m_Walls; }

  // Cuts the terrain triangles under the square of half size h around the centre into a free
  // slot; false when no slot is free or the square covers more than 128 triangles.
  bool Build_Terrain_Decal(const CVector3& centre, float half_size, CTerrain_Decal& result);
  // Frees the slot (from 1) and answers the new free count.
  int Free_Terrain_Decal(int slot);
  int Free_Terrain_Decal_Count() const { return m_Free_Decal_Slots; }
  void Remove_Dead_Objects();
  void End_Frame() { Remove_Dead_Objects(); }

  int Query_Radius(const CVector3& point, float radius, CWorld_Query& out);
  int Collect_Objects(uint32_t kind_mask, CWorld_Query& out) const;
  // Objects whose squared distance to the segment (less the squared radius for spheres) is
  // below the limit.
  int Collect_Objects_On_Segment(const CVector3& start, const CVector3& end, float limit, CWorld_Query& out) const;
  CWorld_Object* Find_Object_In_Radius_By_Flags(uint32_t kind_mask, const CVector3& point, float radius);
  CWorld_Object* Find_Live_Object_In_Radius(uint32_t kind_mask, const CVector3& point, float radius);
  CWorld_Object* Find_Object_In_Radius_By_Type(uint32_t type, const CVector3& point, float radius);
  CWorld_Object* Get_Object(int n) const;
  CWorld_Object* Find_Object_By_Type(uint32_t type, int n) const;
  CWorld_Object* Find_Object_By_Flags(uint32_t kind_mask, int n) const;
  // The object the segment meets with the smallest measure below limit; limit is lowered to it
  // and, when value is given, the measure written there.
  CWorld_Object* Intersect_Objects(const CVector3& start, const CVector3& segment, float& limit,
                                   float* value) const;

  CWorld_Grid& Grid() { return m_Grid; }
  CWorld_Object* List_Head(int list) const { return m_Lists[list]; }

  CWorld_Desc m_Desc;
  CWorld_Terrain_Header m_Terrain;
  float m_Cell_X = 0.0f, m_Cell_Z = 0.0f;                  // world units per cell
  float m_Cells_Per_Unit_X = 0.0f, m_Cells_Per_Unit_Z = 0.0f;
  float m_Tile_X = 0.0f, m_Tile_Z = 0.0f;                  // world units per tile
  float m_Tiles_Per_Unit_X = 0.0f, m_Tiles_Per_Unit_Z = 0.0f;
  float m_Tile_Radius = 0.0f;
  int m_Grid_Cells_Per_Tile = 1;  // object-grid cells along each side of a terrain tile
  CTerrain_Height_Bound m_Height_Bound;
  CTerrain_Triangle_Bounds m_Triangle_Bounds;
  float* m_Heights = nullptr;
  CVector3* m_Positions = nullptr;
  CVector3* m_Normals = nullptr;
  std::vector<std::vector<uint8_t>> m_Tile_Data;  // each tile's grid-mesh vertices
  std::vector<uint8_t> m_Embedded_Object;         // the embedded renderable, as stored
  CMatrix4x4 m_Reflections[4] = {};
  CVector3 m_Gravity{0.0f, -150.0f, 0.0f};
  CWorld_Flash m_Flash;
  CVector3 m_Ambient_Accumulator{0.0f, 0.0f, 0.0f};
  CVector3 m_Diffuse_Accumulator{0.0f, 0.0f, 0.0f};
  // 0-1: the lights are scaled by 1 - level (the darkness veil writes it).
  float m_Light_Dimming = 0.0f;
  bool m_Managers_Ready = false;
  bool m_World_Ready = false;

  // Drawing resources of the terrain, held only while a graphics device exists.
  std::vector<CGridMesh*> m_Tile_Meshes;
  CRigidMesh* m_Embedded_Mesh = nullptr;
  CD3DRenderStyle* m_Styles[kWorld_Style_Count] = {};
  CTextureData* m_Textures[4] = {};

 private:
  struct Translucent_Entry {
    CWorld_Object* object;
    float distance_sq;
  };
  struct Reflected_Entry {
    CWorld_Object* object;
    int side;  // the reflection: 0 x = 0, 1 x = size x, 2 z = 0, 3 z = size z
  };
  struct Decal_Slot {
    bool used = false;
    TexVertex vertices[kMax_Decal_Triangles * 3];
  };

  bool Read_Terrain(CStream* stream);
  bool Load_Drawing();
  void Free_Drawing();
  void Build_Reflections();
  void Draw_Walls();
  bool Walls_Can_Follow_Ground() const;
  void Draw_Walls_Where_Nothing_Is();
  void Draw_Fences();
  // The fraction of the fence quads' height that can show with the style (see Fence_Reach.h).
  float Fence_Reach(const CD3DRenderStyle* style);
  void Mirror_Pass();
  void Draw_Tile(CGridMesh* mesh, const CMatrix4x4& world, CD3DRenderStyle* style);
  void World_Textures(CDeviceTexture* out[4]) const;
  void List_Tile_Objects(int column, int row, int side, const CPlane planes[6], const CVector3& camera);
  void List_Object(CWorld_Object* object, const CPlane planes[6], const CVector3& camera);
  void List_Reflected_Object(CWorld_Object* object, int side, const CPlane planes[6]);
  void Render_Layers(const CFrame_Info& frame);
  void Return_Object(CWorld_Object* object);
  void Return_All_Objects();
  bool Is_Dead(const CWorld_Object* object) const;
  uint32_t Next_Query_Stamp();

  CWorld_Object* m_Lists[kList_Count] = {};
  CWorld_Grid m_Grid;
  uint32_t m_Query_Stamp = 0;

  CWorld_Mirror m_Mirrors[4];
  DrawPrimFlatTriangle m_Walls[kWall_Triangles] = {};
  bool m_Walls_Built = false;
  // The fence texture last scanned for the height its pixels reach, and the u it is clear from.
  const CDeviceTexture* m_Fence_Scanned = nullptr;
  float m_Fence_Clear_U = 1.0f;

  uint32_t m_Frame_Stamp = 0;
  CWorld_Object* m_Opaque[kMax_Opaque] = {};
  int m_Opaque_Count = 0;
  Translucent_Entry m_Translucent[kMax_Translucent] = {};
  int m_Translucent_Count = 0;
  Reflected_Entry m_Reflected[kMax_Reflected] = {};
  int m_Reflected_Count = 0;
  int m_Tiles_Drawn = 0;
  int m_Reflected_Tiles_Drawn = 0;

  std::array<Decal_Slot, kTerrain_Decal_Slots> m_Decal_Slots;
  int m_Free_Decal_Slots = kTerrain_Decal_Slots;
};

extern CWorld g_World;
// The world's drawing services.
extern CD3DDrawPrim* g_pWorldDrawPrim;
extern CD3DRenderStyles* g_pWorldRenderStyles;

// The game's pause flag and its only setter.
extern bool g_Game_Paused;
void Set_Game_Paused(const bool& paused);
