#pragma once
// The level in which a simulation runs: the terrain height field, three lists of world
// objects with their per-frame update and sweep, the object grid and the object queries.
#include <cstdint>
#include <vector>

#include "game/core/CWorld_Grid.h"
#include "runtime/src/math/math_types.h"

class CStream;
class CWorld_Object;
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

class CWorld {
 public:
  static constexpr int kList_Count = 3;
  static constexpr uint32_t kFallback_Fence_Texture = 0x2200001B;

  CWorld() = default;
  CWorld(const CWorld&) = delete;
  CWorld& operator=(const CWorld&) = delete;
  ~CWorld();

  // Starts the world's managers (the drawing ones are not built yet).
  bool Init_Managers();
  // Copies the description, opens the world resource and loads its terrain.
  bool Init(const CWorld_Desc& desc);
  // Terminates every registered object pool.
  void Term();
  // Returns every object to its pool and frees the terrain.
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
  // Draws the world; nothing is drawn yet.
  void Render(const CFrame_Info& frame, const float& unpaused_delta);
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
  float* m_Heights = nullptr;
  CVector3* m_Positions = nullptr;
  CVector3* m_Normals = nullptr;
  std::vector<std::vector<uint8_t>> m_Tile_Data;  // each tile's grid-mesh vertices
  std::vector<uint8_t> m_Embedded_Object;         // the embedded renderable, as stored
  CMatrix4x4 m_Reflections[4] = {};
  CVector3 m_Gravity{0.0f, -150.0f, 0.0f};
  bool m_Managers_Ready = false;
  bool m_World_Ready = false;

 private:
  bool Read_Terrain(CStream* stream);
  void Build_Reflections();
  void Return_Object(CWorld_Object* object);
  void Return_All_Objects();
  bool Is_Dead(const CWorld_Object* object) const;
  uint32_t Next_Query_Stamp();

  CWorld_Object* m_Lists[kList_Count] = {};
  CWorld_Grid m_Grid;
  uint32_t m_Query_Stamp = 0;
};

extern CWorld g_World;

// The game's pause flag and its only setter.
extern bool g_Game_Paused;
void Set_Game_Paused(const bool& paused);
