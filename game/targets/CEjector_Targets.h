#pragma once
// The bullseye tower: rises out of the ground facing away from the camera and puts bullseye
// boards out on its left and right at random heights. Each request searches the tower's face
// for a free spot and queues a launch record there; a record launches its board once and stays
// 3.8 time units, while the tower draws a flash towards its spot.
#include <cstdint>

#include "game/core/CFixed_Object.h"
#include "game/targets/Ejector_Shared.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

// One queued launch: the side (0 right along the first axis, 1 left), whether its board has
// been launched, the time it has left and had, and the height of its spot (0.35-0.95).
struct Target_Launch_Record {
  uint32_t Side = 0;
  bool Launched = false;
  float Remaining = 0.0f;
  float Duration = 0.0f;
  float Height_Fraction = 0.0f;
};

class CEjector_Targets : public CFixed_Object {
 public:
  static constexpr uint32_t kType = 40;
  static constexpr uint32_t kMax_Queued = 11;
  static constexpr int kQueue_Room = 12;
  static constexpr int kSpot_Tries = 16;
  static constexpr float kRecord_Life = 3.8f;
  static constexpr float kSide_Offset = 82.0f;
  static constexpr float kBody_X = 30.0f, kBody_Y = 500.0f, kBody_Z = 30.0f;

  bool Init();
  void Term();
  // The value (0 from the spawner) is ignored.
  void Spawn(const int& value, const CVector3& position);
  // The launch-spot search of one request; a spot found is queued unless 11 records wait.
  void Queue_Launch();

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  // A spot's height above the tower's position for the height fraction.
  float Spot_Height(float fraction) const;
  // The first axis × 82 for side 0, × -82 for side 1, zero for any other side.
  CVector3 Side_Offset(uint32_t side) const;

  static CObject_Pool* Pool();

  bool Initialised = false;
  bool Active = false;
  CVector3 Base_Position{0.0f, 0.0f, 0.0f};
  float Height_Factor = 0.9f;
  float Ring_Phase = 0.0f;
  float Age = 0.0f;
  uint32_t Queue_Count = 0;
  Target_Launch_Record Queue[kQueue_Room];
  CRenderableObject* m_Renderables[2] = {};
  CTextureData* m_Textures[2] = {};
  CD3DRenderStyle* m_Styles[4] = {};

 private:
  // How far the tower stands out of the ground, 0-1, read back from its position.
  float Current_Rise() const;
  bool Spot_Is_Free(const CVector3& spot) const;
  void Launch_Record(Target_Launch_Record& record);
  void Serve_Queue(float dt);
  void Draw_Rings();
  void Draw_Flashes();
};
