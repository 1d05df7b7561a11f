// Feeds arbitrary profile values (gun and attachment kinds and levels, any 32-bit numbers)
// through the launch's weapon set-up, then runs the player for a few frames with presses and
// releases between them, and releases the gun. Without a graphics device the guns' starts fail
// on their resources, which walks their failure paths; the attachment choice is asked as well.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "game/core/CFrame_Info.h"
#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/player/CPlayer.h"
#include "game/player/CPlayer_Weapon_Gun.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "platform/system/message_box.h"

namespace {

int32_t Take(const uint8_t*& data, size_t& size) {
  int32_t value = 0;
  const size_t n = size < sizeof(value) ? size : sizeof(value);
  std::memcpy(&value, data, n);
  data += n;
  size -= n;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = [] {
    plat::Set_Message_Recorder([](const std::string&, const std::string&) {});
    return true;
  }();
  (void)quiet;
  g_Communications_Mgr.m_Client_Data.Clear();
  g_Communications_Mgr.m_Client_Data.m_Loaded = true;
  g_Communications_Mgr.m_Client_Data.m_Current_Gun = Take(data, size);
  g_Communications_Mgr.m_Client_Data.m_Current_Attachment = Take(data, size);
  for (int i = 0; i < CClient_Data::kKind_Slots; ++i) {
    g_Communications_Mgr.m_Client_Data.m_Gun_Levels[i] = Take(data, size);
    g_Communications_Mgr.m_Client_Data.m_Attachment_Levels[i] = Take(data, size);
  }
  g_Game.Set_Up_Weapon();
  (void)CPlayer_Weapon_Gun::Get_Attachment_Kind();
  for (int frame = 0; frame < 8 && size > 0; ++frame) {
    const uint8_t action = static_cast<uint8_t>(Take(data, size));
    CFrame_Info info;
    info.Delta = static_cast<float>(action & 0x3F) * 0.0035f;
    info.Unpaused_Delta = info.Delta;
    Set_Game_Paused((action & 0x40) != 0);
    if (action & 0x80) g_Player.Fire(); else g_Player.Release_Fire();
    g_Player.Fire_Attachment();
    g_Player.Release_Fire_Attachment();
    g_Player.Update(info);
  }
  Set_Game_Paused(false);
  g_Player.Release_Gun();
  g_Communications_Mgr.m_Client_Data.Clear();
  return 0;
}
