// Turns the input, as UTF-8 typed text, into Windows-1252 characters: never more characters
// than bytes, never a control code, and plain printable ASCII passes through unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/event_translation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);  // stops at a 0 byte below
  const std::vector<uint8_t> codes = plat::Windows1252_From_Utf8(text.c_str());
  const size_t length = std::char_traits<char>::length(text.c_str());
  if (codes.size() > length) __builtin_trap();
  bool printable_ascii = true;
  for (size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<uint8_t>(text[i]);
    printable_ascii = printable_ascii && byte >= 0x20 && byte < 0x7F;
  }
  for (uint8_t code : codes) {
    if (code < 0x20 || code == 0x7F) __builtin_trap();
  }
  if (printable_ascii && std::string(codes.begin(), codes.end()) != text.substr(0, length)) {
    __builtin_trap();
  }
  return 0;
}
