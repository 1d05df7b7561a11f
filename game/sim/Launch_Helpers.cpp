#include "game/sim/Launch_Helpers.h"

#include <cstring>

// English ordinals: 11, 12 and 13 (and 111, 212, ...) take "th".
const char* Get_Ordinal_Suffix(const unsigned& n) {
  static char suffix[4];
  const unsigned last_two = n % 100;
  const char* text = "th";
  if (last_two < 11 || last_two > 13) {
    switch (n % 10) {
      case 1: text = "st"; break;
      case 2: text = "nd"; break;
      case 3: text = "rd"; break;
      default: break;
    }
  }
  std::strncpy(suffix, text, sizeof(suffix));
  return suffix;
}
