#include "game/warroom/Mission_Record.h"

#include "game/trainer/CClient_Data.h"
#include "game/trainer/CCommunications_Mgr.h"

Mission_Record Read_Mission_Record() {
  Mission_Record record;
  g_Communications_Mgr.m_Client_Data.Use_Loaded([&record](CClient_Data& account) {
    record.success_rate = account.Get_Success_Rate(record.weight);
    record.missions_flown = account.m_Missions_Flown;
  });
  return record;
}
