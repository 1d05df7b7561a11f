#pragma once
// Records what is asked of the sound manager, in its place, for as long as it lives.
#include <cstdint>
#include <vector>

#include "runtime/src/sound/sound_mgr.h"

class Recording_Sound_Mgr : public CSoundMgr {
 public:
  // One request: a play with its volume and flags, or a stop.
  struct Call {
    bool play;
    uint32_t id;
    float volume;
    uint8_t flags;
  };

  // The manager in charge before this one is taken before the base constructor replaces it.
  explicit Recording_Sound_Mgr(CSoundMgr* previous = g_pSoundMgr) : m_Previous(previous) { g_pSoundMgr = this; }
  ~Recording_Sound_Mgr() override { g_pSoundMgr = m_Previous; }
  bool Play(const uint32_t* id, const float* volume, const uint8_t* flags) override {
    calls.push_back({true, *id, *volume, *flags});
    return true;
  }
  bool Stop(const uint32_t* id) override {
    calls.push_back({false, *id, 0.0f, 0});
    return true;
  }
  bool Unload(const uint32_t*) override { return true; }

  // The plays alone, in order.
  std::vector<Call> Plays() const {
    std::vector<Call> plays;
    for (const Call& call : calls)
      if (call.play) plays.push_back(call);
    return plays;
  }
  // The ids played, in order.
  std::vector<uint32_t> Played() const {
    std::vector<uint32_t> ids;
    for (const Call& call : Plays()) ids.push_back(call.id);
    return ids;
  }
  // How many plays (or stops) of the id were asked for.
  int Count(bool play, uint32_t id) const {
    int n = 0;
    for (const Call& call : calls) n += call.play == play && call.id == id;
    return n;
  }
  // The volume the id was last played at; -1 when it was never played.
  float Volume_Of(uint32_t id) const {
    float volume = -1.0f;
    for (const Call& call : Plays())
      if (call.id == id) volume = call.volume;
    return volume;
  }
  void Clear() { calls.clear(); }

  std::vector<Call> calls;

 private:
  CSoundMgr* m_Previous;
};
