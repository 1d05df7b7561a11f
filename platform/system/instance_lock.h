#pragma once
// The lock that keeps a second copy of the program from starting: a named, process-wide lock
// held as an exclusive flock on a lock file in $XDG_RUNTIME_DIR (else in /tmp, with the user id
// in the file name so users do not block each other). The lock is held until Release, the
// object's destruction or the end of the process, and the kernel drops it when the process
// dies, so a crash never leaves a stale lock behind.
#include <string>

namespace plat {

class Instance_Lock {
 public:
  enum class Result { Acquired, Held_Elsewhere, Failed };

  Instance_Lock() = default;
  ~Instance_Lock() { Release(); }
  Instance_Lock(const Instance_Lock&) = delete;
  Instance_Lock& operator=(const Instance_Lock&) = delete;

  // Takes the lock of the given name ("Global\\Name_Mutex"; a "Global\\" or "Local\\" prefix
  // names the same lock). Held_Elsewhere only when another process holds it. When the lock file
  // cannot be opened or locked for any other reason (its folder missing, the path a folder or a
  // symbolic link), the lock is taken on the fallback file under /tmp instead; Failed when that
  // fails too. Problem() then says what failed. A lock this object already holds is released
  // first.
  Result Acquire(const char* name);
  void Release();
  bool Is_Held() const { return m_fd >= 0; }

  // What went wrong with the lock file at the last Acquire (empty when nothing did), for
  // example "cannot open /run/user/1000/x.lock: No such file or directory".
  const std::string& Problem() const { return m_problem; }

  // The lock file that stands for the name, and the one used when that cannot be.
  static std::string Lock_File_Path(const char* name);
  static std::string Fallback_Lock_File_Path(const char* name);

 private:
  Result Lock_File(const std::string& path);

  int m_fd = -1;
  std::string m_problem;
};

}  // namespace plat
