#include "runtime/src/sound/sound_sample.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/audio/bass.h"
#include "platform/audio/wav_reader.h"
#include "platform/system/memory.h"
#include "runtime/src/core/output_redir.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/libksresource/rez_report.h"

static IKSOutputRedir* g_pOutputRedir = nullptr;
static CInterfaceHolder<IKSOutputRedir> g_OutputRedirHolder(kOutputRedirKey, &g_pOutputRedir);

namespace {

constexpr uint8_t kFlagLoop = 0x01;
constexpr int kDefaultFrequency = -1;
constexpr int kDefaultPan = -1;
// How a refusal of the player's begins.
constexpr const char* kUnreadable = "a sound the player cannot read: ";

}  // namespace

RezExpansionBound Sound_Expansion_Bound(const uint8_t* head, size_t length) {
  uint64_t end = 0;
  plat::Wav_Chunk last;
  switch (plat::Find_Wav_Extent(head, length, &end, &last)) {
    case plat::Wav_Extent::Not_Wav:
      return RezExpansionBound::Refused(std::string(kUnreadable) +
                                        "it does not begin with \"RIFF\", a size and \"WAVE\"");
    case plat::Wav_Extent::Need_More:
      return RezExpansionBound::Need_More();
    case plat::Wav_Extent::Known:
      break;
  }
  char what[96];
  std::snprintf(what, sizeof what, "RIFF WAVE sound (%llu bytes)", static_cast<unsigned long long>(end));
  // The player refuses a sound that ends inside the last chunk it reads.
  return RezExpansionBound::Holds(end, what)
      .Needing(last.End(), last.Body(), kUnreadable + plat::Wav_Chunk_Statement(last));
}

CSoundSample::CSoundSample() = default;

CSoundSample::~CSoundSample() { Free(); }

void* CSoundSample::operator new(size_t size) noexcept { return Counted_Alloc(size); }

void CSoundSample::operator delete(void* block) noexcept { Counted_Free(block); }

bool CSoundSample::Load(CStream* stream, uint32_t* size) {
  Free();
  m_Refused = false;
  if (!stream || !size) return false;
  if (*size == 0) {
    Rez_Note_Refusal("a sound of no bytes");
    return false;
  }
  uint8_t* data = static_cast<uint8_t*>(Counted_Alloc(*size));
  if (!data) return false;
  if (stream->Read(data, *size) != *size) {
    Counted_Free(data);
    return false;
  }
  m_Data = data;
  m_Data_Size = *size;
  m_Tracked_Memory = *size;
  m_Data_Loaded = true;
  return true;
}

void CSoundSample::Free() {
  Release_Sample();
  Counted_Free(m_Data);
  m_Data = nullptr;
  m_Data_Size = 0;
  m_Tracked_Memory = 0;
  m_Data_Loaded = false;
}

bool CSoundSample::Create(uint32_t max_voices) {
  if (m_Refused || !m_Data_Loaded || m_Data_Size == 0 || max_voices == 0) return false;
  Release_Sample();
  m_Max_Voices = max_voices;
  m_Handle = BASS_SampleLoad(TRUE, m_Data, 0, m_Data_Size, max_voices, 0);
  m_Sample_Created = true;
  if (m_Handle == 0) {
    // A player that is not running refuses nothing: the bytes stay for a later start.
    const std::string why = plat::Sample_Refusal();
    if (!why.empty()) {
      Refuse(why);
      return false;
    }
  }
  return true;
}

// The player cannot read the bytes: they are named once, with the file they came from, and let
// go; the sample stays silent.
void CSoundSample::Refuse(const std::string& why) {
  const std::string reason = kUnreadable + why;
  if (m_Managed && g_pRezMgr != nullptr) {
    g_pRezMgr->Report_Refusal("Sound sample", m_Resource_ID, reason);
  } else if (g_pOutputRedir != nullptr) {
    g_pOutputRedir->Report(1, 3, nullptr, "sound_sample.cpp", __LINE__, -1,
                           "Sound sample: Resource ID (%x) was refused: %s.\n", m_Resource_ID, reason.c_str());
  }
  Free();
  m_Refused = true;
}

void CSoundSample::Release_Sample() {
  if (m_Handle != 0) {
    BASS_SampleFree(m_Handle);
    m_Handle = 0;
  }
  m_Max_Voices = 0;
  m_Sample_Created = false;
}

bool CSoundSample::Play(float volume, uint8_t flags) {
  if (m_Refused || (!m_Sample_Created && !Create(m_Max_Voices))) return false;
  if (m_Handle == 0) return false;
  // The player takes whole percents 0-100; a volume that is not a finite number plays silent
  // rather than reach an undefined conversion.
  float percent = std::isfinite(volume) ? std::clamp(100.0f * volume, 0.0f, 100.0f) : 0.0f;
  int bass_volume = static_cast<int>(percent);
  BOOL loop = (flags & kFlagLoop) ? TRUE : FALSE;
  return BASS_SamplePlayEx(m_Handle, 0, kDefaultFrequency, bass_volume, kDefaultPan, loop) != 0;
}

bool CSoundSample::Stop() { return BASS_SampleStop(m_Handle) != FALSE; }

CRezResource* CSoundSample_Handler::Create() { return new CSoundSample; }

void CSoundSample_Handler::Destroy(CRezResource* resource) { delete resource; }

RezExpansionBound CSoundSample_Handler::Expansion_Bound(const uint8_t* head, size_t length) const {
  return Sound_Expansion_Bound(head, length);
}
