#include "game/trainer/Store_File.h"

#include "platform/system/files.h"
#include "runtime/src/core/streams.h"

Store_Read Read_Whole_File(const std::string& path, std::vector<uint8_t>& bytes) {
  bytes.clear();
  CFileStream* stream = OpenStream(path.c_str(), "rb");
  if (stream == nullptr) return plat::File_Exists(path) ? Store_Read::Unreadable : Store_Read::Missing;
  uint32_t length = 0;
  bool ok = stream->GetLen(&length) && stream->SeekTo(0);
  if (ok) {
    bytes.resize(length);
    ok = length == 0 || stream->Read(bytes.data(), length) == length;
  }
  stream->Release();
  if (!ok) bytes.clear();
  return ok ? Store_Read::Read : Store_Read::Unreadable;
}

Store_Load Load_Store_File(const std::string& path,
                           const std::function<bool(const std::vector<uint8_t>&)>& parse) {
  std::vector<uint8_t> bytes;
  const Store_Read main = Read_Whole_File(path, bytes);
  if (main == Store_Read::Unreadable) return Store_Load::Unreadable;
  if (main == Store_Read::Read && parse(bytes)) return Store_Load::Accepted;
  const Store_Read copy = Read_Whole_File(path + "_tmp", bytes);
  if (copy == Store_Read::Read && parse(bytes)) return Store_Load::Accepted;
  if (main == Store_Read::Missing && copy == Store_Read::Missing) return Store_Load::Missing;
  return Store_Load::Rejected;
}

bool Save_Store_File(const std::string& path, const std::vector<uint8_t>& bytes) {
  return plat::Replace_File_Atomically(path, bytes.data(), bytes.size());
}
