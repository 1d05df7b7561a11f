#include "game/trainer/Store_File.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/system/debug.h"
#include "platform/system/files.h"
#include "runtime/src/core/streams.h"

namespace {

// Where an injected failure strikes: at the open, or at the read once the entry is open.
enum class Injected_Step { Open, Read };

struct Injected_Entry {
  dev_t device;
  ino_t inode;
  Injected_Step step;
  int error;
};
std::vector<Injected_Entry> g_injected_entries;

// The error injected for the entry at the path at that step, 0 when none.
int Injected_Error(const std::string& path, Injected_Step step) {
  if (g_injected_entries.empty()) return 0;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return 0;
  for (const Injected_Entry& entry : g_injected_entries) {
    if (entry.device == info.st_dev && entry.inode == info.st_ino && entry.step == step) return entry.error;
  }
  return 0;
}

void Inject(const std::string& path, Injected_Step step, int error) {
  if (error == 0) {
    g_injected_entries.clear();
    return;
  }
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) g_injected_entries.push_back({info.st_dev, info.st_ino, step, error});
}

void Report(const std::string& text) { plat::Error_Output(text.c_str()); }

std::string Damaged(const std::string& path, const std::string& why) {
  return path + " was damaged (" + why + ")";
}

// A failure with an error number: Unreadable when it blames the entry, else Unavailable.
Store_Read Failure_Of(int error) {
  return plat::Is_Entry_Fault(error) ? Store_Read::Unreadable : Store_Read::Unavailable;
}

// Reads the open stream whole and releases it. A read that stops without an error number (the
// file got shorter while it was read) blames nobody: it reads as Unavailable.
Store_Read Read_Stream(CFileStream* stream, std::vector<uint8_t>& bytes, int injected, std::string& reason) {
  errno = 0;
  uint32_t length = 0;
  bool ok = injected == 0 && stream->GetLen(&length) && stream->SeekTo(0);
  if (ok) {
    try {
      bytes.resize(length);
      ok = length == 0 || stream->Read(bytes.data(), length) == length;
    } catch (const std::bad_alloc&) {
      ok = false;
      errno = ENOMEM;
    }
  }
  const int error = injected != 0 ? injected : errno;
  stream->Release();
  if (ok) return Store_Read::Read;
  bytes.clear();
  reason = "it could not be read to its end";
  if (error == 0) return Store_Read::Unavailable;
  reason += std::string(": ") + std::strerror(error);
  return Failure_Of(error);
}

}  // namespace

void Inject_Store_Open_Failure(const std::string& path, int error) { Inject(path, Injected_Step::Open, error); }

void Inject_Store_Read_Failure(const std::string& path, int error) { Inject(path, Injected_Step::Read, error); }

Store_Read Read_Whole_File(const std::string& path, std::vector<uint8_t>& bytes, std::string* reason) {
  bytes.clear();
  std::string unsaid;
  if (reason == nullptr) {
    CFileStream* stream = OpenStream(path.c_str(), "rb");
    if (stream == nullptr) return plat::File_Exists(path) ? Store_Read::Unreadable : Store_Read::Missing;
    return Read_Stream(stream, bytes, 0, unsaid);
  }
  if (const int error = Injected_Error(path, Injected_Step::Open); error != 0) {
    *reason = std::strerror(error);
    return Failure_Of(error);
  }
  plat::Open_Result opened = plat::Open_Result::Failed;
  CFileStream* stream = OpenStream(path.c_str(), "rb", &opened, reason);
  if (stream == nullptr) {
    if (opened == plat::Open_Result::Missing) return Store_Read::Missing;
    return opened == plat::Open_Result::Unavailable ? Store_Read::Unavailable : Store_Read::Unreadable;
  }
  return Read_Stream(stream, bytes, Injected_Error(path, Injected_Step::Read), *reason);
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
  if (copy.read == Store_Read::Unreadable || copy.read == Store_Read::Unavailable) {
    copy.said = copy.path + " could not be opened (" + reason + ")";
  } else if (copy.read == Store_Read::Read && !copy.accepted) {
    copy.said = Damaged(copy.path, why);
  }
  return copy;
}

// A copy that the process could not read now may hold the only good store: the file is not
// written this session, or the copy would never be read again.
bool Copy_Waits(const Copy_Read& copy) { return copy.read == Store_Read::Unavailable; }

// The outcome when neither the file nor its copy gave a store.
Store_Load Without_Store(const Copy_Read& copy) {
  return copy.read == Store_Read::Read ? Store_Load::Damaged : Store_Load::Unopened;
}

// Says the line on stderr. A file left where it is would be named at every load: its line is
// said once, until a load finds the file fit again.
void Say(const std::string& path, const std::string& line, Store_State& state, Store_Load_Result& result) {
  if (state.left_alone.empty()) {
    state.said_left_alone.clear();
  } else {
    if (state.said_left_alone == path) return;
    state.said_left_alone = path;
  }
  Report(line);
  result.said = true;
}

// No file: the copy, or a new store.
Store_Load_Result Load_Without_File(const std::string& path, const Copy_Read& copy, const char* started,
                                    Store_State& state) {
  Store_Load_Result result;
  if (copy.accepted || copy.read == Store_Read::Missing) {
    state.said_left_alone.clear();
    result.outcome = copy.accepted ? Store_Load::Accepted : Store_Load::Missing;
    return result;
  }
  std::string line = copy.said + "; it is left as it is and " + started;
  if (Copy_Waits(copy)) {
    state.left_alone = path;
    line += ", and " + path + " is not saved this session";
  }
  Say(path, line, state, result);
  result.outcome = Without_Store(copy);
  return result;
}

// An entry that cannot be opened or read. When the entry is at fault it goes out of the way,
// so that the store can be saved again without losing it, and the load goes on as if there
// were no file; where it cannot be moved, or when the process is at fault (out of file handles
// or memory, interrupted), it stays where it is and the store runs for this session without
// ever being saved over it.
Store_Load_Result Load_Unopened(const std::string& path, Store_Read read, const std::string& reason,
                                const char* started, const Store_Parser& parse, Store_State& state) {
  Store_Load_Result result;
  std::string line = path + " could not be opened (" + reason + ")";
  if (read == Store_Read::Unavailable) {
    state.left_alone = path;
  } else {
    std::string move_reason;
    result.moved_to = plat::Move_Aside(path, &move_reason);
    if (result.moved_to.empty()) {
      state.left_alone = path;
      line += " nor moved aside (" + move_reason + ")";
    } else {
      line += "; it was moved to " + result.moved_to;
    }
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
  if (!state.left_alone.empty()) {
    line += "; it is left where it is and nothing is saved over it this session";
  } else if (Copy_Waits(copy)) {
    state.left_alone = path;
    line += ", and " + path + " is not saved this session";
  }
  Say(path, line, state, result);
  return result;
}

// The file was read and refused: the next save would replace it, so it is kept first. Without
// a copy of it the file must not be replaced: the store runs for this session on the "_tmp"
// copy or a new store, and nothing is saved over the file, said once. So too while the "_tmp"
// copy cannot be read now: both stay for a later load.
Store_Load_Result Load_Refused(const std::string& path, const std::vector<uint8_t>& bytes, const std::string& why,
                               const Copy_Read& copy, const char* started, Store_State& state) {
  Store_Load_Result result;
  if (Copy_Waits(copy)) {
    state.left_alone = path;
    Say(path,
        Damaged(path, why) + "; " + copy.said + "; both are left where they are, " + started +
            " and nothing is saved over them this session",
        state, result);
    result.outcome = Store_Load::Unkept;
    return result;
  }
  result.kept_as = plat::Keep_Damaged_Copy(path, bytes.data(), bytes.size());
  if (result.kept_as.empty()) {
    state.left_alone = path;
    std::string line = Damaged(path, why) + " but no copy of it could be kept beside it; it is left where it is, ";
    line += copy.accepted ? copy.path + " was read instead" : std::string(started);
    line += " and nothing is saved over it this session";
    Say(path, line, state, result);
    result.outcome = copy.accepted ? Store_Load::Accepted : Store_Load::Unkept;
    return result;
  }
  const std::string instead = copy.accepted ? copy.path + " was read instead" : std::string(started);
  Say(path, Damaged(path, why) + "; it is kept as " + result.kept_as + " and " + instead, state, result);
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
  if (main == Store_Read::Unreadable || main == Store_Read::Unavailable) {
    return Load_Unopened(path, main, reason, started, parse, state);
  }
  std::string why;
  if (main == Store_Read::Read && parse(bytes, why)) {
    state.said_left_alone.clear();
    Store_Load_Result result;
    result.outcome = Store_Load::Accepted;
    return result;
  }
  const Copy_Read copy = Read_Copy(path, parse);
  if (main == Store_Read::Missing) return Load_Without_File(path, copy, started, state);
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
