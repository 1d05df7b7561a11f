#pragma once
// The content manifest: every file of the sample content, as a list of entries that families
// of generators add to.
//
// Adding a family: write tools/content/family_<name>.cpp with one function
//     void Add_<Name>_Family(content::Manifest& manifest);
// that adds its entries, and list that function in kFamilies in manifest.cpp (a one-line
// edit plus its declaration there). Nothing else needs to change.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace content {

using Bytes = std::vector<uint8_t>;

// Produces an entry's bytes; false fails the build. Must give the same bytes on every run.
using Generator = std::function<bool(Bytes& out)>;

// A resource stored in a pack set and requested by id.
struct ResourceEntry {
  uint32_t id = 0;
  uint8_t type = 0;       // 1 render style, 2 texture data, 3 sound, 4 renderable, 0 raw file
  std::string name;       // relative "/"-separated name, e.g. "sounds/shot.wav"
  Generator generate;
  // Raw resources that the game opens as files (worlds, track files, music) stay uncompressed.
  bool compress = false;
  int set = 0;            // pack set number; sets are numbered from 0 without gaps
};

// A file the game opens by name, outside the pack sets (e.g. "kestrone.gam").
struct PlainFileEntry {
  std::string path;       // relative to the content folder
  Generator generate;
};

class Manifest {
 public:
  void AddResource(ResourceEntry entry) { m_Resources.push_back(std::move(entry)); }
  void AddPlainFile(PlainFileEntry entry) { m_PlainFiles.push_back(std::move(entry)); }

  const std::vector<ResourceEntry>& Resources() const { return m_Resources; }
  const std::vector<PlainFileEntry>& PlainFiles() const { return m_PlainFiles; }

 private:
  std::vector<ResourceEntry> m_Resources;
  std::vector<PlainFileEntry> m_PlainFiles;
};

// Fills the manifest from every family, in a fixed order.
void Build_Manifest(Manifest& manifest);

}  // namespace content
