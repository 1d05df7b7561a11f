#pragma once
// The one modal box of the game: a panel that grows out of a point in the world and shows a
// message, a choice of lines that each issue a menu command, or a panel of menu items. While it
// is open it takes all input first and the game is paused.
#include <cstdint>

#include "game/menu/CMenuItem.h"
#include "game/menu/CMenu_Panel.h"

class CD3DRenderStyle;
class CTextureData;

class CModal_Dlg {
 public:
  // Modes.
  static constexpr int kMode_Message = 1;
  static constexpr int kMode_Choice = 2;
  static constexpr int kMode_Panel = 3;
  static constexpr int kMax_Lines = 8;
  static constexpr uint32_t kLine_Large = 0x1;

  struct Line {
    char text[128] = {};
    float x_offset = 0.0f, y_offset = 0.0f;
    float width = 0.0f;
    float text_height = 0.0f;
    Item_Frame outline{};
    float height_factor = 0.034f;
    float spacing_factor = 0.01f;
    uint32_t colour = 0;
    int32_t code = 0;
    int32_t argument = 0;
    uint32_t flags = 0;
  };

  CModal_Dlg() = default;
  CModal_Dlg(const CModal_Dlg&) = delete;
  CModal_Dlg& operator=(const CModal_Dlg&) = delete;

  bool Init(const CVector3& world_point, const CVector2& centre, float width, float height, int mode);
  // Appends a line (its first 127 characters); false when 8 are present.
  bool Add_Line(const char* text, uint32_t colour, uint32_t flags, int32_t code, int32_t argument);
  void Term();

  bool On_Left_Down();
  bool On_Left_Up();
  bool On_Right_Down();
  Line* Select_Next();
  Line* Select_Previous();
  void Activate_Selected();
  // Advances the opening and draws the dialog, with the unpaused step.
  void Update(float step);

  bool Is_Open() const { return m_Active; }
  int Mode() const { return m_Mode; }
  // The box as drawn: left, top, right, bottom.
  void Box_Rect(float& left, float& top, float& right, float& bottom) const;

  bool m_Active = false;
  int32_t m_Mode = 0;
  CVector2 m_Start{0.0f, 0.0f};
  CVector2 m_Top_Left{0.0f, 0.0f};
  CVector2 m_Current{0.0f, 0.0f};
  float m_Line_X = 0.0f;
  float m_Content_Height = 0.0f;
  float m_Current_Width = 0.0f;
  float m_Width = 0.0f;
  float m_Current_Height = 0.0f;
  float m_Height = 0.0f;
  float m_Clock = 0.0f;
  int32_t m_Highlight = -1;
  uint32_t m_Line_Count = 0;
  Line m_Lines[kMax_Lines];
  CMenu_Panel m_Panel;
  int32_t m_Last_Cursor_X = -1, m_Last_Cursor_Y = -1;
  CD3DRenderStyle* m_Style = nullptr;
  CTextureData* m_Texture = nullptr;
  Item_Quad m_Box{};
  Item_Frame m_Border{};

 private:
  void Rebuild_Geometry();
  void Line_Rect(const Line& line, float& x, float& y, float& w, float& h) const;
  bool Line_Hit(const Line& line, const CVector2& cursor) const;
  void Activate_Line(uint32_t index);
  void Close_Message_When_Ready();
  void Track_Cursor();
};

extern CModal_Dlg g_Modal_Dlg;
