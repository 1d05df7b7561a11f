#pragma once
// Reading and writing the trainer's store files. A store is read whole through a stream; when
// its file is missing or its contents are rejected, the copy with "_tmp" appended is read
// instead (an older program left it behind after a crash between writing and renaming). Stores
// are written whole with an atomic replace; the "_tmp" copy is never written.
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
  Accepted,    // one of them was accepted by the parser
  Rejected,    // what was there did not parse
  Unreadable,  // the main file is there but could not be read
};

// Tries the file, then (when the file is missing or rejected) its "_tmp" copy. The parser gets
// the bytes of one file and answers whether it accepted them; it must leave its store empty
// when it refuses.
Store_Load Load_Store_File(const std::string& path, const std::function<bool(const std::vector<uint8_t>&)>& parse);

// Writes the bytes over the file atomically; false (the old file unchanged) on any failure.
bool Save_Store_File(const std::string& path, const std::vector<uint8_t>& bytes);
