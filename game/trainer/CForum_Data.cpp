#include "game/trainer/CForum_Data.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <strings.h>

#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/Record_Bytes.h"
#include "game/trainer/Store_File.h"
#include "platform/system/clock.h"
#include "platform/system/random.h"

namespace {

constexpr char kFile_Name[] = "forumfile.dat";
constexpr float kDelay_Per_Step = 0.003f;

uint32_t Author_Of(uint32_t id) { return id >> 24; }

void Write_Record(Byte_Writer& w, const Message_Record& record) {
  w.Write_U32(record.Id);
  w.Write_U16(record.Type);
  w.Write_Bytes(&record.Flags, 1);
  w.Write_Bytes(&record.Unused, 1);
  w.Write_Text(record.Author);
  w.Write_Text(record.Recipient);
  w.Write_Text(record.Subject);
  w.Write_Text(record.Date);
}

bool Read_Record(Byte_Reader& r, Message_Record& record) {
  return r.Read_U32(record.Id) && r.Read_U16(record.Type) && r.Read_Bytes(&record.Flags, 1) &&
         r.Read_Bytes(&record.Unused, 1) && r.Read_Text(record.Author) && r.Read_Text(record.Recipient) &&
         r.Read_Text(record.Subject) && r.Read_Text(record.Date);
}

// A text length and its text; a length above the limit is a refusal with that reason.
bool Read_Text_Body(Byte_Reader& r, std::string& text, std::string& why) {
  uint32_t length = 0;
  if (!r.Read_U32(length)) return false;
  if (length > CForum_Data::kMax_Text) {
    why = "a text of " + std::to_string(length) + " characters";
    return false;
  }
  return r.Read_String(text, length);
}

// A count that a file may hold; a larger one is a refusal with that reason.
bool Read_Count(Byte_Reader& r, uint32_t& count, const char* what, std::string& why) {
  if (!r.Read_U32(count)) return false;
  if (count <= CForum_Data::kMax_Count) return true;
  why = std::to_string(count) + " " + what;
  return false;
}

bool Is_Unread_Private(const Forum_Message& message) {
  return message.Record.Type == kMessage_Private && (message.Record.Flags & 1) == 0;
}

void Set_Date_Stamp(Message_Record& record) {
  std::snprintf(record.Date, sizeof record.Date, "%s", CCommunications_Mgr::Get_Date_Stamp());
}

}  // namespace

void Clear_Message_Record(Message_Record& record) {
  record.Id = 0;
  record.Type = 0;
  record.Flags = 0;
  record.Author[0] = record.Recipient[0] = record.Subject[0] = record.Date[0] = 0;
}

void CForum_Data::Clear() {
  m_Posted.clear();
  m_Pending.clear();
  m_Delivered.clear();
  m_Message_Counter = 0;
  m_Loaded = false;
}

void CForum_Data::Trim() {
  size_t read_count = std::count_if(m_Posted.begin(), m_Posted.end(),
                                    [](const Forum_Message& m) { return !Is_Unread_Private(m); });
  for (auto it = m_Posted.begin(); read_count > kKept_Read && it != m_Posted.end();) {
    if (Is_Unread_Private(*it)) {
      ++it;
      continue;
    }
    it = m_Posted.erase(it);
    --read_count;
  }
  if (m_Posted.size() > kMax_Count) m_Posted.erase(m_Posted.begin(), m_Posted.end() - kMax_Count);
  if (m_Pending.size() > kMax_Pending_Kept) m_Pending.clear();
  while (m_Delivered.size() > kMax_Count) m_Delivered.erase(m_Delivered.begin());
}

std::vector<uint8_t> CForum_Data::Build_File_Bytes(uint32_t saved_time) const {
  Byte_Writer w;
  w.Write_U32(kVersion);
  w.Write_U32(saved_time);
  w.Write_U32(m_Message_Counter);
  w.Write_U32(static_cast<uint32_t>(m_Posted.size()));
  w.Write_U32(static_cast<uint32_t>(m_Pending.size()));
  for (const Forum_Message& message : m_Posted) {
    Write_Record(w, message.Record);
    w.Write_U32(static_cast<uint32_t>(message.Text.size()));
    w.Write_String(message.Text);
  }
  for (const Pending_Message& message : m_Pending) {
    Write_Record(w, message.Record);
    w.Write_F32(message.Delay);
    w.Write_U32(static_cast<uint32_t>(message.Text.size()));
    w.Write_String(message.Text);
  }
  w.Write_U32(static_cast<uint32_t>(m_Delivered.size()));
  for (uint32_t id : m_Delivered) w.Write_U32(id);
  return w.Bytes();
}

bool CForum_Data::Parse_File_Bytes(const std::vector<uint8_t>& bytes, uint32_t& saved_time, std::string* why) {
  Clear();
  Byte_Reader r(bytes);
  std::string refusal;
  uint32_t version = 0, posted = 0, pending = 0, delivered = 0;
  bool ok = r.Read_U32(version);
  if (ok && version != kVersion) {
    refusal = "its version is " + std::to_string(version);
    ok = false;
  }
  ok = ok && r.Read_U32(saved_time) && r.Read_U32(m_Message_Counter) &&
       Read_Count(r, posted, "posted messages", refusal) && Read_Count(r, pending, "pending messages", refusal);
  for (uint32_t i = 0; ok && i < posted; ++i) {
    Forum_Message message;
    ok = Read_Record(r, message.Record) && Read_Text_Body(r, message.Text, refusal);
    if (ok) m_Posted.push_back(std::move(message));
  }
  for (uint32_t i = 0; ok && i < pending; ++i) {
    Pending_Message message;
    ok = Read_Record(r, message.Record) && r.Read_F32(message.Delay) && Read_Text_Body(r, message.Text, refusal);
    if (!std::isfinite(message.Delay)) message.Delay = 0;
    if (ok) m_Pending.push_back(std::move(message));
  }
  ok = ok && Read_Count(r, delivered, "delivered ids", refusal);
  for (uint32_t i = 0; ok && i < delivered; ++i) {
    uint32_t id = 0;
    ok = r.Read_U32(id);
    m_Delivered.insert(id);
  }
  if (ok) return true;
  Clear();
  if (why != nullptr) *why = refusal.empty() ? "it ends early" : refusal;
  return false;
}

bool CForum_Data::Load() {
  Clear();
  uint32_t saved_time = 0;
  const auto parse = [&](const std::vector<uint8_t>& bytes, std::string& why) {
    return Parse_File_Bytes(bytes, saved_time, &why);
  };
  const Store_Load_Result result = Load_Store_File(kFile_Name, "a new forum was started", parse, m_Store_State);
  // A file left as it is is named at the first load that finds it: it counts once.
  if (result.said &&
      (result.outcome == Store_Load::Damaged || result.outcome == Store_Load::Unkept || !result.kept_as.empty()))
    ++m_Damaged_Loads;
  if (result.outcome != Store_Load::Accepted) {
    // No file, one that could not be opened, or a refused one: an empty forum, saved at once
    // over what was refused.
    Clear();
    m_Loaded = true;
    if (result.outcome == Store_Load::Damaged) Save();
    return true;
  }
  m_Loaded = true;
  int64_t elapsed = plat::Get_Calendar_Time() - static_cast<int64_t>(saved_time);
  if (elapsed < 0) elapsed = 60;
  const float minutes = static_cast<float>(elapsed) / 60.0f;
  const float delay_drop = std::min(static_cast<float>(std::min<int64_t>(elapsed, 1000) / 60), 16.0f);
  for (Pending_Message& message : m_Pending) message.Delay -= delay_drop;
  if (!result.kept_as.empty()) Save();  // the forum of the "_tmp" copy replaces the refused file
  g_Communications_Mgr.m_Rank_Data.Advance_Competitors(minutes);
  if (minutes >= 360.0f && static_cast<float>(plat::Random()) / 32768.0f < 0.25f)
    g_Communications_Mgr.Post_Message(kComm_Absence, 0, 0);
  return true;
}

bool CForum_Data::Save() {
  if (!m_Loaded) return false;
  Trim();
  return Save_Store_File(kFile_Name, Build_File_Bytes(static_cast<uint32_t>(plat::Get_Calendar_Time())),
                         m_Store_State);
}

void CForum_Data::Ask_For_Reaction(uint32_t author, uint32_t original_id) {
  // Reactions to private or repeatable messages are not stopped by the delivered set, so
  // cyclic data would react for ever: chains end at a fixed depth.
  if (m_Reaction_Depth >= kMax_Reaction_Depth) return;
  ++m_Reaction_Depth;
  if (author == 0)
    g_Communications_Mgr.Post_Message(kComm_User_Post, g_Communications_Mgr.m_Client_Data.m_Forum_Posts, 0);
  else
    g_Communications_Mgr.Post_Message(kComm_Reaction, original_id, 0);
  --m_Reaction_Depth;
}

bool CForum_Data::Post(Forum_Message message, float delay, bool redelivery) {
  if (!m_Loaded) return false;
  if (message.Text.size() > kMax_Text) message.Text.resize(kMax_Text);
  Message_Record& record = message.Record;
  const uint32_t author = Author_Of(record.Id);
  const uint32_t original_id = record.Id;
  const bool renumbered = author == 0 || record.Type == kMessage_Private || record.Type == kMessage_Repeatable;
  if (renumbered && !redelivery) record.Id = ++m_Message_Counter;
  const bool public_from_author = author != 0 && record.Type == kMessage_Public;
  if (!std::isfinite(delay)) delay = 0;
  if (delay > 0) {
    Pending_Message pending;
    pending.Record = record;
    pending.Text = std::move(message.Text);
    pending.Delay = delay < 2 ? delay : delay * (1.0f + static_cast<float>(plat::Random()) / 32768.0f);
    // A delay near the float limit must not grow into infinity, which a file cannot keep.
    if (!std::isfinite(pending.Delay)) pending.Delay = std::numeric_limits<float>::max();
    m_Pending.push_back(std::move(pending));
  } else {
    m_Posted.push_back(std::move(message));
    Ask_For_Reaction(author, original_id);
  }
  if (public_from_author && !redelivery) m_Delivered.insert(original_id);
  Save();
  return true;
}

void CForum_Data::Update(float step) {
  if (!m_Loaded) return;  // what is due could not be posted
  std::vector<Pending_Message> due;
  for (auto it = m_Pending.begin(); it != m_Pending.end();) {
    it->Delay -= step * kDelay_Per_Step;
    if (it->Delay <= 0) {
      due.push_back(std::move(*it));
      it = m_Pending.erase(it);
    } else {
      ++it;
    }
  }
  for (Pending_Message& pending : due) {
    Forum_Message message;
    message.Record = pending.Record;
    message.Text = std::move(pending.Text);
    Set_Date_Stamp(message.Record);
    Post(std::move(message), 0, true);
  }
}

bool CForum_Data::Has_Message(uint32_t id) const { return Find_Message(id) != nullptr; }

Message_Record* CForum_Data::Find_Message(uint32_t id) {
  for (Forum_Message& message : m_Posted) {
    if (message.Record.Id == id) return &message.Record;
  }
  return nullptr;
}

const Message_Record* CForum_Data::Find_Message(uint32_t id) const {
  return const_cast<CForum_Data*>(this)->Find_Message(id);
}

const std::string* CForum_Data::Get_Text(uint32_t id) const {
  for (const Forum_Message& message : m_Posted) {
    if (message.Record.Id == id) return &message.Text;
  }
  return nullptr;
}

uint32_t CForum_Data::Get_Id_At(size_t index) const {
  return index < m_Posted.size() ? m_Posted[index].Record.Id : 0;
}

Forum_Row CForum_Data::Get_Row(size_t index) const {
  Forum_Row row;
  if (index >= m_Posted.size()) return row;
  const Message_Record& record = m_Posted[index].Record;
  row.Author = record.Author;
  row.Subject = record.Subject;
  if (record.Type == kMessage_Private) row.Subject += " (Private Msg)";
  row.Date = record.Date;
  return row;
}

bool CForum_Data::Is_Private(uint32_t id) const {
  const Message_Record* record = Find_Message(id);
  return record != nullptr && record->Type == kMessage_Private;
}

void CForum_Data::Set_Read(uint32_t id) {
  Message_Record* record = Find_Message(id);
  if (record != nullptr) record->Flags |= 1;
}

bool CForum_Data::Has_Unread_Private(const CClient_Data& account) const {
  const std::string user = Current_User_Name();
  for (const Forum_Message& message : m_Posted) {
    if (message.Record.Type != kMessage_Private) continue;
    if (strcasecmp(message.Record.Recipient, user.c_str()) != 0) continue;
    if (account.m_Read_Set.count(message.Record.Id) == 0) return true;
  }
  return false;
}

bool CForum_Data::Is_Delivered(const Master_Record& record) const { return m_Delivered.count(record.Id) != 0; }
