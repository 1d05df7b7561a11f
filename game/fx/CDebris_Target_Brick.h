#pragma once
// A piece of a broken brick target. A piece spawned on a parent rides it for one update and is
// then released; pieces fall, shrink away after they land or after their life, and cast a box
// shadow.
#include "game/core/CBox_Object.h"
#include "game/core/CTarget_Lock_Fixed.h"

class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CDebris_Target_Brick : public CBox_Object {
 public:
  static constexpr uint32_t kType = 33;
  static constexpr int kPieces = 10;
  static constexpr uint32_t kBrick_Ejector_Type = 45;

  bool Init();
  void Term();
  // Half-size and offset by piece (0-9); the target lends texture and style when it is a
  // CDebris_Skin_Source. With a parent the piece rides it.
  bool Spawn(int piece, CWorld_Object* target, CWorld_Object* parent, CVector3* offset);

  void Release_Attachments() override;
  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  using CBox_Object::On_Floor_Contact;
  void On_Floor_Contact(const CVector3& normal) override;

  bool m_Initialised = false;
  bool m_Alive = false;
  int m_Piece = 0;
  CVector3 m_Piece_Half{1, 1, 1};
  CVector3 m_Body_Offset{0, 0, 0};
  float m_Life_Timer = 0.0f;
  float m_Age = 0.0f;
  CTarget_Lock_Fixed m_Lock;
  CTextureData* m_Texture = nullptr;  // borrowed
  CD3DRenderStyle* m_Style = nullptr;  // borrowed
  CColor4 m_Tint{1, 1, 1, 1};          // the target's colour, when it has one
  bool m_Tinted = false;
  const float* Tint() const { return m_Tinted ? &m_Tint.r : nullptr; }

 private:
  CMatrix4x4 World() const;
  CRenderableObject* Model() const;
  void Release_From_Parent();
  void Give_Back_Skin();

  CRenderableObject* m_Models[kPieces] = {};
  CD3DRenderStyle* m_Reflection_Style = nullptr;
};
