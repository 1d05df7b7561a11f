#include "game/player/CAttachment_Display.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/Sound_FX.h"
#include "game/core/WinMain.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/Gun_Resources.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "game/core/CGame.h"

using namespace arsenal;

namespace {

constexpr uint32_t kDevice_Model = 0x22000174;
constexpr uint32_t kLight_Model = 0x22000175;
constexpr uint32_t kDevice_Style = 0x22000043;
constexpr uint32_t kLight_Style = 0x220000A1;
constexpr uint32_t kIcon_Style = 0x2200002E;
constexpr uint32_t kPanel_Texture = 0x2200002A;

constexpr float kHidden_Slide_Rate = 0.35f;
constexpr float kEmpty_Slide_Rate = 0.15f;
constexpr float kShow_Rate = 0.15f;
constexpr float kAhead = 15.0f;
constexpr float kDown = 6.0f;
constexpr float kSide = 8.0f;
constexpr float kStep_In_Per_Light = 0.45f;
constexpr float kSlide_Out = 6.0f;
constexpr float kLight_Spacing = 0.5f;
// The icon beside the device: its centre left of and above the device's place, and its half size.
constexpr float kIcon_Left = 1.5f, kIcon_Up = 0.35f, kIcon_Half = 0.223f;

void Report(const char* what) { Show_Message("Error in CAttachment_Display\n%s", what); }

uint32_t Colour(float r, float g, float b) { return Pack_Color_ARGB(CColor4{r, g, b, 1.0f}); }

}  // namespace

bool CAttachment_Display::Init(uint32_t icon_texture_id) {
  m_Device_Model = Get_Model(kDevice_Model);
  if (m_Device_Model) m_Light_Model = Get_Model(kLight_Model);
  if (!m_Device_Model || !m_Light_Model) {
    Report("Unable to create renderable object...");
    Term();
    return false;
  }
  m_Device_Style = Get_Style(kDevice_Style);
  if (m_Device_Style) m_Light_Style = Get_Style(kLight_Style);
  if (m_Light_Style) m_Icon_Style = Get_Style(kIcon_Style);
  if (!m_Icon_Style) {
    Report("Unable to load shader...");
    Term();
    return false;
  }
  m_Device_Texture = Get_Texture(kPanel_Texture);
  if (m_Device_Texture) m_Light_Texture = Get_Texture(kPanel_Texture);
  if (m_Light_Texture) m_Icon_Texture = Get_Texture(icon_texture_id);
  if (!m_Icon_Texture) {
    Report("Unable to load texture...");
    Term();
    return false;
  }
  m_Loaded = 1;
  return true;
}

void CAttachment_Display::Term() {
  Release(m_Device_Model);
  Release(m_Light_Model);
  Release(m_Device_Style);
  Release(m_Light_Style);
  Release(m_Icon_Style);
  Release(m_Device_Texture);
  Release(m_Light_Texture);
  Release(m_Icon_Texture);
  m_Loaded = 0;
}

bool CAttachment_Display::Reset(int count) {
  // A damaged count never gives negative charges.
  m_Charges = m_Initial_Charges = std::clamp(count, 0, kMost_Charges);
  m_Fade = 0.0f;
  m_Flash = 0.0f;
  m_Hidden = m_Charges == 0;
  m_Ready = 1;
  m_Active = 1;
  return true;
}

void CAttachment_Display::Use_Charge() {
  m_Flash = 1.0f;
  if (m_Charges > 0) --m_Charges;
  if (m_Charges == 0) m_Hidden = 1;
  m_Ready = 0;
}

void CAttachment_Display::Update(float dt) {
  if (!m_Active || !m_Loaded) return;
  if (m_Hidden) {
    const float rate = m_Charges > 0 ? kHidden_Slide_Rate : kEmpty_Slide_Rate;
    m_Fade = std::max(0.0f, m_Fade - dt * rate);
  } else {
    m_Fade = std::min(1.0f, m_Fade + dt * kShow_Rate);
  }
  m_Flash = std::max(0.0f, m_Flash - dt);
}

void CAttachment_Display::Render() {
  if (!m_Active || !m_Loaded || m_Fade == 0.0f) return;
  const bool zoomed = g_Camera.Projection_Altered();
  if (zoomed) g_Camera.Push_Projection();
  const CMatrix3x3& camera = g_Camera.Rotation();
  const CVector3& side = camera.rows[0];
  const CVector3& up = camera.rows[1];
  const CVector3& ahead = camera.rows[2];
  float r = kSide - kStep_In_Per_Light * static_cast<float>(std::max(m_Initial_Charges - 5, 0)) +
            kSlide_Out * std::clamp(1.0f - m_Fade, 0.0f, 1.0f);
  float d = kDown;
  if (zoomed) {
    const float b = g_Camera.m_Zoom_Level * (std::sin(g_Camera.m_Zoom_Phase) + 1.0f) * 0.5f;
    r += 4.83f * b;
    d -= 1.83f * b;
  }
  const CVector3 place = Add(Add(Add(g_Camera.Get_Eye_Position(), Mul(ahead, kAhead)), Mul(side, r)), Mul(up, -d));
  Normalize_Normals(true);
  Draw_Model(m_Device_Model, Scaled_Frame(camera, place), m_Device_Style, m_Device_Texture);

  // The icon: a white square facing the viewer, left of the device's place and a little above it.
  const CVector3 centre = Add(Sub(place, Mul(side, kIcon_Left)), Mul(up, kIcon_Up));
  const CVector3 across = Mul(side, kIcon_Half), high = Mul(up, kIcon_Half);
  const CVector3 corners[4] = {Add(Sub(centre, across), high), Add(Add(centre, across), high),
                               Sub(Add(centre, across), high), Sub(Sub(centre, across), high)};
  const float u[4] = {0.0f, 1.0f, 1.0f, 0.0f}, v[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  DrawPrimTexTriangle triangles[2];
  const int order[2][3] = {{0, 1, 2}, {0, 2, 3}};
  for (int t = 0; t < 2; ++t)
    for (int c = 0; c < 3; ++c) {
      const int i = order[t][c];
      triangles[t].v[c] = TexVertex{corners[i].x, corners[i].y, corners[i].z, 0xFFFFFFFFu, u[i], v[i]};
    }
  CD3DDrawPrim& draw = *g_pDrawPrim;
  draw.SetTransformType(kDrawPrimWorld);
  draw.SetTexture(m_Icon_Texture, 0);
  draw.SetRenderStyle(m_Icon_Style);
  draw.DrawTexTriangles(triangles, 2);
  draw.SetRenderStyle(nullptr);
  draw.SetTexture(nullptr, 0);

  // One light per charge left; the last in the ready colour once the cooldown is over.
  const uint32_t ready = Colour(0.8f, 0.8f, 0.5f), waiting = Colour(0.6f, 0.6f, 0.9f);
  for (int i = 0; i < m_Charges; ++i) {
    const uint32_t colour = (i == m_Charges - 1 && m_Ready) ? ready : waiting;
    const CVector3 at = Add(place, Mul(side, kLight_Spacing * static_cast<float>(i)));
    Draw_Model(m_Light_Model, Scaled_Frame(camera, at), m_Light_Style, m_Light_Texture, nullptr, &colour);
  }
  if (m_Flash != 0.0f) {
    const uint32_t used = Colour(0.5f, 0.3f, 0.3f);
    const CVector3 at = Sub(Add(place, Mul(side, kLight_Spacing * static_cast<float>(m_Charges))),
                            Mul(up, 0.25f * (1.0f - m_Flash)));
    Draw_Model(m_Light_Model, Scaled_Frame(camera, at), m_Light_Style, m_Light_Texture, nullptr, &used);
  }
  Normalize_Normals(false);
  if (zoomed) g_Camera.Pop_Projection();
}
