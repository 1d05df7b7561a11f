#include "game/menu/CMenuItem.h"

#include <vector>

#include "game/core/CGame.h"
#include "game/core/WinMain.h"
#include "platform/window/cursor.h"
#include "runtime/src/render/iks_render_device.h"

namespace {

std::vector<CMenuItem*>& Deferred() {
  static std::vector<CMenuItem*> items;
  return items;
}

void Fill_Rect(DrawPrimTexTriangle* triangles, uint32_t colour, float x, float y, float w, float h) {
  const TexVertex a{x, y, 0.0f, colour, 0.0f, 0.0f};
  const TexVertex b{x + w, y, 0.0f, colour, 1.0f, 0.0f};
  const TexVertex c{x + w, y + h, 0.0f, colour, 1.0f, 1.0f};
  const TexVertex d{x, y + h, 0.0f, colour, 0.0f, 1.0f};
  triangles[0] = DrawPrimTexTriangle{{a, b, c}};
  triangles[1] = DrawPrimTexTriangle{{a, c, d}};
}

}  // namespace

CMenuItem::~CMenuItem() {
  g_Game.Forget_Capture(this);
}

bool CMenuItem::Is_Mouse_Over() {
  const CVector2 cursor = Cursor();
  return m_X <= cursor.x && cursor.x < m_X + m_W && m_Y <= cursor.y && cursor.y < m_Y + m_H;
}

void CMenuItem::Build_Quad(uint32_t colour, const CVector2& position, const CVector2& size, Item_Quad& vertices) {
  Fill_Rect(vertices, colour, position.x, position.y, size.x, size.y);
}

void CMenuItem::Build_Frame(uint32_t colour, const CVector2& position, const CVector2& size, Item_Frame& vertices) {
  const float x = position.x, y = position.y, w = size.x, h = size.y;
  Fill_Rect(&vertices[0], colour, x, y, w, 1.0f);
  Fill_Rect(&vertices[2], colour, x, y + h, w, 1.0f);
  Fill_Rect(&vertices[4], colour, x, y, 1.0f, h);
  Fill_Rect(&vertices[6], colour, x + w, y, 1.0f, h);
}

void CMenuItem::Set_Colour(DrawPrimTexTriangle* triangles, int count, uint32_t colour) {
  for (int t = 0; t < count; ++t)
    for (TexVertex& vertex : triangles[t].v) vertex.color = colour;
}

void CMenuItem::Draw(const DrawPrimTexTriangle* triangles, int count, CD3DRenderStyle* style, CTextureData* texture) {
  CD3DDrawPrim& draw = *g_pDrawPrim;
  draw.SetTransformType(kDrawPrimScreen);
  draw.SetZBufferMode(2);
  draw.SetColorOp(texture ? 1 : 0);
  draw.SetRenderStyle(style);
  draw.SetTexture(texture, 0);
  draw.DrawTexTriangles(triangles, static_cast<uint32_t>(count));
  draw.SetTexture(nullptr, 0);
  draw.SetRenderStyle(nullptr);
}

CVector2 CMenuItem::Cursor() {
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  if (g_Main_Window) ScreenToClient(g_Main_Window, &cursor);
  return CVector2{static_cast<float>(cursor.x), static_cast<float>(cursor.y)};
}

float CMenuItem::Text_Height(int size_class) {
  static constexpr float kHeights[4] = {0.03f, 0.035f, 0.048f, 0.08f};
  if (size_class < 0 || size_class > 3) return 0.0f;
  return kHeights[size_class] * Screen_H();
}

float CMenuItem::Screen_W() { return g_pRenderDevice ? g_pRenderDevice->GetScreenWidthF() : 0.0f; }
float CMenuItem::Screen_H() { return g_pRenderDevice ? g_pRenderDevice->GetScreenHeightF() : 0.0f; }

void Defer_Item_Deletion(CMenuItem* item) {
  if (!item) return;
  g_Game.Forget_Capture(item);
  Deferred().push_back(item);
}

void Free_Deferred_Items() {
  std::vector<CMenuItem*> items;
  items.swap(Deferred());
  for (CMenuItem* item : items) delete item;
}
