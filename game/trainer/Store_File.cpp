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

namespace {

// What a load found of the store's "_tmp" copy.
struct Copy_Read {
  std::string path;
  Store_Read read = Store_Read::Missing;
  bool accepted = false;
  std::string said;  // what became of it when it was there but not read; it is never written
};

Copy_Read Read_Copy(const std::string& path, const Store_Parser& parse) {
  Copy_Read copy;
  copy.path = path + "_tmp";
  std::vector<uint8_t> bytes;
  std::string reason;
  copy.read = Read_Whole_File(copy.path, bytes, &reason);
  std::string why;
  copy.accepted = copy.read == Store_Read::Read && parse(bytes, why);
  if (copy.read == Store_Read::Unreadable) {
    copy.said = copy.path + " could not be opened (" + reason + ")";
  } else if (copy.read == Store_Read::Read && !copy.accepted) {
    copy.said = Damaged(copy.path, why);
  }
  return copy;
}

// The outcome when neither the file nor its copy gave a store.
Store_Load Without_Store(const Copy_Read& copy) {
  return copy.read == Store_Read::Unreadable ? Store_Load::Unopened : Store_Load::Damaged;
}

// No file: the copy, or a new store.
Store_Load_Result Load_Without_File(const Copy_Read& copy, const char* started, Store_State& state) {
  state.said_left_alone.clear();
  Store_Load_Result result;
  if (copy.accepted) {
    result.outcome = Store_Load::Accepted;
  } else if (copy.read == Store_Read::Missing) {
    result.outcome = Store_Load::Missing;
  } else {
    Report(copy.said + "; it is left as it is and " + started);
    result.outcome = Without_Store(copy);
  }
  return result;
}

// An entry that cannot be opened goes out of the way, so that the store can be saved again
// without losing it; then the load goes on as if there were no file. Where it cannot be moved,
// the store runs for this session and is never saved over it, said once.
Store_Load_Result Load_Unopened(const std::string& path, const std::string& reason, const char* started,
                                const Store_Parser& parse, Store_State& state) {
  Store_Load_Result result;
  std::string move_reason;
  result.moved_to = plat::Move_Aside(path, &move_reason);
  std::string line = path + " could not be opened (" + reason + ")";
  if (result.moved_to.empty()) {
    state.left_alone = path;
    line += " nor moved aside (" + move_reason + ")";
  } else {
    line += "; it was moved to " + result.moved_to;
  }
  const Copy_Read copy = Read_Copy(path, parse);
  if (copy.accepted) {
    line += " and " + copy.path + " was read instead";
    result.outcome = Store_Load::Accepted;
  } else if (copy.said.empty()) {
    line += std::string(" and ") + started;
    result.outcome = Store_Load::Unopened;
  } else {
    line += "; " + copy.said + " and is left as it is, and " + started;
    result.outcome = Without_Store(copy);
  }
  if (!state.left_alone.empty()) line += "; it is left where it is and nothing is saved over it this session";
  // An entry that stays where it is would be named at every load: it is named once.
  if (state.left_alone.empty() || state.said_left_alone != path) Report(line);
  state.said_left_alone = state.left_alone;
  return result;
}

// The file was read and refused: the next save would replace it, so it is kept first. Without
// a copy of it the file must not be replaced: the store runs for this session on the "_tmp"
// copy or a new store, and nothing is saved over the file, said once.
Store_Load_Result Load_Refused(const std::string& path, const std::vector<uint8_t>& bytes, const std::string& why,
                               const Copy_Read& copy, const char* started, Store_State& state) {
  Store_Load_Result result;
  result.kept_as = plat::Keep_Damaged_Copy(path, bytes.data(), bytes.size());
  if (result.kept_as.empty()) {
    state.left_alone = path;
    std::string line = Damaged(path, why) + " but no copy of it could be kept beside it; it is left where it is, ";
    line += copy.accepted ? copy.path + " was read instead" : std::string(started);
    line += " and nothing is saved over it this session";
    if (state.said_left_alone != path) Report(line);
    state.said_left_alone = path;
    result.outcome = copy.accepted ? Store_Load::Accepted : Store_Load::Unkept;
    return result;
  }
  state.said_left_alone.clear();
  const std::string instead = copy.accepted ? copy.path + " was read instead" : std::string(started);
  Report(Damaged(path, why) + "; it is kept as " + result.kept_as + " and " + instead);
  result.outcome = copy.accepted ? Store_Load::Accepted : Store_Load::Damaged;
  return result;
}

}  // namespace

Store_Load_Result Load_Store_File(const std::string& path, const char* started, const Store_Parser& parse,
                                  Store_State& state) {
  plat::Remove_Temporary_Files(path);
  state.left_alone.clear();
  std::vector<uint8_t> bytes;
  std::string reason;
  const Store_Read main = Read_Whole_File(path, bytes, &reason);
  if (main == Store_Read::Unreadable) return Load_Unopened(path, reason, started, parse, state);
  std::string why;
  if (main == Store_Read::Read && parse(bytes, why)) {
    state.said_left_alone.clear();
    Store_Load_Result result;
    result.outcome = Store_Load::Accepted;
    return result;
  }
  const Copy_Read copy = Read_Copy(path, parse);
  if (main == Store_Read::Missing) return Load_Without_File(copy, started, state);
  return Load_Refused(path, bytes, why, copy, started, state);
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
