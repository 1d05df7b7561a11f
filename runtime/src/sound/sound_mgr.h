#pragma once
// The sound manager: plays short sound effects by resource id. It keeps one sample per id,
// loaded through the resource manager as type 3, and counts how often it holds each. One
// instance, built before the program starts and reached through g_pSoundMgr.
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>

class CSoundSample;

class ISoundMgr {
 public:
  virtual ~ISoundMgr();
  virtual bool Init() = 0;
  virtual void Term() = 0;
  virtual bool Preload(const uint32_t* id, const uint32_t* max_voices) = 0;
  virtual bool Unload(const uint32_t* id) = 0;
  virtual void UnloadAll() = 0;
  virtual bool Play(const uint32_t* id, const float* volume, const uint8_t* flags) = 0;
  virtual bool Stop(const uint32_t* id) = 0;
  virtual bool Query_Flag(const uint32_t* id) = 0;
  virtual bool Query_Value(const uint32_t* id, uint32_t* value) = 0;
};

class CSoundMgr : public ISoundMgr {
 public:
  // Play flag: loop the playback until stopped.
  static constexpr uint8_t kFlag_Loop = 0x01;
  static constexpr uint32_t kRezType_Sound = 3;

  CSoundMgr();
  ~CSoundMgr() override;
  CSoundMgr(const CSoundMgr&) = delete;
  CSoundMgr& operator=(const CSoundMgr&) = delete;

  // Installs the type-3 handler; the resource manager must be started already.
  bool Init() override;
  // Releases every sample; the handler stays installed.
  void Term() override;
  // Loads the id's sample once with the voice limit; true even when it cannot be loaded (the
  // entry then stays empty; a later request tries again unless the bytes were refused).
  bool Preload(const uint32_t* id, const uint32_t* max_voices) override;
  bool Unload(const uint32_t* id) override;
  void UnloadAll() override;
  // volume is a fraction 0..1. An id not yet loaded is loaded with one voice.
  bool Play(const uint32_t* id, const float* volume, const uint8_t* flags) override;
  bool Stop(const uint32_t* id) override;
  bool Query_Flag(const uint32_t* id) override;
  bool Query_Value(const uint32_t* id, uint32_t* value) override;

  bool Is_Initialised() const { return m_Initialised; }
  // The sample held for an id (null when none); for inspection.
  CSoundSample* Find_Sample(uint32_t id) const;
  size_t Entry_Count() const { return m_Samples.size(); }

 private:
  // The id's sample, loading it at one voice when it is not there; null when it cannot be had.
  CSoundSample* Sample_On_Demand(uint32_t id);
  void Release(CSoundSample* sample);

  bool m_Initialised = false;
  // A sample the player refused stays in its entry, silent and holding no bytes.
  std::map<uint32_t, CSoundSample*> m_Samples;
  // Ids whose bytes the resource manager refused: not read again until unloaded. Other failed
  // loads (an id no pack lists, a file not there) are tried again at each request.
  std::set<uint32_t> m_Unreadable;
};

extern CSoundMgr* g_pSoundMgr;
