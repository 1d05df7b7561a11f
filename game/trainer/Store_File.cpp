#include "game/trainer/Store_File.h"

#include <sys/stat.h>

#include <cstring>

#include "platform/system/debug.h"
#include "platform/system/files.h"
#include "runtime/src/core/streams.h"

namespace {

struct Injected_Entry {
  dev_t device;
  ino_t inode;
  int error;
};
std::vector<Injected_Entry> g_injected_entries;

// The error injected for the entry at the path, 0 when none.
int Injected_Error(const std::string& path) {
  if (g_injected_entries.empty()) return 0;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return 0;
  for (const Injected_Entry& entry : g_injected_entries) {
    if (entry.device == info.st_dev && entry.inode == info.st_ino) return entry.error;
  }
  return 0;
}

void Report(const std::string& text) { plat::Error_Output(text.c_str()); }

std::string Damaged(const std::string& path, const std::string& why) {
  return path + " was damaged (" + why + ")";
}

Store_Read Read_Stream(CFileStream* stream, std::vector<uint8_t>& bytes) {
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

}  // namespace

void Inject_Store_Open_Failure(const std::string& path, int error) {
  if (error == 0) {
    g_injected_entries.clear();
    return;
  }
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) g_injected_entries.push_back({info.st_dev, info.st_ino, error});
}

Store_Read Read_Whole_File(const std::string& path, std::vector<uint8_t>& bytes, std::string* reason) {
  bytes.clear();
  if (reason == nullptr) {
    CFileStream* stream = OpenStream(path.c_str(), "rb");
    if (stream == nullptr) return plat::File_Exists(path) ? Store_Read::Unreadable : Store_Read::Missing;
    return Read_Stream(stream, bytes);
  }
  if (const int error = Injected_Error(path); error != 0) {
    *reason = std::strerror(error);
    return Store_Read::Unreadable;
  }
  plat::Open_Result opened = plat::Open_Result::Failed;
  CFileStream* stream = OpenStream(path.c_str(), "rb", &opened, reason);
  if (stream == nullptr) return opened == plat::Open_Result::Missing ? Store_Read::Missing : Store_Read::Unreadable;
  const Store_Read read = Read_Stream(stream, bytes);
  if (read != Store_Read::Read) *reason = "it could not be read to its end";
  return read;
}

Store_Load_Result Load_Store_File(const std::string& path, const char* started, const Store_Parser& parse,
                                  Store_State& state) {
  plat::Remove_Temporary_Files(path);
  state.left_alone.clear();
  Store_Load_Result result;
  std::vector<uint8_t> main_bytes;
  std::string main_why;
  std::string main_reason;
  const Store_Read main = Read_Whole_File(path, main_bytes, &main_reason);
  // An entry that cannot be opened goes out of the way, so that the store can be saved again
  // without losing it; then the load goes on as if there were no file.
  std::string unopened;  // what happened to it, for the line on stderr
  if (main == Store_Read::Unreadable) {
    std::string move_reason;
    result.moved_to = plat::Move_Aside(path, &move_reason);
    unopened = path + " could not be opened (" + main_reason + ")";
    if (result.moved_to.empty()) {
      state.left_alone = path;
      unopened += " nor moved aside (" + move_reason + ")";
    } else {
      unopened += "; it was moved to " + result.moved_to;
    }
  }
  if (main == Store_Read::Read && parse(main_bytes, main_why)) {
    state.unopened_said.clear();
    result.outcome = Store_Load::Accepted;
    return result;
  }
  const std::string copy_path = path + "_tmp";
  std::vector<uint8_t> copy_bytes;
  std::string copy_why;
  std::string copy_reason;
  const Store_Read copy = Read_Whole_File(copy_path, copy_bytes, &copy_reason);
  const bool copy_accepted = copy == Store_Read::Read && parse(copy_bytes, copy_why);
  // What became of the copy when it was there but not read; it is never written, so it stays.
  std::string copy_said;
  if (copy == Store_Read::Unreadable) {
    copy_said = copy_path + " could not be opened (" + copy_reason + ")";
  } else if (copy == Store_Read::Read && !copy_accepted) {
    copy_said = Damaged(copy_path, copy_why);
  }
  if (main == Store_Read::Missing) {
    state.unopened_said.clear();
    if (copy_accepted) {
      result.outcome = Store_Load::Accepted;
    } else if (copy == Store_Read::Missing) {
      result.outcome = Store_Load::Missing;
    } else {
      Report(copy_said + "; it is left as it is and " + started);
      result.outcome = copy == Store_Read::Unreadable ? Store_Load::Unopened : Store_Load::Damaged;
    }
    return result;
  }
  if (main == Store_Read::Unreadable) {
    std::string line = unopened;
    if (copy_accepted) {
      line += " and " + copy_path + " was read instead";
      result.outcome = Store_Load::Accepted;
    } else if (copy_said.empty()) {
      line += std::string(" and ") + started;
      result.outcome = Store_Load::Unopened;
    } else {
      line += "; " + copy_said + " and is left as it is, and " + started;
      result.outcome = copy == Store_Read::Unreadable ? Store_Load::Unopened : Store_Load::Damaged;
    }
    if (!state.left_alone.empty()) line += "; it is left where it is and nothing is saved over it this session";
    // An entry that stays where it is would be named at every load: it is named once.
    if (state.left_alone.empty() || state.unopened_said != path) Report(line);
    state.unopened_said = state.left_alone;
    return result;
  }
  // The file was read and refused: the next save would replace it, so it is kept first.
  result.kept_as = plat::Keep_Damaged_Copy(path, main_bytes.data(), main_bytes.size());
  if (result.kept_as.empty()) {
    // Without a copy the file must not be replaced: the store runs for this session on the
    // "_tmp" copy or a new store, and nothing is saved over the file. Said once.
    state.left_alone = path;
    std::string line = Damaged(path, main_why) + " but no copy of it could be kept beside it; it is left where it is, ";
    line += copy_accepted ? copy_path + " was read instead" : std::string(started);
    line += " and nothing is saved over it this session";
    if (state.unopened_said != path) Report(line);
    state.unopened_said = path;
    result.outcome = copy_accepted ? Store_Load::Accepted : Store_Load::Unkept;
    return result;
  }
  state.unopened_said.clear();
  if (copy_accepted) {
    Report(Damaged(path, main_why) + "; it is kept as " + result.kept_as + " and " + copy_path + " was read instead");
    result.outcome = Store_Load::Accepted;
  } else {
    Report(Damaged(path, main_why) + "; it is kept as " + result.kept_as + " and " + started);
    result.outcome = Store_Load::Damaged;
  }
  return result;
}

bool Save_Store_File(const std::string& path, const std::vector<uint8_t>& bytes, Store_State& state) {
  if (!state.left_alone.empty() && state.left_alone == path) return false;
  plat::Remove_Temporary_Files(path);
  std::string reason;
  if (plat::Replace_File_Atomically(path, bytes.data(), bytes.size(), &reason)) {
    if (state.failing_save == path) state.failing_save.clear();
    return true;
  }
  if (state.failing_save != path) {
    state.failing_save = path;
    Report(path + " could not be saved (" + reason + "); " +
           (plat::File_Exists(path) ? "it keeps what was saved before" : "nothing was written"));
  }
  return false;
}
