#include "platform/system/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace plat {

namespace {

bool Is_Safe(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-' || c == '.';
}

// The name without its namespace prefix, with every character a file name should not carry
// turned into '_'.
std::string File_Stem(std::string_view name) {
  for (std::string_view prefix : {"Global\\", "Local\\"}) {
    if (name.substr(0, prefix.size()) == prefix) {
      name.remove_prefix(prefix.size());
      break;
    }
  }
  std::string stem;
  for (char c : name) stem += Is_Safe(c) ? c : '_';
  if (stem.empty() || stem[0] == '.') stem = "_" + stem;
  return stem;
}

}  // namespace

std::string Instance_Lock::Lock_File_Path(const char* name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') {
    return std::string(runtime) + "/" + File_Stem(name != nullptr ? name : "") + ".lock";
  }
  return Fallback_Lock_File_Path(name);
}

std::string Instance_Lock::Fallback_Lock_File_Path(const char* name) {
  const std::string stem = File_Stem(name != nullptr ? name : "");
  return "/tmp/" + stem + "-" + std::to_string(getuid()) + ".lock";
}

Instance_Lock::Result Instance_Lock::Lock_File(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    m_problem = "cannot open " + path + ": " + std::strerror(errno);
    return Result::Failed;
  }
  int rc;
  do {
    rc = flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const int error = errno;
    close(fd);
    if (error == EWOULDBLOCK) return Result::Held_Elsewhere;
    m_problem = "cannot lock " + path + ": " + std::strerror(error);
    return Result::Failed;
  }
  m_fd = fd;
  return Result::Acquired;
}

Instance_Lock::Result Instance_Lock::Acquire(const char* name) {
  Release();
  m_problem.clear();
  if (name == nullptr) {
    m_problem = "no lock name";
    return Result::Failed;
  }
  const std::string path = Lock_File_Path(name);
  const Result result = Lock_File(path);
  const std::string fallback = Fallback_Lock_File_Path(name);
  if (result != Result::Failed || fallback == path) return result;
  // The usual lock file is unusable, so no other copy can be holding it: the lock under /tmp
  // still keeps two copies started the same way apart.
  const std::string first_problem = m_problem;
  const Result second = Lock_File(fallback);
  m_problem = second == Result::Failed ? first_problem + "; " + m_problem
                                       : first_problem + "; using " + fallback;
  return second;
}

void Instance_Lock::Release() {
  if (m_fd < 0) return;
  // Closing the descriptor drops the lock. The file stays: removing it could let two
  // processes each lock a different file of the same name.
  close(m_fd);
  m_fd = -1;
}

}  // namespace plat
