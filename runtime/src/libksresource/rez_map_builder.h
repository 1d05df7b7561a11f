#pragma once
// Builds the binary map of a pack set from the set's own listing (its packed file or its text
// map) when the map is missing or older than its sources.
#include <cstdint>
#include <string>
#include <vector>

// "<root>packed_rezmap_<set>.pck" and "<root>rezmap_<set>.ksa".
std::string Rez_Packed_File_Name(const std::string& root, int set);
std::string Rez_Text_Map_File_Name(const std::string& root, int set);

// True when the map exists, is not older than the set's packed file or text map, and starts
// with a header of this version whose sizes match its length.
bool Rez_Map_Is_Current(const std::string& root, int set, const std::string& map_path);

// Parses the set's listing (the packed file when it exists and is not older than the text map,
// else the text map) and writes the map through a temporary file renamed over the old one.
// False, with the reason in error, when there is no source or the map cannot be written.
bool Rez_Build_Map(const std::string& root, int set, const std::string& map_path, std::string& error);

bool Rez_Read_File(const std::string& path, std::vector<uint8_t>& bytes);
