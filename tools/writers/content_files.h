#pragma once
// Small file helpers for the content tools: read a whole file, write one only when its bytes
// change (so that rebuilt content keeps its modification times), create folders.
#include <cstdint>
#include <string>
#include <vector>

namespace writers {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);

// Writes the bytes to path through a temporary file in the same folder, renamed over the old
// file. Leaves an existing file with the same bytes untouched. Creates missing folders.
bool WriteFileIfChanged(const std::string& path, const std::vector<uint8_t>& bytes);

// Writes unconditionally (same temporary-file-and-rename path as above).
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Creates a folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

// "a/b" joined with "c" gives "a/b/c"; an empty base gives the name alone.
std::string JoinPath(const std::string& base, const std::string& name);

}  // namespace writers
