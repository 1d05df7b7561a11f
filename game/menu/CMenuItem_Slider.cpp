#include "game/menu/CMenuItem_Slider.h"

#include <algorithm>

#include "game/core/CFrame_Info.h"
#include "game/core/CGame.h"
#include "game/core/Sound_FX.h"
#include "game/menu/CMenu_Mgr.h"

namespace {
constexpr uint32_t kStep_Sound = 0x220000df;
constexpr uint32_t kTrack_Colour = 0x888888aa;
constexpr uint32_t kArrow_Colour = 0xaa88ccaa;

// A cell quad with the arrow texture's upper half (the arrow points up) turned by quarter turns,
// or its lower half (the thumb).
void Arrow_Cell(Item_Quad& quad, float x, float y, float s, int quarter_turns, bool thumb) {
  CMenuItem::Build_Quad(kArrow_Colour, CVector2{x, y}, CVector2{s, s}, quad);
  const float v0 = thumb ? 0.5f : 0.0f;
  for (DrawPrimTexTriangle& triangle : quad)
    for (TexVertex& vertex : triangle.v) {
      float u = (vertex.x - x) / s, v = (vertex.y - y) / s;
      for (int turn = 0; turn < quarter_turns; ++turn) {
        const float turned_u = v;
        v = 1.0f - u;
        u = turned_u;
      }
      vertex.u = u;
      vertex.v = v0 + 0.5f * v;
    }
}
}  // namespace

CMenuItem_Slider::CMenuItem_Slider(int32_t id, const CVector2& anchor, float width, uint32_t flags) {
  m_Kind = kItem_Slider;
  Setup(id, anchor, width, flags);
}

float CMenuItem_Slider::Cell() const { return 0.023f * Screen_H(); }

void CMenuItem_Slider::Setup(int32_t id, const CVector2& anchor, float width, uint32_t flags) {
  m_Id = id;
  m_Flags = flags;
  m_Value = 0.0f;
  m_On_Change = nullptr;
  m_Repeat_Timer = 0.0f;
  m_Pressed = false;
  const float s = Cell();
  m_W = width;
  m_H = s;
  m_X = anchor.x;
  if (flags & kCentre_X) m_X = anchor.x - width / 2.0f;
  if (flags & kRight_X) m_X = anchor.x - width;
  m_Y = (flags & kCentre_Y) ? anchor.y - s / 2.0f : anchor.y;
  m_Initialised = true;
}

void CMenuItem_Slider::Change(float value) {
  Play_Sound_FX(kStep_Sound, 1.0f);
  m_Value = value;
  if (m_On_Change) m_On_Change();
}

void CMenuItem_Slider::Track_Cursor() {
  if (!Is_Mouse_Over()) return;
  const CVector2 cursor = Cursor();
  const float s = Cell();
  if (cursor.x >= m_X && cursor.x <= m_X + s) {
    if (m_Value > 0.0f) Change(std::max(m_Value - kArrow_Step, 0.0f));
  } else if (cursor.x >= m_X + m_W - s && cursor.x <= m_X + m_W) {
    if (m_Value < 1.0f) Change(std::min(m_Value + kArrow_Step, 1.0f));
  } else {
    const float t = (cursor.x - (m_X + s)) / std::max(m_W - 2.0f * s, 0.001f);
    if (t != m_Value) Change(t);
  }
}

bool CMenuItem_Slider::On_Mouse_Down() {
  if (m_Flags & kHidden) return false;
  m_Pressed = true;
  m_Repeat_Timer = kRepeat;
  g_Game.Set_Capture(this);
  Track_Cursor();
  return false;
}

bool CMenuItem_Slider::On_Mouse_Up() {
  if (m_Flags & kHidden) return false;
  m_Pressed = false;
  return true;
}

void CMenuItem_Slider::Update(const CFrame_Info& frame) {
  if (!m_Pressed) {
    m_Repeat_Timer = 0.0f;
    return;
  }
  m_Repeat_Timer -= frame.Delta;
  if (m_Repeat_Timer < 0.0f) {
    m_Repeat_Timer = kRepeat;
    Track_Cursor();
  }
}

float CMenuItem_Slider::Knob_X() const {
  const float s = Cell();
  const float k = std::clamp(m_Value + (m_Value - 0.5f) * 0.1f, 0.0f, 1.0f);
  return m_X + s + k * (m_W - 3.0f * s);
}

void CMenuItem_Slider::Term() {
  m_On_Change = nullptr;
  m_Initialised = false;
}

void CMenuItem_Slider::Render(const CFrame_Info& frame) {
  if (m_Flags & kHidden) return;
  Update(frame);
  const float s = Cell();
  CD3DRenderStyle* style = g_Menu_Mgr.Style(0);
  Item_Quad track;
  Build_Quad(kTrack_Colour, CVector2{m_X + s, m_Y + s / 4.0f}, CVector2{m_W - 2.0f * s, s / 2.0f}, track);
  Draw(track, 2, style, nullptr);
  CTextureData* arrows = g_Menu_Mgr.Texture(3);
  Item_Quad left, right, knob;
  Arrow_Cell(left, m_X, m_Y, s, 3, false);
  Arrow_Cell(right, m_X + m_W - s, m_Y, s, 1, false);
  Arrow_Cell(knob, Knob_X(), m_Y, s, 0, true);
  Draw(left, 2, style, arrows);
  Draw(right, 2, style, arrows);
  Draw(knob, 2, style, arrows);
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
}
