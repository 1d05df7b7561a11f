#include "game/trainer/Store_File.h"

#include "platform/system/debug.h"
#include "platform/system/files.h"
#include "runtime/src/core/streams.h"

namespace {

void Report(const std::string& text) { plat::Error_Output(text.c_str()); }

std::string Damaged(const std::string& path, const std::string& why) {
  return path + " was damaged (" + why + ")";
}

}  // namespace

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

Store_Load_Result Load_Store_File(const std::string& path, const char* started, const Store_Parser& parse) {
  plat::Remove_Temporary_Files(path);
  Store_Load_Result result;
  std::vector<uint8_t> main_bytes;
  std::string main_why;
  const Store_Read main = Read_Whole_File(path, main_bytes);
  if (main == Store_Read::Unreadable) {
    result.outcome = Store_Load::Unreadable;
    return result;
  }
  if (main == Store_Read::Read && parse(main_bytes, main_why)) {
    result.outcome = Store_Load::Accepted;
    return result;
  }
  const std::string copy_path = path + "_tmp";
  std::vector<uint8_t> copy_bytes;
  std::string copy_why;
  const Store_Read copy = Read_Whole_File(copy_path, copy_bytes);
  if (copy == Store_Read::Unreadable) {
    result.outcome = Store_Load::Unreadable;
    return result;
  }
  const bool copy_accepted = copy == Store_Read::Read && parse(copy_bytes, copy_why);
  if (main == Store_Read::Missing) {
    if (copy_accepted) {
      result.outcome = Store_Load::Accepted;
    } else if (copy == Store_Read::Missing) {
      result.outcome = Store_Load::Missing;
    } else {
      // The copy is never written, so it stays as it is without being kept again.
      Report(Damaged(copy_path, copy_why) + "; it is left as it is and " + started);
      result.outcome = Store_Load::Damaged;
    }
    return result;
  }
  // The file was read and refused: the next save would replace it, so it is kept first.
  result.kept_as = plat::Keep_Damaged_Copy(path, main_bytes.data(), main_bytes.size());
  if (result.kept_as.empty()) {
    Report(Damaged(path, main_why) + " but no copy of it could be kept beside it; it is left as it is");
    result.outcome = Store_Load::Unkept;
  } else if (copy_accepted) {
    Report(Damaged(path, main_why) + "; it is kept as " + result.kept_as + " and " + copy_path + " was read instead");
    result.outcome = Store_Load::Accepted;
  } else {
    Report(Damaged(path, main_why) + "; it is kept as " + result.kept_as + " and " + started);
    result.outcome = Store_Load::Damaged;
  }
  return result;
}

bool Save_Store_File(const std::string& path, const std::vector<uint8_t>& bytes) {
  plat::Remove_Temporary_Files(path);
  return plat::Replace_File_Atomically(path, bytes.data(), bytes.size());
}
