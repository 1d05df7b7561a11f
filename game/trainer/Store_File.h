#pragma once
// Reading and writing the trainer's store files. A store is read whole through a stream; when
// its file is missing or its contents are refused, the copy with "_tmp" appended is read
// instead (an older program left it behind after a crash between writing and renaming). Stores
// are written whole with an atomic replace; the "_tmp" copy is never written.
//
// A file that was read and refused is kept byte for byte beside it ("<file>.bad", then
// "<file>.bad.1", ...) before anything may replace it, and stderr says so; a file that cannot
// be read at all is left alone.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class Store_Read {
  Missing,     // no such file
  Read,        // the whole file is in the bytes
  Unreadable,  // the file is there but could not be opened or read
};

// Reads a whole file through OpenStream.
Store_Read Read_Whole_File(const std::string& path, std::vector<uint8_t>& bytes);

// The outcome of reading a store file and its "_tmp" copy.
enum class Store_Load {
  Missing,     // neither the file nor its copy is there
  Accepted,    // one of them was accepted (a refused file was kept as a copy first)
  Damaged,     // what was there was refused; the store starts again from its defaults
  Unreadable,  // the file or its copy is there but could not be read; nothing was changed
  Unkept,      // the file was refused but no copy of it could be kept; nothing was changed
};

// The parser gets the bytes of one file and answers whether it accepted them; when it refuses,
// it leaves its store empty and says why in a few words.
using Store_Parser = std::function<bool(const std::vector<uint8_t>& bytes, std::string& why)>;

// Removes the file's stale temporaries, then tries the file and (when it is missing or refused)
// its "_tmp" copy. A refused file is kept as a numbered ".bad" copy, and one line on stderr
// names it, says why it was refused and what happens instead: `started` tells of the fresh
// store ("a new forum was started"). After Damaged, or after Accepted with a kept copy, the
// caller saves the store at once, so that the refused file is replaced and kept only once.
struct Store_Load_Result {
  Store_Load outcome = Store_Load::Missing;
  std::string kept_as;  // the copy of the refused file, empty when none was made
};
Store_Load_Result Load_Store_File(const std::string& path, const char* started, const Store_Parser& parse);

// Writes the bytes over the file atomically; false (the old file unchanged) on any failure.
// Stale temporaries of the file are removed first.
bool Save_Store_File(const std::string& path, const std::vector<uint8_t>& bytes);
