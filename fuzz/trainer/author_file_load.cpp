// Feeds bytes as one author's file and posts every communication of a fixed master list from
// it into a running manager's forum. The forum is then saved, read again and saved again:
// both saves must give the same bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/trainer/trainer_fuzz_support.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "tools/writers/chat_writer.h"
#include "tools/writers/content_files.h"

namespace {

constexpr uint32_t kAuthor = 4;
// Offsets into the fed file: the first communications of a well-formed file, and some odd ones.
constexpr uint32_t kOffsets[] = {4, 212, 430, 0, 3, 165, 1000, 0xFFFFFFF0};

std::vector<uint8_t> Fixed_Master_List() {
  std::vector<uint8_t> out;
  auto put = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  put(1), put(13), put(17);
  for (uint32_t kind = 0; kind < 13; ++kind) put(0), put(kind == 3 ? 8 : 0);
  put(8);
  for (uint32_t i = 0; i < 8; ++i) {
    put(writers::Chat_Id(kAuthor, i + 1)), put(3), put(i);
    put(0x3F800000);  // weight 1.0
    put(kOffsets[i]);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  trainer_fuzz::Enter_Work_Folder();
  if (!writers::WriteWholeFile("chat/master_com.dat", Fixed_Master_List())) std::abort();
  g_Menu_Mgr.m_Console.m_User_Name = "Fuzz";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = std::string("chat/com_") + Get_Persona_Name(kAuthor) + ".act";
  if (!writers::WriteWholeFile(path, std::vector<uint8_t>(data, data + size))) std::abort();
  CCommunications_Mgr& mgr = g_Communications_Mgr;
  if (!mgr.Load_Master_Data()) std::abort();
  mgr.m_Forum_Data.Clear();
  mgr.m_Forum_Data.m_Loaded = true;
  mgr.m_Running = true;
  for (uint32_t key = 0; key < 8; ++key) mgr.Post_Message(kComm_Given, key, 0);
  for (int i = 0; i < 10; ++i) mgr.Update(400.0f);  // delivers what was delayed
  mgr.m_Forum_Data.Trim();
  const std::vector<uint8_t> first = mgr.m_Forum_Data.Build_File_Bytes(1700000000);
  CForum_Data again;
  uint32_t saved = 0;
  if (!again.Parse_File_Bytes(first, saved)) std::abort();
  again.Trim();
  trainer_fuzz::Require_Same(first, again.Build_File_Bytes(saved));
  mgr.m_Running = false;
  mgr.m_Forum_Data.Clear();
  return 0;
}
