// Decodes arbitrary bytes as a PNG or JPEG image through the D3DX layer (the first byte picks
// the largest side allowed); a picture that decodes must have exactly its declared pixels.
#include <cstddef>
#include <cstdint>

#include "platform/d3dx/d3dx8_tex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const UINT max_side = 1u << (data[0] % 13);  // 1 to 4096
  D3DXDecodedImage image;
  if (!D3DXDecodeImageInMemory(data + 1, size - 1, &image, max_side)) return 0;
  if (image.Width == 0 || image.Height == 0 || image.Width > max_side || image.Height > max_side) __builtin_trap();
  if (image.Pixels.size() != size_t(image.Width) * image.Height * 4) __builtin_trap();
  if (!image.HasAlpha) {
    for (size_t i = 3; i < image.Pixels.size(); i += 4) {
      if (image.Pixels[i] != 0xFF) __builtin_trap();
    }
  }
  return 0;
}
