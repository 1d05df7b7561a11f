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

// How a set's listing read: the file it came from, the records it gave, and whether it ran to
// its proper end (else `damage` says where and how it broke off).
struct RezListingState {
  std::string source;
  size_t records = 0;
  size_t left_out = 0;  // records read but left out (an unknown type, a path beyond the limits)
  bool complete = true;
  std::string damage;

  // A listing that gives no resource at all: every id asked of it is lost.
  bool Lost() const { return !complete || records == 0; }
};

// Parses the set's listing (the packed file when it is a regular file not older than the text
// map, else the text map) and writes the map through a temporary file renamed over the old one.
// False, with the reason in error, when there is no source or the map cannot be written. A
// FIFO, device or folder in place of a source is never opened; it counts as missing and is
// reported. `listing` (when given) receives how the listing read, `unchanged` (when given)
// whether the file already held the very map written (it is written all the same, so that it is
// no longer older than its sources).
bool Rez_Build_Map(const std::string& root, int set, const std::string& map_path, std::string& error,
                   RezListingState* listing = nullptr, bool* unchanged = nullptr);

struct RezMapData;
// The map the set's listing gives now, without writing it. `report` says the records left out
// and the sources not used; false builds in silence.
bool Rez_Build_Map_Data(const std::string& root, int set, RezMapData& data, std::string& error,
                        RezListingState* listing = nullptr, bool report = true);

// For each of the set's source names held by an entry that is not a regular file (a FIFO, a
// device, a folder): "<name> was not opened: it is a FIFO, not a regular file". Such entries
// count as missing.
std::vector<std::string> Rez_Unusable_Sources(const std::string& root, int set);

// The file the set's listing is read from: its packed file when that is a regular file not
// older than the text map (or there is no text map), else its text map.
std::string Rez_Listing_Source(const std::string& root, int set);

struct RezTextMap;
// Reads the set's listing as a build does, without building or reporting anything: the records
// it gives and leaves out, and how it reads. False when there is no source to read.
bool Rez_Read_Listing(const std::string& root, int set, RezTextMap& map, RezListingState& state);

// The whole file; false (with the reason when given) when it is missing, not a regular file
// (never waited on) or a read fails.
bool Rez_Read_File(const std::string& path, std::vector<uint8_t>& bytes, std::string* reason = nullptr);
