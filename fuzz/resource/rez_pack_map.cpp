// Feeds arbitrary bytes to the pack map reader; a map that passes its checks is then walked
// the way the resource manager uses it (every id looked up, every file name built).
#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/src/libksresource/rez_map_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RezMapData map;
  std::string error;
  if (!Parse_Rez_Map(data, size, map, error)) return 0;
  for (size_t b = 0; b < kRezMapBucketCount; ++b) {
    size_t first = map.buckets[b].first_offset / kRezRecordSize;
    for (size_t i = first; i < first + map.buckets[b].count; ++i) {
      const RezRecord& record = map.records[i];
      std::string name;
      for (uint16_t number : record.components) {
        if (number == 0) break;
        const char* text = map.Component(number);
        if (!text) __builtin_trap();  // a checked map names only components it holds
        name += text;
        name += '/';
      }
    }
  }
  return 0;
}
