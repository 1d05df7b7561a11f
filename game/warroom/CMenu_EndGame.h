#pragma once
// The end-of-mission report: a panel slides down before the menu camera with the outcome, a
// correspondent's typed message, the user's mission record, a difficulty rating, the credits of
// a won mission and the button back to the trainer. Showing it books the mission in the account.
#include <cstdint>
#include <string>

#include "game/menu/CMenu_Panel.h"
#include "runtime/src/math/math_types.h"

struct CFrame_Info;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;
class CClient_Data;

class CMenu_EndGame {
 public:
  static constexpr int32_t kMessage_Item = 1;
  static constexpr int32_t kReturn_Item = 2;

  bool m_Initialised = false;
  bool m_Visible = false;
  bool m_Success = false;
  bool m_Leaving = false;

  float m_Phase = 0.0f;
  float m_Brightness = 0.0f;
  float m_Elapsed = 0.0f;
  CMenu_Panel m_Panel;
  // Where the report's lights and glow quads stand, and the turns of the two glow stars.
  CVector3 m_E1{}, m_E2{}, m_E3{}, m_E4{};
  float m_Turn[2] = {0.0f, 0.0f};

  // What the last booking gave, for the layout.
  uint32_t m_Award = 0;
  std::string m_Message;

  bool Init();
  void Term();
  void Activate(bool show, bool success);
  void Build_Report();
  bool On_Left_Down();
  bool On_Left_Up();
  void Update(float step);
  void Render(const CFrame_Info& frame);
  void Return_To_Trainer();
  // The glow quads at the four points: the two stars of five quads and the two beams.
  void Draw_Glow();

 private:
  void Release_Resources();
  // Books the mission in the account; false when no account could be loaded.
  bool Book_Mission(CClient_Data& account);
  std::string Pick_Message(uint32_t missions_won, uint32_t missions_lost);
  void Lay_Out(uint32_t missions_won, uint32_t missions_lost);
  void Draw_Panel_Meshes();

  CRenderableObject* m_Renderables[2] = {nullptr, nullptr};
  CD3DRenderStyle* m_Styles[3] = {nullptr, nullptr, nullptr};
  CTextureData* m_Textures[4] = {nullptr, nullptr, nullptr, nullptr};
};
