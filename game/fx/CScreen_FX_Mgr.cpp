#include "game/fx/CScreen_FX_Mgr.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/fx/CGen_Projector.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/warroom/Glow_Lighting.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/render_state_warm_up.h"

CScreen_FX_Mgr g_Screen_FX_Mgr;

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kDepth_Off = 2;
constexpr uint32_t kDrop_Shadow = 4;
enum { kTex_Glow, kTex_Beam, kTex_Ground, kTex_Noise, kTex_Pattern };
// The menu-scene overlay's border: the sides' width as a share of the screen's width, the top
// and bottom edges' as a share of its height (the same on a 4:3 screen).
// How far the pattern veil scrolls per time unit, in repeats of its texture.
constexpr float kVeil_Scroll_Rate = 0.25f;
constexpr float kOverlay_Side_Width = 0.03f;
constexpr float kOverlay_Edge_Width = 0.04f;
const uint32_t kTexture_Ids[5] = {0x22000069, 0x22000032, 0x22000033, 0x2200010E, 0x2200012F};

float Up_Down(float t, float p) { return t < p ? t / p : 1.0f - (t - p) / (1.0f - p); }
float Up_Hold_Down(float t, float p, float q) { return t < p ? t / p : (t <= q ? 1.0f : 1.0f - (t - q) / (1.0f - q)); }

// Kinds 0-2: in over value 1, then down to the end; a span that is not positive gives 0.
float Fade_In_Out(const CScreen_FX_Record& r) {
  const float duration = std::max(r.duration, 0.00001f);
  if (r.elapsed < r.value1) return r.value1 > 0.0f ? r.elapsed / r.value1 : 0.0f;
  const float span = duration - r.value1;
  if (!(span > 0.0f)) return 0.0f;
  return 1.0f - (r.elapsed - r.value1) / span;
}

uint32_t Alpha_Of(float value) { return fx::Clamp_Byte(value); }
uint32_t With_Alpha(uint32_t rgb, float alpha) { return Alpha_Of(alpha) << 24 | (rgb & 0xFFFFFF); }
uint32_t Rgb_Of(const float v[4]) {
  return fx::Channel_Byte(v[1]) << 16 | fx::Channel_Byte(v[2]) << 8 | fx::Channel_Byte(v[3]);
}

float Screen_W() { return g_pRenderDevice ? g_pRenderDevice->GetScreenWidthF() : 640.0f; }
float Screen_H() { return g_pRenderDevice ? g_pRenderDevice->GetScreenHeightF() : 480.0f; }

uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

// Each channel of `from` moved toward `to` by c; alpha 0.
uint32_t Blend_Rgb(uint32_t from, const float to[3], float c) {
  uint32_t out = 0;
  for (int i = 0; i < 3; ++i) {
    const int shift = 16 - 8 * i;
    const float kept = static_cast<float>(Channel(from, shift));
    out |= fx::Clamp_Byte(kept + c * (to[i] - kept)) << shift;
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

bool CScreen_FX_Mgr::Init() {
  m_Glow_Style = fx::Get_Style(0x22000031);
  m_Plain_Style = fx::Get_Style(0x2200002E);
  if (!m_Glow_Style || !m_Plain_Style) {
    Show_Message("Error in CScreen_FX_Mgr\nUnable to create render shader...");
    Term();
    return false;
  }
  for (int i = 0; i < 5; ++i) {
    m_Textures[i] = fx::Get_Texture(kTexture_Ids[i]);
    if (!m_Textures[i]) {
      Show_Message("Error in CScreen_FX_Mgr\nUnable to create texture...");
      Term();
      return false;
    }
  }
  m_Step = 0.0f;
  m_Initialised = true;
  if (m_Warm_Up_Drawer == 0) m_Warm_Up_Drawer = Add_Warm_Up_Drawer([this] { Warm_Up_Screen_Quads(); });
  return true;
}

void CScreen_FX_Mgr::Term() {
  Remove_Warm_Up_Drawer(m_Warm_Up_Drawer);
  m_Warm_Up_Drawer = 0;
  m_Effects.clear();
  Drop_Shutter();
  for (CTextureData*& t : m_Textures) fx::Release(t);
  fx::Release(m_Glow_Style);
  fx::Release(m_Plain_Style);
  m_Initialised = false;
}

void CScreen_FX_Mgr::Take_Shutter() {
  if (m_Shutter_Held) return;
  m_Shutter_Parts[0] = fx::Get_Renderable(0x22000076);
  m_Shutter_Parts[1] = fx::Get_Renderable(0x22000077);
  m_Shutter_Style = fx::Get_Style(0x22000043);
  m_Shutter_Texture = fx::Get_Texture(0x22000078);
  m_Shutter_Held = true;
}

void CScreen_FX_Mgr::Drop_Shutter() {
  fx::Release(m_Shutter_Parts[0]);
  fx::Release(m_Shutter_Parts[1]);
  fx::Release(m_Shutter_Style);
  fx::Release(m_Shutter_Texture);
  m_Shutter_Held = false;
}

bool CScreen_FX_Mgr::Shutter_Lives() const {
  for (const CScreen_FX_Record& r : m_Effects)
    if (r.kind == 9 || r.kind == 10) return true;
  return false;
}

CScreen_FX_Record& CScreen_FX_Mgr::Append(int kind, float duration) {
  m_Effects.emplace_back();
  CScreen_FX_Record& r = m_Effects.back();
  r.kind = kind;
  r.duration = duration;
  return r;
}

void CScreen_FX_Mgr::Add_Effect(int kind, float duration, const CColor4& a, const CColor4& b, float value1,
                                float value2) {
  CScreen_FX_Record& r = Append(kind, duration);
  std::copy(&a.r, &a.r + 4, r.vector_a);
  std::copy(&b.r, &b.r + 4, r.vector_b);
  r.value1 = value1;
  r.value2 = value2;
}

void CScreen_FX_Mgr::Add_Effect_2(int kind, float duration, float value1) {
  if (kind == 9 || kind == 10) Take_Shutter();
  Append(kind, duration).value1 = value1;
}

void CScreen_FX_Mgr::Add_Effect_3(int kind, float duration, const CVector3& a, const CVector3& b, float value1,
                                  float value2) {
  CScreen_FX_Record& r = Append(kind, duration);
  r.vector_a[0] = a.x, r.vector_a[1] = a.y, r.vector_a[2] = a.z;
  r.vector_b[0] = b.x, r.vector_b[1] = b.y, r.vector_b[2] = b.z;
  r.value1 = value1;
  r.value2 = value2;
}

void CScreen_FX_Mgr::Add_Effect_4(int kind, float duration, const char* text) {
  Append(kind, duration).text = text ? text : "";
}

void CScreen_FX_Mgr::Add_Effect_5(int kind, float duration, uint32_t color) { Append(kind, duration).color_word = color; }

void CScreen_FX_Mgr::Update(const CFrame_Info& frame) {
  m_Step = frame.Delta;
  bool shutter_ended = false;
  for (auto it = m_Effects.begin(); it != m_Effects.end();) {
    it->elapsed += m_Step;
    if (it->elapsed > it->duration) {
      shutter_ended = shutter_ended || it->kind == 9 || it->kind == 10;
      it = m_Effects.erase(it);
    } else {
      ++it;
    }
  }
  // The shutter's resources go only with the last record that draws them.
  if (shutter_ended && !Shutter_Lives()) Drop_Shutter();
}

void CScreen_FX_Mgr::Clear_Sim_Effects() {
  m_Effects.remove_if([](const CScreen_FX_Record& r) { return r.kind >= 13 && r.kind <= 24; });
}

float CScreen_FX_Mgr::Envelope(const CScreen_FX_Record& r) {
  const float duration = std::max(r.duration, r.kind <= 8 ? 0.00001f : 0.0001f);
  const float t = r.elapsed / duration;
  switch (r.kind) {
    case 0: case 1: case 2: return Fade_In_Out(r);
    case 3: return t;
    case 4: return std::clamp(t + 0.05f, 0.0f, 1.0f);
    case 5: case 6: return Up_Hold_Down(t, 0.1f, 0.9f);
    case 7: return Up_Hold_Down(t, 0.2f, 0.8f);
    case 8: return Up_Hold_Down(t, 0.2f, 0.6f);
    case 9: return t;
    case 10: return std::clamp(1.0f - t, 0.0f, 1.0f);
    case 11: return Up_Down(t, 0.05f);
    case 12: return Up_Down(t < 0.5f ? 2.0f * t : 2.0f * t - 1.0f, 0.05f);
    case 13: return Up_Down(t, 0.25f);
    case 14: return Up_Down(t, 0.15f);
    case 15: return Up_Down(t, 0.05f);
    case 16: case 17: return t;
    case 18: return Up_Down(t, 0.925f);
    case 19: return Up_Down(t, 0.65f);
    case 20: return Up_Down(t, 0.05f);
    case 21: return Up_Hold_Down(t, 0.25f, 0.9f);
    case 22: return Up_Hold_Down(t, 0.15f, 0.7f);
    case 23: return Up_Hold_Down(t, 0.15f, 0.9f);
    case 24: return Up_Down(t, 0.15f);
    default: return 0.0f;
  }
}

void CScreen_FX_Mgr::Render() {
  if (!m_Initialised || m_Effects.empty()) return;
  for (CScreen_FX_Record& r : m_Effects)
    if (r.kind != 21) Run(r);
}

void CScreen_FX_Mgr::Render_In_World() {
  if (!m_Initialised) return;
  for (CScreen_FX_Record& r : m_Effects)
    if (r.kind == 21) Run(r);
}

void CScreen_FX_Mgr::Run(CScreen_FX_Record& r) {
  const float e = Envelope(r);
  const float* a = r.vector_a;
  switch (r.kind) {
    case 0: Screen_Quad(With_Alpha(0x666622, 255.0f * e), 3, 0, nullptr); break;
    case 1: Screen_Quad(With_Alpha(0x000022, 255.0f * e), 3, 0, nullptr); break;
    case 2: World_Flash(e); break;
    case 3: Clear_Colour_Fade(r); break;
    case 4: Menu_Overlay(r); break;
    case 5: Text(r, 1, 0x0000FF, 100.0f * e, 0.035f, 0.5f, true); break;
    case 6: Text(r, 3, 0xFFFF00, 210.0f * e, 0.08f, 0.5f, true); break;
    case 7: Text(r, 3, 0x5533FF, 120.0f * e, 0.08f, 0.9f, false); break;
    case 8: Text(r, 2, 0xE6B973, 255.0f * e, 0.048f, 0.94f, false); break;
    case 9: case 10: Shutter(e); break;
    case 11: case 12: {
      const uint32_t color = With_Alpha(Rgb_Of(a), 255.0f * a[0] * e);
      Screen_Quad(color, 7, kDepth_Off, m_Textures[kTex_Glow]);
      Screen_Quad(color, 7, kDepth_Off, nullptr);
      break;
    }
    case 13:
      if (!g_Game_Paused && m_Step > 0.0f) g_Camera.Shake(e * r.value1 * 5.0f);
      break;
    case 14: Ground_Flash(r, e); break;
    case 15: g_World.m_Diffuse_Accumulator.Add_Assign(CVector3{e * a[1], e * a[2], e * a[3]}); break;
    case 16: {
      const float t = r.elapsed / std::max(r.duration, 0.0001f);
      g_Camera.Set_Frame_Tilt(std::clamp(std::sin(2.0f * kPi * t) * 1.5f, -1.0f, 1.0f) * kPi / 4.0f);
      break;
    }
    case 17: g_Camera.Set_Frame_Tilt(2.0f * kPi * (r.elapsed / std::max(r.duration, 0.0001f))); break;
    case 18:
      g_World.m_Diffuse_Accumulator.Subtract_Assign(CVector3{e * 0.5f * a[1], e * 0.5f * a[2], e * 0.5f * a[3]});
      g_World.m_Ambient_Accumulator.Subtract_Assign(CVector3{e * a[1], e * a[2], e * a[3]});
      break;
    case 19: Clear_Colour_Pulse(r, e); break;
    case 20:
      Screen_Quad(With_Alpha(0xFFFFFF, 255.0f * e * r.value1), 7, 0, m_Textures[kTex_Noise], 0.002f * Screen_W(),
                  0.002f * Screen_H(), fx::Random_Unit(), fx::Random_Unit());
      break;
    case 21:
      g_World.m_Light_Dimming = e;
      Screen_Quad(With_Alpha(0x000000, 195.0f * e), 3, kDepth_Off, nullptr);
      break;
    case 22: Sparkle_Spray(r, e); break;
    case 23: Pattern_Veil(r, e); break;
    case 24: Tracer(r, e); break;
    default: break;
  }
}

// The full-screen quads the effects draw (blend, depth, texture), in the order they draw them:
// a quad without a texture keeps the one drawn before bound, and the driver tells that apart.
void CScreen_FX_Mgr::Warm_Up_Screen_Quads() {
  if (!m_Initialised) return;
  constexpr uint32_t kOpaque = 0xFFFFFFFFu;
  Screen_Quad(kOpaque, 3, 0, nullptr);
  Screen_Quad(kOpaque, 7, kDepth_Off, m_Textures[kTex_Glow]);
  Screen_Quad(kOpaque, 7, kDepth_Off, nullptr);
  Screen_Quad(kOpaque, 7, 0, m_Textures[kTex_Noise]);
  Screen_Quad(kOpaque, 3, kDepth_Off, nullptr);
  Screen_Quad(kOpaque, 0, 0, m_Textures[kTex_Pattern], 1.0f, 1.0f, 0.0f, 0.0f, m_Plain_Style);
}

void CScreen_FX_Mgr::Screen_Quad(uint32_t color, int blend, int depth, CTextureData* texture, float u_repeat,
                                 float v_repeat, float u_offset, float v_offset, CD3DRenderStyle* style) {
  if ((color >> 24) == 0) return;
  const float w = Screen_W(), h = Screen_H();
  CD3DDrawPrim& draw = *g_pDrawPrim;
  draw.ResetState();
  draw.SetTransformType(kDrawPrimScreen);
  draw.SetRenderStyle(style);
  draw.SetTexture(texture, 0);
  draw.SetColorOp(texture ? 1 : 0);
  draw.SetAlphaBlendMode(blend);
  draw.SetZBufferMode(depth);
  DrawPrimTexQuad quad;
  const float x[4] = {0.0f, w, w, 0.0f}, y[4] = {0.0f, 0.0f, h, h};
  const float u[4] = {0.0f, 1.0f, 1.0f, 0.0f}, v[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  for (int i = 0; i < 4; ++i)
    quad.v[i] = TexVertex{x[i], y[i], 0.0f, color, u[i] * u_repeat + u_offset, v[i] * v_repeat + v_offset};
  draw.DrawTexQuads(&quad, 1);
  draw.ResetState();
  draw.SetTransformType(kDrawPrimWorld);
}

void CScreen_FX_Mgr::World_Flash(float e) {
  const uint32_t color = With_Alpha(0x666622, 255.0f * e);
  if ((color >> 24) == 0) return;
  const CMatrix3x3& r = g_Camera.Rotation();
  const CVector3& eye = g_Camera.Position();
  const float signs[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
  DrawPrimQuad quad;
  for (int i = 0; i < 4; ++i) {
    const float s0 = 300.0f * signs[i][0], s1 = 300.0f * signs[i][1];
    quad.v[i] = ColorVertex{eye.x + 300.0f * r.rows[2].x + s0 * r.rows[0].x + s1 * r.rows[1].x,
                            eye.y + 300.0f * r.rows[2].y + s0 * r.rows[0].y + s1 * r.rows[1].y,
                            eye.z + 300.0f * r.rows[2].z + s0 * r.rows[0].z + s1 * r.rows[1].z, color};
  }
  CD3DDrawPrim& draw = *g_pDrawPrim;
  draw.ResetState();
  draw.SetTransformType(kDrawPrimWorld);
  draw.SetAlphaBlendMode(3);
  draw.SetZBufferMode(kDepth_Off);
  draw.DrawQuads(&quad, 1);
  draw.ResetState();
}

void CScreen_FX_Mgr::Clear_Colour_Fade(CScreen_FX_Record& r) {
  if (!r.captured) {
    r.captured = true;
    r.value1 = g_Game.Fog_Near();
    r.value2 = g_Game.Fog_Far();
    r.color_word = g_Game.Clear_Color();
  }
  const float c = std::clamp(Envelope(r), 0.0f, 1.0f);
  g_Game.Set_Render_Distances((1.0f - c) * r.value1, (1.0f - c) * r.value2);
  const float yellow[3] = {0.8f * 255.0f, 0.8f * 255.0f, 0.0f};
  g_Game.Set_Clear_Color(Blend_Rgb(r.color_word, yellow, c));
}

void CScreen_FX_Mgr::Clear_Colour_Pulse(CScreen_FX_Record& r, float e) {
  if (!r.captured) {
    r.captured = true;
    r.state_word = g_Game.Clear_Color();
  }
  const float target[3] = {static_cast<float>(Channel(r.color_word, 16)), static_cast<float>(Channel(r.color_word, 8)),
                           static_cast<float>(Channel(r.color_word, 0))};
  g_Game.Set_Clear_Color(Blend_Rgb(r.state_word, target, e));
}

void CScreen_FX_Mgr::Text(const CScreen_FX_Record& r, int font, uint32_t rgb, float peak, float height_share,
                          float top_share, bool centred) {
  if (r.text.empty()) return;
  const uint32_t color = With_Alpha(rgb, peak);
  if ((color >> 24) == 0) return;
  const float w = Screen_W(), h = Screen_H();
  const float text_h = height_share * h;
  const float text_w = g_Menu_Mgr.Get_Text_Width(font, r.text.c_str());
  const float top = centred ? 0.5f * (h - text_h) : top_share * (h - text_h);
  g_Menu_Mgr.Draw_Text(font, r.text.c_str(), CVector2{0.5f * (w - text_w), top}, CVector2{text_w, text_h}, color,
                       kDrop_Shadow);
}

void CScreen_FX_Mgr::Shutter(float c) {
  if (!m_Shutter_Texture || !m_Shutter_Parts[0] || !m_Shutter_Parts[1]) return;
  const float level = 0.0f;
  const bool at_origin = false;
  Begin_Glow_Lighting(level, at_origin);
  CMatrix4x4 back;
  back.Translation(-200.0f, 0.0f, -1000.0f);
  // The camera's frame: its side, up and view axes as rows, at its position.
  CMatrix4x4 camera;
  camera.Set_Identity();
  const CMatrix3x3& axes = g_Camera.Rotation();
  for (int i = 0; i < 3; ++i) {
    camera.m[i][0] = axes.rows[i].x;
    camera.m[i][1] = axes.rows[i].y;
    camera.m[i][2] = axes.rows[i].z;
  }
  camera.Set_Translation(g_Camera.Position());
  const CQuaternion turn{0.0f, std::sin(-kPi / 4.0f), 0.0f, std::cos(-kPi / 4.0f)};
  for (int i = 0; i < 2; ++i) {
    CMatrix4x4 half;
    half.Set_Identity();
    half.Set_Rotation_From_Quaternion(turn);
    half.Set_Translation(CVector3{0.0f, (i == 0 ? -200.0f : 200.0f) * c, 200.0f});
    CMatrix4x4 a, world;
    back.Multiply(half, a);
    a.Multiply(camera, world);
    fx::Draw_Renderable(m_Shutter_Parts[i], world, m_Shutter_Style, m_Shutter_Texture);
  }
  End_Glow_Lighting();
}

void CScreen_FX_Mgr::Ground_Flash(const CScreen_FX_Record& r, float e) {
  const CVector3 at{r.vector_a[0], r.vector_a[1], r.vector_a[2]};
  CProjection_Frame frame;
  frame.orientation.Set_Rows(CVector3{1, 0, 0}, CVector3{0, 0, 1}, CVector3{0, -1, 0});
  frame.position = at;
  const CColor4 colour{e * r.value2 * 0.5f, r.vector_b[0], r.vector_b[1], r.vector_b[2]};
  g_Gen_Projector.Project(0, frame, e * r.value2 * 100.0f, m_Textures[kTex_Ground], colour);
  const uint32_t rgb = fx::Channel_Byte(r.vector_b[0]) << 16 | fx::Channel_Byte(r.vector_b[1]) << 8 |
                       fx::Channel_Byte(r.vector_b[2]);
  const uint32_t color = With_Alpha(rgb, std::min(255.0f, e * r.value1 * 65025.0f));
  const unsigned count = 5;
  const float half_length = e * r.value2 * 500.0f, width = e * 2500.0f;
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
  Draw_Axis_Quads(at, CVector3{1, 0, 0}, CVector3{0, 0, 1}, CVector3{0, 1, 0}, count, half_length, width, color,
                  m_Glow_Style, m_Textures[kTex_Beam]);
}

void CScreen_FX_Mgr::Sparkle_Spray(CScreen_FX_Record& r, float e) {
  const float rate = e * r.value1;
  if (!(rate > 0.0f)) return;
  r.value2 += rate * m_Step * 1.5f;
  const CMatrix3x3& axes = g_Camera.Rotation();
  for (int tries = 0; tries < 12 && r.value2 >= 0.0f; ++tries) {
    if (fx::Random_Unit() > r.value2) continue;
    r.value2 -= 0.025f;
    const float side = fx::Random_Unit() * 100.0f - 50.0f;
    const float up = fx::Random_Unit() * 100.0f - 50.0f;
    const float distance = fx::Random_Unit() * 100.0f + 200.0f;
    CVector3 p = g_Camera.Position();
    p.Add_Assign(CVector3{axes.rows[2].x * distance + axes.rows[0].x * side + axes.rows[1].x * up,
                          axes.rows[2].y * distance + axes.rows[0].y * side + axes.rows[1].y * up,
                          axes.rows[2].z * distance + axes.rows[0].z * side + axes.rows[1].z * up});
    CVector3 velocity;
    axes.rows[2].Scale(-175.0f, velocity);
    float argb[4] = {1.0f, 0, 0, 0};
    for (int i = 1; i < 4; ++i) argb[i] = 0.4f + 0.6f * fx::Random_Unit();
    if (!g_Particle_Sparkle_Mgr.Add_Particle(p, velocity, 1.0f, 1.25f, fx::Pack_Color(argb), 0.0f, 0)) return;
  }
}

// The pattern veil scrolls: its running offset (value 2) moves on with the
// frame's step, wrapped to one repeat of the texture.
void CScreen_FX_Mgr::Pattern_Veil(CScreen_FX_Record& r, float e) {
  r.value2 += m_Step * kVeil_Scroll_Rate;
  r.value2 -= std::floor(r.value2);
  Screen_Quad(With_Alpha(0x000000, 255.0f * e), 0, 0, m_Textures[kTex_Pattern], Screen_W() / 32.0f,
              Screen_H() / 32.0f, 0.0f, r.value2, m_Plain_Style);
}

void CScreen_FX_Mgr::Tracer(CScreen_FX_Record& r, float e) {
  if (!r.captured) {
    r.offset[0] = (fx::Random_Unit() * 50.0f - 25.0f) * 0.25f;
    r.offset[1] = (fx::Random_Unit() * 50.0f - 25.0f) * 0.25f;
    r.captured = true;
    r.state_word = 1;
  }
  const CMatrix3x3& axes = g_Camera.Rotation();
  const CVector3 from{r.vector_a[0], r.vector_a[1], r.vector_a[2]};
  CVector3 to = g_Camera.Position();
  to.Add_Assign(CVector3{axes.rows[0].x * r.offset[0] + axes.rows[1].x * r.offset[1],
                         axes.rows[0].y * r.offset[0] + axes.rows[1].y * r.offset[1],
                         axes.rows[0].z * r.offset[0] + axes.rows[1].z * r.offset[1]});
  CVector3 beam;
  to.Subtract(from, beam);
  const float distance = beam.Length();
  CVector3 direction;
  beam.Scale(1.0f / std::max(distance, 0.001f), direction);
  CMatrix3x3 frame;
  frame.From_Direction(direction, std::fabs(direction.y) > 0.99f ? CVector3{1, 0, 0} : CVector3{0, 1, 0});
  const CVector3 spoke{frame.rows[0].x, frame.rows[1].x, frame.rows[2].x};
  const CVector3 other{frame.rows[0].y, frame.rows[1].y, frame.rows[2].y};
  const float argb[4] = {e * r.value1, r.vector_b[0], r.vector_b[1], r.vector_b[2]};
  const unsigned count = 3;
  const float half_length = e * r.value2 * 500.0f, width = 2.0f * distance;
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
  Draw_Axis_Quads(from, spoke, other, direction, count, half_length, width, fx::Pack_Color(argb), m_Glow_Style,
                  m_Textures[kTex_Beam]);
}

void CScreen_FX_Mgr::Menu_Overlay(const CScreen_FX_Record& r) {
  const float progress = Envelope(r);
  const CVector3 corner = g_Menu_Mgr.Scene_Point(0);
  const CVector3 across = g_Menu_Mgr.Scene_Point(1);
  const CVector3 down = g_Menu_Mgr.Scene_Point(2);
  if (across.Length() == 0.0f && down.Length() == 0.0f) return;
  // A frame over the scene: a border along the edges of the screen's rectangle, two fainter
  // copies grown about its centre as the progress runs (seen as the camera pulls back), and a
  // glow that swells in the middle.
  const CVector3 centre{corner.x + 0.5f * (across.x + down.x), corner.y + 0.5f * (across.y + down.y),
                        corner.z + 0.5f * (across.z + down.z)};
  auto strip = [&](const CVector3& offset, const CVector3& half_a, const CVector3& half_b, uint32_t color) {
    const CVector3 middle{centre.x + offset.x, centre.y + offset.y, centre.z + offset.z};
    Draw_Beam_Quad(middle, half_a, half_b, color, m_Plain_Style, nullptr);
  };
  CVector3 half_side, half_edge;
  across.Scale(0.5f * kOverlay_Side_Width, half_side);
  down.Scale(0.5f * kOverlay_Edge_Width, half_edge);
  auto border = [&](float grow, uint32_t color) {
    CVector3 half_across, half_down, to_side, to_edge, side_height, minus;
    across.Scale(0.5f * grow, half_across);
    down.Scale(0.5f * grow, half_down);
    half_across.Subtract(half_side, to_side);
    half_down.Subtract(half_edge, to_edge);
    half_down.Subtract(half_edge.Scale(2.0f, minus), side_height);
    strip(to_edge.Scale(-1.0f, minus), half_across, half_edge, color);
    strip(to_edge, half_across, half_edge, color);
    strip(to_side.Scale(-1.0f, minus), half_side, side_height, color);
    strip(to_side, half_side, side_height, color);
  };
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
  border(1.0f, 0xFFAAAA88);
  border(1.0f + 2.0f * 0.15f * progress, 0xAAAAAA88);
  border(1.0f + 2.0f * 0.3f * progress, 0x66AAAA88);
  const uint32_t alpha = std::min(255u, fx::Clamp_Byte(progress * 0.25f * 255.0f));
  for (int i = 0; i < 5; ++i) {
    CVector3 a, b;
    across.Scale(0.03f * static_cast<float>(i + 1), a);
    down.Scale(0.06f * static_cast<float>(i + 1), b);
    Draw_Beam_Quad(centre, a, b, alpha << 24 | 0xAAAA88, m_Plain_Style, m_Textures[kTex_Glow]);
  }
}
