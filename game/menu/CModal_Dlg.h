#pragma once
// The modal dialog: a message or question over everything else, taking all input while open.
#include "runtime/src/math/math_types.h"

class CModal_Dlg {
 public:
  // Dialog modes.
  static constexpr int kMode_Message = 1;

  bool Is_Open() const { return m_Open; }
  int Mode() const { return m_Mode; }

  // Opens the dialog in a mode (1: a plain message).
  void Open(int mode);
  // Opens the dialog growing from a world point to a box of the size (pixels) about the centre,
  // in a mode (1 message, 2 choice, 3 panel).
  bool Init(const CVector3& world_point, const CVector2& centre, float width, float height, int mode);
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
};

extern CModal_Dlg g_Modal_Dlg;
