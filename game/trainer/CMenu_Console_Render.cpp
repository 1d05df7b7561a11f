// Drawing of the console: the frame with its pull tab, the dark screen with its glow, the output
// lines, and the prompt with the line being typed and a blinking cursor.
#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/CMenu_Console.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/renderable_object.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"

namespace {

constexpr int kFrame = 0, kScreen = 1;                  // models
constexpr int kFrame_Texture = 0, kGlow_Texture = 1;     // textures
constexpr int kFrame_Style = 0, kScreen_Style = 1, kGlow_Style = 2;
constexpr float kClosed_Offset = -210.0f;  // x of the frame when closed
constexpr float kDepth = 215.0f;
constexpr float kTwo_Pi = 6.28318530718f;
constexpr uint32_t kText_Colour = 0xffbbccbb;
constexpr uint32_t kPrompt_Colour = 0xffbbbbcc;
constexpr uint32_t kCursor_Colour = 0x00bbbbcc;
constexpr int kFont = 0;

float Screen_W() { return g_pRenderDevice ? g_pRenderDevice->GetScreenWidthF() : 640.0f; }
float Screen_H() { return g_pRenderDevice ? g_pRenderDevice->GetScreenHeightF() : 480.0f; }

void Draw_Text(const std::string& text, float x, float y, float width, uint32_t colour) {
  const float h = Screen_H();
  g_Menu_Mgr.Draw_Text(kFont, text.c_str(), CVector2{x, y}, CVector2{width, h * 0.03f}, colour, kText_Shadow);
}

}  // namespace

void CMenu_Console::Draw_Models(float scale_xy, float scale_z, int model, int style, int texture,
                                uint32_t colour) const {
  CRenderableObject* renderable = m_Models[model];
  auto* object = renderable ? renderable->GetRenderObject() : nullptr;
  if (!object || object->GetType() != CRigidMesh::kType || !m_Styles[style]) return;
  CMatrix4x4 scaling;
  scaling.Scaling(scale_xy, scale_xy, scale_z);
  CMatrix4x4 world;
  scaling.Multiply(g_Menu_Mgr.Menu_Rotation(), world);
  world.Set_Translation_XYZ((1.0f - m_Open_Fraction) * kClosed_Offset, 0.0f, kDepth);
  CTextureData* data = texture >= 0 ? m_Textures[texture] : nullptr;
  CDeviceTexture* textures[4] = {data ? data->m_pDeviceTexture : nullptr, nullptr, nullptr, nullptr};
  auto* mesh = static_cast<CRigidMesh*>(object);
  if (style == kGlow_Style) {
    // The glow's colour is the style's factor.
    const DWORD factor = colour;
    mesh->Render(&world, m_Styles[style], textures, nullptr, &factor);
  } else {
    const float diffuse[4] = {static_cast<float>((colour >> 16) & 0xff) / 255.0f,
                              static_cast<float>((colour >> 8) & 0xff) / 255.0f,
                              static_cast<float>(colour & 0xff) / 255.0f,
                              static_cast<float>(colour >> 24) / 255.0f};
    mesh->Render(&world, m_Styles[style], textures, colour != 0 ? diffuse : nullptr, nullptr);
  }
}

void CMenu_Console::Render(const CFrame_Info& frame) {
  if (!m_Initialised || !g_pRenderDevice) return;
  Draw_Models(1.0f, 1.0f, kFrame, kFrame_Style, kFrame_Texture, 0);
  if (m_Open_Fraction == 0.0f) return;
  Draw_Models(1.0f, 1.0f, kScreen, kScreen_Style, -1, 0xff000000);
  Draw_Models(1.2f, 1.35f, kScreen, kGlow_Style, kGlow_Texture, 0xee22332e);
  Draw_Models(1.3f, 1.6f, kScreen, kGlow_Style, kGlow_Texture, 0xaa22332e);
  if (g_Camera.Mode() == CCamera::kPlaced) Draw_Text_Lines(frame.Delta);
  Draw_Models(1.4f, 1.6f, kScreen, kGlow_Style, kGlow_Texture, 0x8822332e);
}

void CMenu_Console::Draw_Text_Lines(float step) {
  const float w = Screen_W(), h = Screen_H();
  const float x = w * (0.1465f - 0.89355f * (1.0f - m_Open_Fraction));
  const float line_height = w * 0.027f;
  float y = h * 0.1302f;
  for (const Output_Line& line : m_Lines) {
    Draw_Text(line.text, x, y, static_cast<float>(line.width), kText_Colour);
    y += line_height;
  }
  const bool prompt_due = m_Pending.empty() || m_Lines.size() >= static_cast<size_t>(kMax_Lines);
  if (m_Prompt_State == kPrompt_None || !prompt_due) return;
  // The prompt and the input laid out together; the prompt keeps its own colour.
  const std::vector<std::string> rows = Layout_Text(m_Prompt + m_Input, Text_Width());
  size_t prompt_left = m_Prompt.size();
  float end_x = x;
  for (size_t i = 0; i < rows.size(); ++i) {
    const size_t prompt_part = std::min(prompt_left, rows[i].size());
    prompt_left -= prompt_part;
    const std::string prompt = rows[i].substr(0, prompt_part);
    const std::string input = rows[i].substr(prompt_part);
    const int prompt_width = g_Menu_Mgr.Get_Text_Width(kFont, prompt.c_str());
    const int input_width = g_Menu_Mgr.Get_Text_Width(kFont, input.c_str());
    if (!prompt.empty()) Draw_Text(prompt, x, y, static_cast<float>(prompt_width), kPrompt_Colour);
    const float input_x = x + static_cast<float>(prompt_width);
    if (!input.empty()) Draw_Text(input, input_x, y, static_cast<float>(input_width), kText_Colour);
    end_x = input_x + static_cast<float>(input_width);
    if (i + 1 < rows.size()) y += line_height;
  }
  m_Cursor_Phase = std::fmod(m_Cursor_Phase + step * 1.5f, kTwo_Pi);
  const float alpha = std::min(255.0f, (std::cos(m_Cursor_Phase) + 1.0f) * 255.0f);
  const auto a = static_cast<uint32_t>(alpha);
  if (a == 0) return;
  const int cursor_width = g_Menu_Mgr.Get_Text_Width(kFont, "_");
  Draw_Text("_", end_x, y, static_cast<float>(cursor_width), (a << 24) | kCursor_Colour);
}
