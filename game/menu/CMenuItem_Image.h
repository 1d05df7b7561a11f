#pragma once
// A texture in an outlined rectangle.
#include "game/menu/CMenuItem.h"

class CMenuItem_Image : public CMenuItem {
 public:
  static constexpr uint32_t kCentre_X = 0x01;
  static constexpr uint32_t kCentre_Y = 0x02;

  CMenuItem_Image(int32_t id, uint32_t texture_id, const CVector2& anchor, const CVector2& size, uint32_t flags);
  ~CMenuItem_Image() override;
  // False (and the item stays uninitialised) when the texture cannot be had.
  bool Init(int32_t id, uint32_t texture_id, const CVector2& anchor, const CVector2& size, uint32_t flags);
  bool Load_Texture(uint32_t texture_id);
  void Set_Texture(CTextureData* texture);

  void Term() override;
  bool On_Click() override { return true; }
  bool On_Mouse_Down() override;
  bool On_Mouse_Up() override;
  void Render(const CFrame_Info& frame) override;

  bool m_Pressed = false;
  uint32_t m_Flags = 0;
  CTextureData* m_Texture = nullptr;
  Item_Quad m_Quad{};
  Item_Frame m_Outline{};

 private:
  void Release_Texture();
};
