#include "game/warroom/WarRoom_Services.h"

#include "game/fx/CScreen_FX_Mgr.h"
#include "game/trainer/CClient_Data.h"

void WarRoom_Start_Sequence(int kind) { (void)kind; }

void WarRoom_Screen_Text(int kind, float duration, const char* text) {
  g_Screen_FX_Mgr.Add_Effect_4(kind, duration, text);
}

void WarRoom_Screen_Effect(int kind, float duration) { g_Screen_FX_Mgr.Add_Effect_2(kind, duration, 0.0f); }

void WarRoom_Site_Help() {}

std::string WarRoom_User_Name() { return Current_User_Name(); }
