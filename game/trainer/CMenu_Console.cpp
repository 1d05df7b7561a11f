#include "game/trainer/CMenu_Console.h"

#include <algorithm>

#include "game/core/Sound_FX.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenu_Mgr.h"
#include "platform/window/cursor.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_renderobjects.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"

Console_Session g_Console_Session;

void Reset_Console_Session() {
  g_Console_Session = Console_Session();
  g_Menu_Mgr.m_Console.m_User_Name.clear();
}

namespace {

constexpr uint32_t kModel_Ids[2] = {0x22000060, 0x22000062};
constexpr uint32_t kTexture_Ids[2] = {0x2200002c, 0x22000069};
constexpr uint32_t kStyle_Ids[3] = {0x22000061, 0x2200001f, 0x22000050};
constexpr uint32_t kClick_Sound = 0x220000db;
constexpr uint32_t kKey_Sound = 0x220000dc;
constexpr uint32_t kError_Sound = 0x220000dd;
constexpr uint32_t kOpening_Sound = 0x220000de;
constexpr uint32_t kTyping_Sound = 0x220000df;
constexpr float kOpen_Rate = 0.25f;
constexpr float kText_Width = 0.705f;  // of the screen width
constexpr int kFont = 0;

constexpr char kPause = '\a';
constexpr char kEnter = 13;
constexpr char kBackspace = 8;
constexpr char kTab = 9;

float Screen_W() { return g_pRenderDevice ? g_pRenderDevice->GetScreenWidthF() : 640.0f; }
float Screen_H() { return g_pRenderDevice ? g_pRenderDevice->GetScreenHeightF() : 480.0f; }

void Play(uint32_t id) { Play_Sound_FX(id, 1.0f); }

bool Is_Letter_Or_Digit(int code) {
  return (code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9');
}

// The next piece of text the wrap keeps together: up to ten characters before a blank or line
// feed. Pauses take no room.
std::string Next_Word(const std::string& text, size_t from) {
  std::string word;
  for (size_t i = from; i < text.size() && word.size() < CMenu_Console::kMax_Word; ++i) {
    if (text[i] == ' ' || text[i] == '\n') break;
    if (text[i] != kPause) word.push_back(text[i]);
  }
  return word;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Life cycle

bool CMenu_Console::Init() {
  for (int i = 0; i < 2; ++i) {
    m_Models[i] = g_pRenderObjects ? g_pRenderObjects->GetRenderObject(kModel_Ids[i]) : nullptr;
    if (!m_Models[i]) {
      Show_Message("Error in CMenu_Console\nUnable to create renderable object...");
      Term();
      return false;
    }
  }
  for (int i = 0; i < 2; ++i) {
    m_Textures[i] = g_pTexture ? g_pTexture->GetTexture(kTexture_Ids[i]) : nullptr;
    if (!m_Textures[i]) {
      Show_Message("Error in CMenu_Console\nUnable to load texture...");
      Term();
      return false;
    }
  }
  for (int i = 0; i < 3; ++i) {
    m_Styles[i] = g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(kStyle_Ids[i]) : nullptr;
    if (!m_Styles[i]) {
      Show_Message("Error in CMenu_Console\nUnable to shader...");
      Term();
      return false;
    }
  }
  m_Open_Fraction = 0.0f;
  m_Prompt_State = kPrompt_None;
  if (g_Console_Session.logged_in) {
    m_User_Name = g_Console_Session.remembered_name;
    Set_Prompt(kPrompt_Command);
  }
  m_Initialised = true;
  return true;
}

void CMenu_Console::Release_Resources() {
  for (CRenderableObject*& model : m_Models) {
    if (model && g_pRenderObjects) g_pRenderObjects->ReleaseRenderObject(model);
    model = nullptr;
  }
  for (CTextureData*& texture : m_Textures) {
    if (texture && g_pTexture) g_pTexture->ReleaseTexture(texture);
    texture = nullptr;
  }
  for (CD3DRenderStyle*& style : m_Styles) {
    if (style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(style);
    style = nullptr;
  }
}

void CMenu_Console::Term() {
  Release_Resources();
  m_Initialised = false;
  m_Visible = false;
}

void CMenu_Console::Show(bool visible, bool silent) {
  if (visible != m_Visible && !silent) {
    if (g_Console_Session.mute)
      g_Console_Session.mute = false;
    else
      Play(kClick_Sound);
  }
  m_Visible = visible;
}

void CMenu_Console::Frame(float step) {
  if (m_Visible) {
    if (g_Console_Session.opening_sound && step != 0.0f && m_Open_Fraction == 0.0f) {
      g_Console_Session.opening_sound = false;
      Play(kOpening_Sound);
    }
    if (m_Open_Fraction < 1.0f) m_Open_Fraction = std::min(1.0f, m_Open_Fraction + step * kOpen_Rate);
  } else if (m_Open_Fraction > 0.0f) {
    m_Open_Fraction = std::max(0.0f, m_Open_Fraction - step * kOpen_Rate);
  }
  Update(step);
  if (m_Visible && m_Open_Fraction >= 1.0f && m_Prompt_State == kPrompt_None) Process(kAction_Banner);
}

// ---------------------------------------------------------------------------------------------
// Typed printing

int CMenu_Console::Text_Width() { return static_cast<int>(Screen_W() * kText_Width); }

bool CMenu_Console::Word_Fits(const std::string& line, const std::string& rest, int width) {
  const std::string candidate = line + Next_Word(rest, 0);
  return g_Menu_Mgr.Get_Text_Fit(kFont, candidate.c_str(), width) >= static_cast<int>(candidate.size());
}

std::vector<std::string> CMenu_Console::Layout_Text(const std::string& text, int width) {
  std::vector<std::string> lines(1);
  size_t i = 0;
  while (i < text.size()) {
    // A piece too wide for an empty line is broken rather than carried on forever.
    if (!lines.back().empty() && !Word_Fits(lines.back(), text.substr(i), width)) {
      lines.emplace_back();
      continue;
    }
    if (text[i] != kPause) lines.back().push_back(text[i]);
    ++i;
  }
  return lines;
}

void CMenu_Console::Print_Line(const std::string& text, bool immediate) { m_Pending.push_back({text, immediate}); }

void CMenu_Console::Add_Line() { m_Lines.push_back(Output_Line{}); }

void CMenu_Console::Update(float step) {
  m_Print_Timer -= step;
  if (m_Print_Timer > 0.0f) return;
  m_Print_Timer = kPrint_Interval;
  Print_Tick();
  // An immediate item is printed whole in the frame it is due.
  while (!m_Pending.empty() && m_Pending.front().immediate && !m_Pending.front().text.empty()) {
    m_Print_Timer = kPrint_Interval;
    Print_Tick();
  }
}

void CMenu_Console::Print_Tick() {
  if (m_Pending.empty()) return;
  if (m_Lines.empty()) Add_Line();
  Pending_Item& head = m_Pending.front();
  if (head.text.empty()) {
    if (m_New_Line) Add_Line();
    m_New_Line = true;
    m_Pending.pop_front();
  } else {
    if (m_New_Line) {
      Add_Line();
      m_New_Line = false;
    }
    Output_Line& last = m_Lines.back();
    if (!last.text.empty() && !Word_Fits(last.text, head.text, Text_Width())) {
      Add_Line();
    } else {
      const char c = head.text.front();
      head.text.erase(head.text.begin());
      if (c == kPause) {
        m_Print_Timer += kPause_Length;
      } else {
        last.text.push_back(c);
        last.width = g_Menu_Mgr.Get_Text_Width(kFont, last.text.c_str());
      }
      if (m_Open_Fraction >= 0.5f && c != kPause && c != '\n') Play(kTyping_Sound);
    }
  }
  while (m_Lines.size() > static_cast<size_t>(kMax_Lines)) m_Lines.pop_front();
}

void CMenu_Console::Measure_Lines() {
  for (Output_Line& line : m_Lines) line.width = g_Menu_Mgr.Get_Text_Width(kFont, line.text.c_str());
}

// ---------------------------------------------------------------------------------------------
// Line editor

bool CMenu_Console::Fits_On_Line(int code) const {
  if (m_Prompt_State != kPrompt_None && m_Prompt_State != kPrompt_Command) return false;
  if (code == kEnter || code == kBackspace) return true;
  const std::string line = m_Prompt + m_Input + static_cast<char>(code);
  return Layout_Text(line, Text_Width()).size() <= 1;
}

bool CMenu_Console::On_Char(int code, int handled) {
  if (handled) return false;
  bool accepted = false;
  const bool editing = code == kEnter || code == kBackspace;
  if (code == kTab) {
    accepted = false;
  } else if (m_Prompt_State == kPrompt_Login) {
    const bool full = static_cast<int>(m_Input.size()) >= kMax_Login_Length;
    const bool bad_space = code == ' ' && (m_Input.empty() || m_Input.back() == ' ');
    accepted = editing || (!full && !bad_space && (Is_Letter_Or_Digit(code) || code == ' '));
  } else if (m_Prompt_State == kPrompt_Create || m_Prompt_State == kPrompt_Exit) {
    if (!(editing || Is_Letter_Or_Digit(code) || code == ' ')) {
      Play(kError_Sound);
      return true;
    }
    Play(kKey_Sound);
    if (!editing) m_Input.push_back(static_cast<char>(code));
    Process(kAction_Enter);
    return true;
  } else {
    // Control characters other than Enter and Backspace would only garble the line.
    accepted = code != '&' && (editing || (code >= 32 && code <= 255)) && Fits_On_Line(code);
  }
  if (!accepted) {
    Play(kError_Sound);
    return true;
  }
  Play(kKey_Sound);
  m_Cursor_Phase = 0.0f;
  if (code == kBackspace) {
    if (!m_Input.empty()) m_Input.pop_back();
  } else if (code == kEnter) {
    Process(kAction_Enter);
  } else {
    m_Input.push_back(static_cast<char>(code));
  }
  return true;
}

bool CMenu_Console::Is_Mouse_Over_Tab() const {
  const float w = Screen_W(), h = Screen_H();
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  if (g_Main_Window) ScreenToClient(g_Main_Window, &cursor);
  const float left = w * 0.88f * m_Open_Fraction;
  const auto x = static_cast<float>(cursor.x);
  const auto y = static_cast<float>(cursor.y);
  return x > left && x < left + w * 0.04f && y > h * 0.05f && y < h * 0.95f;
}
