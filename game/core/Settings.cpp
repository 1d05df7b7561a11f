#include "game/core/Settings.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "game/core/CGame_State.h"
#include "platform/system/settings_store.h"

const char kSettings_Key[] = "Software\\Brask_Lin\\Settings";

namespace {

constexpr int32_t kDefault_Resolution = 1;
constexpr int32_t kHighest_Resolution = 4;
constexpr int32_t kDefault_Bit_Depth = 1;

void Read_Bool(const char* name, bool& setting) {
  uint32_t value = 0;
  if (Reg_Read_DWORD(kSettings_Key, name, value)) setting = value != 0;
}

void Read_Int(const char* name, int32_t& setting, int32_t lowest, int32_t highest, int32_t fallback) {
  uint32_t value = 0;
  if (!Reg_Read_DWORD(kSettings_Key, name, value)) return;
  const int32_t level = static_cast<int32_t>(value);
  setting = (level < lowest || level > highest) ? fallback : level;
}

// A stored pattern that is not a finite number is no volume: the setting keeps its value, so
// that no NaN reaches the sound player's volume arithmetic.
void Read_Volume(const char* name, float& setting) {
  float value = 0.0f;
  if (Reg_Read_Float(kSettings_Key, name, value) && std::isfinite(value)) setting = value;
}

uint32_t Float_Bits(float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

}  // namespace

bool Reg_Read_DWORD(const char* key, const char* name, uint32_t& out) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  uint32_t value = 0;
  DWORD size = sizeof(value);
  DWORD type = REG_NONE;
  const LONG result = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(handle);
  // A value of another size is not a 4-byte setting.
  if (result != ERROR_SUCCESS || size != sizeof(value)) return false;
  out = value;
  return true;
}

bool Reg_Read_Float(const char* key, const char* name, float& out) {
  uint32_t bits = 0;
  if (!Reg_Read_DWORD(key, name, bits)) return false;
  std::memcpy(&out, &bits, sizeof(out));
  return true;
}

bool Reg_Write_DWORD(const char* key, const char* name, uint32_t value) {
  HKEY handle = nullptr;
  char empty_class[1] = "";
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, empty_class, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const LONG result =
      RegSetValueExA(handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  RegCloseKey(handle);
  return result == ERROR_SUCCESS;
}

void Load_Settings() {
  CGame_State& state = g_Game_State;
  Read_Bool("Display_Windowed", state.Display_Windowed);
  Read_Int("Display_Resolution", state.Display_Resolution, 0, kHighest_Resolution, kDefault_Resolution);
  Read_Int("Display_BitDepth", state.Display_BitDepth, 0, 1, kDefault_Bit_Depth);
  Read_Bool("Mirrors_Enable", state.Mirrors_Enable);
  Read_Bool("Mouse_Cap_Enable", state.Mouse_Cap_Enable);
  Read_Bool("Lock_Weapons_To_Cursor", state.Lock_Weapons_To_Cursor);
  Read_Bool("Hide_Cursor_In_Sims", state.Hide_Cursor_In_Sims);
  Read_Volume("SoundFX_Volume", state.SoundFX_Volume);
  Read_Volume("Music_Volume", state.Music_Volume);
}

// All nine values go into the key's file in one write, so an interrupted save leaves either
// the old settings or the new ones, never a mixture.
void Save_Settings() {
  const CGame_State& state = g_Game_State;
  const std::pair<const char*, uint32_t> values[] = {
      {"Display_Windowed", state.Display_Windowed ? 1u : 0u},
      {"Display_Resolution", static_cast<uint32_t>(state.Display_Resolution)},
      {"Display_BitDepth", static_cast<uint32_t>(state.Display_BitDepth)},
      {"Mirrors_Enable", state.Mirrors_Enable ? 1u : 0u},
      {"Mouse_Cap_Enable", state.Mouse_Cap_Enable ? 1u : 0u},
      {"Lock_Weapons_To_Cursor", state.Lock_Weapons_To_Cursor ? 1u : 0u},
      {"Hide_Cursor_In_Sims", state.Hide_Cursor_In_Sims ? 1u : 0u},
      {"SoundFX_Volume", Float_Bits(state.SoundFX_Volume)},
      {"Music_Volume", Float_Bits(state.Music_Volume)},
  };
  std::vector<plat::Settings_Value> settings;
  for (const auto& [name, value] : values) {
    plat::Settings_Value setting{name, REG_DWORD, std::vector<BYTE>(4)};
    std::memcpy(setting.data.data(), &value, sizeof(value));
    settings.push_back(std::move(setting));
  }
  HKEY handle = nullptr;
  char empty_class[1] = "";
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettings_Key, 0, empty_class, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                      &handle, nullptr) != ERROR_SUCCESS) {
    std::fprintf(stderr, "Vorthane: could not open the settings key file in %s; settings not saved\n",
                 plat::Settings_Folder().c_str());
    return;
  }
  plat::Set_Key_Values(handle, settings);
  RegCloseKey(handle);
}
