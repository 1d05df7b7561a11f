#pragma once
// File helpers: finding files by a '*' and '?' pattern, modification times, and replacing a
// file's contents atomically (a temporary file in the same folder, written, synced and renamed
// over the old file, then the folder synced), so a failed write leaves the old file untouched.
#include <cstddef>
#include <cstdint>
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

// Replaces the file's contents atomically; false (with the old file untouched and no
// temporary file left behind) when any step fails.
bool Replace_File_Atomically(const std::string& path, const void* data, size_t size);
bool Replace_File_Atomically(const std::string& path, std::string_view contents);

// Steps of an atomic replace at which tests can inject a failure.
enum class Replace_Step { None, Create, Write, Sync, Rename };
// Makes the next atomic replace fail at the given step (None clears it).
void Inject_Replace_Failure(Replace_Step step);

}  // namespace plat
