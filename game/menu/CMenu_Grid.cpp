#include "game/menu/CMenu_Grid.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/core/WinMain.h"
#include "platform/system/random.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "game/core/CGame.h"

namespace {

constexpr uint32_t kTexture_Id = 0x22000064;
constexpr uint32_t kStyle_Id = 0x22000065;

float Chance() { return static_cast<float>(plat::Random()) / 32768.0f; }

CVector3 Add(const CVector3& a, const CVector3& b) { return CVector3{a.x + b.x, a.y + b.y, a.z + b.z}; }
CVector3 Scale(const CVector3& a, float s) { return CVector3{a.x * s, a.y * s, a.z * s}; }
CVector3 Sub(const CVector3& a, const CVector3& b) { return CVector3{a.x - b.x, a.y - b.y, a.z - b.z}; }

struct Pace {
  float rate, light_chance, flash_chance, fading;
};

Pace Pace_Of(int mode) {
  const bool lively = mode == 1 || mode == 3 || mode == 4;
  return lively ? Pace{0.15f, 0.02f, 0.005f, 0.5f} : Pace{0.045f, 0.005f, 0.003f, 0.1f};
}

}  // namespace

bool CMenu_Grid::Init() {
  m_Texture = g_pTexture ? g_pTexture->GetTexture(kTexture_Id) : nullptr;
  if (!m_Texture) {
    Show_Message("Error in CMenu_Grid\nUnable to load texture...");
    Term();
    return false;
  }
  m_Style = g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(kStyle_Id) : nullptr;
  if (!m_Style) {
    Show_Message("Error in CMenu_Grid\nUnable to shader...");
    Term();
    return false;
  }
  m_Mode = kNone;
  Init_Geometry();
  m_Initialised = true;
  return true;
}

void CMenu_Grid::Term() {
  if (m_Texture && g_pTexture) g_pTexture->ReleaseTexture(m_Texture);
  m_Texture = nullptr;
  if (m_Style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(m_Style);
  m_Style = nullptr;
  m_Lines.clear();
  m_Initialised = false;
}

// The screen rectangle on the projection plane, moved 250 times as far from the camera, and a
// depth of 750 units along the view.
void CMenu_Grid::Init_Geometry() {
  const float W = g_pRenderDevice ? g_pRenderDevice->GetScreenWidthF() : 640.0f;
  const float H = g_pRenderDevice ? g_pRenderDevice->GetScreenHeightF() : 480.0f;
  const CVector3 eye = g_Camera.Position();
  auto project = [&](float x, float y) {
    const CVector3 on_plane = g_Camera.Screen_To_World(CVector3{x, y, 0.0f});
    return Add(eye, Scale(Sub(on_plane, eye), 250.0f));
  };
  m_Origin = project(0.0f, 0.0f);
  m_Across = Sub(project(W, 0.0f), m_Origin);
  m_Down = Sub(project(0.0f, H), m_Origin);
  m_Depth = Scale(g_Camera.Rotation().rows[2], 750.0f);
}

void CMenu_Grid::Add_Line(uint32_t flags, const CVector3& start, const CVector3& extent) {
  Line line;
  line.flags = flags;
  line.start = start;
  line.extent = extent;
  m_Lines.push_back(line);
}

void CMenu_Grid::Set_Mode(int mode) {
  m_Lines.clear();
  const CVector3& O = m_Origin;
  const CVector3& A = m_Across;
  const CVector3& B = m_Down;
  const CVector3& D = m_Depth;
  auto odd = [](int k, int n) { return (2.0f * k + 1.0f) / static_cast<float>(n); };
  if (mode == kConsole) {
    for (int k = 0; k < 13; ++k) Add_Line(0, Add(O, Scale(B, odd(k, 26))), A);
    for (int k = 0; k < 9; ++k) Add_Line(0, Add(O, Scale(A, odd(k, 36))), B);
  } else if (mode == kSimulator) {
    for (int k = 0; k < 8; ++k) {
      const CVector3 side = Add(O, Scale(B, odd(k, 16)));
      Add_Line(1, side, D);
      Add_Line(1, Add(Add(side, A), D), Scale(D, -1.0f));
      Add_Line(1, Add(side, D), A);
    }
    for (int k = 0; k < 10; ++k) {
      const CVector3 top = Add(O, Scale(A, 0.05f + 0.1f * static_cast<float>(k)));
      Add_Line(0, top, D);
      Add_Line(0, Add(Add(top, B), D), Scale(D, -1.0f));
      Add_Line(0, Add(top, D), B);
    }
    for (int k = 0; k < 8; ++k) {
      const CVector3 deep = Add(O, Scale(D, odd(k, 16)));
      Add_Line(0, deep, A);
      Add_Line(0, Add(Add(deep, B), A), Scale(A, -1.0f));
    }
  } else if (mode == kReport_Failure || mode == kReport_Success) {
    for (int k = 0; k < 16; ++k) Add_Line(0, Add(O, Scale(B, odd(k, 32))), A);
    for (int k = 0; k < 23; ++k) Add_Line(0, Add(O, Scale(A, odd(k, 46))), B);
  }
  for (Line& line : m_Lines) line.phase = 0.0f;
  m_Mode = mode;
}

void CMenu_Grid::Update(float step) {
  const Pace pace = Pace_Of(m_Mode);
  const float d = pace.rate * step;
  for (Line& line : m_Lines) {
    if (line.phase == 0.0f) {
      if (Chance() < pace.light_chance) {
        line.phase = d;
        line.brightness = line.target = (1.0f + Chance()) / 2.0f;
      }
    } else if (line.phase < 1.0f) {
      line.phase = std::min(line.phase + 2.0f * d, 1.0f);
    } else if (line.phase == 1.0f) {
      if (Chance() < pace.flash_chance) {
        line.flash = 0.25f + 0.75f * Chance();
        line.phase += d;
      } else {
        line.brightness = std::max(line.brightness - d * pace.fading, 0.0f);
      }
    } else {
      line.phase += 2.0f * d;
      line.brightness = std::min(line.brightness + 0.33f * d, line.target);
    }
    if (line.phase > 3.0f) line.phase = 1.0f;
  }
}

void CMenu_Grid::Draw_Ribbon(const CVector3& start, const CVector3& extent, float half_width, float start_alpha,
                             float end_alpha, float scale, uint32_t flags) const {
  const bool across_y = std::fabs(extent.x) < std::fabs(extent.y);
  const bool across_z = !(flags & 1) && std::fabs(extent.x) < std::fabs(extent.z);
  const CVector3 n = (across_y || across_z) ? CVector3{1.0f, 0.0f, 0.0f} : CVector3{0.0f, 1.0f, 0.0f};
  const CVector3 offset = Scale(n, half_width);
  uint32_t rgb = 0xffffff;
  if (m_Mode == kReport_Failure) rgb = 0xff3333;
  if (m_Mode == kReport_Success) rgb = 0x33ff33;
  auto colour = [rgb](float alpha) {
    const auto a = static_cast<uint32_t>(std::clamp(255.0f * alpha, 0.0f, 255.0f));
    return (a << 24) | rgb;
  };
  const float u0 = std::max(-10.0f * scale, -10.0f);
  const float u1 = 0.75f;
  const CVector3 s0 = Sub(start, offset);
  const CVector3 s1 = Add(start, offset);
  const CVector3 e0 = Add(s0, extent);
  const CVector3 e1 = Add(s1, extent);
  DrawPrimTexQuad quad;
  quad.v[0] = TexVertex{s0.x, s0.y, s0.z, colour(start_alpha), u0, 0.0f};
  quad.v[1] = TexVertex{e0.x, e0.y, e0.z, colour(end_alpha), u1, 0.0f};
  quad.v[2] = TexVertex{e1.x, e1.y, e1.z, colour(end_alpha), u1, 1.0f};
  quad.v[3] = TexVertex{s1.x, s1.y, s1.z, colour(start_alpha), u0, 1.0f};
  g_pDrawPrim->DrawTexQuads(&quad, 1);
}

void CMenu_Grid::Render(const CFrame_Info& frame) {
  (void)frame;
  if (m_Mode == kNone || !m_Initialised) return;
  CD3DDrawPrim& draw = *g_pDrawPrim;
  draw.SetTransformType(kDrawPrimWorld);
  draw.SetRenderStyle(m_Style);
  draw.SetTexture(m_Texture, 0);
  for (const Line& line : m_Lines) {
    if (line.phase <= 0.0f) continue;
    const float alpha = 0.75f * line.brightness;
    const float s = line.phase;
    if (s < 1.0f) {
      Draw_Ribbon(line.start, Scale(line.extent, s), 4.0f, alpha, alpha, s, line.flags);
      continue;
    }
    Draw_Ribbon(line.start, line.extent, 4.0f, alpha, alpha, 1.0f, line.flags);
    if (s <= 1.0f) continue;
    if (s <= 2.0f)
      Draw_Ribbon(line.start, Scale(line.extent, s - 1.0f), 5.0f, (2.0f - s) * line.flash, line.flash, 2.0f - s,
                  line.flags);
    else
      Draw_Ribbon(Add(line.start, Scale(line.extent, s - 2.0f)), Scale(line.extent, 3.0f - s), 5.0f, 0.0f,
                  line.flash, s, line.flags);
  }
  draw.SetTexture(nullptr, 0);
  draw.SetRenderStyle(nullptr);
}
