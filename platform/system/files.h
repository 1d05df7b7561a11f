#pragma once
// File helpers: finding files by a '*' and '?' pattern, modification times, and replacing a
// file's contents atomically (a temporary file in the same folder, written, synced and renamed
// over the old file, then the folder synced), so a failed write leaves the old file untouched.
// A file that is a symbolic link is replaced through the link: its target is replaced in the
// target's own folder and the link stays.
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

// What opening a file for reading found. Failed blames the entry (no permission, a link loop,
// an input/output error); Unavailable blames the process or the system at this moment (out of
// file handles or memory, interrupted): nothing is known to be wrong with the entry, and a later
// open may work.
enum class Open_Result { Opened, Missing, Not_Regular, Failed, Unavailable };

// Whether an error number met while opening or reading a file blames the entry itself (see
// Open_Result::Failed). Any number it does not know counts as the process's trouble, so that a
// reader never moves a file out of the way for a reason that is not the file's.
bool Is_Entry_Fault(int error);

// Opens a file for reading ("r", "rb", "r+b") as a stdio stream without ever blocking on what
// is not a regular file: the entry is opened non-blocking and checked before anything is read,
// so a FIFO, a device or a folder in its place is refused at once. On a failure `reason` (when
// given) gets the system's words for it ("Permission denied", "it is a FIFO, not a regular
// file"); `*file` is null unless the result is Opened.
Open_Result Open_Regular_File(const std::string& path, const char* mode, std::FILE** file,
                              std::string* reason);
// The same for a file whose reader goes on without it: a FIFO, device or folder in its place is
// named in one line on the error output ("<path> was not opened: it is a FIFO, not a regular
// file"). Null unless it opened.
std::FILE* Open_Regular_File_Or_Say(const std::string& path, const char* mode);

// Where a path really leads: symbolic links are followed (at most 16) to the last target,
// which may not exist yet (a dangling link leads to the file it names). A path that is not a
// link comes back as it is.
std::string Resolve_Links(const std::string& path);

// Replaces the file's contents atomically; false (with the old file untouched and no
// temporary file left behind) when any step fails, and then `reason` (when given) gets the
// system's words for the failing step ("No space left on device").
bool Replace_File_Atomically(const std::string& path, const void* data, size_t size,
                             std::string* reason = nullptr);
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
  // The system's words for the step that failed; empty while nothing has failed.
  const std::string& Failure() const { return m_failure; }

 private:
  void Abandon();
  void Fail(int error);

  std::string m_path;  // the file that is replaced: the target when the path is a link
  std::string m_failure;
  std::string m_temporary;
  int m_fd = -1;
  bool m_failed = false;
  int m_failing_step = 0;
};

// Removes the temporary files an interrupted atomic replace of `path` left behind: the names
// "path.tmp.XXXXXX" with six letters or digits, as the replace makes them (no other file, so
// "path.tmp.x.dat" stays), beside the link's target when `path` is a link. Call it only while
// no other writer of the same file can be at work.
void Remove_Temporary_Files(const std::string& path);

// Keeps bytes that were read from `path` and refused as a new file beside it: "path.bad", or
// "path.bad.1", "path.bad.2", ... up to "path.bad.<kMax_Damaged_Copies - 1>" when a name is
// taken. Each name is created exclusively, so an existing copy is never overwritten. Returns
// the copy's path, or an empty string (nothing left behind) when no copy could be written.
constexpr int kMax_Damaged_Copies = 1000;
std::string Keep_Damaged_Copy(const std::string& path, const void* data, size_t size);

// Moves the entry at `path` (a file that cannot be read, a folder, a FIFO, a link: whatever it
// is) aside to the first free name of the same row, "path.bad", "path.bad.1", ..., without ever
// replacing an entry that has one of those names. A rename needs no read permission on the
// entry itself. Returns the new path, or an empty string with the system's words in `reason`
// (when given) when it could not be moved (a read-only folder, no free name).
std::string Move_Aside(const std::string& path, std::string* reason = nullptr);

// Whether atomic replaces sync the file and its folder to the disk (on by default). Fuzzers and
// benchmarks that replace files thousands of times a second turn it off.
void Set_File_Sync(bool enabled);

// Steps of an atomic replace at which tests can inject a failure.
enum class Replace_Step { None, Create, Write, Sync, Rename };
// Makes the next atomic replace fail at the given step (None clears it), as if the system had
// answered with the error number `error` there.
void Inject_Replace_Failure(Replace_Step step, int error = 5 /* EIO */);
// Makes every Move_Aside fail with the error number `error`, as in a folder the user cannot
// write to (which root always can); 0 clears it.
void Inject_Move_Aside_Failure(int error);

}  // namespace plat
