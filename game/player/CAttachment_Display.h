#pragma once
// The device of a charged attachment, drawn in the lower right of the view with one light per
// charge left; it counts the charges and slides out of view when hidden.
#include <cstdint>

class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CAttachment_Display {
 public:
  CAttachment_Display() = default;
  CAttachment_Display(const CAttachment_Display&) = delete;
  CAttachment_Display& operator=(const CAttachment_Display&) = delete;
  ~CAttachment_Display() { Term(); }

  // Takes the device, light and icon resources; false (with everything released) on a failure.
  bool Init(uint32_t icon_texture_id);
  void Term();
  // Starts a run with the count (at most 9, never below 0) of charges.
  bool Reset(int count);
  void Update(float dt);
  void Render();
  // Uses one charge: the flash starts, ready clears, and the device hides when none are left.
  void Use_Charge();

  uint8_t m_Loaded = 0;
  uint8_t m_Active = 0;
  uint8_t m_Hidden = 0;
  uint8_t m_Ready = 0;
  int32_t m_Charges = 0;
  int32_t m_Initial_Charges = 0;
  float m_Fade = 0.0f;
  float m_Flash = 0.0f;
  CRenderableObject* m_Device_Model = nullptr;
  CRenderableObject* m_Light_Model = nullptr;
  CD3DRenderStyle* m_Device_Style = nullptr;
  CD3DRenderStyle* m_Light_Style = nullptr;
  CD3DRenderStyle* m_Icon_Style = nullptr;
  CTextureData* m_Device_Texture = nullptr;
  CTextureData* m_Light_Texture = nullptr;
  CTextureData* m_Icon_Texture = nullptr;

  static constexpr int kMost_Charges = 9;
};
