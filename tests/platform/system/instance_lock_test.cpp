#include "platform/system/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr const char* kName = "Global\\BraskLin_Launched6443_Mutex";

// Points XDG_RUNTIME_DIR at a fresh temporary folder for one test and puts it back afterwards.
class Instance_Lock_Test : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vt_lock_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_folder = pattern;
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    m_had_old = old != nullptr;
    if (m_had_old) m_old = old;
    setenv("XDG_RUNTIME_DIR", m_folder.c_str(), 1);
  }
  void TearDown() override {
    if (m_had_old) {
      setenv("XDG_RUNTIME_DIR", m_old.c_str(), 1);
    } else {
      unsetenv("XDG_RUNTIME_DIR");
    }
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
  }

  // Runs Acquire in a child process and gives back what it answered.
  static plat::Instance_Lock::Result Acquire_In_Child(const char* name) {
    const pid_t child = fork();
    if (child == 0) {
      plat::Instance_Lock lock;
      _exit(static_cast<int>(lock.Acquire(name)));
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    return static_cast<plat::Instance_Lock::Result>(WEXITSTATUS(status));
  }

  std::string m_folder;

 private:
  std::string m_old;
  bool m_had_old = false;
};

using Result = plat::Instance_Lock::Result;

TEST_F(Instance_Lock_Test, SecondHolderIsRefusedUntilTheFirstLetsGo) {
  plat::Instance_Lock first;
  plat::Instance_Lock second;
  ASSERT_EQ(first.Acquire(kName), Result::Acquired);
  EXPECT_TRUE(first.Is_Held());
  EXPECT_EQ(second.Acquire(kName), Result::Held_Elsewhere);
  EXPECT_FALSE(second.Is_Held());
  EXPECT_EQ(Acquire_In_Child(kName), Result::Held_Elsewhere);

  first.Release();
  EXPECT_FALSE(first.Is_Held());
  EXPECT_EQ(Acquire_In_Child(kName), Result::Acquired);
  EXPECT_EQ(second.Acquire(kName), Result::Acquired);
}

TEST_F(Instance_Lock_Test, DestroyingTheHolderReleasesTheLock) {
  {
    plat::Instance_Lock holder;
    ASSERT_EQ(holder.Acquire(kName), Result::Acquired);
    EXPECT_EQ(Acquire_In_Child(kName), Result::Held_Elsewhere);
  }
  plat::Instance_Lock next;
  EXPECT_EQ(next.Acquire(kName), Result::Acquired);
}

TEST_F(Instance_Lock_Test, LockOfAnEndedProcessIsFree) {
  // The child takes the lock and ends without releasing it.
  EXPECT_EQ(Acquire_In_Child(kName), Result::Acquired);
  plat::Instance_Lock lock;
  EXPECT_EQ(lock.Acquire(kName), Result::Acquired);
}

TEST_F(Instance_Lock_Test, NamesMapToLockFiles) {
  const std::string expected = m_folder + "/BraskLin_Launched6443_Mutex.lock";
  EXPECT_EQ(plat::Instance_Lock::Lock_File_Path(kName), expected);
  EXPECT_EQ(plat::Instance_Lock::Lock_File_Path("Local\\BraskLin_Launched6443_Mutex"), expected);
  EXPECT_EQ(plat::Instance_Lock::Lock_File_Path("BraskLin_Launched6443_Mutex"), expected);
  EXPECT_EQ(plat::Instance_Lock::Lock_File_Path("a/../b c"), m_folder + "/a_.._b_c.lock");
  EXPECT_EQ(plat::Instance_Lock::Lock_File_Path(".."), m_folder + "/_...lock");

  plat::Instance_Lock lock;
  ASSERT_EQ(lock.Acquire(kName), Result::Acquired);
  EXPECT_TRUE(fs::exists(expected));
  plat::Instance_Lock other_name;
  EXPECT_EQ(other_name.Acquire("Global\\Some_Other_Mutex"), Result::Acquired);

  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(plat::Instance_Lock::Lock_File_Path(kName),
            "/tmp/BraskLin_Launched6443_Mutex-" + std::to_string(getuid()) + ".lock");
}

// A lock file that cannot be used means no other copy is known to run: the lock is taken on
// the fallback file under /tmp, and the problem is named.
TEST_F(Instance_Lock_Test, UnusableLockFileFallsBackToTmpAndSaysWhy) {
  const std::string plain_file = m_folder + "/plain_file";
  std::ofstream(plain_file) << "x";
  const std::string link_target = m_folder + "/target";
  std::ofstream(link_target) << "";
  struct Case {
    const char* what;
    std::string runtime_dir;
    std::function<void(const std::string& lock_path)> prepare;
    const char* reason;
  };
  const std::string linked = m_folder + "/linked";
  const std::string as_folder = m_folder + "/as_folder";
  fs::create_directory(linked);
  fs::create_directory(as_folder);
  const Case cases[] = {
      {"runtime folder missing", m_folder + "/missing", [](const std::string&) {}, "No such file"},
      {"runtime folder a plain file", plain_file, [](const std::string&) {}, "Not a directory"},
      {"lock path a folder", as_folder, [](const std::string& p) { fs::create_directory(p); }, "directory"},
      {"lock path a symbolic link", linked,
       [&](const std::string& p) { fs::create_symlink(link_target, p); }, "links"},
  };
  // A name of this process alone: the fallback file under /tmp is shared with everything else.
  const std::string name = "Global\\Vt_Lock_Test_" + std::to_string(getpid());
  const std::string fallback = plat::Instance_Lock::Fallback_Lock_File_Path(name.c_str());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    setenv("XDG_RUNTIME_DIR", c.runtime_dir.c_str(), 1);
    c.prepare(plat::Instance_Lock::Lock_File_Path(name.c_str()));
    plat::Instance_Lock lock;
    ASSERT_EQ(lock.Acquire(name.c_str()), Result::Acquired);
    EXPECT_TRUE(lock.Is_Held());
    EXPECT_NE(lock.Problem().find(plat::Instance_Lock::Lock_File_Path(name.c_str())), std::string::npos) << lock.Problem();
    EXPECT_NE(lock.Problem().find(c.reason), std::string::npos) << lock.Problem();
    EXPECT_NE(lock.Problem().find("using " + fallback), std::string::npos) << lock.Problem();
    // A second copy started the same way is still turned away, through the fallback lock.
    EXPECT_EQ(Acquire_In_Child(name.c_str()), Result::Held_Elsewhere);
  }
  fs::remove(fallback);
  EXPECT_EQ(fs::file_size(link_target), 0u) << "the link's target is never written";
}

TEST_F(Instance_Lock_Test, LockHeldNormallyReportsNoProblem) {
  plat::Instance_Lock lock;
  ASSERT_EQ(lock.Acquire(kName), Result::Acquired);
  EXPECT_TRUE(lock.Problem().empty());
  EXPECT_EQ(lock.Acquire(nullptr), Result::Failed);
  EXPECT_FALSE(lock.Is_Held());
}

}  // namespace
