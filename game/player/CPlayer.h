#pragma once
// The player: the selected gun and attachment, firing, and the first-person drawing.
struct CFrame_Info;

class CPlayer {
 public:
  // Number of gun and attachment kinds a profile can name.
  static constexpr int kKind_Slots = 16;
  static constexpr int kDefault_Gun = 4;
  static constexpr int kLast_Gun = 5;

  // Releases the current gun and its attachment (first step of every mode change).
  void Release_Gun();
  // The upgrade factors of a gun and attachment at their levels.
  static void Get_Upgrade_Factors(int gun_kind, int gun_level, int attachment_kind, int attachment_level,
                                  float& factor1, float& factor2, float& value);
  // Keeps the factors and their reciprocals (each factor taken as at least 0.0001 for those).
  void Set_Upgrade_Factors(float factor1, float factor2, float value);
  bool Select_Weapon(const int& gun_kind);

  void Update(const CFrame_Info& frame);
  void Render(const CFrame_Info& frame);
  void Render_Overlay(const CFrame_Info& frame);

  // False while paused; otherwise the gun fires or begins firing.
  bool Fire();
  bool Release_Fire();
  // Unless paused, the attachment fires; always false.
  bool Fire_Attachment();
  void Release_Attachment();
  // While set, the gun fires straight down.
  void Set_Gun_Flag(const bool& on) { m_Gun_Flag = on; }

  int m_Gun_Kind = 0;
  int m_Attachment_Kind = 0;
  int m_Attachment_Level = 0;
  float m_Factor1 = 1.0f, m_Inv_Factor1 = 1.0f;
  float m_Factor2 = 1.0f, m_Inv_Factor2 = 1.0f;
  float m_Upgrade_Value = 0.0f;
  bool m_Firing = false;
  bool m_Gun_Flag = false;
};

extern CPlayer g_Player;
