// The simulator screen's drawing: the four frame pieces that fly in, the flickering backdrop,
// the corner brackets with their glow, the highlight over the War Room button, the page items
// and the pulsing beams of a War Room alert.
#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CGame.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/trainer/CMenu_Simulator.h"
#include "platform/system/random.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

float g_Sim_Alert_Angle = 0.0f;

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int kPiece = 0, kBracket = 1, kBracket_Glow = 2, kHighlight = 3, kHalo = 4;
constexpr int kGlow_Texture = 1, kBackdrop_Texture = 2;
constexpr int kPiece_Style = 0, kBeam_Style = 1, kGlow_Style = 2, kHalo_Style = 3, kBackdrop_Style = 4;
// Corner signs along the camera's right and up axes: top left, top right, bottom right, bottom left.
constexpr float kSide[4] = {-1.0f, 1.0f, 1.0f, -1.0f};
constexpr float kHeight[4] = {1.0f, 1.0f, -1.0f, -1.0f};

float Random_Unit() { return static_cast<float>(plat::Random()) / 32768.0f; }

uint32_t Alpha_Byte(float alpha) {
  if (!(alpha > 0.0f)) return 0;
  return alpha >= 255.0f ? 255u : static_cast<uint32_t>(alpha);
}

uint32_t With_Alpha(uint32_t rgb, float alpha) { return (Alpha_Byte(alpha) << 24) | (rgb & 0xffffff); }

CVector3 Add_Scaled(const CVector3& base, const CVector3& axis, float amount) {
  return CVector3{base.x + axis.x * amount, base.y + axis.y * amount, base.z + axis.z * amount};
}

const CVector3& Right() { return g_Camera.Rotation().rows[0]; }
const CVector3& Up() { return g_Camera.Rotation().rows[1]; }
const CVector3& Forward() { return g_Camera.Rotation().rows[2]; }

CVector3 Corner(const CVector3& base, int corner) {
  return Add_Scaled(Add_Scaled(base, Right(), 175.0f * kSide[corner]), Up(), 120.0f * kHeight[corner]);
}

// A world matrix: the rotation's rows scaled by the three factors, then the position.
CMatrix4x4 Placed(const CMatrix4x4& rotation, const CVector3& scale, const CVector3& position) {
  CMatrix4x4 world = rotation;
  const float factors[3] = {scale.x, scale.y, scale.z};
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column) world.m[row][column] *= factors[row];
  world.m[3][0] = position.x;
  world.m[3][1] = position.y;
  world.m[3][2] = position.z;
  world.m[3][3] = 1.0f;
  return world;
}

CMatrix4x4 Identity() { return Rotation_From_Euler(0.0f, 0.0f, 0.0f); }

void Colour_Floats(uint32_t argb, float out[4]) {
  out[0] = static_cast<float>((argb >> 16) & 0xff) / 255.0f;
  out[1] = static_cast<float>((argb >> 8) & 0xff) / 255.0f;
  out[2] = static_cast<float>(argb & 0xff) / 255.0f;
  out[3] = static_cast<float>(argb >> 24) / 255.0f;
}

void Draw_Quad(const TexVertex (&corners)[4], CD3DRenderStyle* style, CTextureData* texture) {
  if (!g_pDrawPrim) return;
  CD3DDrawPrim& draw = *g_pDrawPrim;
  DrawPrimTexQuad quad;
  std::copy(std::begin(corners), std::end(corners), quad.v);
  draw.SetTransformType(kDrawPrimWorld);
  draw.SetRenderStyle(style);
  draw.SetTexture(texture, 0);
  draw.DrawTexQuads(&quad, 1);
  draw.SetTexture(nullptr, 0);
  draw.SetRenderStyle(nullptr);
}

void Set_Quad_Colour(TexVertex (&corners)[4], uint32_t colour) {
  for (TexVertex& vertex : corners) vertex.color = colour;
}

}  // namespace

CMatrix4x4 Rotation_From_Euler(float yaw, float pitch, float roll) {
  const float cy = std::cos(yaw), sy = std::sin(yaw);
  const float cp = std::cos(pitch), sp = std::sin(pitch);
  const float cr = std::cos(roll), sr = std::sin(roll);
  CMatrix4x4 m{};
  m.m[0][0] = cy * cr + sy * sp * sr;
  m.m[0][1] = sr * cp;
  m.m[0][2] = cy * sp * sr - sy * cr;
  m.m[1][0] = sy * sp * cr - cy * sr;
  m.m[1][1] = cr * cp;
  m.m[1][2] = cy * sp * cr + sy * sr;
  m.m[2][0] = sy * cp;
  m.m[2][1] = -sp;
  m.m[2][2] = cy * cp;
  m.m[3][3] = 1.0f;
  return m;
}

void CMenu_Simulator::Set_Backdrop_Quads() {
  const float outer_x = 179.375f, outer_y = 123.0f, outer_z = 415.0f;
  const float inner_x = 176.75f, inner_y = 121.2f, inner_z = 385.0f;
  m_Outer_Quad[0] = TexVertex{-outer_x, outer_y, outer_z, 0, 0.0f, 0.0f};
  m_Outer_Quad[1] = TexVertex{outer_x, outer_y, outer_z, 0, 10.0f, 0.0f};
  m_Outer_Quad[2] = TexVertex{outer_x, -outer_y, outer_z, 0, 10.0f, 10.0f};
  m_Outer_Quad[3] = TexVertex{-outer_x, -outer_y, outer_z, 0, 0.0f, 10.0f};
  m_Inner_Quad[0] = TexVertex{-inner_x, inner_y, inner_z, 0, 0.0f, 0.0f};
  m_Inner_Quad[1] = TexVertex{inner_x, inner_y, inner_z, 0, 1.0f, 0.0f};
  m_Inner_Quad[2] = TexVertex{inner_x, -inner_y, inner_z, 0, 1.0f, 1.0f};
  m_Inner_Quad[3] = TexVertex{-inner_x, -inner_y, inner_z, 0, 0.0f, 1.0f};
}

void CMenu_Simulator::Render(const CFrame_Info& frame) {
  if (m_Anim_State == kClosed || !m_Initialised) return;
  const float step = frame.Delta;
  const CVector3 eye = g_Camera.Position();
  const CVector3 depth{0.0f, 0.0f, 400.0f};
  for (int piece = 0; piece < 4; ++piece) {
    const float fraction = m_Frame_Fraction[piece];
    if (fraction == 0.0f) continue;
    const CVector3 position = Add_Scaled(Corner(eye, piece), depth, fraction);
    fx::Draw_Renderable(m_Renderables[kPiece], Placed(Identity(), CVector3{1, 1, 1}, position), m_Styles[kPiece_Style],
                        nullptr);
  }
  const float flicker = (Random_Unit() * 4.25f + 200.0f) * m_Backdrop_Fade;
  Set_Quad_Colour(m_Outer_Quad, With_Alpha(0x8888aa, flicker));
  Draw_Quad(m_Outer_Quad, m_Styles[kBackdrop_Style], m_Textures[kBackdrop_Texture]);
  Render_Frame_Pieces();
  Render_Glow();
  if (m_Panel.m_Initialised) m_Panel.Render_Items(step);
  if (m_Alert_Pending || m_Beam_Fade != 0.0f) Render_Alert_Beams(step);
  Render_Backdrop_Inner();
}

void CMenu_Simulator::Render_Frame_Pieces() {
  if (m_Backdrop_Fade == 0.0f) return;
  const CVector3 base = Add_Scaled(g_Camera.Position(), CVector3{0.0f, 0.0f, 1.0f}, 400.0f);
  // Quarter turns about the view axis so that the four brackets mirror each other.
  const CMatrix4x4 turns[4] = {Rotation_From_Euler(0.0f, 0.0f, 0.0f), Rotation_From_Euler(0.0f, 0.0f, -kPi / 2.0f),
                               Rotation_From_Euler(0.0f, 0.0f, kPi), Rotation_From_Euler(0.0f, -kPi / 2.0f, kPi / 2.0f)};
  const float glow_alpha = (Random_Unit() * 30.0f + 175.0f) * m_Glow_Fade;
  float glow[4];
  Colour_Floats(With_Alpha(0xffffff, glow_alpha), glow);
  for (int corner = 0; corner < 4; ++corner) {
    const CVector3 position = Corner(base, corner);
    const float z = (corner == 0 || corner == 2) ? m_Backdrop_Fade : 0.68f * m_Backdrop_Fade;
    fx::Draw_Renderable(m_Renderables[kBracket], Placed(turns[corner], CVector3{1.0f, 1.0f, z}, position),
                        m_Styles[kPiece_Style], nullptr);
    for (float size : {1.2f, 1.5f})
      fx::Draw_Renderable(m_Renderables[kBracket_Glow], Placed(turns[corner], CVector3{size, size, z}, position),
                          m_Styles[kGlow_Style], m_Textures[kGlow_Texture], glow);
  }
}

void CMenu_Simulator::Render_Glow() {
  if (m_Blink == 0.0f) return;
  const CVector3 ahead = Add_Scaled(g_Camera.Position(), Forward(), 400.0f);
  const CVector3 position = Add_Scaled(ahead, Up(), (1.0f - m_Blink) * 30.0f + 147.0f);
  const CMatrix4x4 half_turn = Rotation_From_Euler(0.0f, 0.0f, kPi);
  fx::Set_Normalize_Normals(true);
  fx::Draw_Renderable(m_Renderables[kHighlight], Placed(half_turn, CVector3{4.25f, 3.0f, 1.0f}, position),
                      m_Styles[kPiece_Style], nullptr);
  const float e = std::max(0.0f, 1.0f - m_Item_Fade) * m_Glow_Fade * 3.0f + 1.0f;
  fx::Draw_Renderable(m_Renderables[kHalo], Placed(half_turn, CVector3{0.2f * e, 0.5f * e, 0.3f * e}, position),
                      m_Styles[kHalo_Style], nullptr);
  fx::Set_Normalize_Normals(false);
}

void CMenu_Simulator::Render_Alert_Beams(float step) {
  if (m_Alert_Pending)
    m_Beam_Fade = std::min(1.0f, m_Beam_Fade + 0.1f * step);
  else
    m_Beam_Fade = std::max(0.0f, m_Beam_Fade - 0.075f * step);
  if (m_Beam_Fade == 0.0f) return;
  g_Sim_Alert_Angle += 1.25f * step;
  if (g_Sim_Alert_Angle >= 2.0f * kPi) g_Sim_Alert_Angle -= 2.0f * kPi;
  const float fade = m_Beam_Fade;
  const float intensity = std::sin(g_Sim_Alert_Angle) * fade * fade * 0.2f + fade * 0.9f;
  const CVector3 ahead = Add_Scaled(g_Camera.Position(), Forward(), 200.0f);
  const float offsets[4][2] = {{-58.0f, 95.0f}, {47.0f, 95.0f}, {-53.0f, 85.0f}, {53.0f, 85.0f}};
  CVector3 points[4];
  for (int i = 0; i < 4; ++i) points[i] = Add_Scaled(Add_Scaled(ahead, Right(), offsets[i][0]), Up(), offsets[i][1]);
  // The beams' glow style weighs the colour by its alpha, which carries the fade and the pulse.
  const uint32_t lower = With_Alpha(0xffaaaa, intensity * 0.6f * 255.0f);
  const uint32_t upper = With_Alpha(0xff4444, intensity * 0.95f * 255.0f);
  CD3DRenderStyle* style = m_Styles[kBeam_Style];
  CTextureData* texture = m_Textures[kGlow_Texture];
  // Flares at the lower corners (spread about the view axis); wide beams rising from the upper
  // corners behind the button.
  for (int i = 2; i < 4; ++i)
    Draw_Axis_Quads(points[i], Up(), Right(), Forward(), 5u, 12.0f, 25.0f, lower, style, texture);
  for (int i = 0; i < 2; ++i)
    Draw_Axis_Quads(points[i], Right(), Forward(), Up(), 1u, 126.0f, 350.0f, upper, style, texture);
}

// The inner quad carries the backdrop's pattern once across: a faint glow behind the page items,
// and during the opening a flickering flash of the pattern that the items fade in through.
void CMenu_Simulator::Render_Backdrop_Inner() {
  CTextureData* pattern = m_Textures[kBackdrop_Texture];
  Set_Quad_Colour(m_Inner_Quad, With_Alpha(0x222233, m_Item_Fade * m_Item_Fade * 255.0f));
  Draw_Quad(m_Inner_Quad, m_Styles[kBeam_Style], pattern);
  const float e = std::max(0.0f, 1.0f - m_Item_Fade) * m_Glow_Fade;
  if (e == 0.0f) return;
  Set_Quad_Colour(m_Inner_Quad, With_Alpha(0x555577, e * e * (Random_Unit() * 10.0f + 245.0f)));
  Draw_Quad(m_Inner_Quad, m_Styles[kBackdrop_Style], pattern);
}
