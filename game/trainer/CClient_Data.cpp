#include "game/trainer/CClient_Data.h"

#include <cstdio>
#include <map>

CClient_Data g_Client_Data;

namespace {

// The saved accounts by file name.
std::map<std::string, CClient_Data>& Saved_Accounts() {
  static std::map<std::string, CClient_Data> saved;
  return saved;
}

}  // namespace

const char* CClient_Data::Get_File_Name(const char* user_name) {
  static char buffer[300];
  std::string name = user_name && *user_name ? user_name : "default";
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  std::snprintf(buffer, sizeof buffer, "client_%s.dat", name.c_str());
  return buffer;
}

bool CClient_Data::Load(const char* user_name) {
  Clear();
  m_File_Name = Get_File_Name(user_name);
  const auto saved = Saved_Accounts().find(m_File_Name);
  if (saved != Saved_Accounts().end()) *this = saved->second;
  m_Loaded = true;
  return true;
}

bool CClient_Data::Save() {
  if (!m_Loaded || m_File_Name.empty()) return false;
  Saved_Accounts()[m_File_Name] = *this;
  return true;
}

void CClient_Data::Clear() {
  std::string file_name = std::move(m_File_Name);
  *this = CClient_Data();
  m_File_Name = std::move(file_name);
}

void CClient_Data::Forget_Saved() { Saved_Accounts().clear(); }

float CClient_Data::Get_Success_Rate(float& weight) const {
  int walked = 0;
  int won = 0;
  for (const uint8_t result : m_Results) {
    if (result == 255) break;
    ++walked;
    if (result != 0) ++won;
  }
  weight = static_cast<float>(walked) * 0.2f;
  if (walked == 0) return 0.0f;
  return static_cast<float>(won) / static_cast<float>(walked);
}
