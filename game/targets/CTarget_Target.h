#pragma once
// The bullseye board: a flat fixed-body target that swings out of the ejector that launched it
// (the tower or the memory board), stands for its life and swings back in. Its pose is worked
// out every frame from its ejector's; a shot near its centre axis is a bullseye.
#include <cstdint>

#include "game/core/CFixed_Object.h"
#include "game/core/CTarget_Lock_Fixed.h"
#include "game/sim/CScore_Source.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CTarget_Target : public CFixed_Object, public CTarget_Score_Info {
 public:
  static constexpr uint32_t kType = 11;
  static constexpr int kRenderables = 3;
  static constexpr int kTextures = 2;
  static constexpr int kStyles = 3;
  static constexpr float kNormal_Life = 4.0f;
  static constexpr float kQuick_Life = 1.5f;
  // The kind-5 half size of a board.
  static constexpr float kHalf_X = 40.0f, kHalf_Y = 40.0f, kHalf_Z = 5.0f;

  bool Init();
  void Term();
  // Side 0-3 (which way it swings), home in the ejector's frame, the launching ejector, and the
  // quick flag of the memory game. False when the body cannot be set up.
  bool Spawn(const int32_t& side, const CVector3& home, CWorld_Object* ejector, const bool& quick);
  // A board from the pool spawned as above, put on the world's variable-step list at the
  // ejector's position plus the home turned by its orientation, and counted as launched. Null
  // when the pool is empty or the set-up fails (the board then goes back unseen).
  static CTarget_Target* Launch_From(CWorld_Object& ejector, int32_t side, const CVector3& home, bool quick);

  void Release_Attachments() override;
  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  // Up to 25 sparkles over the board's face and the hit sound.
  void Spawn_Hit_Sparkles(bool bullseye);

  // Where the board stands once it has swung out beside its ejector (its position when it has
  // none): where a spot search must find it taken, also while it is still swinging.
  CVector3 Standing_Position() const;

  float Score_Age() const override { return m_Age; }
  bool Score_Flag() const override { return m_Quick; }
  bool Is_Quick() const { return m_Quick; }

  // The orientation of a board on the side at fold amount f (1 folded in, 0 standing out) for
  // an ejector of that orientation.
  static CMatrix3x3 Folded_Orientation(const CMatrix3x3& ejector, int32_t side, float f);
  // Where a board with that home stands at fold amount f beside an ejector of that frame.
  static CVector3 Folded_Position(const CMatrix3x3& ejector, const CVector3& ejector_position, int32_t side,
                                  const CVector3& home, float f);
  // True when the line through the centre along the axis passes the shot (a ray) within 7
  // units, or, without a shot, when a hitter faster than 1000 is within 11 units of the axis.
  static bool Is_Bullseye(const CVector3& centre, const CVector3& axis, const CShot_Line* shot,
                          const CWorld_Object* other);

  static CObject_Pool* Pool();

  bool m_Initialised = false;
  bool m_Spawned = false;
  bool m_Quick = false;
  int32_t m_Side = 0;
  CVector3 m_Home{0.0f, 0.0f, 0.0f};
  uint32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Life = 0.0f;
  float m_Rise = 0.0f;
  CRenderableObject* m_Renderables[kRenderables] = {};
  CTextureData* m_Textures[kTextures] = {};
  CD3DRenderStyle* m_Styles[kStyles] = {};
  CTarget_Lock_Fixed m_Ejector_Lock;

 private:
  // The ejector among the lock's links: the tower first, else the memory board.
  CWorld_Object* Find_Ejector() const;
  CMatrix4x4 World() const;
};
