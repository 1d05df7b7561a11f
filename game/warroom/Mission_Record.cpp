#include "game/warroom/Mission_Record.h"

#include "game/trainer/CClient_Data.h"

Mission_Record Read_Mission_Record() {
  Mission_Record record;
  const bool was_loaded = g_Client_Data.m_Loaded;
  if (!was_loaded && !g_Client_Data.Load(nullptr)) return record;
  record.success_rate = g_Client_Data.Get_Success_Rate(record.weight);
  record.missions_flown = g_Client_Data.m_Missions_Flown;
  if (!was_loaded) g_Client_Data.Clear();
  return record;
}
