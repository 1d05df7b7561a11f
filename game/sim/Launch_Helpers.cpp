#include "game/sim/Launch_Helpers.h"

#include <cstring>

const char* Get_Ordinal_Suffix(const unsigned& n) {
  static char buffer[3];
  const unsigned last = n % 10;
  const char* suffix = "th";
  if (last == 1 && n != 11)
    suffix = "st";
  else if (n == 2)
    suffix = "nd";
  else if (n == 3)
    suffix = "rd";
  std::memcpy(buffer, suffix, 3);
  return buffer;
}
