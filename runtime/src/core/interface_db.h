#pragma once
// The interface registry: engine services register under a key "Interface.Instance" with a
// version, and clients declare holders, static objects bound to one of their pointers, which
// the registry fills with the current implementation of the key and clears when it goes.
// Registration happens from static initialisers and destructors in any order, so holders and
// implementations may arrive either way round.
//
// The module keeps one registry record (created on first use, freed when its reference count
// returns to 0). SetMasterDatabase hands the module a host's database: the module's own entries
// are merged into it and later registrations go there. A CInterfaceRegistry can also be made
// on its own, which is how two registries are merged in tests.
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

class CInterfaceDatabase;
class CInterfaceEntry;
class CInterfaceRegistry;

// A registrable service object; its first operation names its class ("COutputRedir", ...).
// The registry never deletes an implementation.
class CInterfaceImpl {
 public:
  virtual const char* GetClassName() const = 0;
  virtual ~CInterfaceImpl() = default;
};

// Base of every holder: the key (not copied: it points at the holder's static key text) and
// the version.
class CInterfaceHolderBase {
 public:
  CInterfaceHolderBase(const CInterfaceHolderBase&) = delete;
  CInterfaceHolderBase& operator=(const CInterfaceHolderBase&) = delete;
  virtual ~CInterfaceHolderBase();

  virtual void Clear() = 0;
  virtual void Set(CInterfaceImpl* implementation) = 0;
  virtual CInterfaceImpl* Get() const = 0;

  const char* GetKey() const { return m_pKey; }
  uint32_t GetVersion() const { return m_Version; }

 protected:
  // A null registry means the module's registry record.
  CInterfaceHolderBase(const char* key, uint32_t version, CInterfaceRegistry* registry);
  // Called by the derived holder once it can receive Set and Clear.
  void Register();
  void Unregister();

 private:
  const char* m_pKey;
  uint32_t m_Version;
  CInterfaceRegistry* m_pRegistry;
};

// A holder bound to the client's pointer variable of the service's interface type.
template <class T>
class CInterfaceHolder : public CInterfaceHolderBase {
  static_assert(std::is_base_of_v<CInterfaceImpl, T>, "holders hold registrable services");

 public:
  CInterfaceHolder(const char* key, T** client, uint32_t version = 0,
                   CInterfaceRegistry* registry = nullptr)
      : CInterfaceHolderBase(key, version, registry), m_ppClient(client) {
    *m_ppClient = nullptr;
    Register();
  }
  ~CInterfaceHolder() override {
    *m_ppClient = nullptr;
    Unregister();
  }

  void Clear() override { *m_ppClient = nullptr; }
  // An implementation of another type under the key reads as none.
  void Set(CInterfaceImpl* implementation) override {
    *m_ppClient = dynamic_cast<T*>(implementation);
  }
  CInterfaceImpl* Get() const override { return *m_ppClient; }

 private:
  T** m_ppClient;
};

// An observer of one key that decides itself which implementation becomes current. Nothing in
// the engine creates one; they arrive inside a merged database.
class CInterfaceWatcher {
 public:
  CInterfaceWatcher(const char* key, uint32_t version) : m_pKey(key), m_Version(version) {}
  virtual ~CInterfaceWatcher() = default;

  virtual void ImplementationAdded(CInterfaceImpl* implementation, CInterfaceEntry* entry) = 0;
  virtual void ImplementationRemoved(CInterfaceImpl* implementation, CInterfaceEntry* entry) = 0;
  virtual int Attached(CInterfaceEntry* entry) = 0;

  const char* GetKey() const { return m_pKey; }
  uint32_t GetVersion() const { return m_Version; }

 private:
  const char* m_pKey;
  uint32_t m_Version;
};

// One key of a database: its implementations (sorted by class name), holders and watchers
// (in order of arrival) and the current implementation.
class CInterfaceEntry {
 public:
  CInterfaceEntry(const char* key, uint32_t version) : m_Key(key), m_Version(version) {}
  virtual ~CInterfaceEntry() = default;

  const char* GetKey() const { return m_Key.c_str(); }
  uint32_t GetVersion() const { return m_Version; }
  CInterfaceImpl* GetCurrent() const { return m_pCurrent; }
  const std::vector<CInterfaceImpl*>& GetImplementations() const { return m_Implementations; }
  const std::vector<CInterfaceHolderBase*>& GetHolders() const { return m_Holders; }
  const std::vector<CInterfaceWatcher*>& GetWatchers() const { return m_Watchers; }

  // Makes an implementation current and hands it to every holder, last to first. Nothing
  // happens for none or for the implementation that is already current.
  void MakeCurrent(CInterfaceImpl* implementation);
  bool IsEmpty() const;

 private:
  friend class CInterfaceDatabase;
  void InsertImplementation(CInterfaceImpl* implementation);
  void ClearHolders();

  std::string m_Key;
  uint32_t m_Version;
  std::vector<CInterfaceImpl*> m_Implementations;
  std::vector<CInterfaceHolderBase*> m_Holders;
  CInterfaceImpl* m_pCurrent = nullptr;
  std::vector<CInterfaceWatcher*> m_Watchers;
};

// A weak reference to a database: cleared when the database is destroyed.
class CInterfaceDbLink {
 public:
  CInterfaceDbLink() = default;
  CInterfaceDbLink(const CInterfaceDbLink&) = delete;
  CInterfaceDbLink& operator=(const CInterfaceDbLink&) = delete;
  ~CInterfaceDbLink() { Set(nullptr); }

  void Set(CInterfaceDatabase* database);
  CInterfaceDatabase* Get() const { return m_pTarget; }

 private:
  friend class CInterfaceDatabase;
  void Detach();

  CInterfaceDatabase* m_pTarget = nullptr;
  CInterfaceDbLink* m_pPrev = nullptr;
  CInterfaceDbLink* m_pNext = nullptr;
};

// Watcher query results.
enum EInterfaceWatcherStatus : int {
  kWatcherNone = 0,
  kWatcherNoEntry = 2,
  kWatcherEntryHasNoWatchers = 3,
  kWatcherNotLast = 4,
};

class CInterfaceDatabase {
 public:
  // Registrations merged into this database go through the owner's registration functions;
  // without an owner they go straight into this database.
  explicit CInterfaceDatabase(CInterfaceRegistry* owner = nullptr) : m_pOwner(owner) {}
  CInterfaceDatabase(const CInterfaceDatabase&) = delete;
  CInterfaceDatabase& operator=(const CInterfaceDatabase&) = delete;
  virtual ~CInterfaceDatabase();

  virtual void MergeFrom(CInterfaceDatabase* other);
  virtual void AddWatcher(CInterfaceWatcher* watcher);
  virtual void AddHolder(CInterfaceHolderBase* holder);
  virtual void AddImplementation(CInterfaceImpl* implementation, const char* key,
                                 uint32_t version);
  virtual void RemoveWatcher(CInterfaceWatcher* watcher);
  virtual void RemoveHolder(CInterfaceHolderBase* holder);
  virtual void RemoveImplementation(CInterfaceImpl* implementation, const char* key);
  virtual int QueryWatcher(CInterfaceWatcher* watcher);
  virtual bool IsEmpty() const { return m_Entries.empty(); }

  CInterfaceEntry* FindEntry(const char* key) const;
  size_t GetEntryCount() const { return m_Entries.size(); }
  // The first key whose registration carried another version than its entry.
  bool HasVersionConflict() const { return m_bVersionConflict; }
  const char* GetConflictKey() const { return m_ConflictKey.c_str(); }

 private:
  friend class CInterfaceDbLink;
  using EntryList = std::vector<std::unique_ptr<CInterfaceEntry>>;

  EntryList::const_iterator LowerBound(const char* key) const;
  CInterfaceEntry* FindOrCreateEntry(const char* key, uint32_t version);
  // False (and the conflict recorded) when the entry's version differs.
  bool CheckVersion(CInterfaceEntry* entry, uint32_t version);
  void DeleteEntryIfEmpty(CInterfaceEntry* entry);
  void DrainEntry(CInterfaceEntry* entry);
  void Register(CInterfaceWatcher* watcher);
  void Register(CInterfaceHolderBase* holder);
  void Register(CInterfaceImpl* implementation, const char* key, uint32_t version);

  CInterfaceDbLink* m_pLinkHead = nullptr;
  EntryList m_Entries;
  bool m_bVersionConflict = false;
  std::string m_ConflictKey;
  CInterfaceRegistry* m_pOwner;
};

// A module's registry record: its own database, the host's once set, and where registrations
// currently go.
class CInterfaceRegistry {
 public:
  CInterfaceRegistry() = default;
  CInterfaceRegistry(const CInterfaceRegistry&) = delete;
  CInterfaceRegistry& operator=(const CInterfaceRegistry&) = delete;
  ~CInterfaceRegistry();

  void RegisterImplementation(CInterfaceImpl* implementation, const char* key, uint32_t version);
  void UnregisterImplementation(CInterfaceImpl* implementation, const char* key);
  void RegisterHolder(CInterfaceHolderBase* holder);
  void UnregisterHolder(CInterfaceHolderBase* holder);
  void RegisterWatcher(CInterfaceWatcher* watcher);
  // Merges this registry's own database into master and sends later registrations there.
  // Ignored for none, for this registry's own database, and once a master is set.
  void SetMasterDatabase(CInterfaceDatabase* master);

  CInterfaceDatabase* GetCurrentDatabase() const { return m_Current.Get(); }
  CInterfaceDatabase* GetLocalDatabase() const { return m_Local.Get(); }
  CInterfaceDatabase* GetMasterDatabase() const { return m_Master.Get(); }

 private:
  CInterfaceDatabase* EnsureCurrentDatabase();
  void DeleteCurrentIfEmpty();

  CInterfaceDbLink m_Local;
  CInterfaceDbLink m_Master;
  CInterfaceDbLink m_Current;
};

// The module's registry record. Acquire creates it on first use and raises its count; Release
// lowers the count and frees the record at 0. The registration functions do nothing while the
// record does not exist, and nothing for a null argument.
CInterfaceRegistry* InterfaceDb_Acquire();
void InterfaceDb_Release();
CInterfaceRegistry* InterfaceDb_Get();
void InterfaceDb_RegisterImplementation(CInterfaceImpl* implementation, const char* key,
                                        uint32_t version);
void InterfaceDb_UnregisterImplementation(CInterfaceImpl* implementation, const char* key);
void InterfaceDb_RegisterHolder(CInterfaceHolderBase* holder);
void InterfaceDb_UnregisterHolder(CInterfaceHolderBase* holder);
void InterfaceDb_RegisterWatcher(CInterfaceWatcher* watcher);

// Registers an implementation in the module registry for the life of this object; a service
// declares one next to its static instance.
class CInterfaceRegistration {
 public:
  CInterfaceRegistration(CInterfaceImpl* implementation, const char* key, uint32_t version = 0);
  ~CInterfaceRegistration();
  CInterfaceRegistration(const CInterfaceRegistration&) = delete;
  CInterfaceRegistration& operator=(const CInterfaceRegistration&) = delete;

 private:
  CInterfaceImpl* m_pImplementation;
  const char* m_pKey;
};

// Hands the module a host's database (see CInterfaceRegistry::SetMasterDatabase).
extern "C" void SetMasterDatabase(CInterfaceDatabase* master);
