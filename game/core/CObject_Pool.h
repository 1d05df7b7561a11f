#pragma once
// Fixed pools of ready-built world objects, one per world-object class, registered in
// g_Object_Pools under the class's object type index. No world object is created or deleted
// while the game runs: spawning takes one from its pool and the world's sweep gives it back.
#include <cstddef>
#include <cstdint>
#include <functional>

class CWorld_Object;

constexpr int kObject_Type_Count = 73;

class CObject_Pool {
 public:
  virtual ~CObject_Pool() = default;
  virtual bool Init() = 0;
  virtual void Term() = 0;
  virtual bool Is_Initialised() const = 0;
  // The free object of the lowest index, as its last user left it; null when all are in use
  // or the pool is not initialised.
  virtual CWorld_Object* Alloc_Object() = 0;
  // Ignores an object that this pool did not hand out.
  virtual void Free_Object(CWorld_Object* object) = 0;
  virtual bool Has_Free_Object() const = 0;
  // True when the object is one of this pool's own.
  virtual bool Holds(const CWorld_Object* object) const = 0;
};

// Pools by object type index; null where a type has no pool. Zero before any code runs, so a
// pool built by any static initialiser may register itself.
extern CObject_Pool* g_Object_Pools[kObject_Type_Count];

// Stores the pool (or null) at the type's index; clears the table first on the first call of
// the run. False for an index outside the table.
bool Register_Object_Pool(uint32_t type, CObject_Pool* pool);
// Zeroes the table once; later calls do nothing.
void Clear_Object_Pools();

// One row of the table of pooled classes.
struct CObject_Pool_Row {
  uint32_t type;
  const char* class_name;
  uint32_t count;
};
constexpr int kObject_Pool_Row_Count = 63;
inline constexpr CObject_Pool_Row kObject_Pool_Rows[kObject_Pool_Row_Count] = {
    {3, "CAmmo_Ball", 32},
    {4, "CAmmo_Explosive", 8},
    {5, "CAmmo_Missile_0", 8},
    {8, "CEnemy_UFO", 6},
    {9, "CTarget_Box", 12},
    {10, "CTarget_Ball", 14},
    {11, "CTarget_Target", 16},
    {12, "CTarget_Star", 8},
    {13, "CTarget_Death_Vial", 4},
    {14, "CTarget_Sparkler", 8},
    {15, "CTarget_Twirler", 12},
    {16, "CTarget_Roller", 8},
    {17, "CTarget_Brick", 8},
    {18, "CTarget_Pill", 8},
    {19, "CTarget_Flier", 6},
    {20, "CTarget_Boomer", 8},
    {21, "CTarget_Leaf", 64},
    {22, "CTarget_Bar", 12},
    {23, "CTarget_Flare", 32},
    {24, "CTarget_Goo", 12},
    {25, "CTarget_Glower", 6},
    {26, "CTarget_Line", 16},
    {27, "CTarget_Glower_B", 6},
    {28, "CTarget_Jumper", 8},
    {29, "CTarget_Buster", 6},
    {30, "CTarget_Exclaim", 12},
    {31, "CDebris_Target_Box", 16},
    {32, "CDebris_Target_Sparkler", 16},
    {33, "CDebris_Target_Brick", 16},
    {34, "CDebris_Crystal", 6},
    {35, "CDebris_Target_Ground_Proj", 16},
    {36, "CDebris_Dirt", 12},
    {37, "CEjector_Box", 8},
    {38, "CEjector_Ball", 8},
    {39, "CEjector_Cylinder", 8},
    {40, "CEjector_Targets", 8},
    {41, "CEjector_Stars", 8},
    {42, "CEjector_Sparkler", 16},
    {43, "CEjector_Twirler", 8},
    {44, "CEjector_Roller", 6},
    {45, "CEjector_Brick", 8},
    {46, "CEjector_Pill", 6},
    {47, "CEjector_Simon_1", 6},
    {50, "CEjector_Enemy_Cannon", 8},
    {51, "CEjector_Enemy_Tower", 8},
    {52, "CEjector_Enemy_Bomb", 4},
    {53, "CEjector_Enemy_Bar", 8},
    {54, "CEjector_Enemy_Plate", 6},
    {55, "CEmmo_Ball", 12},
    {56, "CEmmo_Ball_2", 8},
    {57, "CEmmo_Crystal_1", 8},
    {58, "CEmmo_Missile_1", 8},
    {59, "CEmmo_Discus_1", 12},
    {60, "CEmmo_Bar_1", 8},
    {61, "CEmmo_Bullet_1", 24},
    {62, "CEmmo_Bomb", 6},
    {63, "CEmmo_Anti_Matter", 16},
    {64, "CEmmo_Roller", 12},
    {65, "CEmmo_Can", 8},
    {66, "CEnemy_Tile_1", 8},
    {67, "CEnemy_Digger_1", 8},
    {68, "CBoss_Crystal_1", 1},
    {69, "CStruct_Light_Wall", 8},
};

// The number of objects in the pool of a type; 0 for a type without a pool.
constexpr uint32_t Object_Pool_Size(uint32_t type) {
  for (const CObject_Pool_Row& row : kObject_Pool_Rows)
    if (row.type == type) return row.count;
  return 0;
}

// The pool of class T, which must provide bool Init() and void Term() for each object. Its
// size comes from the table by its type index; stand-in pools of tests and benchmarks, at the
// indices no class uses, give theirs.
template <class T, uint32_t kType, uint32_t kSize = Object_Pool_Size(kType)>
class CObject_Pool_Of final : public CObject_Pool {
 public:
  static constexpr uint32_t kCount = kSize;
  static_assert(kCount > 0, "the type has no pool in the table");

  CObject_Pool_Of() { Register_Object_Pool(kType, this); }
  ~CObject_Pool_Of() override {
    if (g_Object_Pools[kType] == this) Register_Object_Pool(kType, nullptr);
  }

  bool Init() override {
    for (bool& used : m_In_Use) used = false;
    for (T& object : m_Objects)
      if (!object.Init()) return false;
    m_Initialised = true;
    return true;
  }
  void Term() override {
    for (T& object : m_Objects) object.Term();
    m_Initialised = false;
  }
  bool Is_Initialised() const override { return m_Initialised; }

  CWorld_Object* Alloc_Object() override {
    if (!m_Initialised) return nullptr;
    for (uint32_t i = 0; i < kCount; ++i) {
      if (!m_In_Use[i]) {
        m_In_Use[i] = true;
        return &m_Objects[i];
      }
    }
    return nullptr;
  }
  void Free_Object(CWorld_Object* object) override {
    for (uint32_t i = 0; i < kCount; ++i) {
      if (static_cast<CWorld_Object*>(&m_Objects[i]) == object) {
        m_In_Use[i] = false;
        return;
      }
    }
  }
  bool Has_Free_Object() const override {
    for (bool used : m_In_Use)
      if (!used) return true;
    return false;
  }
  bool Holds(const CWorld_Object* object) const override {
    const std::less<const unsigned char*> before;
    const auto* at = reinterpret_cast<const unsigned char*>(object);
    const auto* begin = reinterpret_cast<const unsigned char*>(m_Objects);
    return !before(at, begin) && before(at, begin + sizeof(m_Objects));
  }

  T& Object(uint32_t index) { return m_Objects[index]; }

 private:
  bool m_Initialised = false;
  bool m_In_Use[kCount] = {};
  T m_Objects[kCount];
};
