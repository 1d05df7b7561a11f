#pragma once
// The settings store: a small registry of keys and named values, shaped like the registry calls
// the game makes. Each key is one small text file under $XDG_CONFIG_HOME/vorthane/ (by default
// ~/.config/vorthane/), named after the key's path with its parts joined by '.', for example
// "Software.Brask_Lin.Settings.txt". A value is one line "name=dword:0000002a" or
// "name=hex(3):de,ad". Every change rewrites the key's file atomically (through a symbolic
// link to its target); a failed write is reported on stderr and leaves the old file. A value
// whose line cannot be read counts as missing; lines that cannot be read are kept byte for byte
// when the file is rewritten. A key file that is not a regular file (a FIFO, a folder) is never
// waited on: it is named once on stderr, its values read as missing, and it is not replaced.
#include <string>
#include <vector>

#include "platform/system/win_types.h"

struct HKEY__;
using HKEY = HKEY__*;

// The one root key; it is never closed.
extern HKEY const HKEY_CURRENT_USER;

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr DWORD KEY_QUERY_VALUE = 0x0001;
constexpr DWORD KEY_SET_VALUE = 0x0002;
constexpr DWORD KEY_READ = 0x20019;
constexpr DWORD KEY_WRITE = 0x20006;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// The largest value the store keeps, in bytes.
constexpr DWORD kMaxSettingsValueSize = 64 * 1024;

// Opens an existing key below `key` ("Software\\Brask_Lin\\Settings"); ERROR_FILE_NOT_FOUND when
// it does not exist.
LONG RegOpenKeyExA(HKEY key, const char* sub_key, DWORD options, DWORD access, HKEY* result);

// Opens the key below `key`, creating it (its empty file) when it does not exist yet.
// `key_class` and `security` are accepted and ignored; `disposition` may be null.
LONG RegCreateKeyExA(HKEY key, const char* sub_key, DWORD reserved, char* key_class,
                     DWORD options, DWORD access, void* security, HKEY* result,
                     DWORD* disposition);

// Reads a value. With `data` null only its size is reported. A buffer smaller than the value
// gives ERROR_MORE_DATA with the size needed in `*size`. `type` may be null.
LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* size);

// Writes a value of any type; the key's file is replaced atomically, and on failure the old
// file stays as it was and the result is not ERROR_SUCCESS.
LONG RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size);

LONG RegCloseKey(HKEY key);

namespace plat {

// The folder that holds the key files: $XDG_CONFIG_HOME/vorthane, or ~/.config/vorthane.
std::string Settings_Folder();

struct Settings_Value {
  std::string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

// Writes several values of one key together, in a single atomic replace of its file, so that
// an interruption leaves either all of them old or all new. Results as RegSetValueExA.
LONG Set_Key_Values(HKEY key, const std::vector<Settings_Value>& values);

}  // namespace plat
