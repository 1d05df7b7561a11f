#pragma once
// The modal dialog: a message or question over everything else, taking all input while open.
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/src/math/math_types.h"

// One line of the dialog: its text and colour, bit 0 of flags large, and the command a choice
// line issues (0 plain text).
struct CModal_Line {
  std::string text;
  uint32_t colour = 0;
  uint32_t flags = 0;
  int32_t command = 0;
  int32_t argument = 0;
};

class CModal_Dlg {
 public:
  static constexpr int kMax_Lines = 8;

  // Dialog modes.
  static constexpr int kMode_Message = 1;

  bool Is_Open() const { return m_Open; }
  int Mode() const { return m_Mode; }

  // Opens the dialog in a mode (1: a plain message).
  void Open(int mode);
  // Opens the dialog growing from the world point, centred at the pixel centre, width and
  // height in pixels (height 0 follows the lines), mode 1-3.
  bool Init(const CVector3& world_point, const CVector2& centre, const float& width, const float& height,
            const int& mode);
  // Adds a line; false when eight are present.
  bool Add_Line(const char* text, const uint32_t& colour, const uint32_t& flags, const int32_t& command,
                const int32_t& argument);
  const std::vector<CModal_Line>& Lines() const { return m_Lines; }
  void Term();

  void Activate_Selected();
  void Select_Next();
  void Select_Previous();
  void On_Left_Down();
  void On_Left_Up();
  void On_Right_Down();
  // Advances and draws the open dialog.
  void Update(float unpaused_delta);

 private:
  bool m_Open = false;
  int m_Mode = 0;
  std::vector<CModal_Line> m_Lines;
};

extern CModal_Dlg g_Modal_Dlg;
