#include "runtime/src/libksresource/rez_map_builder.h"

#include <sys/stat.h>

#include <cstdio>
#include <map>

#include "platform/system/files.h"
#include "runtime/src/libksresource/rez_map_format.h"
#include "runtime/src/libksresource/rez_pack_map.h"
#include "runtime/src/libksresource/rez_report.h"

std::string Rez_Packed_File_Name(const std::string& root, int set) {
  return root + "packed_rezmap_" + std::to_string(set) + ".pck";
}

std::string Rez_Text_Map_File_Name(const std::string& root, int set) {
  return root + "rezmap_" + std::to_string(set) + ".ksa";
}

bool Rez_Read_File(const std::string& path, std::vector<uint8_t>& bytes, std::string* reason) {
  bytes.clear();
  FILE* file = nullptr;
  if (plat::Open_Regular_File(path, "rb", &file, reason) != plat::Open_Result::Opened) return false;
  uint8_t buffer[65536];
  size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + count);
  bool ok = !std::ferror(file);
  std::fclose(file);
  if (!ok && reason) *reason = "a read failed";
  return ok;
}

namespace {

bool Fail(std::string* why, const std::string& reason) {
  if (why) *why = reason;
  return false;
}

// The modification time of a regular file; false when there is none (a missing entry, or a
// FIFO, device or folder in its place, which is never read as a source).
bool Regular_File_Time(const std::string& path, int64_t* time) {
  return plat::File_Exists(path) && plat::Get_Modification_Time(path, time);
}

// A source that exists and is newer than the map makes the map stale.
bool Newer_Than(const std::string& source, int64_t map_time) {
  int64_t source_time = 0;
  return Regular_File_Time(source, &source_time) && source_time > map_time;
}

// A record that cannot be what a build wrote: no file, no bytes, or bytes past its file's end.
bool Records_Plausible(const std::string& root, const RezMapData& data, std::string* why) {
  std::map<std::string, int64_t> file_lengths;  // -1 for a file that is not there
  for (const RezRecord& record : data.records) {
    char id[16];
    std::snprintf(id, sizeof id, "%x", record.id);
    if (record.components[0] == 0) return Fail(why, std::string("record ") + id + " names no file");
    if (record.size == 0) return Fail(why, std::string("record ") + id + " has size 0");
    const std::string file = Rez_Record_File_Name(root, data, record);
    auto known = file_lengths.find(file);
    if (known == file_lengths.end()) {
      struct stat info {};
      const bool regular = stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode);
      known = file_lengths.emplace(file, regular ? int64_t{info.st_size} : -1).first;
    }
    if (known->second < 0) continue;  // a file that cannot be read is reported when it is loaded
    const uint64_t end = uint64_t{record.offset} + (record.size == kRezSizeToEnd ? 0 : record.size);
    if (end > static_cast<uint64_t>(known->second)) {
      return Fail(why, std::string("record ") + id + " lies past the end of " + file);
    }
  }
  return true;
}

// Which of the set's two listings is read: the packed file when it is a regular file not older
// than the text map (or there is no text map), else the text map.
struct Listing_Choice {
  std::string packed;
  std::string text;
  bool any = false;         // either is a regular file
  bool use_packed = false;  // the packed file is the one read

  const std::string& Source() const { return use_packed ? packed : text; }
};

Listing_Choice Choose_Listing(const std::string& root, int set) {
  Listing_Choice choice;
  choice.packed = Rez_Packed_File_Name(root, set);
  choice.text = Rez_Text_Map_File_Name(root, set);
  int64_t packed_time = 0;
  int64_t text_time = 0;
  const bool has_packed = Regular_File_Time(choice.packed, &packed_time);
  const bool has_text = Regular_File_Time(choice.text, &text_time);
  choice.any = has_packed || has_text;
  choice.use_packed = has_packed && (!has_text || packed_time >= text_time);
  return choice;
}

// Whether a record's path names the packed file being read: the file the manager would open for
// it (the root and the components joined) has the packed file's name, or is that very file under
// another name (a link). Each other name is looked up once.
class Names_Packed_File {
 public:
  Names_Packed_File(std::string root, std::string packed, FILE* opened)
      : m_Root(std::move(root)), m_Packed(std::move(packed)) {
    struct stat info {};
    m_Known = fstat(fileno(opened), &info) == 0;
    m_Device = info.st_dev;
    m_Inode = info.st_ino;
  }

  bool operator()(const std::vector<std::string>& components) {
    std::string name = m_Root;
    for (size_t i = 0; i < components.size(); ++i) name += (i > 0 ? "/" : "") + components[i];
    if (name == m_Packed) return true;
    auto known = m_Others.find(name);
    if (known == m_Others.end()) known = m_Others.emplace(name, Same_File(name)).first;
    return known->second;
  }

 private:
  bool Same_File(const std::string& name) const {
    struct stat info {};
    return m_Known && stat(name.c_str(), &info) == 0 && info.st_dev == m_Device && info.st_ino == m_Inode;
  }

  std::string m_Root;
  std::string m_Packed;
  bool m_Known = false;
  dev_t m_Device = 0;
  ino_t m_Inode = 0;
  std::map<std::string, bool> m_Others;
};

// Parses the set's listing (Choose_Listing). Entries of either name that are not regular files
// are never opened for reading; they are listed in `ignored`.
bool Read_Listing(const std::string& root, int set, RezTextMap& map, RezListingState& state, std::string& error,
                  std::vector<std::string>* ignored) {
  const Listing_Choice choice = Choose_Listing(root, set);
  const std::vector<std::string> unusable = Rez_Unusable_Sources(root, set);
  if (ignored) *ignored = unusable;
  if (!choice.any) {
    error = unusable.empty() ? "no source " + choice.packed : "no source: " + unusable.front();
    return false;
  }
  state.source = choice.Source();
  FILE* source = nullptr;
  std::string reason;
  if (plat::Open_Regular_File(state.source, "rb", &source, &reason) != plat::Open_Result::Opened) {
    error = state.source + " was not opened: " + reason;
    return false;
  }
  RezByteSource bytes(source);
  if (choice.use_packed) {
    Parse_Rez_Text_Map(bytes, true, map, Names_Packed_File(root, state.source, source));
  } else {
    Parse_Rez_Text_Map(bytes, false, map);
  }
  std::fclose(source);
  state.complete = map.complete;
  state.damage = map.damage;
  state.records = map.records.size();
  state.left_out = map.left_out.size();
  return true;
}

// The records a listing gave that the map leaves out: the first is said, the others (one line
// each) only in the details, with one line that counts them when others are kept (else the
// line that names the listing as giving nothing counts them).
void Report_Left_Out(const std::string& source, const std::vector<RezLeftOut>& left_out, bool others_kept) {
  for (size_t i = 0; i < left_out.size(); ++i) {
    if (i == 0) {
      REZ_ERROR("Build_Pack_Map: %s: %s", source.c_str(), left_out[i].words.c_str());
    } else {
      REZ_DETAIL("Build_Pack_Map: %s: %s", source.c_str(), left_out[i].words.c_str());
    }
  }
  if (left_out.size() > 1 && others_kept) {
    REZ_ERROR("Build_Pack_Map: %s: %zu records are left out in all (each is named under VORTHANE_DEBUG=1).\n",
              source.c_str(), left_out.size());
  }
}

}  // namespace

std::string Rez_Listing_Source(const std::string& root, int set) { return Choose_Listing(root, set).Source(); }

std::vector<std::string> Rez_Unusable_Sources(const std::string& root, int set) {
  std::vector<std::string> found;
  for (const std::string& name : {Rez_Packed_File_Name(root, set), Rez_Text_Map_File_Name(root, set)}) {
    int64_t time = 0;
    if (!plat::Get_Modification_Time(name, &time) || plat::File_Exists(name)) continue;
    // Opening is the way to learn what the entry is; it never waits and is closed at once.
    FILE* file = nullptr;
    std::string reason;
    if (plat::Open_Regular_File(name, "rb", &file, &reason) == plat::Open_Result::Opened) {
      std::fclose(file);
      continue;
    }
    found.push_back(name + " was not opened: " + reason);
  }
  return found;
}

bool Rez_Map_Is_Current(const std::string& root, int set, const std::string& map_path, std::string* why) {
  int64_t map_time = 0;
  if (!plat::Get_Modification_Time(map_path, &map_time)) return Fail(why, "missing");
  if (Newer_Than(Rez_Text_Map_File_Name(root, set), map_time) ||
      Newer_Than(Rez_Packed_File_Name(root, set), map_time)) {
    return Fail(why, "older than its sources");
  }
  std::vector<uint8_t> bytes;
  std::string reason;
  if (!Rez_Read_File(map_path, bytes, &reason)) return Fail(why, "cannot be read: " + reason);
  RezMapData data;
  std::string error;
  if (!Parse_Rez_Map(bytes.data(), bytes.size(), data, error)) return Fail(why, error);
  return Records_Plausible(root, data, why);
}

bool Rez_Read_Listing(const std::string& root, int set, RezTextMap& map, RezListingState& state) {
  std::string error;
  return Read_Listing(root, set, map, state, error, nullptr);
}

bool Rez_Build_Map_Data(const std::string& root, int set, RezMapData& data, std::string& error,
                        RezListingState* listing, bool report) {
  RezTextMap text_map;
  RezListingState state;
  std::vector<std::string> ignored;
  if (!Read_Listing(root, set, text_map, state, error, &ignored)) return false;
  for (const std::string& line : report ? ignored : std::vector<std::string>{}) {
    REZ_ERROR("Build_Pack_Map: %s; it is not used.\n", line.c_str());
  }
  if (report) Report_Left_Out(state.source, text_map.left_out, !text_map.records.empty());
  if (listing) *listing = state;
  if (Build_Rez_Map_Data(text_map, data, error)) return true;
  // What the map cannot hold is the listing's doing: it is named.
  error = state.source + " " + error;
  return false;
}

bool Rez_Build_Map(const std::string& root, int set, const std::string& map_path, std::string& error,
                   RezListingState* listing, bool* unchanged) {
  if (unchanged) *unchanged = false;
  RezMapData data;
  if (!Rez_Build_Map_Data(root, set, data, error, listing)) return false;
  std::vector<uint8_t> out = Serialize_Rez_Map(data);
  if (unchanged) {
    std::vector<uint8_t> old;
    *unchanged = Rez_Read_File(map_path, old) && old == out;
  }
  if (!plat::Replace_File_Atomically(map_path, out.data(), out.size())) {
    error = "cannot write " + map_path;
    return false;
  }
  return true;
}
