#pragma once
// The UFO: a flying saucer that hovers at least 300 above the terrain in a band across the
// middle of the world, spins slowly, charges a red beam under itself and strikes the player when
// the charge is full. Three hits at least 1.5 apart destroy it; after 25 it climbs away.
#include "game/core/CBox_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CEnemy_UFO : public CBox_Object {
 public:
  static constexpr uint32_t kType = 8;
  static constexpr float kHover_Height = 300.0f;

  bool Init();
  void Term();
  void Spawn(int variant);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  using CBox_Object::On_Floor_Contact;
  void On_Floor_Contact(const CVector3& normal) override { (void)normal; }

  // The steering force of one update: lift below the hover height, the depth and width bands,
  // and the climb away once leaving.
  CVector3 Steering() const;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  bool m_Initialised = false;
  int32_t m_Variant = 0;
  float m_Age = 0.0f;
  float m_Hit_Timer = 0.0f;
  float m_Strike_Timer = 1000.0f;
  float m_Charge = 0.0f;
  int32_t m_Hit_Count = 0;

 private:
  void UFO_Strike();
  void Hit_Sparkles(CWorld_Object* other, const CShot_Line* shot);
  void UFO_Death_Burst();
  // The saucer's axis through its faces, pointing down, and the middle of its lower face.
  CVector3 Down_Axis() const;
  CVector3 Underside() const;
  CMatrix4x4 World() const;
  float Beam_Level() const;
  // The beam quads under the saucer, or under its image in a mirror.
  void Draw_Beam(float e, const CWorld_Mirror* mirror) const;
  void UFO_Glow(const CMatrix4x4& world) const;

  CRenderableObject* m_Body_Model = nullptr;
  CRenderableObject* m_Glow_Model = nullptr;
  CTextureData* m_Textures[3] = {};
  CD3DRenderStyle* m_Styles[3] = {};
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
