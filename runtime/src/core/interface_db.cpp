#include "runtime/src/core/interface_db.h"

#include <algorithm>
#include <cstring>

// ---------------------------------------------------------------------------------------------
// CInterfaceEntry

void CInterfaceEntry::MakeCurrent(CInterfaceImpl* implementation) {
  if (implementation == nullptr || implementation == m_pCurrent) return;
  m_pCurrent = implementation;
  for (auto it = m_Holders.rbegin(); it != m_Holders.rend(); ++it) (*it)->Set(implementation);
}

void CInterfaceEntry::ClearHolders() {
  m_pCurrent = nullptr;
  for (auto it = m_Holders.rbegin(); it != m_Holders.rend(); ++it) (*it)->Clear();
}

bool CInterfaceEntry::IsEmpty() const {
  return m_Implementations.empty() && m_Holders.empty() && m_Watchers.empty();
}

void CInterfaceEntry::InsertImplementation(CInterfaceImpl* implementation) {
  const char* name = implementation->GetClassName();
  auto at = std::upper_bound(m_Implementations.begin(), m_Implementations.end(), name,
                             [](const char* n, const CInterfaceImpl* other) {
                               return std::strcmp(n, other->GetClassName()) < 0;
                             });
  m_Implementations.insert(at, implementation);
}

// ---------------------------------------------------------------------------------------------
// CInterfaceDbLink: a member of its target's circular list of links.

void CInterfaceDbLink::Detach() {
  if (m_pTarget == nullptr) return;
  if (m_pNext == this) {
    m_pTarget->m_pLinkHead = nullptr;
  } else {
    m_pPrev->m_pNext = m_pNext;
    m_pNext->m_pPrev = m_pPrev;
    if (m_pTarget->m_pLinkHead == this) m_pTarget->m_pLinkHead = m_pNext;
  }
  m_pTarget = nullptr;
  m_pPrev = m_pNext = nullptr;
}

void CInterfaceDbLink::Set(CInterfaceDatabase* database) {
  Detach();
  if (database == nullptr) return;
  m_pTarget = database;
  CInterfaceDbLink*& head = database->m_pLinkHead;
  if (head == nullptr) {
    head = m_pPrev = m_pNext = this;
    return;
  }
  m_pPrev = head->m_pPrev;
  m_pNext = head;
  head->m_pPrev->m_pNext = this;
  head->m_pPrev = this;
}

// ---------------------------------------------------------------------------------------------
// CInterfaceDatabase

CInterfaceDatabase::~CInterfaceDatabase() {
  while (m_pLinkHead != nullptr) m_pLinkHead->Detach();
}

CInterfaceDatabase::EntryList::const_iterator CInterfaceDatabase::LowerBound(
    const char* key) const {
  return std::lower_bound(m_Entries.begin(), m_Entries.end(), key,
                          [](const std::unique_ptr<CInterfaceEntry>& entry, const char* k) {
                            return std::strcmp(entry->GetKey(), k) < 0;
                          });
}

CInterfaceEntry* CInterfaceDatabase::FindEntry(const char* key) const {
  if (key == nullptr) return nullptr;
  auto at = LowerBound(key);
  if (at == m_Entries.end() || std::strcmp((*at)->GetKey(), key) != 0) return nullptr;
  return at->get();
}

CInterfaceEntry* CInterfaceDatabase::FindOrCreateEntry(const char* key, uint32_t version) {
  auto at = LowerBound(key);
  if (at != m_Entries.end() && std::strcmp((*at)->GetKey(), key) == 0) return at->get();
  auto inserted = m_Entries.insert(at, std::make_unique<CInterfaceEntry>(key, version));
  return inserted->get();
}

bool CInterfaceDatabase::CheckVersion(CInterfaceEntry* entry, uint32_t version) {
  if (entry->GetVersion() == version) return true;
  if (!m_bVersionConflict) m_ConflictKey = entry->GetKey();
  m_bVersionConflict = true;
  return false;
}

void CInterfaceDatabase::DeleteEntryIfEmpty(CInterfaceEntry* entry) {
  if (!entry->IsEmpty()) return;
  auto at = std::find_if(m_Entries.begin(), m_Entries.end(),
                         [entry](const std::unique_ptr<CInterfaceEntry>& e) {
                           return e.get() == entry;
                         });
  if (at != m_Entries.end()) m_Entries.erase(at);
}

void CInterfaceDatabase::AddImplementation(CInterfaceImpl* implementation, const char* key,
                                           uint32_t version) {
  if (implementation == nullptr || key == nullptr) return;
  CInterfaceEntry* entry = FindOrCreateEntry(key, version);
  if (!CheckVersion(entry, version)) return;
  if (entry->m_pCurrent == nullptr) entry->MakeCurrent(implementation);
  entry->InsertImplementation(implementation);
  if (entry->m_Watchers.empty()) {
    entry->MakeCurrent(implementation);
  } else {
    entry->m_Watchers.back()->ImplementationAdded(implementation, entry);
  }
}

void CInterfaceDatabase::AddHolder(CInterfaceHolderBase* holder) {
  if (holder == nullptr || holder->GetKey() == nullptr) return;
  CInterfaceEntry* entry = FindOrCreateEntry(holder->GetKey(), holder->GetVersion());
  if (!CheckVersion(entry, holder->GetVersion())) return;
  if (entry->m_pCurrent != nullptr) holder->Set(entry->m_pCurrent);
  entry->m_Holders.push_back(holder);
}

void CInterfaceDatabase::AddWatcher(CInterfaceWatcher* watcher) {
  if (watcher == nullptr || watcher->GetKey() == nullptr) return;
  CInterfaceEntry* entry = FindOrCreateEntry(watcher->GetKey(), watcher->GetVersion());
  if (!CheckVersion(entry, watcher->GetVersion())) return;
  entry->m_Watchers.push_back(watcher);
  watcher->Attached(entry);
}

void CInterfaceDatabase::RemoveImplementation(CInterfaceImpl* implementation, const char* key) {
  if (implementation == nullptr) return;
  CInterfaceEntry* entry = FindEntry(key);
  if (entry == nullptr) return;
  auto& list = entry->m_Implementations;
  auto at = std::find(list.begin(), list.end(), implementation);
  if (at == list.end()) return;
  list.erase(at);
  if (!entry->m_Watchers.empty()) {
    entry->m_Watchers.back()->ImplementationRemoved(implementation, entry);
  }
  if (entry->m_pCurrent == implementation) {
    if (!list.empty()) {
      entry->MakeCurrent(list.front());
    } else {
      entry->ClearHolders();
    }
  }
  DeleteEntryIfEmpty(entry);
}

void CInterfaceDatabase::RemoveHolder(CInterfaceHolderBase* holder) {
  if (holder == nullptr) return;
  CInterfaceEntry* entry = FindEntry(holder->GetKey());
  if (entry == nullptr) return;
  auto& list = entry->m_Holders;
  auto at = std::find(list.begin(), list.end(), holder);
  if (at == list.end()) return;
  *at = list.back();
  list.pop_back();
  DeleteEntryIfEmpty(entry);
}

void CInterfaceDatabase::RemoveWatcher(CInterfaceWatcher* watcher) {
  if (watcher == nullptr) return;
  CInterfaceEntry* entry = FindEntry(watcher->GetKey());
  if (entry == nullptr) return;
  auto& list = entry->m_Watchers;
  auto at = std::find(list.begin(), list.end(), watcher);
  if (at == list.end()) return;
  list.erase(at);
  DeleteEntryIfEmpty(entry);
}

int CInterfaceDatabase::QueryWatcher(CInterfaceWatcher* watcher) {
  if (watcher == nullptr) return kWatcherNone;
  CInterfaceEntry* entry = FindEntry(watcher->GetKey());
  if (entry == nullptr) return kWatcherNoEntry;
  if (entry->m_Watchers.empty()) return kWatcherEntryHasNoWatchers;
  if (entry->m_Watchers.back() != watcher) return kWatcherNotLast;
  return watcher->Attached(entry);
}

void CInterfaceDatabase::Register(CInterfaceWatcher* watcher) {
  if (m_pOwner != nullptr) {
    m_pOwner->RegisterWatcher(watcher);
  } else {
    AddWatcher(watcher);
  }
}

void CInterfaceDatabase::Register(CInterfaceHolderBase* holder) {
  if (m_pOwner != nullptr) {
    m_pOwner->RegisterHolder(holder);
  } else {
    AddHolder(holder);
  }
}

void CInterfaceDatabase::Register(CInterfaceImpl* implementation, const char* key,
                                  uint32_t version) {
  if (m_pOwner != nullptr) {
    m_pOwner->RegisterImplementation(implementation, key, version);
  } else {
    AddImplementation(implementation, key, version);
  }
}

// Moves everything of another database's entry into this registry, leaving the entry empty.
void CInterfaceDatabase::DrainEntry(CInterfaceEntry* other) {
  std::vector<CInterfaceWatcher*> watchers;
  watchers.swap(other->m_Watchers);
  for (CInterfaceWatcher* watcher : watchers) Register(watcher);

  while (!other->m_Holders.empty()) {
    CInterfaceHolderBase* holder = other->m_Holders.back();
    other->m_Holders.pop_back();
    Register(holder);
  }
  while (!other->m_Implementations.empty()) {
    CInterfaceImpl* implementation = other->m_Implementations.back();
    other->m_Implementations.pop_back();
    Register(implementation, other->GetKey(), other->GetVersion());
  }
  other->m_pCurrent = nullptr;
}

void CInterfaceDatabase::MergeFrom(CInterfaceDatabase* other) {
  if (other == nullptr || other == this) return;
  for (size_t i = other->m_Entries.size(); i-- > 0;) {
    CInterfaceEntry* theirs = other->m_Entries[i].get();
    CInterfaceEntry* ours = FindOrCreateEntry(theirs->GetKey(), theirs->GetVersion());
    if (!CheckVersion(ours, theirs->GetVersion())) continue;
    DrainEntry(theirs);
    DeleteEntryIfEmpty(ours);
  }
}

// ---------------------------------------------------------------------------------------------
// CInterfaceRegistry

CInterfaceRegistry::~CInterfaceRegistry() {
  CInterfaceDatabase* local = m_Local.Get();
  m_Current.Set(nullptr);
  m_Master.Set(nullptr);
  m_Local.Set(nullptr);
  delete local;
}

CInterfaceDatabase* CInterfaceRegistry::EnsureCurrentDatabase() {
  if (m_Current.Get() == nullptr) {
    m_Local.Set(new CInterfaceDatabase(this));
    m_Current.Set(m_Local.Get());
  }
  return m_Current.Get();
}

void CInterfaceRegistry::DeleteCurrentIfEmpty() {
  CInterfaceDatabase* current = m_Current.Get();
  if (current != nullptr && current->IsEmpty()) delete current;
}

void CInterfaceRegistry::RegisterImplementation(CInterfaceImpl* implementation, const char* key,
                                                uint32_t version) {
  if (implementation == nullptr) return;
  EnsureCurrentDatabase()->AddImplementation(implementation, key, version);
}

void CInterfaceRegistry::UnregisterImplementation(CInterfaceImpl* implementation,
                                                  const char* key) {
  if (implementation == nullptr || m_Current.Get() == nullptr) return;
  m_Current.Get()->RemoveImplementation(implementation, key);
  DeleteCurrentIfEmpty();
}

void CInterfaceRegistry::RegisterHolder(CInterfaceHolderBase* holder) {
  if (holder == nullptr) return;
  EnsureCurrentDatabase()->AddHolder(holder);
}

void CInterfaceRegistry::UnregisterHolder(CInterfaceHolderBase* holder) {
  if (holder == nullptr || m_Current.Get() == nullptr) return;
  m_Current.Get()->RemoveHolder(holder);
  DeleteCurrentIfEmpty();
}

void CInterfaceRegistry::RegisterWatcher(CInterfaceWatcher* watcher) {
  if (watcher == nullptr) return;
  EnsureCurrentDatabase()->AddWatcher(watcher);
}

void CInterfaceRegistry::SetMasterDatabase(CInterfaceDatabase* master) {
  if (master == nullptr || master == m_Local.Get() || m_Master.Get() != nullptr) return;
  m_Master.Set(master);
  if (CInterfaceDatabase* local = m_Local.Get()) {
    master->MergeFrom(local);
    delete local;
  }
  m_Current.Set(master);
}

// ---------------------------------------------------------------------------------------------
// The module's registry record

namespace {

struct ModuleRegistry {
  CInterfaceRegistry* record = nullptr;
  int count = 0;
};

// Trivially destructible and constant-initialised: usable from any static initialiser or
// destructor, whatever the order of the source files.
ModuleRegistry& Module() {
  static ModuleRegistry module;
  return module;
}

}  // namespace

CInterfaceRegistry* InterfaceDb_Acquire() {
  ModuleRegistry& module = Module();
  if (module.record == nullptr) module.record = new CInterfaceRegistry();
  ++module.count;
  return module.record;
}

void InterfaceDb_Release() {
  ModuleRegistry& module = Module();
  if (--module.count > 0) return;
  module.count = 0;
  delete module.record;
  module.record = nullptr;
}

CInterfaceRegistry* InterfaceDb_Get() { return Module().record; }

void InterfaceDb_RegisterImplementation(CInterfaceImpl* implementation, const char* key,
                                        uint32_t version) {
  if (CInterfaceRegistry* record = InterfaceDb_Get()) {
    record->RegisterImplementation(implementation, key, version);
  }
}

void InterfaceDb_UnregisterImplementation(CInterfaceImpl* implementation, const char* key) {
  if (CInterfaceRegistry* record = InterfaceDb_Get()) {
    record->UnregisterImplementation(implementation, key);
  }
}

void InterfaceDb_RegisterHolder(CInterfaceHolderBase* holder) {
  if (CInterfaceRegistry* record = InterfaceDb_Get()) record->RegisterHolder(holder);
}

void InterfaceDb_UnregisterHolder(CInterfaceHolderBase* holder) {
  if (CInterfaceRegistry* record = InterfaceDb_Get()) record->UnregisterHolder(holder);
}

void InterfaceDb_RegisterWatcher(CInterfaceWatcher* watcher) {
  if (CInterfaceRegistry* record = InterfaceDb_Get()) record->RegisterWatcher(watcher);
}

extern "C" void SetMasterDatabase(CInterfaceDatabase* master) {
  if (CInterfaceRegistry* record = InterfaceDb_Get()) record->SetMasterDatabase(master);
}

// ---------------------------------------------------------------------------------------------
// Holders and implementation registrations

CInterfaceHolderBase::CInterfaceHolderBase(const char* key, uint32_t version,
                                           CInterfaceRegistry* registry)
    : m_pKey(key), m_Version(version), m_pRegistry(registry) {
  if (m_pRegistry == nullptr) InterfaceDb_Acquire();
}

CInterfaceHolderBase::~CInterfaceHolderBase() {
  if (m_pRegistry == nullptr) InterfaceDb_Release();
}

void CInterfaceHolderBase::Register() {
  if (m_pRegistry != nullptr) {
    m_pRegistry->RegisterHolder(this);
    return;
  }
  InterfaceDb_Acquire();
  InterfaceDb_RegisterHolder(this);
}

void CInterfaceHolderBase::Unregister() {
  if (m_pRegistry != nullptr) {
    m_pRegistry->UnregisterHolder(this);
    return;
  }
  InterfaceDb_UnregisterHolder(this);
  InterfaceDb_Release();
}

CInterfaceRegistration::CInterfaceRegistration(CInterfaceImpl* implementation, const char* key,
                                               uint32_t version)
    : m_pImplementation(implementation), m_pKey(key) {
  InterfaceDb_Acquire();
  InterfaceDb_RegisterImplementation(implementation, key, version);
}

CInterfaceRegistration::~CInterfaceRegistration() {
  InterfaceDb_UnregisterImplementation(m_pImplementation, m_pKey);
  InterfaceDb_Release();
}
