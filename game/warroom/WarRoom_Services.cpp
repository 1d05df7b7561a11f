#include "game/warroom/WarRoom_Services.h"

#include "game/fx/CScreen_FX_Mgr.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/sim/Launch_Helpers.h"
#include "game/trainer/CClient_Data.h"

void WarRoom_Start_Sequence(int kind) { g_Sequence_Mgr.Start_Sequence(kind, 0, 0, 0, 0); }

void WarRoom_Screen_Text(int kind, float duration, const char* text) {
  g_Screen_FX_Mgr.Add_Effect_4(kind, duration, text);
}

void WarRoom_Screen_Effect(int kind, float duration) { g_Screen_FX_Mgr.Add_Effect_2(kind, duration, 0.0f); }

void WarRoom_Site_Help() { Show_WarRoom_Info(2); }

std::string WarRoom_User_Name() { return Current_User_Name(); }
