#include "game/core/CGame_State.h"

#include "game/core/CSim_Desc.h"
#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/sim/CBrain.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"

CGame_State g_Game_State;

bool CGame_State::Init() {
  m_Sim_Kind = 0;
  m_Mode_Flags = 0;
  m_Ready = true;
  return true;
}

void CGame_State::Term() {
  if (m_Sim_Kind != 0) Load_Sim(0, nullptr);
  m_Ready = false;
}

bool CGame_State::Load_Sim(const unsigned& kind, const CSim_Desc* desc) {
  g_Sim_Stats.Stop();
  g_Score_Board_Mgr.Term();
  if (m_Sim_Kind != 0) {
    Destroy_Brain(m_Brain);
    m_Brain = nullptr;
  }
  m_Sim_Kind = 0;
  m_Environment = desc ? desc->environment_variant : 0;
  if (kind == 0 || !desc) {
    g_World.m_Gravity.Set(0.0f, -150.0f, 0.0f);
    m_Mode_Flags = 0;
    return kind == 0;
  }
  m_Mode_Flags = desc->mode_flags;
  g_World.m_Gravity = desc->gravity;
  if (!g_Sim_Stats.Reset()) return false;
  if (!g_Score_Board_Mgr.Init()) return false;
  if (desc->brain_kind != 0) {
    m_Brain = Create_Brain(desc->brain_kind, desc);
    // A run without its brain would never end: the load fails instead.
    if (!m_Brain) {
      Show_Message("Load_Sim: Error - Simulation %u could not start its track", desc->track_file_id);
      return false;
    }
  }
  m_Sim_Kind = kind;
  return true;
}
