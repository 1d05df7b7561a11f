#pragma once
// Builds the binary map of a pack set from the set's own listing (its packed file or its text
// map) when the map is missing or older than its sources.
#include <cstdint>
#include <string>
#include <vector>

// "<root>packed_rezmap_<set>.pck" and "<root>rezmap_<set>.ksa".
std::string Rez_Packed_File_Name(const std::string& root, int set);
std::string Rez_Text_Map_File_Name(const std::string& root, int set);

// True when the map exists, is not older than the set's packed file or text map, reads as a
// whole map of this version, and each of its records is plausible: it names a file, its size is
// not 0, and it lies inside its file when that file exists. Otherwise false, with the reason in
// `why` when given.
bool Rez_Map_Is_Current(const std::string& root, int set, const std::string& map_path,
                        std::string* why = nullptr);

// Parses the set's listing (the packed file when it exists and is not older than the text map,
// else the text map) and writes the map through a temporary file renamed over the old one.
// False, with the reason in error, when there is no source or the map cannot be written.
bool Rez_Build_Map(const std::string& root, int set, const std::string& map_path, std::string& error);

struct RezMapData;
// The map the set's listing gives now, without writing it.
bool Rez_Build_Map_Data(const std::string& root, int set, RezMapData& data, std::string& error);

bool Rez_Read_File(const std::string& path, std::vector<uint8_t>& bytes);
