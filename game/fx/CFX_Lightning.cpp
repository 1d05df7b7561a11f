#include "game/fx/CFX_Lightning.h"

#include <algorithm>
#include <cmath>

#include "runtime/src/render/sys/pc/d3d_drawprim.h"

namespace {
bool g_Module_Started = false;
}  // namespace

bool CFX_Lightning::Init() {
  g_Module_Started = true;
  return true;
}

void CFX_Lightning::Term() { g_Module_Started = false; }

bool CFX_Lightning::Is_Initialised() { return g_Module_Started; }

bool CFX_Lightning::Setup(const int& kind, const CVector3& start, const CVector3& end, const uint32_t& colour,
                          const float& width, const float& life, const float& scale) {
  (void)scale;
  m_Kind = kind;
  m_Start = start;
  m_End = end;
  m_Colour = colour;
  m_Width = width;
  m_Life = m_Remaining = life;
  m_No_Glow = false;
  m_Active = true;
  return true;
}

void CFX_Lightning::Update(const float& step) {
  if (!m_Active) return;
  m_Remaining -= step;
  if (m_Remaining <= 0.0f) m_Active = false;
}

// A straight line in the bolt's colour, fading with its life.
void CFX_Lightning::Render() {
  if (!m_Active) return;
  const float f = m_Life > 0.0f ? std::clamp(m_Remaining / m_Life, 0.0f, 1.0f) : 0.0f;
  const uint32_t alpha = std::min(255u, static_cast<uint32_t>(std::sqrt(f) * 255.0f));
  DrawPrimFlatLine line{{m_Start, m_End}, alpha << 24 | (m_Colour & 0xFFFFFFu)};
  CD3DDrawPrim& draw = g_D3DDrawPrim;
  draw.SetTransformType(kDrawPrimWorld);
  draw.DrawFlatLines(&line, 1);
}

void CFX_Lightning::Render_Glow() {}
