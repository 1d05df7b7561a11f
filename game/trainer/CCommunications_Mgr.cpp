#include "game/trainer/CCommunications_Mgr.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "game/core/WinMain.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/trainer/Record_Bytes.h"
#include "game/trainer/Store_File.h"
#include "platform/system/clock.h"
#include "platform/system/random.h"

CCommunications_Mgr g_Communications_Mgr;

namespace {

constexpr char kMaster_File[] = "chat/master_com.dat";
constexpr uint32_t kMaster_Magic[3] = {1, 13, 17};
constexpr uint32_t kAuthor_File_Version = 1;
constexpr char kForum_Failure[] = "Error (CCommunications_Mgr): Couldn't load forum file.";
constexpr char kRank_Failure[] = "Error (CCommunications_Mgr): Couldn't load ranks.";

// The sixteen authors; 3 to 16 are the simulated correspondents.
constexpr const char* kPersona_Names[17] = {
    "Unknown",  "Administrator", "AutoNotify", "Corvane", "Mirelle", "Tobrin", "Ysolde",  "Kastor", "Lunara",
    "Brevik",   "Solenne",       "Dravenko",   "Quillon", "Hesper",  "Orlaith", "Varnik", "Zephyra",
};

uint32_t Author_Of(uint32_t id) { return id >> 24; }

void Copy_Field(char* field, size_t size, const std::string& text) { std::snprintf(field, size, "%s", text.c_str()); }

}  // namespace

const char* Get_Persona_Name(uint32_t author_id) {
  static char buffer[16];
  const char* name = author_id >= 1 && author_id <= 16 ? kPersona_Names[author_id] : kPersona_Names[0];
  std::snprintf(buffer, sizeof buffer, "%s", name);
  return buffer;
}

const char* CCommunications_Mgr::Get_Date_Stamp() {
  static char buffer[32];
  const plat::Local_Time t = plat::Get_Local_Time(plat::Get_Calendar_Time());
  std::snprintf(buffer, sizeof buffer, "%d/%d/%d %d:%.2d:%.2d", t.month, t.day, t.year, t.hour, t.minute, t.second);
  return buffer;
}

void CCommunications_Mgr::Free_Master_Data() {
  std::memset(m_Kind_Table, 0, sizeof m_Kind_Table);
  m_Record_Count = 0;
  m_Records.clear();
}

bool CCommunications_Mgr::Parse_Master_Bytes(const std::vector<uint8_t>& bytes) {
  Free_Master_Data();
  Byte_Reader r(bytes);
  for (uint32_t expected : kMaster_Magic) {
    uint32_t value = 0;
    if (!r.Read_U32(value) || value != expected) return false;
  }
  uint32_t table[kComm_Kinds][2] = {};
  for (auto& pair : table) {
    if (!r.Read_U32(pair[0]) || !r.Read_U32(pair[1])) return false;
  }
  uint32_t count = 0;
  if (!r.Read_U32(count) || count > kMax_Records || r.Remaining() < size_t{count} * sizeof(Master_Record)) return false;
  for (const auto& pair : table) {
    if (uint64_t{pair[0]} + pair[1] > count) return false;
  }
  std::vector<Master_Record> records(count);
  for (Master_Record& record : records) {
    r.Read_U32(record.Id);
    r.Read_U32(record.Unused);
    r.Read_U32(record.Key);
    r.Read_F32(record.Weight);
    r.Read_U32(record.Offset);
    if (!std::isfinite(record.Weight)) record.Weight = 0;
  }
  std::memcpy(m_Kind_Table, table, sizeof table);
  m_Record_Count = count;
  m_Records = std::move(records);
  return true;
}

bool CCommunications_Mgr::Load_Master_Data() {
  std::vector<uint8_t> bytes;
  if (Read_Whole_File(kMaster_File, bytes) != Store_Read::Read) {
    Free_Master_Data();
    return false;
  }
  return Parse_Master_Bytes(bytes);
}

void CCommunications_Mgr::Fail_Init(const char* message) {
  Show_Message("%s", message);
  // Nothing has changed since the stores were read: they are dropped without writing.
  m_Forum_Data.Clear();
  m_Client_Data.Clear();
  m_Rank_Data.Clear();
  Free_Master_Data();
  m_Running = false;
}

bool CCommunications_Mgr::Init() {
  if (!Load_Master_Data()) {
    Fail_Init("Error (CCommunications_Mgr): Couldn't load master com data.");
    return false;
  }
  // A damaged forum or score file is kept aside and replaced by a new store as it loads (the
  // forum's load may load the score tables first); its message shows at this start only. One
  // that cannot be kept stays as it is and is found again at each later start of the manager:
  // its message shows once, as its line on stderr is said once.
  const uint32_t forum_damage = m_Forum_Data.m_Damaged_Loads;
  const uint32_t rank_damage = m_Rank_Data.m_Damaged_Loads;
  if (!m_Forum_Data.Load()) {
    Fail_Init(kForum_Failure);
    return false;
  }
  if (m_Forum_Data.m_Damaged_Loads != forum_damage) Show_Message("%s", kForum_Failure);
  // The account a login has just read is this session's. Read again, its file could answer
  // otherwise (the process out of file handles at one read and not at the other), and the
  // session would run and save another account than the one the console showed and stderr told.
  if (!m_Client_Data.Holds(nullptr) && !m_Client_Data.Load(nullptr)) {
    Fail_Init("Error (CCommunications_Mgr): Couldn't load settings.");
    return false;
  }
  if (!m_Rank_Data.Load()) {
    Fail_Init(kRank_Failure);
    return false;
  }
  if (m_Rank_Data.m_Damaged_Loads != rank_damage) Show_Message("%s", kRank_Failure);
  m_Running = true;
  std::vector<Queued_Posting> queue;
  queue.swap(m_Queue);
  for (const Queued_Posting& posting : queue) Post_Message(posting.kind, posting.key, posting.author_filter);
  return true;
}

void CCommunications_Mgr::Term() {
  if (m_Forum_Data.m_Loaded) m_Forum_Data.Save();
  if (m_Client_Data.m_Loaded) m_Client_Data.Save();
  if (m_Rank_Data.m_Loaded) m_Rank_Data.Save();
  m_Forum_Data.Clear();
  m_Client_Data.Clear();
  m_Rank_Data.Clear();
  Free_Master_Data();
  m_Running = false;
}

const Master_Record* CCommunications_Mgr::Pick_Record(uint32_t kind, uint32_t key, float weight_total,
                                                      uint32_t author_filter, bool allow_repeat) {
  if (m_Records.empty() || kind >= kComm_Kinds) return nullptr;
  const uint32_t first = m_Kind_Table[kind][0];
  const uint32_t end = first + m_Kind_Table[kind][1];
  auto eligible = [&](const Master_Record& record) {
    return record.Key == key && (author_filter == 0 || author_filter == Author_Of(record.Id)) &&
           (allow_repeat || !m_Forum_Data.Is_Delivered(record));
  };
  if (weight_total == 0) {
    for (uint32_t i = first; i < end; ++i) {
      if (eligible(m_Records[i]) && m_Records[i].Weight > 0) weight_total += m_Records[i].Weight;
    }
  }
  float d = static_cast<float>(plat::Random()) / 32768.0f * weight_total;
  for (uint32_t i = first; i < end; ++i) {
    const Master_Record& record = m_Records[i];
    if (!eligible(record) || record.Weight <= 0) continue;
    if (d - record.Weight > 0) {
      d -= record.Weight;
      continue;
    }
    return &record;
  }
  return nullptr;
}

bool CCommunications_Mgr::Read_Communication(const Master_Record& record, Communication_Header& header,
                                             std::string& text, const std::string& folder) {
  const std::string path = folder + "/com_" + Get_Persona_Name(Author_Of(record.Id)) + ".act";
  std::vector<uint8_t> bytes;
  if (Read_Whole_File(path, bytes) != Store_Read::Read) return false;
  Byte_Reader r(bytes);
  uint32_t version = 0, unused = 0, length = 0;
  if (!r.Read_U32(version) || version != kAuthor_File_Version) return false;
  const bool ok = r.Seek(record.Offset) && r.Read_U32(unused) && r.Read_U32(header.Flags) && r.Read_U32(unused) &&
                  r.Read_F32(header.Delay) && r.Seek(record.Offset + size_t{32}) && r.Read_Text(header.Subject) &&
                  r.Seek(record.Offset + size_t{kHeader_Bytes}) && r.Read_U32(length) && length <= kMax_Text &&
                  r.Read_String(text, length);
  if (!std::isfinite(header.Delay)) header.Delay = 0;
  return ok;
}

void CCommunications_Mgr::Post_Message(uint32_t kind, uint32_t key, uint32_t author_filter) {
  if (!m_Running) {
    m_Queue.push_back({kind, key, author_filter});
    return;
  }
  if (kind == 1) return;
  if (kind == kComm_Story) key = ++m_Client_Data.m_Story_Counter;
  const bool absolute = kind == kComm_User_Place || kind == kComm_Correspondent_Place;
  const uint32_t filter = kind == kComm_Correspondent_Place ? author_filter : 0;
  const Master_Record* record = Pick_Record(kind, key, absolute ? 1.0f : 0.0f, filter, false);
  if (record == nullptr && kind == kComm_Promotion) record = Pick_Record(kind, 0, 0.0f, filter, false);
  if (record == nullptr) return;

  Communication_Header header;
  std::string text;
  if (!Read_Communication(*record, header, text)) return;

  Forum_Message message;
  Message_Record& out = message.Record;
  out.Id = record->Id;
  out.Type = header.Flags == 2 ? kMessage_Private : header.Flags == 4 ? kMessage_Repeatable : kMessage_Public;
  Copy_Field(out.Author, sizeof out.Author, Get_Persona_Name(Author_Of(record->Id)));
  Copy_Field(out.Recipient, sizeof out.Recipient, Current_User_Name());
  Copy_Field(out.Date, sizeof out.Date, Get_Date_Stamp());
  std::string subject = header.Subject;
  Expand_Text(text);
  Expand_Text(subject);
  Copy_Field(out.Subject, sizeof out.Subject, subject);
  message.Text = std::move(text);
  m_Forum_Data.Post(std::move(message), header.Delay, false);
}

void CCommunications_Mgr::Expand_Text(std::string& text) const {
  size_t pos = 0;
  while ((pos = text.find('%', pos)) != std::string::npos) {
    if (pos + 1 >= text.size()) break;
    std::string value;
    switch (text[pos + 1]) {
      case 'g': value = Get_Last_Score_Game_Name(); break;
      case 's': value = Format_Number_Grouped(Get_Last_Score()); break;
      case 'u': value = Current_User_Name(); break;
      default: ++pos; continue;
    }
    text.replace(pos, 2, value);
    // Scanning goes on after the inserted value, so a value holding "%u" does not expand again.
    pos += value.size();
  }
}

void CCommunications_Mgr::Update(float step) { m_Forum_Data.Update(step); }
