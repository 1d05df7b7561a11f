#include "game/sim/CMusic_Track.h"

#include <algorithm>
#include <cstdio>

#include "game/core/CCamera.h"
#include "game/core/CGame_State.h"
#include "game/core/CSim_Desc.h"
#include "game/core/CWorld.h"
#include "game/core/Frame_Trace.h"
#include "game/core/Sound_FX.h"
#include "game/core/WinMain.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CBrain.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CRank_Data.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/audio/bass.h"
#include "platform/system/clock.h"
#include "platform/system/debug.h"
#include "platform/system/files.h"
#include "platform/system/random.h"
#include "runtime/src/libksresource/ksresourcemgr.h"

CMusic_Track g_Music_Track;
const CMatrix3x3 g_Base_Orientation = CMatrix3x3::Identity;

namespace {

constexpr uint32_t kRemaining_Masks[4] = {0x01, 0x04, 0x10, 0x20};
constexpr uint32_t kWon_Kill_Mask = 0x37;
constexpr uint32_t kBoss_Flag = 0x08;
constexpr uint32_t kEjector_Flag = 0x04;
constexpr float kWon_Infection = 0.01f;
constexpr uint32_t kMeteorite_Sound = 0x220001CA;
constexpr uint32_t kSuccess_Sound = 0x22000127;
constexpr uint32_t kFailure_Sound = 0x220001C8;
constexpr int kSequence_Early_End = 7;
constexpr int kSequence_Site_Cleared = 8;
constexpr int kSequence_Shields_Breached = 9;
constexpr uint32_t kMusic_Amplify = 40;
constexpr int kRank_Places[4] = {9, 2, 1, 0};

void Play_Closing_Sound(uint32_t id) {
  const float factor = 1.0f;
  Play_Sound_FX(id, factor);
}

void Start_Closing_Sequence(int kind) {
  const int zero = 0;
  g_Sequence_Mgr.Start_Sequence(kind, zero, zero, zero, zero);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Random values and the world's measures

float CMusic_Track::Random_Fraction() { return static_cast<float>(plat::Random()) * (1.0f / 32768.0f); }

int CMusic_Track::Random_Below(int count) { return plat::Random() * count / 32768; }

int CMusic_Track::Random_Occupied_Slot(const CTrack_Event& event) {
  int occupied[CTrack_Event::kSlot_Count];
  int count = 0;
  for (int i = 0; i < CTrack_Event::kSlot_Count; ++i)
    if (event.objects[i]) occupied[count++] = i;
  return count == 0 ? -1 : occupied[Random_Below(count)];
}

float CMusic_Track::World_X() const { return g_World.m_Terrain.size_x; }
float CMusic_Track::World_Z() const { return g_World.m_Terrain.size_z; }
float CMusic_Track::Camera_Height() const { return g_Camera.Position().y; }
float CMusic_Track::Ground(float x, float z) const { return g_World.Has_Terrain() ? g_World.Get_Height(x, z) : 0.0f; }

// ---------------------------------------------------------------------------------------------
// Event slots

int CTrack_Event::Occupied_Count() const {
  int count = 0;
  for (CWorld_Object* object : objects)
    if (object) ++count;
  return count;
}

int CTrack_Event::Find_Slot(int32_t id) const {
  for (int i = 0; i < kSlot_Count; ++i)
    if (slot_ids[i] == id) return i;
  return -1;
}

int CTrack_Event::Free_Slot() const {
  for (int i = 0; i < kSlot_Count; ++i)
    if (!objects[i]) return i;
  return -1;
}

// ---------------------------------------------------------------------------------------------
// Start and end of a run

bool CMusic_Track::Init(const CSim_Desc& desc) {
  char key[16];
  std::snprintf(key, sizeof(key), "%d", static_cast<int>(desc.track_file_id));
  m_Sim_Key = key;
  m_User_Name = desc.user_name;
  m_Access_Level = static_cast<uint32_t>(desc.access_level);
  g_Score_Board_Mgr.Commit_Points();
  Give_Reference_Scores();
  m_Clock_Stamp = timeGetTime();
  Load_Music(desc);
  if (!Load_TrackFile(desc.track_file_id)) {
    Term();
    return false;
  }
  Setup_Lanes();
  m_Music_Started = m_Ended = m_End_Requested = m_Result = m_Paused = false;
  m_Clock = 0.0f;
  m_Lane_Light_Index = m_Lane_Pair_Index = 0;
  m_Grace_Time = kGrace_Seconds;
  const bool reset = true;
  g_Sim_Stats.End_Round(reset);
  m_Running = true;
  return true;
}

void CMusic_Track::Give_Reference_Scores() {
  CRank_Data& ranks = g_Communications_Mgr.m_Rank_Data;
  const bool loaded_here = !ranks.m_Loaded;
  if (loaded_here) ranks.Load();
  uint32_t scores[4] = {0, 0, 0, 0};
  if (!m_Sim_Key.empty()) {
    for (int i = 0; i < 4; ++i) {
      const Rank_Entry* entry = ranks.Get_Entry(m_Sim_Key.c_str(), kRank_Places[i]);
      scores[i] = entry ? entry->Score : 0;
    }
  }
  g_Score_Board_Mgr.Set_Stat_Sources(scores[0], scores[1], scores[2], scores[3]);
  if (loaded_here) ranks.Clear();
}

void CMusic_Track::Load_Music(const CSim_Desc& desc) {
  m_Music_Channel = 0;
  if (!g_Music_Available || desc.music_id == 0 || !g_pRezMgr) return;
  const uint32_t id = desc.music_id;
  CRezPackMap* map = nullptr;
  const RezRecord* record = g_pRezMgr->FindRecord(id, &map);
  if (!record) {
    Report_Music_Failure(id, "it is in no resource pack");
    return;
  }
  char path[260];
  if (!g_pRezMgr->BuildFileName(record, path, sizeof(path), map)) {
    Report_Music_Failure(id, "the name of its pack file is too long");
    return;
  }
  const DWORD length = record->size == kRezSizeToEnd ? 0 : record->size;
  m_Music_Channel = BASS_MusicLoad(FALSE, path, record->offset, length, 0);
  const float volume = std::clamp(g_Game_State.Music_Volume, 0.0f, 1.0f) * 100.0f;
  BASS_ChannelSetAttributes(m_Music_Channel, -1, std::min(static_cast<int>(volume), 100), -1);
  if (m_Music_Channel != 0) {
    BASS_MusicSetAmplify(m_Music_Channel, kMusic_Amplify);
    return;
  }
  char reason[400];
  if (!plat::File_Exists(path))
    std::snprintf(reason, sizeof(reason), "its pack file %s is missing", path);
  else if (record->flags & kRezFlagCompressed)
    std::snprintf(reason, sizeof(reason), "it is stored compressed in %s", path);
  else if (record->size == kRezSizeToEnd)
    std::snprintf(reason, sizeof(reason), "%s holds no playable module from offset %u", path,
                  static_cast<unsigned>(record->offset));
  else
    std::snprintf(reason, sizeof(reason), "%s holds no playable module at offset %u (%u bytes)", path,
                  static_cast<unsigned>(record->offset), static_cast<unsigned>(record->size));
  Report_Music_Failure(id, reason);
}

void CMusic_Track::Report_Music_Failure(uint32_t id, const char* reason) {
  char line[512];
  std::snprintf(line, sizeof(line), "Music module (%x) could not be loaded: %s; the simulation runs without music.",
                static_cast<unsigned>(id), reason);
  plat::Error_Output(line);
}

void CMusic_Track::Term() {
  for (int n = 0;; ++n) {
    CWorld_Object* object = g_World.Get_Object(n);
    if (!object) break;
    if (object->m_Kill_Timer == 0.0f) object->m_Kill_Timer = 1.0f;
  }
  if (m_Music_Channel != 0) {
    BASS_MusicFree(m_Music_Channel);
    m_Music_Channel = 0;
  }
  m_Music_Started = m_Ended = m_Result = m_End_Requested = false;
  m_Sections.clear();
  Kill_Light_Walls();
  m_Sim_Key.clear();
  m_User_Name.clear();
  m_Length = 0.0f;
  m_Track_Mode = 0;
  m_Lane_Count = 0;
  m_Running = false;
}

void CMusic_Track::Set_Pause(const bool& paused) {
  if (paused == m_Paused) return;
  if (m_Music_Channel != 0) {
    if (paused)
      BASS_ChannelPause(m_Music_Channel);
    else
      BASS_ChannelResume(m_Music_Channel);
  }
  m_Paused = paused;
}

// ---------------------------------------------------------------------------------------------
// One frame

void CMusic_Track::Update() {
  if (!m_Music_Started && m_Music_Channel != 0) {
    BASS_MusicPlay(m_Music_Channel);
    m_Clock_Stamp = timeGetTime();
    m_Music_Started = true;
  }
  const uint32_t now = timeGetTime();
  float step = static_cast<float>(now - m_Clock_Stamp) * 0.001f;
  m_Clock_Stamp = now;
  if (m_Paused) step = 0.0f;
  const float previous_clock = m_Clock;
  m_Clock += step;
  if (m_Paused) return;

  for (CTrack_Section& section : m_Sections) Dispatch_Section(section, previous_clock);

  const bool playing = m_Music_Channel != 0 && BASS_ChannelIsActive(m_Music_Channel) != 0;
  if ((playing && !m_End_Requested) || g_Modal_Dlg.Is_Open() || m_Ended) return;
  m_Clock = kEnded_Clock;
  if (Remaining_Objects() && m_Grace_Time > 0.0f) {
    m_Grace_Time -= step;
    return;
  }
  Close_Run();
}

void CMusic_Track::Dispatch_Section(CTrack_Section& section, float previous_clock) {
  std::vector<CTrack_Event>& events = section.events;
  for (size_t i = section.first_pending; i < events.size() && events[i].start <= m_Clock; ++i) {
    CTrack_Event& event = events[i];
    if (previous_clock < event.start && event.start <= m_Clock && !m_Ended) {
      Frame_Trace("track event start");
      On_Event_Start(event);
    }
    if (previous_clock < event.end && event.end <= m_Clock) {
      Frame_Trace("track event end");
      On_Event_End(event);
    }
    while (event.next_point < event.points.size() &&
           event.start + event.points[event.next_point].time <= m_Clock) {
      if (!m_Ended) {
        Frame_Trace("track event point");
        On_Event_Point(event, event.points[event.next_point]);
      }
      ++event.next_point;
    }
  }
  while (section.first_pending < events.size() && events[section.first_pending].end <= m_Clock)
    ++section.first_pending;
}

bool CMusic_Track::Remaining_Objects() const {
  for (uint32_t mask : kRemaining_Masks)
    if (g_World.Find_Object_By_Flags(mask, 0)) return true;
  return false;
}

void CMusic_Track::Close_Run() {
  const CBrain* brain = g_Game_State.m_Brain;
  if (brain && brain->m_Kind == CBrain::kGame_Rules) {
    const int site = g_WarRoom_Sim.m_Current_Site;
    if (site >= 0 && site < CWarRoom_Sim::kSite_Count) {
      g_WarRoom_Sim.m_Sites[site].flags &= ~CWarRoom_Site::kInfected;
      g_WarRoom_Sim.m_Sites[site].infection = kWon_Infection;
    }
    const bool success = true;
    End_Sim(success);
    return;
  }
  Show_Statistics();
}

// ---------------------------------------------------------------------------------------------
// The end of a War Room mission

void CMusic_Track::End_Sim(const bool& success) {
  if (m_Ended) return;
  m_Ended = true;
  m_Result = success;
  if (m_Music_Channel != 0) BASS_ChannelStop(m_Music_Channel);
  if (success) Kill_Won_Objects();
  Choose_Closing(success);
}

void CMusic_Track::Kill_Won_Objects() {
  for (int n = 0;; ++n) {
    CWorld_Object* object = g_World.Get_Object(n);
    if (!object) break;
    if ((object->m_Kind_Flags & kWon_Kill_Mask) == 0) continue;
    object->m_Kill_Timer += 0.001f;
    if (object->m_Kind_Flags & kBoss_Flag) {
      Remove_Object(object);
      g_WarRoom_Sim.m_Disinfection_Mode = true;
    } else if (object->m_Kind_Flags & kEjector_Flag) {
      Remove_Object(object);
    }
  }
}

void CMusic_Track::Choose_Closing(bool success) {
  // Once the source is destroyed every mission closes with its sound and the access check, and
  // then by its own result; before that the infection out of time closes it early and silently.
  const CWarRoom_Sim& war_room = g_WarRoom_Sim;
  if (war_room.m_Disinfection_Mode) {
    Play_Closing_Sound(kMeteorite_Sound);
    Update_Access_Level(true);
  } else if (war_room.Get_Time_Remaining() < 1.0f) {
    Start_Closing_Sequence(kSequence_Early_End);
    return;
  } else if (success) {
    Play_Closing_Sound(kSuccess_Sound);
  } else {
    Play_Closing_Sound(kFailure_Sound);
  }
  Start_Closing_Sequence(success ? kSequence_Site_Cleared : kSequence_Shields_Breached);
}

void CMusic_Track::Remove_Object(CWorld_Object* object) {
  if (!object) return;
  for (CTrack_Section& section : m_Sections) {
    for (size_t i = section.first_pending; i < section.events.size() && section.events[i].start <= m_Clock; ++i) {
      CTrack_Event& event = section.events[i];
      for (CWorld_Object*& slot : event.objects)
        if (slot == object) slot = nullptr;
    }
  }
}
