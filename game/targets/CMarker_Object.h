#pragma once
// The least form shared by the targets, ejectors and enemies that the running track spawns: a
// plain sphere body with the class's type and kind flags, the arguments of its last Spawn kept
// for inspection, and the request fields the track's events set. It does not move; a target
// or shot leaves after a short life, and an object whose death was started leaves at its next
// update.
#include <cstdint>

#include "game/core/CWorld_Object.h"

class CObject_Pool;

// What the track passes to an ejector's Spawn: its variant (side, wall, form or colour by class),
// its colour index and, for the sparkler ejector, the sparkler count.
struct CEjector_Params {
  int variant = 0;
  int colour = 0;
  int count = 0;
};

// Kind flags of the spawned classes.
enum : uint32_t {
  kMarker_Target = 0x01,
  kMarker_Ejector = 0x04,
  kMarker_Boss = 0x08,
  kMarker_Enemy_Shot = 0x20,
};

class CMarker_Object : public CWorld_Object {
 public:
  // Scaled time units a target or an enemy shot stays before it leaves by itself.
  static constexpr float kShort_Life = 12.0f;

  CMarker_Object(uint32_t type, uint32_t kind_flags, float radius)
      : m_Marker_Type(type), m_Marker_Kind(kind_flags), m_Marker_Radius(radius) {}

  bool Init();
  void Term() {}
  // Sets up the marker body at the origin, as a Spawn would (for tests that place objects
  // themselves).
  void Spawn_For_Test() { Start_Marker(CVector3{0.0f, 0.0f, 0.0f}); }
  void Update(const float& dt) override;
  // A square facing the camera in the marker's colour, the size of its body.
  void Render(const float& step) override;
  // The marker's colour (ARGB) by its kind: targets red, ejectors blue, enemy shots orange,
  // the boss violet.
  virtual uint32_t Marker_Colour() const;

  // The arguments of the last Spawn.
  CVector3 m_Spawn_Place{0.0f, 0.0f, 0.0f};
  CVector3 m_Spawn_Velocity{0.0f, 0.0f, 0.0f};
  int m_Spawn_Variant = 0;
  int m_Spawn_Colour = 0;
  int m_Spawn_Argument = 0;
  int m_Spawn_Count = 0;
  uint32_t m_Spawn_Calls = 0;

  // Set by the track: the object launches (or fires) at its next update.
  uint8_t m_Launch_Requested = 0;
  // Scaled time since the spawn.
  float m_Age = 0.0f;

 protected:
  // Sets up the marker body at the place and keeps the place.
  void Start_Marker(const CVector3& place);
  void Start_Ejector(const CEjector_Params& params, const CVector3& place);
  void Start_Thrown(const CVector3& place, const CVector3& velocity, int argument);

 private:
  bool Leaves_By_Itself() const;

  uint32_t m_Marker_Type;
  uint32_t m_Marker_Kind;
  float m_Marker_Radius;
};
