#pragma once
// The memory-game board: a floating box body that comes down 700 units onto its home point,
// hovers there bobbing and turning its third axis away from the camera, and on the track's
// commands lights one of its sides, glows, sweeps across the field in one of four patterns, or
// launches a quick bullseye board from one of its four sides.
#include <cstdint>

#include "game/core/CBox_Object.h"
#include "game/targets/Ejector_Shared.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CEjector_Simon_1 : public CBox_Object, public ejectors::Ejector_Flags {
 public:
  static constexpr uint32_t kType = 47;
  static constexpr float kHalf_X = 95.0f, kHalf_Y = 95.0f, kHalf_Z = 35.0f;
  static constexpr float kDrop = 700.0f;
  static constexpr float kDescent_Time = 6.5f;

  bool Init();
  void Term();
  void Spawn(const CVector3& position);
  // One command of a track point: action 0 starts a movement pattern (argument 1-4) or glows
  // (any other argument); 1 lights side 0-3; 2 launches from side 0-3; anything else, and
  // sides of 4 and up, do nothing.
  void Command(uint32_t action, uint32_t argument);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  // Refuses counted targets (its own boards among them); takes anything else without effect.
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  using CBox_Object::On_Floor_Contact;
  void On_Floor_Contact(const CVector3& normal) override { (void)normal; }

  // The point the board steers for this update, before its movement pattern and bobbing.
  CVector3 Resting_Goal() const;
  // The movement pattern's displacement of the goal for the timer; X and Z are the field's size.
  static CVector3 Pattern_Offset(uint32_t kind, float timer, float X, float Z);
  // The orientation whose third axis is the given one and whose up axis is as near the world's
  // up as it can be; a third axis too near the vertical keeps the first axis it had.
  static CMatrix3x3 Rebuilt_Orientation(const CMatrix3x3& previous, const CVector3& third);

  static CObject_Pool* Pool();

  CVector3 Home{0.0f, 0.0f, 0.0f};
  float Flash = 0.0f;
  float Age = 0.0f;
  float Bob_Phase = 0.0f;
  float Show_Timer = 0.0f;
  uint32_t Show_Side = 0;
  uint32_t Launch_Side = 0;
  uint32_t Move_Kind = 0;
  float Move_Timer = 0.0f;
  CRenderableObject* m_Renderables[3] = {};
  CTextureData* m_Textures[3] = {};
  CD3DRenderStyle* m_Styles[6] = {};

 private:
  void Steer(const CVector3& goal);
  void Launch_From_Side(uint32_t side);
  CMatrix4x4 World() const;
  void Draw_Body(const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* texture);
  void Draw_Lit_Side(const CMatrix4x4& world);
  void Draw_Jets();
};
