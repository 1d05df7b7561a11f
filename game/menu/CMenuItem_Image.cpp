#include "game/menu/CMenuItem_Image.h"

#include "game/core/CGame.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenu_Mgr.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"

CMenuItem_Image::CMenuItem_Image(int32_t id, uint32_t texture_id, const CVector2& anchor, const CVector2& size,
                                 uint32_t flags) {
  m_Kind = kItem_Image;
  Init(id, texture_id, anchor, size, flags);
}

CMenuItem_Image::~CMenuItem_Image() { Release_Texture(); }

bool CMenuItem_Image::Init(int32_t id, uint32_t texture_id, const CVector2& anchor, const CVector2& size,
                           uint32_t flags) {
  m_Id = id;
  m_Flags = flags;
  m_W = size.x;
  m_H = size.y;
  m_X = (flags & kCentre_X) ? anchor.x - m_W / 2.0f : anchor.x;
  m_Y = (flags & kCentre_Y) ? anchor.y - m_H / 2.0f : anchor.y;
  Build_Quad(0xffffffff, CVector2{m_X, m_Y}, size, m_Quad);
  Build_Frame(0xff000000, CVector2{m_X, m_Y}, size, m_Outline);
  if (!Load_Texture(texture_id)) return false;
  m_Initialised = true;
  return true;
}

void CMenuItem_Image::Release_Texture() {
  if (m_Texture && g_pTexture) g_pTexture->ReleaseTexture(m_Texture);
  m_Texture = nullptr;
}

bool CMenuItem_Image::Load_Texture(uint32_t texture_id) {
  Release_Texture();
  if (texture_id == 0) return true;
  m_Texture = g_pTexture ? g_pTexture->GetTexture(texture_id) : nullptr;
  if (!m_Texture) {
    Show_Message("Error in CMenuItem_Image\nUnable to load texture...");
    return false;
  }
  return true;
}

void CMenuItem_Image::Set_Texture(CTextureData* texture) {
  Release_Texture();
  m_Texture = texture;
  if (m_Texture) ++m_Texture->m_RefCount;
}

void CMenuItem_Image::Term() {
  Release_Texture();
  m_Initialised = false;
}

bool CMenuItem_Image::On_Mouse_Down() {
  m_Pressed = true;
  g_Game.Set_Capture(this);
  return true;
}

bool CMenuItem_Image::On_Mouse_Up() {
  m_Pressed = false;
  return Is_Mouse_Over() ? On_Click() : false;
}

void CMenuItem_Image::Render(const CFrame_Info& frame) {
  (void)frame;
  if (m_Texture) Draw(m_Quad, 2, g_Menu_Mgr.Style(0), m_Texture);
  Draw(m_Outline, 8, nullptr, nullptr);
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
}
