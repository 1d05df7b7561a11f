#include "runtime/src/sound/sound_mgr.h"

#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/sound/sound_sample.h"

CSoundMgr* g_pSoundMgr = nullptr;

namespace {

CSoundSample_Handler g_Sound_Handler;
CSoundMgr g_Sound_Mgr;

}  // namespace

ISoundMgr::~ISoundMgr() = default;

CSoundMgr::CSoundMgr() { g_pSoundMgr = this; }

CSoundMgr::~CSoundMgr() {
  Term();
  if (g_pSoundMgr == this) g_pSoundMgr = nullptr;
}

bool CSoundMgr::Init() {
  if (g_pRezMgr) g_pRezMgr->SetTypeHandler(kRezType_Sound, &g_Sound_Handler);
  m_Initialised = true;
  return true;
}

void CSoundMgr::Term() {
  UnloadAll();
  m_Initialised = false;
}

bool CSoundMgr::Preload(const uint32_t* id, const uint32_t* max_voices) {
  if (!m_Initialised) return false;
  CSoundSample*& entry = m_Samples[*id];
  if (entry || m_Unreadable.count(*id) > 0) return true;
  CRezResource* resource = g_pRezMgr ? g_pRezMgr->Get_Resource(*id, kRezType_Sound) : nullptr;
  // An id already loaded as another type comes back as that type: it is no sample.
  CSoundSample* sample = dynamic_cast<CSoundSample*>(resource);
  if (sample) {
    ++sample->m_Reference_Count;
    sample->Create(*max_voices);
  } else if (g_pRezMgr && g_pRezMgr->Bytes_Refused(*id)) {
    // Its bytes were refused (and named): reading them again at every request would only cost
    // the same again.
    m_Unreadable.insert(*id);
  }
  entry = sample;
  return true;
}

bool CSoundMgr::Unload(const uint32_t* id) {
  auto it = m_Samples.find(*id);
  if (it == m_Samples.end()) return false;
  Release(it->second);
  m_Samples.erase(it);
  m_Unreadable.erase(*id);
  return true;
}

void CSoundMgr::UnloadAll() {
  for (auto& [id, sample] : m_Samples) Release(sample);
  m_Samples.clear();
  m_Unreadable.clear();
}

CSoundSample* CSoundMgr::Sample_On_Demand(uint32_t id) {
  CSoundSample*& entry = m_Samples[id];
  if (entry || m_Unreadable.count(id) > 0) return entry;
  const uint32_t one_voice = 1;
  if (!Preload(&id, &one_voice)) return nullptr;
  return entry;
}

bool CSoundMgr::Play(const uint32_t* id, const float* volume, const uint8_t* flags) {
  if (!m_Initialised) return false;
  CSoundSample* sample = Sample_On_Demand(*id);
  return sample && sample->Play(*volume, *flags);
}

bool CSoundMgr::Stop(const uint32_t* id) {
  if (!m_Initialised) return false;
  CSoundSample* sample = Sample_On_Demand(*id);
  return sample && sample->Stop();
}

bool CSoundMgr::Query_Flag(const uint32_t* id) {
  if (!m_Initialised) return false;
  Sample_On_Demand(*id);
  return false;
}

bool CSoundMgr::Query_Value(const uint32_t* id, uint32_t* value) {
  if (!m_Initialised) return false;
  Sample_On_Demand(*id);
  return false;
}

CSoundSample* CSoundMgr::Find_Sample(uint32_t id) const {
  auto it = m_Samples.find(id);
  return it == m_Samples.end() ? nullptr : it->second;
}

void CSoundMgr::Release(CSoundSample* sample) {
  if (!sample || --sample->m_Reference_Count > 0) return;
  if (!sample->m_Managed) {
    delete sample;
  } else if (g_pRezMgr) {
    g_pRezMgr->FreeResource(sample->m_Resource_ID);
  }
  // A managed sample whose resource manager is already gone belonged to that manager.
}
