#include "runtime/src/core/interface_db.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kKey = "IKSFake.Default";
constexpr const char* kOtherKey = "IKSOther.Default";

class IKSFake : public CInterfaceImpl {
 public:
  virtual int Id() const = 0;
};

class CFakeService : public IKSFake {
 public:
  CFakeService(const char* class_name, int id) : class_name_(class_name), id_(id) {}
  const char* GetClassName() const override { return class_name_; }
  int Id() const override { return id_; }

 private:
  const char* class_name_;
  int id_;
};

class CUnrelatedService : public CInterfaceImpl {
 public:
  const char* GetClassName() const override { return "CUnrelated"; }
};

using Holder = CInterfaceHolder<IKSFake>;

TEST(InterfaceRegistry, HolderMadeBeforeImplementationBindsWhenItArrives) {
  CInterfaceRegistry registry;
  IKSFake* client = reinterpret_cast<IKSFake*>(0x1);  // construction must write none
  Holder holder(kKey, &client, 0, &registry);
  EXPECT_EQ(client, nullptr);

  CFakeService service("CFake", 1);
  registry.RegisterImplementation(&service, kKey, 0);
  EXPECT_EQ(client, &service);

  registry.UnregisterImplementation(&service, kKey);
  EXPECT_EQ(client, nullptr);
}

TEST(InterfaceRegistry, HolderMadeAfterImplementationBindsAtOnceAndClearsOnDestruction) {
  CInterfaceRegistry registry;
  CFakeService service("CFake", 1);
  registry.RegisterImplementation(&service, kKey, 0);
  IKSFake* client = nullptr;
  {
    Holder holder(kKey, &client, 0, &registry);
    EXPECT_EQ(client, &service);
    EXPECT_EQ(holder.Get(), &service);
  }
  EXPECT_EQ(client, nullptr);
  // The implementation stays registered for the next holder.
  IKSFake* second = nullptr;
  Holder again(kKey, &second, 0, &registry);
  EXPECT_EQ(second, &service);
  registry.UnregisterImplementation(&service, kKey);
}

TEST(InterfaceRegistry, LatestIsCurrentAndRemovalFallsBackInClassNameOrder) {
  CInterfaceRegistry registry;
  IKSFake* first_client = nullptr;
  IKSFake* second_client = nullptr;
  Holder first(kKey, &first_client, 0, &registry);
  Holder second(kKey, &second_client, 0, &registry);

  CFakeService zeta("CZeta", 1), alpha("CAlpha", 2), mid("CMid", 3);
  registry.RegisterImplementation(&zeta, kKey, 0);
  registry.RegisterImplementation(&alpha, kKey, 0);
  registry.RegisterImplementation(&mid, kKey, 0);
  EXPECT_EQ(first_client, &mid);
  EXPECT_EQ(second_client, &mid);

  const CInterfaceEntry* entry = registry.GetCurrentDatabase()->FindEntry(kKey);
  ASSERT_NE(entry, nullptr);
  ASSERT_EQ(entry->GetImplementations().size(), 3u);
  EXPECT_STREQ(entry->GetImplementations()[0]->GetClassName(), "CAlpha");
  EXPECT_STREQ(entry->GetImplementations()[2]->GetClassName(), "CZeta");

  registry.UnregisterImplementation(&mid, kKey);
  EXPECT_EQ(first_client, &alpha);
  registry.UnregisterImplementation(&zeta, kKey);  // not current: nothing moves
  EXPECT_EQ(second_client, &alpha);
  registry.UnregisterImplementation(&alpha, kKey);
  EXPECT_EQ(first_client, nullptr);
  EXPECT_EQ(second_client, nullptr);
}

TEST(InterfaceRegistry, DatabaseIsFreedWhenLastHolderAndImplementationGo) {
  CInterfaceRegistry registry;
  CFakeService service("CFake", 1);
  IKSFake* client = nullptr;
  auto holder = std::make_unique<Holder>(kKey, &client, 0, &registry);
  registry.RegisterImplementation(&service, kKey, 0);
  ASSERT_NE(registry.GetLocalDatabase(), nullptr);

  registry.UnregisterImplementation(&service, kKey);
  EXPECT_NE(registry.GetCurrentDatabase(), nullptr);  // the holder keeps the entry
  holder.reset();
  EXPECT_EQ(registry.GetCurrentDatabase(), nullptr);
  EXPECT_EQ(registry.GetLocalDatabase(), nullptr);

  // Removing what is not registered does nothing.
  registry.UnregisterImplementation(&service, kKey);
  EXPECT_EQ(registry.GetCurrentDatabase(), nullptr);
}

TEST(InterfaceRegistry, VersionConflictDropsTheRegistrationAndRecordsTheFirstKeyOnce) {
  CInterfaceRegistry registry;
  CFakeService v0("CFake", 1), v1("CFakeNew", 2), other("COther", 3);
  IKSFake* client = nullptr;
  Holder holder(kKey, &client, 0, &registry);
  registry.RegisterImplementation(&v0, kKey, 0);
  registry.RegisterImplementation(&other, kOtherKey, 0);
  CInterfaceDatabase* db = registry.GetCurrentDatabase();
  EXPECT_FALSE(db->HasVersionConflict());

  registry.RegisterImplementation(&v1, kKey, 1);
  EXPECT_EQ(client, &v0);
  EXPECT_TRUE(db->HasVersionConflict());
  EXPECT_STREQ(db->GetConflictKey(), kKey);
  EXPECT_EQ(db->FindEntry(kKey)->GetImplementations().size(), 1u);

  // A holder of the wrong version is not bound, and a second conflict keeps the first key.
  IKSFake* late_client = nullptr;
  Holder late(kOtherKey, &late_client, 7, &registry);
  EXPECT_EQ(late_client, nullptr);
  EXPECT_STREQ(db->GetConflictKey(), kKey);

  registry.UnregisterImplementation(&v0, kKey);
  registry.UnregisterImplementation(&other, kOtherKey);
}

TEST(InterfaceRegistry, ImplementationOfAnotherTypeReadsAsNone) {
  CInterfaceRegistry registry;
  CUnrelatedService unrelated;
  registry.RegisterImplementation(&unrelated, kKey, 0);
  IKSFake* client = nullptr;
  Holder holder(kKey, &client, 0, &registry);
  EXPECT_EQ(client, nullptr);
  registry.UnregisterImplementation(&unrelated, kKey);
}

TEST(InterfaceRegistry, TwoRegistriesMergeIntoTheMaster) {
  CInterfaceRegistry host;
  CInterfaceRegistry module;
  CFakeService host_service("CHostFake", 1);
  CFakeService module_service("CModuleOther", 2);
  host.RegisterImplementation(&host_service, kKey, 0);
  CInterfaceDatabase* master = host.GetCurrentDatabase();

  IKSFake* module_client = nullptr;
  IKSFake* host_client = nullptr;
  auto module_holder = std::make_unique<Holder>(kKey, &module_client, 0, &module);
  module.RegisterImplementation(&module_service, kOtherKey, 0);
  Holder host_holder(kOtherKey, &host_client, 0, &host);
  EXPECT_EQ(module_client, nullptr);
  EXPECT_EQ(host_client, nullptr);

  module.SetMasterDatabase(master);
  EXPECT_EQ(module_client, &host_service);
  EXPECT_EQ(host_client, &module_service);
  EXPECT_EQ(module.GetLocalDatabase(), nullptr);
  EXPECT_EQ(module.GetMasterDatabase(), master);
  EXPECT_EQ(module.GetCurrentDatabase(), master);
  EXPECT_EQ(master->FindEntry(kKey)->GetHolders().size(), 1u);

  // A second master is ignored.
  CInterfaceDatabase other_master;
  module.SetMasterDatabase(&other_master);
  EXPECT_EQ(module.GetCurrentDatabase(), master);
  EXPECT_TRUE(other_master.IsEmpty());

  // Later registrations of the module go to the master.
  CFakeService late("CLate", 3);
  module.RegisterImplementation(&late, kKey, 0);
  EXPECT_EQ(module_client, &late);
  module.UnregisterImplementation(&late, kKey);
  EXPECT_EQ(module_client, &host_service);

  // Everything going leaves the master empty; the module deletes it and both links clear.
  module_holder.reset();
  module.UnregisterImplementation(&module_service, kOtherKey);
  EXPECT_EQ(host_client, nullptr);
  host.UnregisterImplementation(&host_service, kKey);
  EXPECT_NE(host.GetCurrentDatabase(), nullptr);  // host_holder still there
}

TEST(InterfaceRegistry, MergeKeepsConflictingEntriesApart) {
  CInterfaceDatabase master;
  CInterfaceDatabase local;
  CFakeService a("CA", 1), b("CB", 2);
  master.AddImplementation(&a, kKey, 0);
  local.AddImplementation(&b, kKey, 3);
  local.AddImplementation(&b, kOtherKey, 0);
  master.MergeFrom(&local);
  EXPECT_TRUE(master.HasVersionConflict());
  EXPECT_STREQ(master.GetConflictKey(), kKey);
  EXPECT_EQ(master.FindEntry(kKey)->GetCurrent(), &a);
  EXPECT_EQ(master.FindEntry(kOtherKey)->GetCurrent(), &b);
  EXPECT_EQ(local.FindEntry(kOtherKey)->GetImplementations().size(), 0u);
}

TEST(InterfaceRegistry, LinksClearWhenTheirDatabaseGoes) {
  CInterfaceDbLink first, second, third;
  {
    CInterfaceDatabase db;
    first.Set(&db);
    second.Set(&db);
    third.Set(&db);
    second.Set(nullptr);
    EXPECT_EQ(first.Get(), &db);
  }
  EXPECT_EQ(first.Get(), nullptr);
  EXPECT_EQ(third.Get(), nullptr);
}

class RecordingWatcher : public CInterfaceWatcher {
 public:
  RecordingWatcher() : CInterfaceWatcher(kKey, 0) {}
  void ImplementationAdded(CInterfaceImpl* implementation, CInterfaceEntry*) override {
    added.push_back(implementation);
  }
  void ImplementationRemoved(CInterfaceImpl* implementation, CInterfaceEntry*) override {
    removed.push_back(implementation);
  }
  int Attached(CInterfaceEntry*) override { return 9; }

  std::vector<CInterfaceImpl*> added;
  std::vector<CInterfaceImpl*> removed;
};

TEST(InterfaceRegistry, WatcherDecidesOnlyAfterTheFirstImplementation) {
  CInterfaceDatabase db;
  RecordingWatcher watcher;
  RecordingWatcher other;
  EXPECT_EQ(db.QueryWatcher(nullptr), kWatcherNone);
  EXPECT_EQ(db.QueryWatcher(&watcher), kWatcherNoEntry);

  CFakeService a("CA", 1), b("CB", 2);
  db.AddImplementation(&a, kKey, 0);
  EXPECT_EQ(db.QueryWatcher(&watcher), kWatcherEntryHasNoWatchers);
  db.AddWatcher(&other);
  db.AddWatcher(&watcher);
  EXPECT_EQ(db.QueryWatcher(&other), kWatcherNotLast);
  EXPECT_EQ(db.QueryWatcher(&watcher), 9);

  db.AddImplementation(&b, kKey, 0);
  CInterfaceEntry* entry = db.FindEntry(kKey);
  EXPECT_EQ(entry->GetCurrent(), &a);  // the watcher was told instead
  ASSERT_EQ(watcher.added.size(), 1u);
  EXPECT_EQ(watcher.added[0], &b);
  EXPECT_TRUE(other.added.empty());

  db.RemoveImplementation(&a, kKey);
  EXPECT_EQ(watcher.removed.size(), 1u);
  EXPECT_EQ(entry->GetCurrent(), &b);
  db.RemoveImplementation(&b, kKey);
  db.RemoveWatcher(&watcher);
  db.RemoveWatcher(&other);
  EXPECT_TRUE(db.IsEmpty());
}

// The module registry itself: holders and registrations of this test in either order.
TEST(ModuleInterfaceRegistry, HoldersBindInEitherOrder) {
  CFakeService service("CModuleFake", 1);
  IKSFake* early = nullptr;
  IKSFake* late = nullptr;
  std::optional<Holder> early_holder(std::in_place, "IKSModuleFake.Test", &early);
  {
    CInterfaceRegistration registration(&service, "IKSModuleFake.Test");
    Holder late_holder("IKSModuleFake.Test", &late);
    EXPECT_EQ(early, &service);
    EXPECT_EQ(late, &service);
    ASSERT_NE(InterfaceDb_Get(), nullptr);
  }
  EXPECT_EQ(early, nullptr);
  EXPECT_EQ(late, nullptr);
  early_holder.reset();
  EXPECT_EQ(early, nullptr);
}

}  // namespace
