#pragma once
// The base of every menu item: a screen rectangle that draws itself each frame and may react to
// the mouse, with the hit test, the capture rule and the quad and frame builders all kinds share.
#include <cstdint>

#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

struct CFrame_Info;
class CD3DRenderStyle;
class CTextureData;

// Item kinds.
enum : int32_t {
  kItem_Button = 1,
  kItem_Text = 2,
  kItem_Edit = 3,
  kItem_Typed_Text = 4,
  kItem_List = 5,
  kItem_Image = 6,
  kItem_Tab = 7,
  kItem_Slider = 8,
};

// A rectangle as two triangles, and a one-pixel frame as four strips of two triangles.
using Item_Quad = DrawPrimTexTriangle[2];
using Item_Frame = DrawPrimTexTriangle[8];

class CMenuItem {
 public:
  CMenuItem() = default;
  CMenuItem(const CMenuItem&) = delete;
  CMenuItem& operator=(const CMenuItem&) = delete;
  // Releases the game's mouse capture when this item holds it.
  virtual ~CMenuItem();

  virtual void Term() {}
  virtual bool On_Click() { return false; }
  virtual bool On_Mouse_Down() { return false; }
  virtual bool On_Mouse_Up() { return false; }
  // The cursor lies inside the rectangle (half-open on the right and bottom).
  virtual bool Is_Mouse_Over();
  virtual void Render(const CFrame_Info& frame) { (void)frame; }

  static void Build_Quad(uint32_t colour, const CVector2& position, const CVector2& size, Item_Quad& vertices);
  static void Build_Frame(uint32_t colour, const CVector2& position, const CVector2& size, Item_Frame& vertices);
  // Sets the colour of every vertex.
  static void Set_Colour(DrawPrimTexTriangle* triangles, int count, uint32_t colour);
  // Draws triangles in screen space with a style and texture (none for vertex colour only).
  static void Draw(const DrawPrimTexTriangle* triangles, int count, CD3DRenderStyle* style, CTextureData* texture);
  // The cursor in the main window's client coordinates.
  static CVector2 Cursor();
  // The text height of a size class 0-3 (0.03, 0.035, 0.048, 0.08 of the screen height), 0 else.
  static float Text_Height(int size_class);
  static float Screen_W();
  static float Screen_H();

  bool m_Initialised = false;
  int32_t m_Kind = 0;
  int32_t m_Id = 0;
  float m_X = 0.0f, m_Y = 0.0f, m_W = 0.0f, m_H = 0.0f;
};

// Items a callback may have taken out of their panel are freed only after the input event or
// frame step that removed them has returned.
void Defer_Item_Deletion(CMenuItem* item);
// Frees the items waiting for deletion.
void Free_Deferred_Items();
