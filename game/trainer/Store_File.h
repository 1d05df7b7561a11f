#pragma once
// Reading and writing the trainer's store files. A store is read whole through a stream; when
// its file is missing, cannot be opened or is refused, the copy with "_tmp" appended is read
// instead (an older program left it behind after a crash between writing and renaming). Stores
// are written whole with an atomic replace (through a link to its target); the "_tmp" copy is
// never written.
//
// A file that was read and refused is kept byte for byte beside it ("<file>.bad", then
// "<file>.bad.1", ...) before anything may replace it, and stderr says so. An entry that is at
// fault itself (no read permission, a folder, a FIFO, a link loop, an input/output error) is
// moved aside under the same names, and the store starts as if there were no file; where it
// cannot be moved (a read-only folder), or when the process could not open or read it now (out
// of file handles or memory, interrupted), it stays where it is and the store runs for this
// session without ever replacing it, said once. A save that fails is said on stderr once until
// a save of the same file works again.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class Store_Read {
  Missing,      // no such file
  Read,         // the whole file is in the bytes
  Unreadable,   // the entry is there but could not be opened or read, through its own fault
  Unavailable,  // the process could not open or read it now (out of file handles or memory,
                // interrupted, the file shrank while read): nothing is known to be wrong with it
};

// Reads a whole file through OpenStream, never waiting on a FIFO, a device or a folder. Without
// `reason` such an entry is named on stderr and reads as Unreadable, and a folder as Missing;
// with `reason` nothing is said, every entry that is there but cannot be read is Unreadable or
// Unavailable, and `reason` gets the system's words for it ("Permission denied", "it is a FIFO,
// not a regular file", "Too many open files").
Store_Read Read_Whole_File(const std::string& path, std::vector<uint8_t>& bytes, std::string* reason = nullptr);

// The outcome of reading a store file and its "_tmp" copy.
enum class Store_Load {
  Missing,   // neither the file nor its copy is there
  Accepted,  // one of them was accepted (a refused file was kept as a copy first)
  Damaged,   // what was there was refused; the store starts again from its defaults
  Unopened,  // what was there could not be opened; the store starts as if there were nothing
  Unkept,    // the file was refused and could not be kept (no copy of it could be made, or its
             // "_tmp" copy could not be read now): it stays as it is and the store starts new
             // for this session, never saved over it
};

// What one store remembers between its loads and saves (kept while the store is cleared), so
// that each trouble is said once and a file that could not be moved aside is never replaced.
struct Store_State {
  std::string left_alone;       // the file that could not be moved aside nor kept this load
  std::string said_left_alone;  // the file left alone whose trouble was already named on stderr
  std::string failing_save;     // the file whose last save failed and was named on stderr
};

// The parser gets the bytes of one file and answers whether it accepted them; when it refuses,
// it leaves its store empty and says why in a few words.
using Store_Parser = std::function<bool(const std::vector<uint8_t>& bytes, std::string& why)>;

// Removes the file's stale temporaries, then tries the file and (when it is missing, cannot be
// opened or is refused) its "_tmp" copy. A refused file is kept as a numbered ".bad" copy, an
// entry that is at fault is moved to the next free ".bad" name, and one line on stderr names
// it, says why and what happens instead: `started` tells of the fresh store ("a new forum was
// started"). An entry that stays where it is (it cannot be kept or moved, or the process could
// not read it or the "_tmp" copy now) is not written until a later load finds it fit, and its
// line is said once however often it loads. After Damaged, or after Accepted with a kept copy,
// the caller saves the store at once, so that the refused file is replaced and kept only once.
struct Store_Load_Result {
  Store_Load outcome = Store_Load::Missing;
  std::string kept_as;   // the copy of the refused file, empty when none was made
  std::string moved_to;  // where the entry that could not be opened went, empty when none was moved
  bool said = false;     // this load said a line on stderr (a trouble already named is not said again)
};
Store_Load_Result Load_Store_File(const std::string& path, const char* started, const Store_Parser& parse,
                                  Store_State& state);

// Writes the bytes over the file atomically; false (the old file unchanged) on any failure, and
// then one line on stderr names the file and the system's reason, unless the last save of the
// same file failed too. A file that its load could neither open nor move aside is not written
// (false, nothing said again). Stale temporaries of the file are removed first.
bool Save_Store_File(const std::string& path, const std::vector<uint8_t>& bytes, Store_State& state);

// For tests, which run as root where a file without read permission still opens, and cannot
// make the system run short on demand: from now on the entry now at `path` (that very file,
// wherever it is moved) fails to open for the stores, or to be read once opened, with the error
// number `error`; 0 forgets every entry given to either.
void Inject_Store_Open_Failure(const std::string& path, int error);
void Inject_Store_Read_Failure(const std::string& path, int error);
