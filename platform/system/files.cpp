#include "platform/system/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/system/debug.h"

namespace plat {

namespace {

std::atomic<Replace_Step> g_injected_failure{Replace_Step::None};
std::atomic<int> g_injected_error{EIO};
std::atomic<int> g_injected_move_error{0};
std::atomic<bool> g_sync{true};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Splits "folder/pattern" into its folder ("." when there is none) and the rest.
void Split_Path(const std::string& path, std::string* folder, std::string* name) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    folder->assign(1, '.');
    *name = path;
    return;
  }
  *folder = slash == 0 ? "/" : path.substr(0, slash);
  *name = path.substr(slash + 1);
}

bool Is_Directory(const std::string& folder, const dirent& entry) {
  if (entry.d_type == DT_DIR) return true;
  if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) return false;
  struct stat info {};
  if (stat((folder + "/" + entry.d_name).c_str(), &info) != 0) return false;
  return S_ISDIR(info.st_mode);
}

bool Write_All(int fd, const unsigned char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

bool Injected(Replace_Step step, Replace_Step failing) { return step == failing; }

// The six characters mkostemp puts in place of "XXXXXX": letters and digits.
constexpr size_t kTemporary_Suffix_Length = 6;

bool Is_Temporary_Suffix(std::string_view suffix) {
  return std::all_of(suffix.begin(), suffix.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  });
}

// Syncs the folder so the rename itself survives a crash. Some file systems cannot sync a
// folder; the new contents are in place by then, so this is done as well as it can be.
void Sync_Folder(const std::string& folder) {
  if (!g_sync.load()) return;
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool Match_File_Pattern(std::string_view pattern, std::string_view name) {
  size_t p = 0;
  size_t n = 0;
  size_t star = std::string_view::npos;  // position after the last '*' seen
  size_t star_name = 0;                   // where the name stood when it was seen
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = ++p;
      star_name = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star;
      n = ++star_name;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool Find_Files(const std::string& path_pattern, std::vector<Found_File>* found) {
  found->clear();
  std::string folder;
  std::string pattern;
  Split_Path(path_pattern, &folder, &pattern);
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return false;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (!Match_File_Pattern(pattern, name)) continue;
    found->push_back(Found_File{std::string(name), Is_Directory(folder, *entry)});
  }
  closedir(dir);
  std::sort(found->begin(), found->end(),
            [](const Found_File& a, const Found_File& b) { return a.name < b.name; });
  return true;
}

bool Get_Modification_Time(const std::string& path, int64_t* nanoseconds) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return false;
  *nanoseconds = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  return true;
}

bool File_Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

namespace {

const char* Kind_Of(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  return "a special file";
}

}  // namespace

bool Is_Entry_Fault(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
    case ELOOP:
    case EIO:
    case EISDIR:
    case ENXIO:
    case ENODEV:
    case EOVERFLOW:
      return true;
    default:
      return false;
  }
}

namespace {

// The failure for an error number, with the system's words for it in `reason` (when given).
Open_Result Open_Failure(int error, std::string* reason) {
  if (reason != nullptr) *reason = std::strerror(error);
  return Is_Entry_Fault(error) ? Open_Result::Failed : Open_Result::Unavailable;
}

}  // namespace

Open_Result Open_Regular_File(const std::string& path, const char* mode, std::FILE** file,
                              std::string* reason) {
  *file = nullptr;
  if (mode == nullptr || mode[0] != 'r') {
    if (reason != nullptr) *reason = "not opened for reading";
    return Open_Result::Failed;
  }
  const bool update = std::string_view(mode).find('+') != std::string_view::npos;
  // Non-blocking, so that a FIFO without a writer does not hold the open forever.
  const int fd = open(path.c_str(), (update ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (reason != nullptr) *reason = std::strerror(error);
    if (error == ENOENT || error == ENOTDIR) return Open_Result::Missing;
    if (error == EISDIR) {
      if (reason != nullptr) *reason = "it is a folder, not a regular file";
      return Open_Result::Not_Regular;
    }
    return Open_Failure(error, reason);
  }
  struct stat info {};
  if (fstat(fd, &info) != 0) {
    const int error = errno;
    close(fd);
    return Open_Failure(error, reason);
  }
  if (!S_ISREG(info.st_mode)) {
    if (reason != nullptr) *reason = std::string("it is ") + Kind_Of(info.st_mode) + ", not a regular file";
    close(fd);
    return Open_Result::Not_Regular;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const int error = errno;
    close(fd);
    return Open_Failure(error, reason);
  }
  *file = fdopen(fd, mode);
  if (*file == nullptr) {
    const int error = errno;
    close(fd);
    return Open_Failure(error, reason);
  }
  return Open_Result::Opened;
}

std::FILE* Open_Regular_File_Or_Say(const std::string& path, const char* mode) {
  std::FILE* file = nullptr;
  std::string reason;
  if (Open_Regular_File(path, mode, &file, &reason) == Open_Result::Not_Regular) {
    Error_Output((path + " was not opened: " + reason).c_str());
  }
  return file;
}

void Set_File_Sync(bool enabled) { g_sync.store(enabled); }

void Inject_Replace_Failure(Replace_Step step, int error) {
  g_injected_error.store(error);
  g_injected_failure.store(step);
}

void Inject_Move_Aside_Failure(int error) { g_injected_move_error.store(error); }

std::string Resolve_Links(const std::string& path) {
  std::string resolved = path;
  for (int depth = 0; depth < 16; ++depth) {
    struct stat info {};
    if (lstat(resolved.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return resolved;
    std::string target(PATH_MAX, '\0');
    const ssize_t length = readlink(resolved.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<size_t>(length) >= target.size()) return resolved;
    target.resize(static_cast<size_t>(length));
    // A relative target is relative to the folder that holds the link.
    const size_t slash = resolved.find_last_of('/');
    if (target[0] != '/' && slash != std::string::npos) target = resolved.substr(0, slash + 1) + target;
    resolved = target;
  }
  return resolved;
}

Atomic_File_Writer::Atomic_File_Writer(const std::string& path) : m_path(Resolve_Links(path)) {
  const Replace_Step failing = g_injected_failure.exchange(Replace_Step::None);
  m_failing_step = static_cast<int>(failing);
  std::string folder;
  std::string name;
  Split_Path(m_path, &folder, &name);
  if (m_path.empty() || name.empty()) {
    m_failure = "no file name";
    return;
  }
  if (Injected(Replace_Step::Create, failing)) {
    Fail(g_injected_error.load());
    return;
  }
  // The temporary file goes beside the file it replaces, so that the rename stays in one folder.
  m_temporary = m_path + ".tmp.XXXXXX";
  m_fd = mkostemp(m_temporary.data(), O_CLOEXEC);
  if (m_fd < 0) {
    Fail(errno);
    return;
  }
  struct stat old_info {};
  const mode_t mode = stat(m_path.c_str(), &old_info) == 0 ? (old_info.st_mode & 07777) : 0644;
  if (fchmod(m_fd, mode) != 0) {
    Fail(errno);
    m_failed = true;
  }
}

void Atomic_File_Writer::Fail(int error) {
  if (m_failure.empty()) m_failure = error != 0 ? std::strerror(error) : "the write stopped short";
}

Atomic_File_Writer::~Atomic_File_Writer() { Abandon(); }

void Atomic_File_Writer::Abandon() {
  if (m_fd < 0) return;
  close(m_fd);
  m_fd = -1;
  unlink(m_temporary.c_str());
}

bool Atomic_File_Writer::Write(const void* data, size_t size) {
  if (m_fd < 0 || m_failed || (data == nullptr && size > 0)) return false;
  if (Injected(Replace_Step::Write, static_cast<Replace_Step>(m_failing_step))) {
    Fail(g_injected_error.load());
    m_failed = true;
  } else {
    errno = 0;
    if (!Write_All(m_fd, static_cast<const unsigned char*>(data), size)) {
      Fail(errno);
      m_failed = true;
    }
  }
  return !m_failed;
}

bool Atomic_File_Writer::Commit() {
  const auto failing = static_cast<Replace_Step>(m_failing_step);
  if (m_fd < 0) return false;
  // An empty file is still written: the write step happens for it too.
  if (!Write(nullptr, 0)) {
    Abandon();
    return false;
  }
  bool ok = true;
  if (Injected(Replace_Step::Sync, failing)) {
    Fail(g_injected_error.load());
    ok = false;
  } else if (g_sync.load() && fsync(m_fd) != 0) {
    Fail(errno);
    ok = false;
  }
  if (close(m_fd) != 0) {
    Fail(errno);
    ok = false;
  }
  m_fd = -1;
  if (ok && Injected(Replace_Step::Rename, failing)) {
    Fail(g_injected_error.load());
    ok = false;
  } else if (ok && rename(m_temporary.c_str(), m_path.c_str()) != 0) {
    Fail(errno);
    ok = false;
  }
  if (!ok) {
    unlink(m_temporary.c_str());
    return false;
  }
  std::string folder;
  std::string name;
  Split_Path(m_path, &folder, &name);
  Sync_Folder(folder);
  return true;
}

void Remove_Temporary_Files(const std::string& path) {
  std::string folder;
  std::string name;
  Split_Path(Resolve_Links(path), &folder, &name);
  if (name.empty()) return;
  const std::string prefix = name + ".tmp.";
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  std::vector<std::string> stale;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view entry_name = entry->d_name;
    if (entry_name.size() == prefix.size() + kTemporary_Suffix_Length &&
        entry_name.substr(0, prefix.size()) == prefix && Is_Temporary_Suffix(entry_name.substr(prefix.size())) &&
        !Is_Directory(folder, *entry)) {
      stale.emplace_back(entry_name);
    }
  }
  closedir(dir);
  for (const std::string& file : stale) unlink((folder + "/" + file).c_str());
}

namespace {

// The names a damaged file may be kept or moved under: "path.bad", "path.bad.1", ...
std::string Damaged_Name(const std::string& path, int number) {
  return path + ".bad" + (number == 0 ? std::string() : "." + std::to_string(number));
}

bool Entry_Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

}  // namespace

std::string Move_Aside(const std::string& path, std::string* reason) {
  const auto refuse = [&](const std::string& why) {
    if (reason != nullptr) *reason = why;
    return std::string();
  };
  std::string folder;
  std::string name;
  Split_Path(path, &folder, &name);
  if (name.empty()) return refuse("no file name");
  if (const int injected = g_injected_move_error.load(); injected != 0) return refuse(std::strerror(injected));
  for (int number = 0; number < kMax_Damaged_Copies; ++number) {
    const std::string aside = Damaged_Name(path, number);
    if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
      Sync_Folder(folder);
      return aside;
    }
    if (errno == EEXIST) continue;
    if (errno != EINVAL && errno != ENOSYS) return refuse(std::strerror(errno));
    // A file system without an exclusive rename: the name is checked first instead.
    if (Entry_Exists(aside)) continue;
    if (rename(path.c_str(), aside.c_str()) != 0) return refuse(std::strerror(errno));
    Sync_Folder(folder);
    return aside;
  }
  return refuse("every name from " + Damaged_Name(path, 0) + " to " + Damaged_Name(path, kMax_Damaged_Copies - 1) +
                " is taken");
}

std::string Keep_Damaged_Copy(const std::string& path, const void* data, size_t size) {
  std::string folder;
  std::string name;
  Split_Path(path, &folder, &name);
  if (name.empty() || (data == nullptr && size > 0)) return std::string();
  for (int number = 0; number < kMax_Damaged_Copies; ++number) {
    const std::string copy = Damaged_Name(path, number);
    const int fd = open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return std::string();
    bool ok = Write_All(fd, static_cast<const unsigned char*>(data), size) && (!g_sync.load() || fsync(fd) == 0);
    ok = (close(fd) == 0) && ok;
    if (!ok) {
      unlink(copy.c_str());
      return std::string();
    }
    Sync_Folder(folder);
    return copy;
  }
  return std::string();
}

bool Replace_File_Atomically(const std::string& path, const void* data, size_t size, std::string* reason) {
  if (data == nullptr && size > 0) {
    g_injected_failure.store(Replace_Step::None);
    if (reason != nullptr) *reason = "no data";
    return false;
  }
  Atomic_File_Writer writer(path);
  if (writer.Write(data, size) && writer.Commit()) return true;
  if (reason != nullptr) *reason = writer.Failure().empty() ? std::string("it could not be written") : writer.Failure();
  return false;
}

bool Replace_File_Atomically(const std::string& path, std::string_view contents) {
  return Replace_File_Atomically(path, contents.data(), contents.size());
}

}  // namespace plat
