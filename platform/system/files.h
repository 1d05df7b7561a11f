#pragma once
// File helpers: finding files by a '*' and '?' pattern, modification times, and replacing a
// file's contents atomically (a temporary file in the same folder, written, synced and renamed
// over the old file, then the folder synced), so a failed write leaves the old file untouched.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

struct Found_File {
  std::string name;  // the entry's name inside the folder
  bool is_directory = false;
};

// Matches a name against a pattern where '*' stands for any run of characters and '?' for
// exactly one; letters compare without regard to case.
bool Match_File_Pattern(std::string_view pattern, std::string_view name);

// The entries of a folder whose names match the pattern ("client_*.dat", "data/*.rez"; the
// folder is the part before the last '/', or the working directory), sorted by name; "." and
// ".." are never returned. False when the folder cannot be read.
bool Find_Files(const std::string& path_pattern, std::vector<Found_File>* found);

// The last modification time in nanoseconds since the epoch; false when the file is missing.
bool Get_Modification_Time(const std::string& path, int64_t* nanoseconds);

bool File_Exists(const std::string& path);

// What opening a file for reading found.
enum class Open_Result { Opened, Missing, Not_Regular, Failed };

// Opens a file for reading ("r", "rb", "r+b") as a stdio stream without ever blocking on what
// is not a regular file: the entry is opened non-blocking and checked before anything is read,
// so a FIFO, a device or a folder in its place is refused at once. On a failure `reason` (when
// given) gets the system's words for it ("Permission denied", "it is a FIFO, not a regular
// file"); `*file` is null unless the result is Opened.
Open_Result Open_Regular_File(const std::string& path, const char* mode, std::FILE** file,
                              std::string* reason);

// Replaces the file's contents atomically; false (with the old file untouched and no
// temporary file left behind) when any step fails.
bool Replace_File_Atomically(const std::string& path, const void* data, size_t size);
bool Replace_File_Atomically(const std::string& path, std::string_view contents);

// Writes a file's new contents piece by piece into a temporary file beside it; Commit syncs it
// and renames it over the file. Destroyed without a successful Commit, it removes the temporary
// file and leaves the old file untouched.
class Atomic_File_Writer {
 public:
  explicit Atomic_File_Writer(const std::string& path);
  ~Atomic_File_Writer();
  Atomic_File_Writer(const Atomic_File_Writer&) = delete;
  Atomic_File_Writer& operator=(const Atomic_File_Writer&) = delete;

  bool Is_Open() const { return m_fd >= 0; }
  bool Write(const void* data, size_t size);
  bool Write(std::string_view text) { return Write(text.data(), text.size()); }
  bool Commit();

 private:
  void Abandon();

  std::string m_path;
  std::string m_temporary;
  int m_fd = -1;
  bool m_failed = false;
  int m_failing_step = 0;
};

// Removes the temporary files an interrupted atomic replace of `path` left behind: the names
// "path.tmp.XXXXXX" with six letters or digits, as the replace makes them (no other file, so
// "path.tmp.x.dat" stays). Call it only while no other writer of the same file can be at work.
void Remove_Temporary_Files(const std::string& path);

// Keeps bytes that were read from `path` and refused as a new file beside it: "path.bad", or
// "path.bad.1", "path.bad.2", ... up to "path.bad.<kMax_Damaged_Copies - 1>" when a name is
// taken. Each name is created exclusively, so an existing copy is never overwritten. Returns
// the copy's path, or an empty string (nothing left behind) when no copy could be written.
constexpr int kMax_Damaged_Copies = 1000;
std::string Keep_Damaged_Copy(const std::string& path, const void* data, size_t size);

// Whether atomic replaces sync the file and its folder to the disk (on by default). Fuzzers and
// benchmarks that replace files thousands of times a second turn it off.
void Set_File_Sync(bool enabled);

// Steps of an atomic replace at which tests can inject a failure.
enum class Replace_Step { None, Create, Write, Sync, Rename };
// Makes the next atomic replace fail at the given step (None clears it).
void Inject_Replace_Failure(Replace_Step step);

}  // namespace plat
