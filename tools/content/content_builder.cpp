#include "tools/content/content_builder.h"

#include <cstdio>
#include <map>
#include <set>

#include "tools/writers/content_files.h"
#include "tools/writers/pack_writer.h"

namespace content {

namespace {

constexpr size_t kMaxComponents = 10;
constexpr size_t kMaxComponentLength = 63;

// Splits a relative name at "/"; false for names the pack map cannot hold or the text map
// cannot quote.
bool Name_Fits(const std::string& name, size_t max_components) {
  if (name.empty() || name.find_first_of("\"\\\r\n") != std::string::npos) return false;
  size_t count = 0;
  size_t start = 0;
  while (true) {
    size_t slash = name.find('/', start);
    std::string part = name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (part.empty() || part == "." || part == ".." || part.size() > kMaxComponentLength) return false;
    if (++count > max_components) return false;
    if (slash == std::string::npos) return true;
    start = slash + 1;
  }
}

bool Check_Resources(const Manifest& manifest, int& set_count, std::string& error) {
  std::set<std::pair<int, uint32_t>> ids;
  std::set<std::pair<int, std::string>> names;
  set_count = 1;
  for (const ResourceEntry& entry : manifest.Resources()) {
    char id_text[16];
    std::snprintf(id_text, sizeof id_text, "%08x", entry.id);
    if (entry.set < 0 || entry.set > 99) {
      error = std::string("resource ") + id_text + ": bad set number";
      return false;
    }
    // One component is taken by the loose folder of the text-map form.
    if (!Name_Fits(entry.name, kMaxComponents - 1)) {
      error = std::string("resource ") + id_text + ": unusable name \"" + entry.name + "\"";
      return false;
    }
    if (!entry.generate) {
      error = std::string("resource ") + id_text + ": no generator";
      return false;
    }
    if (!ids.insert({entry.set, entry.id}).second) {
      error = std::string("resource ") + id_text + ": id listed twice in one set";
      return false;
    }
    if (!names.insert({entry.set, entry.name}).second) {
      error = "name \"" + entry.name + "\" listed twice in one set";
      return false;
    }
    if (entry.set + 1 > set_count) set_count = entry.set + 1;
  }
  return true;
}

bool Check_Plain_Files(const Manifest& manifest, std::string& error) {
  std::set<std::string> paths;
  for (const PlainFileEntry& entry : manifest.PlainFiles()) {
    if (!Name_Fits(entry.path, 32) || !entry.generate || !paths.insert(entry.path).second) {
      error = "plain file \"" + entry.path + "\": unusable path, no generator or listed twice";
      return false;
    }
  }
  return true;
}

bool Generate_Set(const Manifest& manifest, int set, std::vector<writers::PackRecord>& records,
                  std::string& error) {
  for (const ResourceEntry& entry : manifest.Resources()) {
    if (entry.set != set) continue;
    writers::PackRecord record;
    record.id = entry.id;
    record.type = entry.type;
    record.name = entry.name;
    record.compress = entry.compress;
    if (!entry.generate(record.data)) {
      error = "generator of \"" + entry.name + "\" failed";
      return false;
    }
    records.push_back(std::move(record));
  }
  return true;
}

bool Write_Files(const std::string& out_dir, const std::vector<writers::OutFile>& files,
                 std::string& error) {
  for (const writers::OutFile& file : files) {
    std::string path = writers::JoinPath(out_dir, file.path);
    if (!writers::WriteFileIfChanged(path, file.bytes)) {
      error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

}  // namespace

std::string Loose_Folder(int set) { return "rez_" + std::to_string(set); }

bool Write_Content(const Manifest& manifest, const std::string& out_dir, std::string& error) {
  int set_count = 1;
  if (!Check_Resources(manifest, set_count, error) || !Check_Plain_Files(manifest, error)) {
    return false;
  }
  if (!writers::MakeFolders(out_dir)) {
    error = "cannot create " + out_dir;
    return false;
  }
  for (int set = 0; set < set_count; ++set) {
    std::vector<writers::PackRecord> records;
    std::vector<writers::OutFile> files;
    if (!Generate_Set(manifest, set, records, error)) return false;
    if (!writers::BuildTextSet(set, records, Loose_Folder(set), files) ||
        !writers::BuildPackedSet(set, records, files)) {
      error = "cannot build pack set " + std::to_string(set);
      return false;
    }
    if (!Write_Files(out_dir, files, error)) return false;
  }
  for (const PlainFileEntry& entry : manifest.PlainFiles()) {
    writers::OutFile file{entry.path, {}};
    if (!entry.generate(file.bytes)) {
      error = "generator of \"" + entry.path + "\" failed";
      return false;
    }
    if (!Write_Files(out_dir, {file}, error)) return false;
  }
  return true;
}

}  // namespace content
