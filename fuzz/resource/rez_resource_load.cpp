// Loads resources from a damaged packed set: the first byte picks whether the input is the data
// after a fixed listing (raw and compressed records, one running past the end) or the whole
// packed file, listing and all. Every listed id is then asked for and opened as a raw file; a
// resource that loads must have been handed exactly its record's size, read in full.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/system/files.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "tools/writers/pack_writer.h"

namespace {

constexpr uint32_t kIds[] = {0x22000001, 0x22000002, 0x22000003, 0x22000004};

class Fuzz_Resource : public CRezResource {
 public:
  bool Load(CStream* stream, uint32_t* size) override {
    std::vector<uint8_t> bytes(*size);
    if (*size > 0 && stream->Read(bytes.data(), *size) != *size) return false;
    return true;
  }
  void Free() override {}
};

class Fuzz_Handler : public CRezTypeHandler {
 public:
  CRezResource* Create() override { return new Fuzz_Resource; }
  void Destroy(CRezResource* resource) override { delete resource; }
} g_Handler;

const std::string& Root() {
  static const std::string root = [] {
    char pattern[] = "/tmp/vt_fuzz_rez_XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) __builtin_trap();
    plat::Set_File_Sync(false);
    return std::string(made) + "/";
  }();
  return root;
}

// The listing of a packed set of four records, up to and with its terminating byte.
const std::vector<uint8_t>& Listing() {
  static const std::vector<uint8_t> listing = [] {
    std::vector<writers::PackRecord> records(4);
    for (size_t i = 0; i < records.size(); ++i) {
      records[i].id = kIds[i];
      records[i].type = 2;
      records[i].name = "data_" + std::to_string(i);
      records[i].data.assign(40 + 30 * i, static_cast<uint8_t>(i));
      records[i].compress = i % 2 == 1;
    }
    std::vector<writers::OutFile> files;
    if (!writers::BuildPackedSet(0, records, files) || files.empty()) __builtin_trap();
    std::vector<uint8_t> bytes = files[0].bytes;
    size_t end = 0;
    while (end < bytes.size() && bytes[end] != writers::kPackedMapTerminator) ++end;
    bytes.resize(end + 1);
    return bytes;
  }();
  return listing;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::vector<uint8_t> file;
  if (data[0] & 1) {
    file.assign(data + 1, data + size);
  } else {
    file = Listing();
    file.insert(file.end(), data + 1, data + size);
  }
  const std::string path = Root() + writers::PackedFileName(0);
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  // A fresh map for every input: the file's time may not move within the clock's step.
  unlink((Root() + "pack_map.map").c_str());
  CRezMgr manager;
  if (!manager.Init(Root().c_str())) return 0;
  manager.SetTypeHandler(2, &g_Handler);
  for (uint32_t id : kIds) {
    if (manager.Get_Resource(id, 2) != nullptr) manager.FreeResource(id);
    if (CFileStream* raw = manager.OpenRawFile(id)) manager.CloseRawFile(raw);
  }
  manager.Term();
  return 0;
}
