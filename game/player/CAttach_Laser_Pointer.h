#pragma once
// Kind 1, the laser pointer: a small device on the gun with a flickering red beam stub and a
// dot on whatever the gun points at, an object or the ground; bright while the right button is
// held. It has no charges and no display.
#include <cstdint>

#include "game/player/CAttachment.h"

class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;
class CWorld_Object;

class CAttach_Laser_Pointer : public CAttachment {
 public:
  bool Init() override;
  void Term() override;
  bool Attach(CPlayer_Weapon_Gun* gun) override;
  void Update(float dt) override;
  void Render() override;
  // Switches the beam to its bright state.
  void Fire() override;
  // Back to the dim state.
  void Cancel_Fire() override;

  // The beam's brightness, 0.55-1, from the flicker and the bright state.
  float Intensity() const;
  // Where the dot falls along the beam: on an object (true, with it) or the ground (true, no
  // object); false when the beam meets nothing within its reach.
  bool Find_Dot(const CVector3& origin, const CVector3& direction, CVector3& dot, CWorld_Object*& object) const;

  uint8_t m_On = 0;
  float m_Phase = 0.0f;

 private:
  CMatrix3x3 Device_Axes() const;
  CVector3 Device_Position() const;

  CRenderableObject* m_Model = nullptr;
  CD3DRenderStyle* m_Styles[2] = {nullptr, nullptr};
  CTextureData* m_Textures[3] = {nullptr, nullptr, nullptr};
};
extern CAttach_Laser_Pointer g_Weapon_Attachment_Laser_Pointer;
