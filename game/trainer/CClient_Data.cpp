#include "game/trainer/CClient_Data.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CForum_Data.h"
#include "game/trainer/Record_Bytes.h"
#include "game/trainer/Store_File.h"
#include "platform/system/debug.h"

namespace {

constexpr uint32_t kChecksum_Mask = 0x3c91a7e4;
constexpr uint32_t kDefault_Gun = 4;

// Keeps the highest ids of a set that is too large for a file.
void Cap_Set(std::set<uint32_t>& ids) {
  while (ids.size() > CClient_Data::kMax_Set_Size) ids.erase(ids.begin());
}

void Write_Set(Byte_Writer& out, const std::set<uint32_t>& ids) {
  for (uint32_t id : ids) out.Write_U32(id);
}

// Reads up to count ids; a file that ends early leaves the set partial.
void Read_Set(Byte_Reader& in, uint32_t count, std::set<uint32_t>& ids) {
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t id = 0;
    if (!in.Read_U32(id)) return;
    ids.insert(id);
  }
}

}  // namespace

std::string Current_User_Name() {
  const std::string& name = g_Menu_Mgr.m_Console.m_User_Name;
  return name.empty() ? std::string("default") : name;
}

const char* CClient_Data::Get_File_Name(const char* user_name) {
  static std::string buffer;
  std::string name = user_name != nullptr ? std::string(user_name) : g_Menu_Mgr.m_Console.m_User_Name;
  if (name.empty()) name = "default";
  // The name becomes part of a path: it must not lead out of the working folder.
  if (name.find_first_of("/\\") != std::string::npos || name.find("..") != std::string::npos) {
    buffer.clear();
    return buffer.c_str();
  }
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  buffer = "client_" + name + ".dat";
  return buffer.c_str();
}

uint32_t CClient_Data::Compute_Checksum(uint32_t access_level, uint32_t credits, uint32_t story_counter) {
  const uint32_t sum = access_level + credits + story_counter;
  return static_cast<uint32_t>(std::popcount(sum)) ^ kChecksum_Mask;
}

void CClient_Data::Reset_Record() {
  std::fill(std::begin(m_Header), std::end(m_Header), 0u);
  m_Header[kHeader_Version] = kVersion;
  m_Header[kHeader_Selected_Sim_Row] = 1;
  m_Access_Level = m_Credits = m_Story_Counter = m_Runs_Finished = m_Pacing = 0;
  m_Missions_Flown = m_Missions_Won = 0;
  std::fill(std::begin(m_Results), std::end(m_Results), kNo_Result);
  std::fill(std::begin(m_Reserved), std::end(m_Reserved), uint8_t{0});
  m_Forum_Posts = 0;
  m_Current_Gun = kDefault_Gun;
  m_Owned_Guns = 1u << kDefault_Gun;
  std::fill(std::begin(m_Gun_Levels), std::end(m_Gun_Levels), uint8_t{0});
  m_Current_Attachment = 0;
  m_Owned_Attachments = 0;
  std::fill(std::begin(m_Attachment_Levels), std::end(m_Attachment_Levels), uint8_t{0});
  m_Flags = 0;
  m_Checksum = 0;
  m_Read_Set.clear();
  m_Deleted_Set.clear();
}

void CClient_Data::Clear() {
  Reset_Record();
  m_Loaded = false;
}

bool CClient_Data::Holds(const char* user_name) const {
  return m_Loaded && m_File_Name == Get_File_Name(user_name);
}

void CClient_Data::Write_Data_Block(std::vector<uint8_t>& out) const {
  Byte_Writer w;
  for (uint32_t word : {m_Access_Level, m_Credits, m_Story_Counter, m_Runs_Finished, m_Pacing, m_Missions_Flown,
                        m_Missions_Won})
    w.Write_U32(word);
  w.Write_Bytes(m_Results, 5);
  w.Write_Bytes(m_Reserved, 3);
  for (uint32_t word : {m_Forum_Posts, m_Current_Gun, m_Owned_Guns}) w.Write_U32(word);
  w.Write_Bytes(m_Gun_Levels, kKind_Slots);
  w.Write_U32(m_Current_Attachment);
  w.Write_U32(m_Owned_Attachments);
  w.Write_Bytes(m_Attachment_Levels, kKind_Slots);
  w.Write_U32(m_Flags);
  w.Write_U32(m_Checksum);
  out.insert(out.end(), w.Bytes().begin(), w.Bytes().end());
}

bool CClient_Data::Read_Data_Block(const uint8_t* block) {
  Byte_Reader r(block, kData_Bytes);
  bool ok = true;
  for (uint32_t* word : {&m_Access_Level, &m_Credits, &m_Story_Counter, &m_Runs_Finished, &m_Pacing,
                         &m_Missions_Flown, &m_Missions_Won})
    ok = ok && r.Read_U32(*word);
  ok = ok && r.Read_Bytes(m_Results, 5) && r.Read_Bytes(m_Reserved, 3);
  for (uint32_t* word : {&m_Forum_Posts, &m_Current_Gun, &m_Owned_Guns}) ok = ok && r.Read_U32(*word);
  ok = ok && r.Read_Bytes(m_Gun_Levels, kKind_Slots) && r.Read_U32(m_Current_Attachment) &&
       r.Read_U32(m_Owned_Attachments) && r.Read_Bytes(m_Attachment_Levels, kKind_Slots) && r.Read_U32(m_Flags) &&
       r.Read_U32(m_Checksum);
  return ok;
}

std::vector<uint8_t> CClient_Data::Build_File_Bytes() {
  Cap_Set(m_Read_Set);
  Cap_Set(m_Deleted_Set);
  m_Header[kHeader_Version] = kVersion;
  m_Header[kHeader_Read_Count] = static_cast<uint32_t>(m_Read_Set.size());
  m_Header[kHeader_Deleted_Count] = static_cast<uint32_t>(m_Deleted_Set.size());
  m_Checksum = Compute_Checksum(m_Access_Level, m_Credits, m_Story_Counter);
  Byte_Writer w;
  for (uint32_t word : m_Header) w.Write_U32(word);
  std::vector<uint8_t> bytes = w.Bytes();
  Write_Data_Block(bytes);
  Byte_Writer sets;
  Write_Set(sets, m_Read_Set);
  Write_Set(sets, m_Deleted_Set);
  bytes.insert(bytes.end(), sets.Bytes().begin(), sets.Bytes().end());
  return bytes;
}

// Why the header and data block just read are refused; empty when they are accepted.
std::string CClient_Data::Refusal() const {
  if (m_Header[kHeader_Version] != kVersion) return "its version is " + std::to_string(m_Header[kHeader_Version]);
  for (int word : {kHeader_Read_Count, kHeader_Deleted_Count}) {
    if (m_Header[word] > kMax_Set_Size) return "a message set of " + std::to_string(m_Header[word]) + " ids";
  }
  if (m_Checksum != Compute_Checksum(m_Access_Level, m_Credits, m_Story_Counter)) return "its checksum does not match";
  return std::string();
}

bool CClient_Data::Parse_File_Bytes(const std::vector<uint8_t>& bytes, std::string* why) {
  Reset_Record();
  Byte_Reader r(bytes);
  uint32_t header[kHeader_Words] = {};
  uint8_t block[kData_Bytes];
  bool whole = true;
  for (uint32_t& word : header) whole = whole && r.Read_U32(word);
  whole = whole && r.Read_Bytes(block, kData_Bytes);
  if (!whole) {
    if (why != nullptr) *why = "it ends inside its header";
    return false;
  }
  std::copy(std::begin(header), std::end(header), m_Header);
  Read_Data_Block(block);
  const std::string refusal = Refusal();
  if (!refusal.empty()) {
    Reset_Record();
    if (why != nullptr) *why = refusal;
    return false;
  }
  Read_Set(r, m_Header[kHeader_Read_Count], m_Read_Set);
  Read_Set(r, m_Header[kHeader_Deleted_Count], m_Deleted_Set);
  return true;
}

bool CClient_Data::Load(const char* user_name) {
  Clear();
  m_File_Name = Get_File_Name(user_name);
  if (m_File_Name.empty()) {
    // A name that is no file name: a new account that is never written anywhere.
    const std::string name = user_name != nullptr ? std::string(user_name) : g_Menu_Mgr.m_Console.m_User_Name;
    plat::Error_Output(("the account name \"" + name +
                        "\" holds a path separator or \"..\"; a new account was started and is not saved")
                           .c_str());
    m_Loaded = true;
    return true;
  }
  const auto parse = [this](const std::vector<uint8_t>& bytes, std::string& why) {
    return Parse_File_Bytes(bytes, &why);
  };
  const Store_Load_Result result = Load_Store_File(m_File_Name, "a new account was started", parse, m_Store_State);
  switch (result.outcome) {
    case Store_Load::Unkept:
    case Store_Load::Missing:
    case Store_Load::Damaged:
    case Store_Load::Unopened:
      Reset_Record();
      break;
    case Store_Load::Accepted:
      break;
  }
  m_Loaded = true;
  // A refused file was kept as a copy: it is replaced now, so that it is kept only once.
  if (!result.kept_as.empty() || result.outcome == Store_Load::Damaged) Save();
  return true;
}

bool CClient_Data::Save() {
  if (!m_Loaded || m_File_Name.empty()) return false;
  return Save_Store_File(m_File_Name, Build_File_Bytes(), m_Store_State);
}

float CClient_Data::Get_Success_Rate(float& weight) const {
  int walked = 0, won = 0;
  for (uint8_t result : m_Results) {
    if (result == kNo_Result) break;
    ++walked;
    if (result != 0) ++won;
  }
  weight = static_cast<float>(walked) * 0.2f;
  if (walked == 0) return 0.0f;
  return static_cast<float>(won) / std::max(static_cast<float>(walked), 0.01f);
}

void CClient_Data::Push_Mission_Result(bool won) {
  for (int i = 4; i > 0; --i) m_Results[i] = m_Results[i - 1];
  m_Results[0] = won ? 1 : 0;
}

bool CClient_Data::Mark_Read(uint32_t id, CForum_Data& forum) {
  m_Read_Set.insert(id);
  const Message_Record* record = forum.Find_Message(id);
  if (record != nullptr && record->Type == kMessage_Private) forum.Set_Read(id);
  return true;
}

bool CClient_Data::Mark_Deleted(uint32_t id) {
  m_Deleted_Set.insert(id);
  return true;
}

void CClient_Data::Prune_Message_Sets(const CForum_Data& forum) {
  std::erase_if(m_Read_Set, [&](uint32_t id) { return !forum.Has_Message(id); });
  std::erase_if(m_Deleted_Set, [&](uint32_t id) { return !forum.Has_Message(id); });
}

bool CClient_Data::Use_Loaded(const std::function<void(CClient_Data&)>& work) {
  const bool was_loaded = m_Loaded;
  if (!was_loaded && !Load(nullptr)) return false;
  work(*this);
  if (!was_loaded) Clear();
  return true;
}

bool Test_Client_Flags(uint32_t bits) {
  bool set = false;
  g_Communications_Mgr.m_Client_Data.Use_Loaded([&](CClient_Data& account) { set = (account.m_Flags & bits) != 0; });
  return set;
}

void Set_Client_Flags(uint32_t bits) {
  g_Communications_Mgr.m_Client_Data.Use_Loaded([&](CClient_Data& account) {
    account.m_Flags |= bits;
    account.Save();
  });
}
