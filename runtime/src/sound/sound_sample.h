#pragma once
// One sound effect: the sample file's bytes as stored in the pack, loaded by the resource
// manager as resource type 3, and the player's sample made from them with a voice limit.
#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/src/libksresource/rez_resource.h"

class CSoundSample : public CRezResource {
 public:
  CSoundSample();
  ~CSoundSample() override;

  // Samples live in counted memory; a failed allocation gives null, not an exception.
  static void* operator new(size_t size) noexcept;
  static void operator delete(void* block) noexcept;

  // Reads *size bytes of the sample file. Fails, holding nothing, when the memory cannot be
  // had or the stream gives fewer bytes.
  bool Load(CStream* stream, uint32_t* size) override;
  // Releases the player's sample and the bytes.
  void Free() override;

  // Makes the player's sample with the voice limit; false without data, with max 0, or when the
  // player refuses the bytes: the refusal is then named with the resource's file and the
  // player's reason, and the bytes are released at once (the sample stays silent).
  bool Create(uint32_t max_voices);
  // Releases the player's sample (the bytes stay).
  void Release_Sample();
  // Starts a playback at volume fraction 0..1; flags bit 0 loops it. False when none started.
  bool Play(float volume, uint8_t flags);
  // Stops every playback of the sample.
  bool Stop();

  uint32_t Data_Size() const { return m_Data_Size; }
  uint32_t Max_Voices() const { return m_Max_Voices; }
  uint32_t Handle() const { return m_Handle; }
  bool Data_Loaded() const { return m_Data_Loaded; }
  bool Sample_Created() const { return m_Sample_Created; }
  // The player refused the bytes; nothing is held and nothing plays.
  bool Refused() const { return m_Refused; }

  int32_t m_Reference_Count = 0;

 private:
  uint32_t m_Data_Size = 0;
  uint8_t* m_Data = nullptr;
  uint32_t m_Handle = 0;
  uint32_t m_Max_Voices = 1;
  bool m_Data_Loaded = false;
  bool m_Sample_Created = false;
  bool m_Refused = false;

  void Refuse(const std::string& why);
};

// How many bytes a sound can hold, told from its first bytes: one that does not begin
// "RIFF", a size, "WAVE" cannot be played and is refused; else its chunks up to the format and
// the samples, or the form's stated end when that lies further.
RezExpansionBound Sound_Expansion_Bound(const uint8_t* head, size_t length);

// Creates and destroys sound samples for the resource manager (type 3).
class CSoundSample_Handler : public CRezTypeHandler {
 public:
  CRezResource* Create() override;
  void Destroy(CRezResource* resource) override;
  RezExpansionBound Expansion_Bound(const uint8_t* head, size_t length) const override;
};
