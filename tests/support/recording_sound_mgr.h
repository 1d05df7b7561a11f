#pragma once
// Records what is played, in place of the sound manager, for as long as it lives.
#include <cstdint>
#include <vector>

#include "runtime/src/sound/sound_mgr.h"

class Recording_Sound_Mgr : public CSoundMgr {
 public:
  // The manager in charge before this one is taken before the base constructor replaces it.
  explicit Recording_Sound_Mgr(CSoundMgr* previous = g_pSoundMgr) : m_Previous(previous) { g_pSoundMgr = this; }
  ~Recording_Sound_Mgr() override { g_pSoundMgr = m_Previous; }
  bool Play(const uint32_t* id, const float* volume, const uint8_t* flags) override {
    played.push_back(*id);
    volumes.push_back(*volume);
    this->flags.push_back(*flags);
    return true;
  }
  // Each play in order: its id, volume and flags.
  std::vector<uint32_t> played;
  std::vector<float> volumes;
  std::vector<uint8_t> flags;

 private:
  CSoundMgr* m_Previous;
};
