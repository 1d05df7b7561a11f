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
  // names the same lock). Held_Elsewhere when another holder has it, Failed when the lock file
  // cannot be opened. A lock this object already holds is released first.
  Result Acquire(const char* name);
  void Release();
  bool Is_Held() const { return m_fd >= 0; }

  // The lock file that stands for the name.
  static std::string Lock_File_Path(const char* name);

 private:
  int m_fd = -1;
};

}  // namespace plat
