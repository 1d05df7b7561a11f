#pragma once
// Anti-matter: a wobbling blob, red (variant 0) or blue (1). It never hits by coming close.
// Each blob seeks a blob of the other variant within 1000 units through its target lock, and a
// blue blob that touches a red one annihilates both: a pulse that strikes the player wherever
// it happens.
#include <cstdint>

#include "game/core/CSphere_Object.h"
#include "game/core/CTarget_Lock_Fixed.h"

class CObject_Pool;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CEmmo_Anti_Matter : public CSphere_Object {
 public:
  static constexpr uint32_t kType = 63;
  static constexpr float kRadius = 32.0f;
  static constexpr int kRed = 0;
  static constexpr int kBlue = 1;

  CEmmo_Anti_Matter() = default;
  ~CEmmo_Anti_Matter() override { Term(); }

  bool Init();
  void Term();
  // Set-up falling from where the caller then places it.
  bool Spawn(const int* variant);
  // Lets go of the blob it seeks, then of the locks that hold it.
  void Release_Attachments() override;

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;

  // The blob it seeks: the first linked anti-matter, or null.
  CEmmo_Anti_Matter* Sought() const;
  CColor4 Colour() const;

  static CObject_Pool* Pool();

  bool m_Pushed = false;
  int32_t m_Variant = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Pulse = 0.0f;
  CVector3 m_Pulse_Point{0.0f, 0.0f, 0.0f};
  float m_Retarget_Timer = 0.0f;
  float m_Wobble_Phase = 0.0f;
  CVector3 m_Wobble{1.0f, 1.0f, 1.0f};
  CTarget_Lock_Fixed m_Lock;
  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Pulse_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;

 private:
  void Seek();
  void Retarget();
  void Strike();
  void Step_Wobble(float step);
  CMatrix4x4 World() const;
};
