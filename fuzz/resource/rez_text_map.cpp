// Feeds arbitrary bytes to the pack-set listing parser (first byte: with or without sizes; a
// packed file's own records name "packed_rezmap_0.pck"), builds the binary map from what it
// parsed, and reads that map back: it must pass its checks.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/src/libksresource/rez_map_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  bool with_size = data[0] & 1;
  RezByteSource source(data + 1, size - 1);
  RezTextMap text_map;
  // As in the generated content, a packed file's own records name "packed_rezmap_0.pck".
  Parse_Rez_Text_Map(source, with_size, text_map, [](const std::vector<std::string>& parts) {
    return parts.size() == 1 && parts[0] == "packed_rezmap_0.pck";
  });
  RezMapData built;
  std::string error;
  if (!Build_Rez_Map_Data(text_map, built, error)) return 0;
  std::vector<uint8_t> bytes = Serialize_Rez_Map(built);
  RezMapData read;
  // Whatever the builder writes, the reader accepts.
  if (!Parse_Rez_Map(bytes.data(), bytes.size(), read, error)) __builtin_trap();
  if (read.records.size() != text_map.records.size()) __builtin_trap();
  return 0;
}
