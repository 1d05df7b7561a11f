#pragma once
// The cannon's shell: a pooled sphere that flies like the steel ball until it strikes a
// target-like object, then stops, swells and blasts, pushing and striking what lies within
// reach. A shell that strikes nothing shrinks away when its life ends.
#include <cstdint>

#include "game/core/CSphere_Object.h"

class CObject_Pool;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CAmmo_Explosive : public CSphere_Object {
 public:
  static constexpr uint32_t kType = 4;
  static constexpr float kRadius = 30.0f;
  static constexpr float kLife = 3.65f;
  static constexpr float kReach = 0.45f;  // of the blast radius
  static constexpr int kModel_Count = 3;
  static constexpr int kTexture_Count = 2;
  static constexpr int kStyle_Count = 4;

  CAmmo_Explosive() = default;
  ~CAmmo_Explosive() override { Term(); }

  bool Init();
  void Term();
  void Spawn(int variant);
  // Pushes and strikes what lies within reach of the blast centre, with sound, scorch, shake
  // and sparks.
  void Blast();

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;

  // The pool of 8 shells under type index 4, registered on first use.
  static CObject_Pool* Pool();

  uint8_t m_Loaded = 0;
  uint8_t m_Live = 0;
  uint8_t m_Has_Hit = 0;
  uint8_t m_Touched_Floor = 0;
  int32_t m_Variant = 0;
  int32_t m_Hit_Count = 0;
  float m_Life = 0.0f;
  uint8_t m_Exploded = 0;
  // The blast has run; the frame's later steps leave the shell alone.
  uint8_t m_Blasted = 0;
  float m_Blast_Radius = 0.0f;
  CVector3 m_Blast_Centre{0.0f, 0.0f, 0.0f};
  // Two shell models and the blast model.
  CRenderableObject* m_Models[kModel_Count] = {};
  // Textures 0x22000045, 0x2200010E; styles 0x2200004D, 0x22000050, 0x22000149, reflection.
  CTextureData* m_Textures[kTexture_Count] = {};
  CD3DRenderStyle* m_Styles[kStyle_Count] = {};

 private:
  CMatrix4x4 World_Matrix() const;
  void Draw_Shell(const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* first, CTextureData* second);
};
