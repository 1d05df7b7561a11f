#pragma once
// The user's settings in the settings store, under "Software\Brask_Lin\Settings": loaded once
// at start-up and saved once at exit.
#include <cstdint>

extern const char kSettings_Key[];

// Reads a 4-byte value of the key; false (and out untouched) when the key or value cannot be read.
bool Reg_Read_DWORD(const char* key, const char* name, uint32_t& out);
// As Reg_Read_DWORD, giving the 32 bits as a float.
bool Reg_Read_Float(const char* key, const char* name, float& out);
// Writes a 4-byte value, creating the key when needed.
bool Reg_Write_DWORD(const char* key, const char* name, uint32_t value);

// Reads the nine settings into g_Game_State; missing values take their defaults, and a
// resolution level or bit depth out of range takes the default.
void Load_Settings();
// Writes the nine settings of g_Game_State.
void Save_Settings();
