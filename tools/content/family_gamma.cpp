// The gamma ramp the renderer applies at every device start: "kestrone.gam", three ramps (red,
// green, blue) of 256 unsigned 16-bit little-endian entries, here the identity ramp i * 256.
#include "tools/content/manifest.h"

namespace content {
namespace {

bool Identity_Gamma_Ramp(Bytes& out) {
  out.clear();
  for (int channel = 0; channel < 3; ++channel)
    for (int i = 0; i < 256; ++i) {
      const uint16_t entry = static_cast<uint16_t>(i * 256);
      out.push_back(static_cast<uint8_t>(entry & 0xFF));
      out.push_back(static_cast<uint8_t>(entry >> 8));
    }
  return true;
}

}  // namespace

void Add_Gamma_Family(Manifest& manifest) { manifest.AddPlainFile({"kestrone.gam", &Identity_Gamma_Ramp}); }

}  // namespace content
