#include "tests/game/trainer/trainer_fixture.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "game/menu/CMenu_Mgr.h"
#include "platform/system/clock.h"
#include "platform/system/debug.h"
#include "platform/system/files.h"
#include "platform/system/message_box.h"
#include "platform/system/random.h"
#include "tools/writers/content_files.h"

namespace trainer_test {

namespace {

int64_t g_now = kNow;
int64_t Fake_Calendar() { return g_now; }

void Remove_Tree(const std::string& path) {
  DIR* dir = opendir(path.c_str());
  if (dir != nullptr) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      const std::string child = path + "/" + name;
      struct stat info {};
      if (lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        Remove_Tree(child);
      else
        unlink(child.c_str());
    }
    closedir(dir);
  }
  rmdir(path.c_str());
}

void List_Into(const std::string& folder, const std::string& prefix, std::vector<std::string>& names) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    names.push_back(prefix + name);
  }
  closedir(dir);
}

}  // namespace

void Set_Now(int64_t seconds) { g_now = seconds; }

bool Write_File(const std::string& path, const std::vector<uint8_t>& bytes) {
  return writers::WriteWholeFile(path, bytes);
}

std::vector<uint8_t> Read_File(const std::string& path) {
  std::vector<uint8_t> bytes;
  writers::ReadWholeFile(path, bytes);
  return bytes;
}

bool File_There(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

std::vector<std::string> List_Folder() {
  std::vector<std::string> names;
  List_Into(".", "", names);
  List_Into("chat", "chat/", names);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> Author_Names() {
  std::vector<std::string> names = {"Unknown"};
  for (uint32_t id = 1; id <= 16; ++id) names.push_back(Get_Persona_Name(id));
  names.push_back("Unknown");  // id 17 reads the same file as id 0
  return names;
}

bool Write_Chat(const std::vector<writers::Chat_Communication>& communications) {
  writers::Chat_Files files;
  if (!writers::Write_Chat_Files(communications, Author_Names(), files)) return false;
  if (!Write_File("chat/master_com.dat", files.master)) return false;
  for (const auto& [name, bytes] : files.authors) {
    if (!Write_File("chat/com_" + name + ".act", bytes)) return false;
  }
  return true;
}

void TrainerTest::SetUp() {
  char pattern[] = "/tmp/vt_trainer_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  m_Folder = pattern;
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  m_Old_Folder = old;
  ASSERT_EQ(chdir(m_Folder.c_str()), 0);
  setenv("TZ", "UTC", 1);
  tzset();
  g_now = kNow;
  plat::Set_Calendar_Clock(&Fake_Calendar);
  plat::Seed_Random(12345);
  plat::Set_Message_Recorder([this](const std::string&, const std::string& text) { m_Messages.push_back(text); });
  plat::Set_Error_Recorder([this](const std::string& text) { m_Errors.push_back(text); });
  g_Menu_Mgr.m_Console.m_User_Name.clear();
  Reset_Manager();
}

void TrainerTest::TearDown() {
  Reset_Manager();
  g_Menu_Mgr.m_Console.m_User_Name.clear();
  plat::Set_Message_Recorder(nullptr);
  plat::Set_Error_Recorder(nullptr);
  plat::Set_Calendar_Clock(nullptr);
  plat::Inject_Replace_Failure(plat::Replace_Step::None);
  plat::Inject_Move_Aside_Failure(0);
  Inject_Store_Open_Failure("", 0);
  if (!m_Old_Folder.empty()) (void)chdir(m_Old_Folder.c_str());
  if (!m_Folder.empty()) Remove_Tree(m_Folder);
}

void TrainerTest::Reset_Manager() {
  CCommunications_Mgr& mgr = g_Communications_Mgr;
  mgr.m_Forum_Data.Clear();
  mgr.m_Client_Data.Clear();
  mgr.m_Client_Data.m_File_Name.clear();
  mgr.m_Rank_Data.Clear();
  mgr.m_Forum_Data.m_Store_State = {};
  mgr.m_Client_Data.m_Store_State = {};
  mgr.m_Rank_Data.m_Store_State = {};
  mgr.m_Queue.clear();
  mgr.m_Running = false;
  mgr.Parse_Master_Bytes({});
}

}  // namespace trainer_test
