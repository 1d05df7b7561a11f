// vt_record_reader FILE...: prints the trainer's record files as text. The kind is taken from
// the file name: "client_*.dat" (an account), "rdata.dat" (score tables), "forumfile.dat"
// (the forum), "master_com.dat" (the communications master list) and "com_*.act" (an
// author's communications, read through the master list in the same folder).
#include <cstdio>
#include <string>
#include <vector>

#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/Store_File.h"

namespace {

std::string Base_Name(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Folder_Of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool Starts_With(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }
bool Ends_With(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void Print_Set(const char* label, const std::set<uint32_t>& ids) {
  std::printf("%s (%zu):", label, ids.size());
  for (uint32_t id : ids) std::printf(" %08x", id);
  std::printf("\n");
}

bool Print_Account(const std::vector<uint8_t>& bytes) {
  CClient_Data account;
  if (!account.Parse_File_Bytes(bytes)) return false;
  std::printf("account\n  header:");
  for (uint32_t word : account.m_Header) std::printf(" %u", word);
  std::printf("\n  access level %u, credits %u, story %u, runs %u, pacing %u\n", account.m_Access_Level,
              account.m_Credits, account.m_Story_Counter, account.m_Runs_Finished, account.m_Pacing);
  std::printf("  missions flown %u, won %u, last results", account.m_Missions_Flown, account.m_Missions_Won);
  for (uint8_t r : account.m_Results) std::printf(" %u", r);
  std::printf("\n  forum posts %u, flags %08x\n", account.m_Forum_Posts, account.m_Flags);
  std::printf("  gun %u (owned %08x) levels", account.m_Current_Gun, account.m_Owned_Guns);
  for (uint8_t l : account.m_Gun_Levels) std::printf(" %u", l);
  std::printf("\n  attachment %u (owned %08x) levels", account.m_Current_Attachment, account.m_Owned_Attachments);
  for (uint8_t l : account.m_Attachment_Levels) std::printf(" %u", l);
  std::printf("\n  ");
  Print_Set("read", account.m_Read_Set);
  std::printf("  ");
  Print_Set("deleted", account.m_Deleted_Set);
  return true;
}

bool Print_Scores(const std::vector<uint8_t>& bytes) {
  CRank_Data ranks;
  if (!ranks.Parse_File_Bytes(bytes)) return false;
  std::printf("score tables (%zu)\n", ranks.m_Tables.size());
  for (const Rank_Table& table : ranks.m_Tables) {
    std::printf("  table %s\n", table.Key);
    for (int i = 0; i < Rank_Table::kEntries; ++i) {
      const Rank_Entry& entry = table.Entries[i];
      if (entry.Name[0] != 0) std::printf("    %2d. %-23s %u\n", i + 1, entry.Name, entry.Score);
    }
  }
  return true;
}

void Print_Record(const Message_Record& r) {
  std::printf("    id %08x type %u flags %u from \"%s\" to \"%s\" on \"%s\"\n    subject \"%s\"\n", r.Id, r.Type, r.Flags,
              r.Author, r.Recipient, r.Date, r.Subject);
}

bool Print_Forum(const std::vector<uint8_t>& bytes) {
  CForum_Data forum;
  uint32_t saved = 0;
  if (!forum.Parse_File_Bytes(bytes, saved)) return false;
  std::printf("forum, saved at %u, counter %u\n  posted (%zu):\n", saved, forum.m_Message_Counter, forum.m_Posted.size());
  for (const Forum_Message& m : forum.m_Posted) {
    Print_Record(m.Record);
    std::printf("    text \"%s\"\n", m.Text.c_str());
  }
  std::printf("  pending (%zu):\n", forum.m_Pending.size());
  for (const Pending_Message& m : forum.m_Pending) {
    Print_Record(m.Record);
    std::printf("    delay %.2f min, text \"%s\"\n", m.Delay, m.Text.c_str());
  }
  std::printf("  ");
  Print_Set("delivered", forum.m_Delivered);
  return true;
}

bool Print_Master(const std::vector<uint8_t>& bytes, CCommunications_Mgr& mgr) {
  if (!mgr.Parse_Master_Bytes(bytes)) return false;
  std::printf("master list (%u records)\n", mgr.m_Record_Count);
  for (uint32_t kind = 0; kind < kComm_Kinds; ++kind) {
    std::printf("  kind %u: first %u, count %u\n", kind, mgr.m_Kind_Table[kind][0], mgr.m_Kind_Table[kind][1]);
    for (uint32_t i = 0; i < mgr.m_Kind_Table[kind][1]; ++i) {
      const Master_Record& r = mgr.m_Records[mgr.m_Kind_Table[kind][0] + i];
      std::printf("    id %08x (%s) key %u weight %.3f offset %u\n", r.Id, Get_Persona_Name(r.Id >> 24), r.Key, r.Weight,
                  r.Offset);
    }
  }
  return true;
}

bool Print_Author_File(const std::string& path, const std::string& name) {
  std::vector<uint8_t> master;
  if (Read_Whole_File(Folder_Of(path) + "/master_com.dat", master) != Store_Read::Read) {
    std::fprintf(stderr, "%s: no master_com.dat beside it\n", path.c_str());
    return false;
  }
  CCommunications_Mgr mgr;
  if (!mgr.Parse_Master_Bytes(master)) return false;
  std::printf("communications of %s\n", name.c_str());
  for (const Master_Record& r : mgr.m_Records) {
    if (Get_Persona_Name(r.Id >> 24) != name) continue;
    Communication_Header header;
    std::string text;
    if (!CCommunications_Mgr::Read_Communication(r, header, text, Folder_Of(path))) {
      std::printf("  %08x: unreadable at offset %u\n", r.Id, r.Offset);
      continue;
    }
    std::printf("  %08x key %u flags %u delay %.1f\n    subject \"%s\"\n    text \"%s\"\n", r.Id, r.Key, header.Flags,
                header.Delay, header.Subject, text.c_str());
  }
  return true;
}

bool Print_File(const std::string& path) {
  const std::string name = Base_Name(path);
  std::vector<uint8_t> bytes;
  if (Read_Whole_File(path, bytes) != Store_Read::Read) {
    std::fprintf(stderr, "%s: cannot read\n", path.c_str());
    return false;
  }
  std::printf("== %s\n", path.c_str());
  bool ok = false;
  if (Starts_With(name, "client_")) {
    ok = Print_Account(bytes);
  } else if (Starts_With(name, "rdata.dat")) {
    ok = Print_Scores(bytes);
  } else if (Starts_With(name, "forumfile.dat")) {
    ok = Print_Forum(bytes);
  } else if (name == "master_com.dat") {
    CCommunications_Mgr mgr;
    ok = Print_Master(bytes, mgr);
  } else if (Starts_With(name, "com_") && Ends_With(name, ".act")) {
    ok = Print_Author_File(path, name.substr(4, name.size() - 8));
  } else {
    std::fprintf(stderr, "%s: not a record file\n", path.c_str());
    return false;
  }
  if (!ok) std::fprintf(stderr, "%s: malformed\n", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vt_record_reader FILE...\n");
    return 2;
  }
  int failures = 0;
  for (int i = 1; i < argc; ++i) failures += Print_File(argv[i]) ? 0 : 1;
  return failures == 0 ? 0 : 1;
}
