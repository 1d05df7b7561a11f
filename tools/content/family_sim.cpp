// The simulation runs: the 23 training simulations' track files and music modules, a short lane
// track with its module per environment, and the War Room's site and infection-source tracks
// over the simulations' modules. Track files and modules are raw resources that the game opens
// as files, so they are stored uncompressed. The events and points are made by kind and put in
// order of time before they are written, as the run walks them.
#include <algorithm>
#include <string>

#include "tools/content/manifest.h"
#include "tools/content/sim_content.h"

namespace content {

// Ids, environments and lengths of the simulator's list.
const SimContentRow kSimRows[kSimContentRows] = {
    {0x220001bd, 0x2200018f, 1, 186, "This is the Beginning"},
    {0x2200019c, 0x22000185, 1, 209, "Elementary"},
    {0x220001a1, 0x22000180, 2, 251, "Horizon on Fire"},
    {0x22000196, 0x2200017f, 2, 204, "You, Me, Happy and Joy"},
    {0x220001c5, 0x22000193, 0, 170, "It Began in Africa"},
    {0x220001a4, 0x22000182, 2, 242, "Imagine"},
    {0x22000198, 0x22000181, 3, 231, "Dance with Me"},
    {0x22000194, 0x2200017d, 3, 204, "Someone to Hold"},
    {0x220001b7, 0x2200018c, 0, 241, "Quicksilver"},
    {0x220001c3, 0x22000192, 1, 280, "Virtual Wonders"},
    {0x220001af, 0x22000189, 2, 235, "Nueva Space"},
    {0x220001a8, 0x22000186, 2, 235, "New York Lights"},
    {0x2200019e, 0x2200017e, 1, 239, "Happy Dayz!"},
    {0x220001ad, 0x22000188, 2, 227, "Never Trust a Klingon"},
    {0x220001b9, 0x2200018d, 3, 286, "Silence"},
    {0x220001bf, 0x22000190, 0, 185, "A Trance After Tranquility"},
    {0x220001bb, 0x2200018e, 2, 139, "Tune 4 Demo"},
    {0x2200019a, 0x22000183, 1, 229, "Deeper Shores"},
    {0x220001a6, 0x22000184, 3, 259, "Neverending Dream"},
    {0x220001b2, 0x2200018a, 2, 127, "Kebab for the Maskar"},
    {0x220001ab, 0x22000187, 0, 181, "NSME, Part 1"},
    {0x220001b4, 0x2200018b, 2, 231, "Oncoming Rythm"},
    {0x220001c1, 0x22000191, 3, 286, "The Unusual"},
};

namespace {

// The module of row 17 is written by the sounds family.
constexpr uint32_t kSharedMusicId = 0x2200018E;

using writers::TrackEvent;
using writers::TrackPoint;

// One event over [start, start + seconds] of a track of the length, with points every step.
TrackEvent Event(double length, uint32_t kind, uint32_t sub_kind, uint32_t parameter, double start, double seconds) {
  TrackEvent event;
  event.kind = kind;
  event.sub_kind = sub_kind;
  event.parameter = parameter;
  event.start = static_cast<float>(start / length);
  event.end = static_cast<float>(std::min(start + seconds, length) / length);
  return event;
}

void Add_Points(TrackEvent& event, uint32_t action, double first, double step, int count, uint32_t argument) {
  for (int i = 0; i < count; ++i)
    event.points.push_back(TrackPoint{action, static_cast<float>(first + step * i), argument});
}

// The ejector events: a block of about 12 s each, cycling through the ejector kinds.
TrackEvent Ejector_Block(double length, int block, double start) {
  const int cycle = block % 12;
  switch (cycle) {
    case 0: case 6: {
      TrackEvent e = Event(length, 1, static_cast<uint32_t>(block / 2 % 10), 0, start, 11.0);
      Add_Points(e, 0, 1.0, 1.5, 6, 0);
      return e;
    }
    case 1: {
      const uint32_t sub_kind = 1 + static_cast<uint32_t>(block / 12 % 9);
      const uint32_t places = sub_kind == 3 ? 6 : sub_kind == 5 ? 4 : 3;
      TrackEvent e = Event(length, 2, sub_kind, places, start, 11.0);
      for (uint32_t n = 0; n < places; ++n) e.points.push_back(TrackPoint{0, 0.3f * n, n});
      Add_Points(e, 2, 2.5, 1.2, 5, 10);
      e.points.push_back(TrackPoint{1, 9.0f, 0});
      return e;
    }
    case 2: {
      TrackEvent e = Event(length, 12, 0, 3 + static_cast<uint32_t>(block % 3), start, 11.0);
      for (uint32_t n = 0; n < 3; ++n) e.points.push_back(TrackPoint{0, 1.0f + 2.0f * n, n});
      for (uint32_t n = 0; n < 3; ++n) e.points.push_back(TrackPoint{2, 1.8f + 2.0f * n, n});
      return e;
    }
    case 3: {
      TrackEvent e = Event(length, 5, 0, 3, start, 10.0);
      Add_Points(e, 0, 1.0, 2.0, 4, 0);
      return e;
    }
    case 4: {
      TrackEvent e = Event(length, 8, 0, 0, start, 11.0);
      Add_Points(e, 0, 1.0, 2.0, 4, 0);
      e.points.push_back(TrackPoint{2, 8.5f, 0xFFFFFFFFu});
      e.points.push_back(TrackPoint{1, 9.5f, 0});
      return e;
    }
    case 5: {
      TrackEvent e = Event(length, 9, static_cast<uint32_t>(block / 6 % 2), 0, start, 10.0);
      Add_Points(e, 0, 1.0, 2.0, 4, 0);
      return e;
    }
    case 7: {
      TrackEvent e = Event(length, 9, 8, 2 + static_cast<uint32_t>(block % 6), start, 11.0);
      for (uint32_t n = 0; n < 4; ++n) e.points.push_back(TrackPoint{0, 1.0f + 0.8f * n, 1 + n});
      e.points.push_back(TrackPoint{0, 5.0f, 0});
      e.points.push_back(TrackPoint{1, 6.5f, 2});
      e.points.push_back(TrackPoint{2, 8.0f, 3});
      return e;
    }
    case 8: {
      static constexpr uint32_t kSubs[3] = {0, 1, 8};
      TrackEvent e = Event(length, 10, kSubs[block / 12 % 3], 0, start, 11.0);
      Add_Points(e, 0, 1.5, 2.0, 4, 0);
      return e;
    }
    case 9: {
      TrackEvent e = Event(length, 16, static_cast<uint32_t>(block / 12 % 2), 0, start, 11.0);
      Add_Points(e, 0, 1.5, 2.0, 4, 0);
      return e;
    }
    case 10: {
      TrackEvent e = Event(length, 11, 0, 0, start, 11.0);
      e.points.push_back(TrackPoint{0, 1.0f, 0});
      e.points.push_back(TrackPoint{1, 4.0f, 0});
      e.points.push_back(TrackPoint{0, 6.0f, 2});
      e.points.push_back(TrackPoint{2, 8.0f, 0});
      return e;
    }
    default: {
      TrackEvent e = Event(length, 1, 0, 0, start, 11.0);
      Add_Points(e, 0, 1.0, 1.5, 6, 0);
      return e;
    }
  }
}

// The target and shot spawns: a block of about 9 s each.
TrackEvent Spawn_Block(double length, int block, double start) {
  static constexpr uint32_t kKinds[4] = {13, 9, 10, 16};
  static constexpr uint32_t kSubs[4][7] = {
      {0, 1, 2, 3, 4, 5, 1}, {2, 3, 4, 5, 6, 7, 9}, {2, 3, 4, 5, 6, 7, 9}, {2, 3, 4, 5, 2, 3, 4}};
  const uint32_t kind = kKinds[block % 4];
  const uint32_t sub_kind = kSubs[block % 4][block / 4 % 7];
  TrackEvent e = Event(length, kind, sub_kind, 0, start, 8.0);
  Add_Points(e, 2, 0.5, 1.25, 6, static_cast<uint32_t>(block % 3));
  if (kind == 13 && sub_kind == 3) e.points.push_back(TrackPoint{0, 7.5f, 0});
  if (kind == 10 && sub_kind == 6) e.points.push_back(TrackPoint{1, 7.6f, 0});
  return e;
}

}  // namespace

writers::ModSpec SimMusicSpec(uint32_t music_id, double seconds, const char* title) {
  writers::ModSpec spec;
  spec.title = title;
  spec.seconds = seconds;
  spec.seed = music_id;
  return spec;
}

double SimMusicLength(const writers::ModSpec& spec) {
  return writers::ModRowCount(spec) * writers::ModRowSeconds(spec.speed, spec.tempo);
}

writers::TrackSpec SimTrack(double length, uint32_t seed, uint32_t lane_count) {
  writers::TrackSpec spec;
  spec.mode = lane_count != 0 ? 1 : 0;
  spec.lane_count = lane_count;
  spec.length = static_cast<float>(length);
  std::vector<TrackEvent> ejectors, spawns, effects, rounds;
  const int offset = static_cast<int>(seed % 12);
  int block = 0;
  for (double t = 4.0; t + 12.0 < length - 4.0; t += 13.0, ++block) {
    ejectors.push_back(Ejector_Block(length, block + offset, t));
    TrackEvent round = Event(length, 3, 0, 0, t, 12.0);
    Add_Points(round, 0, 2.0, 2.0, 5, 0);
    rounds.push_back(round);
  }
  block = 0;
  for (double t = 6.0; t + 9.0 < length - 4.0; t += 9.5, ++block) spawns.push_back(Spawn_Block(length, block + offset, t));
  block = 0;
  for (double t = 3.0; t + 3.0 < length - 2.0; t += 7.0, ++block) {
    const bool screen = block % 5 == 4;
    effects.push_back(Event(length, screen ? 14 : 4, static_cast<uint32_t>(screen ? block / 5 % 3 : block % 10),
                            static_cast<uint32_t>(block % 8), t, 2.5));
  }
  if (lane_count != 0) {
    TrackEvent lanes = Event(length, 7, 0, 0, 2.0, length - 4.0);
    for (double t = 0.5; t < length - 5.0; t += 0.75)
      lanes.points.push_back(TrackPoint{static_cast<uint32_t>(static_cast<int>(t * 4) % 3), static_cast<float>(t),
                                        static_cast<uint32_t>(static_cast<int>(t) % 3)});
    effects.push_back(lanes);
  }
  effects.push_back(Event(length, 6, 0, 0, 1.0, 1.0));
  effects.push_back(Event(length, 15, 0, 0, length - 0.5, 0.4));
  spec.sections = {ejectors, spawns, effects, rounds};
  writers::SortTrack(spec);
  return spec;
}

writers::TrackSpec LaneTrack(double length) {
  writers::TrackSpec spec;
  spec.mode = 1;
  spec.lane_count = kLaneCount;
  spec.length = static_cast<float>(length);
  TrackEvent ejector = Event(length, 1, 0, 0, 0.5, length - 2.5);
  Add_Points(ejector, 0, 0.8, 1.2, static_cast<int>((length - 4.0) / 1.2), 0);
  TrackEvent round = Event(length, 3, 0, 0, 0.5, length - 3.0);
  Add_Points(round, 0, 1.0, 1.0, static_cast<int>(length - 4.0), 0);
  TrackEvent flash = Event(length, 4, 0, 2, 1.0, 0.5);
  TrackEvent lanes = Event(length, 7, 0, 0, 0.3, length - 1.0);
  Add_Points(lanes, 0, 0.2, 0.5, 2 * static_cast<int>(kLaneCount), 0);
  Add_Points(lanes, 1, 3.5, 0.7, 3, 3);
  TrackEvent balls = Event(length, 13, 1, 0, 1.5, length - 4.0);
  Add_Points(balls, 0, 0.5, 0.9, static_cast<int>((length - 5.0) / 0.9), 0);
  spec.sections = {{ejector, flash}, {round}, {lanes}, {balls}};
  writers::SortTrack(spec);
  return spec;
}

namespace {

// The War Room's site runs. A site is won by cleaning it with points, or by holding out to the
// end of its music. The mission's time allows about 15 s for each infected site on the way to
// the source, so targets to score on come from the first seconds and keep coming; the enemies
// come in waves the shields can answer (they regain about a fifth of their strength in 40 s):
// one emplacement at a time, firing a few times, and a few enemies at once.
constexpr double kSite_First_Emplacement = 2.0;  // s: the first enemy stands from here
constexpr double kSite_Emplacement_Every = 16.0;
constexpr double kSite_Emplacement_Seconds = 12.0;
constexpr double kSite_First_Enemies = 4.0;
constexpr double kSite_Enemies_Every = 15.0;
constexpr double kSite_First_Targets = 1.5;
constexpr double kSite_Targets_Every = 4.0;
constexpr double kSite_Targets_Seconds = 4.5;
constexpr double kSite_Enemies_Seconds = 8.0;
constexpr double kSite_Quiet_End = 6.0;  // s before the end with nothing new, so the run can close

// An emplacement block: an enemy emplacement (cannon, bar, tower, plate, bomb) or, one time in
// six, a box ejector to score on, fired a few times.
TrackEvent Site_Emplacement_Block(double length, int block, double start) {
  struct Emplacement {
    uint32_t kind, sub_kind;
    int shots;
  };
  static constexpr Emplacement kCycle[6] = {{10, 0, 3}, {16, 0, 3}, {1, 0, 6}, {10, 1, 2}, {16, 1, 2}, {10, 8, 2}};
  const Emplacement& e = kCycle[block % 6];
  const uint32_t sub_kind = e.kind == 1 ? static_cast<uint32_t>(block / 6 % 10) : e.sub_kind;
  TrackEvent event = Event(length, e.kind, sub_kind, 0, start, kSite_Emplacement_Seconds);
  Add_Points(event, 0, 2.0, 9.0 / e.shots, e.shots, 0);
  return event;
}

// A wave of enemies or enemy ammunition: two, a few seconds apart.
TrackEvent Site_Enemy_Block(double length, int block, double start) {
  static constexpr uint32_t kAir_Subs[7] = {2, 3, 4, 5, 7, 9, 6};  // UFO, missile, disc, bar, tile, anti-matter, bullet
  static constexpr uint32_t kGround_Subs[4] = {2, 3, 4, 5};       // ball, digger, roller, can
  const bool ground = block % 3 == 2;
  const uint32_t kind = ground ? 16 : 10;
  const uint32_t sub_kind = ground ? kGround_Subs[block / 3 % 4] : kAir_Subs[block % 7];
  TrackEvent event = Event(length, kind, sub_kind, 0, start, kSite_Enemies_Seconds);
  Add_Points(event, 2, 0.5, 3.0, 2, static_cast<uint32_t>(block % 3));
  if (kind == 10 && sub_kind == 6) event.points.push_back(TrackPoint{1, 7.6f, 0});
  return event;
}

// A volley of targets to score on: busters (the richest), exclamation marks, fliers and glowers.
TrackEvent Site_Target_Block(double length, int block, double start) {
  struct Target {
    uint32_t kind, sub_kind;
  };
  static constexpr Target kCycle[6] = {{13, 4}, {13, 5}, {9, 2}, {13, 4}, {13, 2}, {9, 9}};
  const Target& t = kCycle[block % 6];
  TrackEvent event = Event(length, t.kind, t.sub_kind, 0, start, kSite_Targets_Seconds);
  Add_Points(event, 2, 0.3, 0.8, 5, static_cast<uint32_t>(block % 3));
  return event;
}

// The crystal boss, the infested meteorite of the infection source: from the first seconds to
// the very end of the run, so that it is in the world when the run closes (which tells the War
// Room that the source fell). It fires shards to either side, flashes, and charges a pulse every
// so often; breaking a pulse by shooting the crystal scores, and enough broken pulses clean
// the source before the end.
constexpr double kBoss_Start = 5.0;
constexpr double kBoss_Shot_Every = 6.0;
constexpr double kBoss_Flash_Every = 13.0;
constexpr double kBoss_First_Pulse = 12.0;
constexpr double kBoss_Pulse_Every = 20.0;
constexpr double kBoss_Quiet_End = 8.0;  // s before the end with no action, so a last blast is over

TrackEvent Source_Boss(double length) {
  TrackEvent boss = Event(length, 11, 0, 0, kBoss_Start, length - kBoss_Start);
  const double last = length - kBoss_Start - kBoss_Quiet_End;
  int shot = 0;
  for (double t = 3.0; t < last; t += kBoss_Shot_Every, ++shot)
    boss.points.push_back(TrackPoint{0, static_cast<float>(t), static_cast<uint32_t>(shot % 3)});
  for (double t = 7.5; t < last; t += kBoss_Flash_Every) boss.points.push_back(TrackPoint{2, static_cast<float>(t), 0});
  for (double t = kBoss_First_Pulse; t < last; t += kBoss_Pulse_Every)
    boss.points.push_back(TrackPoint{1, static_cast<float>(t), 0});
  return boss;
}

}  // namespace

writers::TrackSpec SiteTrack(double length, uint32_t seed, bool infection_source) {
  writers::TrackSpec spec;
  spec.length = static_cast<float>(length);
  std::vector<TrackEvent> emplacements, spawns, targets, effects, rounds;
  const int offset = static_cast<int>(seed % 6);
  const double last_end = length - kSite_Quiet_End;
  int block = 0;
  for (double t = kSite_First_Emplacement; t + kSite_Emplacement_Seconds < last_end;
       t += kSite_Emplacement_Every, ++block) {
    emplacements.push_back(Site_Emplacement_Block(length, block + offset, t));
    TrackEvent round = Event(length, 3, 0, 0, t, kSite_Emplacement_Seconds);
    Add_Points(round, 0, 2.0, 2.0, 5, 0);
    rounds.push_back(round);
  }
  block = 0;
  for (double t = kSite_First_Enemies; t + kSite_Enemies_Seconds < last_end; t += kSite_Enemies_Every, ++block)
    spawns.push_back(Site_Enemy_Block(length, block + offset, t));
  block = 0;
  for (double t = kSite_First_Targets; t + kSite_Targets_Seconds < last_end; t += kSite_Targets_Every, ++block)
    targets.push_back(Site_Target_Block(length, block + offset, t));
  block = 0;
  for (double t = 9.0; t + 3.0 < last_end; t += 17.0, ++block) {
    const bool screen = block % 4 == 3;
    effects.push_back(Event(length, screen ? 14 : 4, static_cast<uint32_t>(screen ? block / 4 % 3 : block % 10),
                            static_cast<uint32_t>(block % 8), t, 2.5));
  }
  effects.push_back(Event(length, 6, 0, 0, 1.0, 1.0));
  effects.push_back(Event(length, 15, 0, 0, length - 0.5, 0.4));
  spec.sections = {emplacements, spawns, targets, effects, rounds};
  if (infection_source) spec.sections.push_back({Source_Boss(length)});
  writers::SortTrack(spec);
  return spec;
}

namespace {

// The War Room's site simulations and those of the infection source: each a track over one of
// the simulator's modules.
struct WarRoomTrack {
  uint32_t track_id;
  uint32_t music_id;
};
constexpr WarRoomTrack kWarRoomTracks[] = {
    {0x22000195, 0x2200017d}, {0x22000197, 0x2200017f}, {0x22000199, 0x22000181}, {0x2200019b, 0x22000183},
    {0x2200019d, 0x22000185}, {0x2200019f, 0x2200017e}, {0x220001a2, 0x22000180}, {0x220001a5, 0x22000182},
    {0x220001a7, 0x22000184}, {0x220001a9, 0x22000186}, {0x220001ac, 0x22000187}, {0x220001ae, 0x22000188},
    {0x220001b0, 0x22000189}, {0x220001b3, 0x2200018a}, {0x220001b5, 0x2200018b}, {0x220001b8, 0x2200018c},
    {0x220001ba, 0x2200018d}, {0x220001bc, 0x2200018e}, {0x220001be, 0x2200018f}, {0x220001c0, 0x22000190},
    {0x220001c2, 0x22000191}, {0x220001c4, 0x22000192},
    // The infection source (from kFirst_Source_Track on).
    {0x220001b1, 0x2200018a}, {0x220001a3, 0x22000182}, {0x220001b6, 0x2200018c}, {0x220001aa, 0x22000187},
    {0x220001a0, 0x22000180},
};

constexpr int kFirst_Source_Track = 22;

double Music_Length_Of(uint32_t music_id) {
  for (const SimContentRow& row : kSimRows)
    if (row.music_id == music_id) return SimMusicLength(SimMusicSpec(row.music_id, row.seconds, row.title));
  return 180.0;
}

void Add_WarRoom_Tracks(Manifest& manifest) {
  int n = 0;
  for (const WarRoomTrack& entry : kWarRoomTracks) {
    ResourceEntry track;
    track.id = entry.track_id;
    const bool source = n >= kFirst_Source_Track;
    track.name = (source ? "tracks/source_" : "tracks/site_") + std::to_string(++n) + ".trk";
    const double length = Music_Length_Of(entry.music_id);
    const uint32_t seed = entry.track_id;
    track.generate = [length, seed, source](Bytes& out) {
      writers::WriteTrack(SiteTrack(length, seed, source), out);
      return true;
    };
    manifest.AddResource(std::move(track));
  }
}

}  // namespace

void Add_Sim_Family(Manifest& manifest) {
  for (int i = 0; i < kSimContentRows; ++i) {
    const SimContentRow row = kSimRows[i];
    const writers::ModSpec music = SimMusicSpec(row.music_id, row.seconds, row.title);
    if (row.music_id != kSharedMusicId) {
      ResourceEntry module;
      module.id = row.music_id;
      module.name = "music/sim_" + std::to_string(i + 1) + ".mod";
      module.generate = [music](Bytes& out) { return writers::WriteMod(music, out); };
      manifest.AddResource(std::move(module));
    }
    ResourceEntry track;
    track.id = row.track_id;
    track.name = "tracks/sim_" + std::to_string(i + 1) + ".trk";
    const double length = SimMusicLength(music);
    const uint32_t lanes = i % 3 == 1 ? 4 : 0;
    track.generate = [length, row, lanes](Bytes& out) {
      writers::WriteTrack(SimTrack(length, row.track_id, lanes), out);
      return true;
    };
    manifest.AddResource(std::move(track));
  }
  for (int environment = 0; environment < 4; ++environment) {
    const writers::ModSpec music =
        SimMusicSpec(kLaneMusicIds[environment], kLaneMusicSeconds[environment], "Lane Warmup");
    ResourceEntry module;
    module.id = kLaneMusicIds[environment];
    module.name = "music/lane_" + std::to_string(environment) + ".mod";
    module.generate = [music](Bytes& out) { return writers::WriteMod(music, out); };
    manifest.AddResource(std::move(module));
    ResourceEntry track;
    track.id = kLaneTrackIds[environment];
    track.name = "tracks/lane_" + std::to_string(environment) + ".trk";
    const double length = SimMusicLength(music);
    track.generate = [length](Bytes& out) {
      writers::WriteTrack(LaneTrack(length), out);
      return true;
    };
    manifest.AddResource(std::move(track));
  }
  Add_WarRoom_Tracks(manifest);
}

}  // namespace content
