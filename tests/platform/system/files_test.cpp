#include "platform/system/files.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

class Temp_Folder {
 public:
  Temp_Folder() {
    std::string pattern = (fs::temp_directory_path() / "vt_files_XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) m_path = pattern;
  }
  ~Temp_Folder() {
    std::error_code ignored;
    if (!m_path.empty()) fs::remove_all(m_path, ignored);
  }
  std::string Path(const std::string& name) const { return m_path + "/" + name; }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

void Write(const std::string& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Names_In(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FilePattern, MatchesStarsAndQuestionMarksWithoutRegardToCase) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  };
  const Case cases[] = {
      {"client_*.dat", "client_alice.dat", true},
      {"client_*.dat", "CLIENT_Bob.DAT", true},
      {"client_*.dat", "client_.dat", true},
      {"client_*.dat", "client_alice.dat.bak", false},
      {"client_*.dat", "xclient_alice.dat", false},
      {"*", "", true},
      {"*", "anything", true},
      {"", "", true},
      {"", "a", false},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"a?c", "abbc", false},
      {"*.rez", "pack.rez.rez", true},
      {"*a*b", "xaxxab", true},
      {"*a*b", "xaxxa", false},
      {"a**b", "ab", true},
      {"???", "ab", false},
      {"r*d*.dat", "rdata.dat", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(plat::Match_File_Pattern(c.pattern, c.name), c.matches)
        << c.pattern << " vs " << c.name;
}

TEST(FindFiles, ListsMatchingEntriesSortedAndMarksFolders) {
  Temp_Folder folder;
  ASSERT_FALSE(folder.Path().empty());
  for (const char* name : {"client_zed.dat", "client_amy.dat", "client_.txt", "other.dat"})
    Write(folder.Path(name), "x");
  fs::create_directory(folder.Path("client_dir.dat"));

  std::vector<plat::Found_File> found;
  ASSERT_TRUE(plat::Find_Files(folder.Path("client_*.dat"), &found));
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].name, "client_amy.dat");
  EXPECT_FALSE(found[0].is_directory);
  EXPECT_EQ(found[1].name, "client_dir.dat");
  EXPECT_TRUE(found[1].is_directory);
  EXPECT_EQ(found[2].name, "client_zed.dat");

  ASSERT_TRUE(plat::Find_Files(folder.Path("*"), &found));
  EXPECT_EQ(found.size(), 5u);  // never "." or ".."
  ASSERT_TRUE(plat::Find_Files(folder.Path("none*"), &found));
  EXPECT_TRUE(found.empty());
  EXPECT_FALSE(plat::Find_Files(folder.Path("missing/*"), &found));
  EXPECT_TRUE(found.empty());
}

TEST(FindFiles, APatternWithoutFolderSearchesTheWorkingDirectory) {
  Temp_Folder folder;
  ASSERT_FALSE(folder.Path().empty());
  Write(folder.Path("here.rez"), "x");
  const fs::path previous = fs::current_path();
  fs::current_path(folder.Path());
  std::vector<plat::Found_File> found;
  const bool ok = plat::Find_Files("*.REZ", &found);
  fs::current_path(previous);
  ASSERT_TRUE(ok);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, "here.rez");
}

TEST(ModificationTime, ReadsTheFileTimeAndFailsForMissingFiles) {
  Temp_Folder folder;
  ASSERT_FALSE(folder.Path().empty());
  const std::string older = folder.Path("older");
  const std::string newer = folder.Path("newer");
  Write(older, "a");
  Write(newer, "b");
  const timespec times_old[2] = {{1000, 0}, {1000, 500}};
  const timespec times_new[2] = {{2000, 0}, {2000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, older.c_str(), times_old, 0), 0);
  ASSERT_EQ(utimensat(AT_FDCWD, newer.c_str(), times_new, 0), 0);

  int64_t old_time = 0;
  int64_t new_time = 0;
  ASSERT_TRUE(plat::Get_Modification_Time(older, &old_time));
  ASSERT_TRUE(plat::Get_Modification_Time(newer, &new_time));
  EXPECT_EQ(old_time, 1000 * 1000000000LL + 500);
  EXPECT_EQ(new_time, 2000 * 1000000000LL);
  int64_t untouched = -7;
  EXPECT_FALSE(plat::Get_Modification_Time(folder.Path("missing"), &untouched));
  EXPECT_EQ(untouched, -7);
  EXPECT_TRUE(plat::File_Exists(older));
  EXPECT_FALSE(plat::File_Exists(folder.Path("missing")));
  EXPECT_FALSE(plat::File_Exists(folder.Path()));  // a folder is not a file
}

TEST(AtomicReplace, CreatesOrReplacesTheFileAndLeavesNothingElse) {
  Temp_Folder folder;
  ASSERT_FALSE(folder.Path().empty());
  const std::string path = folder.Path("rdata.dat");
  ASSERT_TRUE(plat::Replace_File_Atomically(path, std::string_view("first")));
  EXPECT_EQ(Read(path), "first");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);

  const std::string binary("a\0b\xff", 4);
  ASSERT_TRUE(plat::Replace_File_Atomically(path, binary));
  EXPECT_EQ(Read(path), binary);
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);  // the old file's permissions carry over

  ASSERT_TRUE(plat::Replace_File_Atomically(path, std::string_view()));
  EXPECT_EQ(Read(path), "");
  EXPECT_EQ(Names_In(folder.Path()), std::vector<std::string>{"rdata.dat"});
}

TEST(AtomicReplace, AFailureAtAnyStepLeavesTheOldFileUntouched) {
  const plat::Replace_Step steps[] = {plat::Replace_Step::Create, plat::Replace_Step::Write,
                                      plat::Replace_Step::Sync, plat::Replace_Step::Rename};
  for (plat::Replace_Step step : steps) {
    Temp_Folder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::string path = folder.Path("forumfile.dat");
    Write(path, "old contents");
    plat::Inject_Replace_Failure(step);
    EXPECT_FALSE(plat::Replace_File_Atomically(path, std::string_view("new")))
        << static_cast<int>(step);
    EXPECT_EQ(Read(path), "old contents") << static_cast<int>(step);
    EXPECT_EQ(Names_In(folder.Path()), std::vector<std::string>{"forumfile.dat"})
        << static_cast<int>(step);
    // The injected failure is used up: the next replace goes through.
    EXPECT_TRUE(plat::Replace_File_Atomically(path, std::string_view("new")));
    EXPECT_EQ(Read(path), "new");
  }
}

TEST(AtomicReplace, RefusesPathsItCannotWrite) {
  Temp_Folder folder;
  ASSERT_FALSE(folder.Path().empty());
  const std::string occupied = folder.Path("taken");
  fs::create_directory(occupied);
  Write(folder.Path("taken/inner"), "keep");
  EXPECT_FALSE(plat::Replace_File_Atomically(occupied, std::string_view("x")));
  EXPECT_EQ(Read(folder.Path("taken/inner")), "keep");
  EXPECT_FALSE(plat::Replace_File_Atomically(folder.Path("missing/file"), std::string_view("x")));
  EXPECT_FALSE(plat::Replace_File_Atomically("", std::string_view("x")));
  EXPECT_FALSE(plat::Replace_File_Atomically(folder.Path("x"), nullptr, 3));
  EXPECT_EQ(Names_In(folder.Path()), std::vector<std::string>{"taken"});
}

TEST(StaleTemporaries, OnlyTheNamesAnAtomicReplaceMakesAreRemoved) {
  Temp_Folder folder;
  const std::string path = folder.Path("store.dat");
  Write(path, "kept");
  const std::vector<std::string> stale = {"store.dat.tmp.AbC123", "store.dat.tmp.000000", "store.dat.tmp.zZzZzZ"};
  const std::vector<std::string> others = {
      "store.dat.tmp.AbC12",    // five characters
      "store.dat.tmp.AbC1234",  // seven
      "store.dat.tmp.ab.dat",   // an account "store.dat.tmp.ab" could have this name
      "store.dat.tmp.a-b_c.",   // not letters and digits
      "store.dat.tmp.",         "store.dat.bad",      "store.dat_tmp",
      "other.dat.tmp.AbC123",   "xstore.dat.tmp.AbC123",
  };
  for (const std::string& name : stale) Write(folder.Path(name), "stale");
  for (const std::string& name : others) Write(folder.Path(name), "other");
  ASSERT_EQ(mkdir(folder.Path("store.dat.tmp.Folder").c_str(), 0755), 0);
  plat::Remove_Temporary_Files(path);
  std::vector<std::string> expected = others;
  expected.push_back("store.dat");
  expected.push_back("store.dat.tmp.Folder");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names_In(folder.Path()), expected);
}

TEST(DamagedCopies, AreNumberedAndNeverOverwritten) {
  Temp_Folder folder;
  const std::string path = folder.Path("store.dat");
  Write(path, "damaged");
  const char* expected[] = {".bad", ".bad.1", ".bad.2"};
  for (int i = 0; i < 3; ++i) {
    const std::string contents = "copy " + std::to_string(i);
    EXPECT_EQ(plat::Keep_Damaged_Copy(path, contents.data(), contents.size()), path + expected[i]);
  }
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Read(path + expected[i]), "copy " + std::to_string(i));
  EXPECT_EQ(Read(path), "damaged") << "the file itself is not touched";

  // A gap is filled; a name taken by anything (here a folder) is skipped.
  ASSERT_EQ(unlink((path + ".bad.1").c_str()), 0);
  EXPECT_EQ(plat::Keep_Damaged_Copy(path, "x", 1), path + ".bad.1");
  ASSERT_EQ(mkdir((path + ".bad.3").c_str(), 0755), 0);
  EXPECT_EQ(plat::Keep_Damaged_Copy(path, "", 0), path + ".bad.4");
  EXPECT_EQ(Read(path + ".bad.4"), "");
}

TEST(DamagedCopies, FailWithoutLeavingAFileWhenNoNameIsFreeOrTheFolderIsMissing) {
  Temp_Folder folder;
  const std::string path = folder.Path("full.dat");
  Write(path + ".bad", "0");
  for (int i = 1; i < plat::kMax_Damaged_Copies; ++i) Write(path + ".bad." + std::to_string(i), "0");
  const size_t before = Names_In(folder.Path()).size();
  EXPECT_EQ(plat::Keep_Damaged_Copy(path, "new", 3), "");
  EXPECT_EQ(Names_In(folder.Path()).size(), before);
  EXPECT_EQ(Read(path + ".bad"), "0");
  EXPECT_EQ(plat::Keep_Damaged_Copy(folder.Path("missing/store.dat"), "new", 3), "");
  EXPECT_EQ(plat::Keep_Damaged_Copy("", "new", 3), "");
}

}  // namespace

namespace {

TEST(OpenRegularFile, OpensOnlyRegularFilesAndNeverWaitsOnAFifo) {
  Temp_Folder folder;
  Write(folder.Path("plain.dat"), "abc");
  ASSERT_EQ(mkfifo(folder.Path("pipe.dat").c_str(), 0600), 0);
  ASSERT_TRUE(fs::create_directory(folder.Path("folder.dat")));
  struct Row {
    const char* name;
    plat::Open_Result expected;
    const char* reason_part;
  };
  const Row rows[] = {
      {"plain.dat", plat::Open_Result::Opened, ""},
      {"missing.dat", plat::Open_Result::Missing, "No such file"},
      {"pipe.dat", plat::Open_Result::Not_Regular, "a FIFO, not a regular file"},
      {"folder.dat", plat::Open_Result::Not_Regular, "a folder, not a regular file"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::FILE* file = reinterpret_cast<std::FILE*>(1);
    std::string reason;
    EXPECT_EQ(plat::Open_Regular_File(folder.Path(row.name), "rb", &file, &reason), row.expected);
    EXPECT_NE(reason.find(row.reason_part), std::string::npos) << reason;
    EXPECT_EQ(file != nullptr, row.expected == plat::Open_Result::Opened);
    if (file == nullptr) continue;
    char bytes[4] = {};
    EXPECT_EQ(std::fread(bytes, 1, sizeof(bytes), file), 3u) << "reads block again once opened";
    EXPECT_STREQ(bytes, "abc");
    std::fclose(file);
  }
}

// A failure that blames the entry (a link loop) is told from one that blames the process at
// the moment: out of file handles for real, the same file opens once a handle is free again.
TEST(OpenRegularFile, TellsTheEntrysFaultFromTheProcesssTrouble) {
  Temp_Folder folder;
  Write(folder.Path("plain.dat"), "abc");
  ASSERT_EQ(symlink("loop.dat", folder.Path("loop.dat").c_str()), 0);
  std::FILE* file = nullptr;
  std::string reason;
  EXPECT_EQ(plat::Open_Regular_File(folder.Path("loop.dat"), "rb", &file, &reason), plat::Open_Result::Failed);
  EXPECT_NE(reason.find("Too many levels of symbolic links"), std::string::npos) << reason;

  // The soft limit of open files set to the lowest free descriptor: no further open works.
  const int lowest_free = dup(0);
  ASSERT_GE(lowest_free, 0);
  close(lowest_free);
  rlimit old_limit {};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old_limit), 0);
  rlimit tight = old_limit;
  tight.rlim_cur = static_cast<rlim_t>(lowest_free);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
  const plat::Open_Result short_of_handles = plat::Open_Regular_File(folder.Path("plain.dat"), "rb", &file, &reason);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &old_limit), 0);
  EXPECT_EQ(short_of_handles, plat::Open_Result::Unavailable);
  EXPECT_EQ(file, nullptr);
  EXPECT_NE(reason.find("Too many open files"), std::string::npos) << reason;

  ASSERT_EQ(plat::Open_Regular_File(folder.Path("plain.dat"), "rb", &file, &reason), plat::Open_Result::Opened);
  std::fclose(file);
}

TEST(OpenRegularFile, RefusesWriteModes) {
  Temp_Folder folder;
  std::FILE* file = nullptr;
  EXPECT_EQ(plat::Open_Regular_File(folder.Path("new.dat"), "wb", &file, nullptr),
            plat::Open_Result::Failed);
  EXPECT_EQ(file, nullptr);
  EXPECT_FALSE(fs::exists(folder.Path("new.dat")));
}

}  // namespace

namespace {

bool Is_Link(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// A replace through a link writes the link's target in the target's own folder and leaves the
// link a link; a dangling link gets its target made.
TEST(AtomicReplace, WritesThroughALinkToItsTarget) {
  Temp_Folder folder;
  ASSERT_TRUE(fs::create_directory(folder.Path("data")));
  ASSERT_TRUE(fs::create_directory(folder.Path("real")));
  Write(folder.Path("real/rdata.dat"), "old");
  ASSERT_EQ(chmod(folder.Path("real/rdata.dat").c_str(), 0600), 0);
  struct Row {
    const char* what;
    std::string link;    // inside data/
    std::string target;  // what the link names
    std::string file;    // the file that must get the contents
  };
  const Row rows[] = {
      {"relative link", "rdata.dat", "../real/rdata.dat", folder.Path("real/rdata.dat")},
      {"absolute link", "abs.dat", folder.Path("real/rdata.dat"), folder.Path("real/rdata.dat")},
      {"link to a link", "chain.dat", "rdata.dat", folder.Path("real/rdata.dat")},
      {"dangling link", "forumfile.dat", "../real/forumfile.dat", folder.Path("real/forumfile.dat")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string link = folder.Path("data/" + row.link);
    fs::create_symlink(row.target, link);
    const std::string contents = std::string("new through ") + row.what;
    std::string reason;
    ASSERT_TRUE(plat::Replace_File_Atomically(link, contents.data(), contents.size(), &reason)) << reason;
    EXPECT_TRUE(Is_Link(link)) << "the link stays a link";
    EXPECT_EQ(Read(row.file), contents);
  }
  struct stat info {};
  ASSERT_EQ(stat(folder.Path("real/rdata.dat").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u) << "the target keeps its permissions";
  EXPECT_EQ(Names_In(folder.Path("real")), (std::vector<std::string>{"forumfile.dat", "rdata.dat"}))
      << "no temporary file is left beside the target";
  EXPECT_EQ(Names_In(folder.Path("data")),
            (std::vector<std::string>{"abs.dat", "chain.dat", "forumfile.dat", "rdata.dat"}));

  // A failed replace through a link leaves the target as it was and no temporary anywhere.
  plat::Inject_Replace_Failure(plat::Replace_Step::Rename);
  EXPECT_FALSE(plat::Replace_File_Atomically(folder.Path("data/rdata.dat"), std::string_view("lost")));
  EXPECT_EQ(Read(folder.Path("real/rdata.dat")), "new through link to a link");
  EXPECT_EQ(Names_In(folder.Path("real")), (std::vector<std::string>{"forumfile.dat", "rdata.dat"}));

  // The stale temporaries of a linked file are the ones beside its target.
  Write(folder.Path("real/rdata.dat.tmp.AbC123"), "stale");
  Write(folder.Path("data/rdata.dat.tmp.AbC123"), "not this link's");
  plat::Remove_Temporary_Files(folder.Path("data/rdata.dat"));
  EXPECT_FALSE(fs::exists(folder.Path("real/rdata.dat.tmp.AbC123")));
  EXPECT_TRUE(fs::exists(folder.Path("data/rdata.dat.tmp.AbC123")));
  EXPECT_EQ(plat::Resolve_Links(folder.Path("data/chain.dat")), folder.Path("data/../real/rdata.dat"));
  EXPECT_EQ(plat::Resolve_Links(folder.Path("real/rdata.dat")), folder.Path("real/rdata.dat"));
}

// A failed replace says why in the system's words, whether the system or a test made it fail.
TEST(AtomicReplace, AFailureGivesTheSystemsReason) {
  Temp_Folder folder;
  struct Row {
    plat::Replace_Step step;
    int error;
    const char* reason;
  };
  const Row rows[] = {
      {plat::Replace_Step::Create, EROFS, "Read-only file system"},
      {plat::Replace_Step::Write, ENOSPC, "No space left on device"},
      {plat::Replace_Step::Sync, EIO, "Input/output error"},
      {plat::Replace_Step::Rename, EACCES, "Permission denied"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reason);
    plat::Inject_Replace_Failure(row.step, row.error);
    std::string reason;
    EXPECT_FALSE(plat::Replace_File_Atomically(folder.Path("store.dat"), "abc", 3, &reason));
    EXPECT_EQ(reason, row.reason);
    // The injected failure was used up: the next replace works and has nothing to say.
    plat::Atomic_File_Writer writer(folder.Path("store.dat"));
    EXPECT_TRUE(writer.Write("abc", 3) && writer.Commit());
    EXPECT_EQ(writer.Failure(), "") << "nothing has failed";
    fs::remove(folder.Path("store.dat"));
  }
  std::string reason;
  EXPECT_FALSE(plat::Replace_File_Atomically(folder.Path("missing/store.dat"), "abc", 3, &reason));
  EXPECT_EQ(reason, "No such file or directory");
  fs::create_directory(folder.Path("taken"));
  EXPECT_FALSE(plat::Replace_File_Atomically(folder.Path("taken"), "abc", 3, &reason));
  EXPECT_EQ(reason, "Is a directory");
  EXPECT_EQ(Names_In(folder.Path()), std::vector<std::string>{"taken"});
}

// An entry that cannot be read is moved aside whatever it is, to the first free ".bad" name,
// never over an entry that has one.
TEST(MoveAside, MovesAnyEntryToTheFirstFreeNameWithoutReplacingOne) {
  Temp_Folder folder;
  const std::string path = folder.Path("forumfile.dat");
  struct Row {
    const char* what;
    std::function<void()> make;
    std::string expected;
  };
  const Row rows[] = {
      {"a file", [&] { Write(path, "bytes"); }, path + ".bad"},
      {"a folder", [&] { fs::create_directory(path); Write(path + "/inner", "kept"); }, path + ".bad.1"},
      {"a FIFO", [&] { mkfifo(path.c_str(), 0600); }, path + ".bad.2"},
      {"a link", [&] { fs::create_symlink("elsewhere", path); }, path + ".bad.4"},
  };
  fs::create_directory(path + ".bad.3");  // a name taken by anything is skipped
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    row.make();
    std::string reason;
    EXPECT_EQ(plat::Move_Aside(path, &reason), row.expected) << reason;
    struct stat info {};
    EXPECT_NE(lstat(path.c_str(), &info), 0) << "nothing is left at the name";
  }
  EXPECT_EQ(Read(path + ".bad"), "bytes");
  EXPECT_EQ(Read(path + ".bad.1/inner"), "kept");
  EXPECT_TRUE(fs::is_fifo(path + ".bad.2"));
  EXPECT_TRUE(fs::is_empty(path + ".bad.3")) << "the taken name was not replaced";
  EXPECT_TRUE(Is_Link(path + ".bad.4"));

  // A folder that cannot be written to keeps the entry where it is and says why.
  Write(path, "stays");
  plat::Inject_Move_Aside_Failure(EROFS);
  std::string reason;
  EXPECT_EQ(plat::Move_Aside(path, &reason), "");
  plat::Inject_Move_Aside_Failure(0);
  EXPECT_EQ(reason, "Read-only file system");
  EXPECT_EQ(Read(path), "stays");
  EXPECT_FALSE(fs::exists(path + ".bad.5"));
  EXPECT_EQ(plat::Move_Aside(folder.Path("missing.dat"), &reason), "");
  EXPECT_EQ(reason, "No such file or directory");
}

TEST(MoveAside, FailsWhenEveryNameIsTakenOrTheFolderIsReadOnly) {
  Temp_Folder folder;
  const std::string path = folder.Path("full.dat");
  Write(path, "entry");
  Write(path + ".bad", "0");
  for (int i = 1; i < plat::kMax_Damaged_Copies; ++i) Write(path + ".bad." + std::to_string(i), "0");
  std::string reason;
  EXPECT_EQ(plat::Move_Aside(path, &reason), "");
  EXPECT_NE(reason.find("is taken"), std::string::npos) << reason;
  EXPECT_EQ(Read(path), "entry");
  EXPECT_EQ(Read(path + ".bad"), "0");

  // Root may write into any folder; the real refusal is seen by other users only.
  if (geteuid() == 0) GTEST_SKIP() << "a read-only folder does not stop root";
  const std::string locked = folder.Path("locked");
  fs::create_directory(locked);
  Write(locked + "/rdata.dat", "entry");
  ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
  EXPECT_EQ(plat::Move_Aside(locked + "/rdata.dat", &reason), "");
  EXPECT_EQ(reason, "Permission denied");
  chmod(locked.c_str(), 0755);
  EXPECT_EQ(Read(locked + "/rdata.dat"), "entry");
}

}  // namespace
