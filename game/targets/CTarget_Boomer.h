#pragma once
// A spinning block on a boomerang path: it leaves from beside the camera, swings out in front of
// it on a half ellipse and comes back past the camera on the other side. A hit breaks the path
// and lets it fall.
#include "game/core/CBox_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CTarget_Boomer : public CBox_Object {
 public:
  using CWorld_Object::On_Floor_Contact;
  static constexpr uint32_t kType = 20;
  static constexpr float kGuard_Age = 0.85f;

  bool Init();
  void Term();
  bool Spawn(const int& colour_index, const CVector3& start);
  CColor4 Get_Color() const;
  // The path's point at a phase: the start's side of the camera at phase 0, mirrored at pi.
  CVector3 Path_Point(float phase) const;

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(const CVector3& normal) override;

  bool m_Initialised = false;
  bool m_Spawned = false;
  bool m_Fast_Fade = false;
  bool m_Right_Side = false;
  int32_t m_Colour_Index = 0;
  int32_t m_Hit_Count = 0;
  float m_Phase = 0.0f;
  float m_Side_Distance = 0.0f;
  float m_Path_Depth = 0.0f;
  CVector3 m_Camera_At_Spawn{0, 0, 0};
  float m_Scale = 0.0f;
  float m_Age = 0.0f;
  float m_Life = 0.0f;
  CVector3 m_Start{0, 0, 0};

  static CObject_Pool* Pool();

 private:
  CMatrix4x4 World() const;
  void Draw(const CMatrix4x4& world, CD3DRenderStyle* first, CD3DRenderStyle* second, CTextureData* first_texture,
            CTextureData* second_texture, bool tinted);

  CRenderableObject* m_Model = nullptr;
  CRenderableObject* m_Trim_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CTextureData* m_Trim_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Trim_Style = nullptr;
};
