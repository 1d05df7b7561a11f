#pragma once
// The end-of-mission report. This is its least form: it shows its name and the outcome.
struct CFrame_Info;

class CMenu_EndGame {
 public:
  bool m_Initialised = false;
  bool m_Visible = false;
  bool m_Success = false;

  bool Init();
  void Term();
  void Activate(bool show, bool success);
  bool On_Left_Down();
  bool On_Left_Up();
  void Update(float step);
  void Render(const CFrame_Info& frame);
};
