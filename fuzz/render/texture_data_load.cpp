// Loads arbitrary bytes as texture data (versions 18, 21 and 23), once bounded by the input's
// size and once by what a larger stream holds, and reads every level of what loads.
#include <cstddef>
#include <cstdint>

#include "platform/system/memory.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/libkstexture/sys/pc/texture_format.h"

namespace {

uint32_t Touch(const CTextureImage& image) {
  uint32_t sum = 0;
  for (uint32_t i = 0; i < image.GetImageCount(); ++i) {
    for (uint32_t level = 0; level < image.m_MipCount; ++level) {
      const uint8_t* pixels = image.GetLevel(i, level);
      if (pixels == nullptr) __builtin_trap();
      const uint64_t size = image.GetLevelSize(level);
      for (uint64_t b = 0; b < size; b += 61) sum += pixels[b];
      if (size > 0) sum += pixels[size - 1];
    }
  }
  if (IsPalettedFormat(image.m_Format)) {
    if (image.m_pPalette == nullptr) __builtin_trap();
    sum += image.m_pPalette[kPaletteBytes - 1];
  }
  return sum;
}

void LoadOnce(const uint8_t* data, size_t size, bool bounded) {
  CMemoryStream* stream = CreateMemoryStream(0);
  if (stream == nullptr) return;
  if (size > 0) stream->Write(data, uint32_t(size));
  if (!bounded) stream->Write("padding bytes after the texture", 31);
  stream->SeekTo(0);
  const int64_t before = g_Total_Mem_Allocated.load();
  auto* texture = static_cast<CTextureData*>(g_TextureDataFactory.Create());
  uint32_t length = uint32_t(size);
  if (texture->Load(stream, bounded ? &length : nullptr)) {
    volatile uint32_t sink = Touch(*texture->m_pImage);
    (void)sink;
  }
  g_TextureDataFactory.Destroy(texture);
  if (g_Total_Mem_Allocated.load() != before) __builtin_trap();
  stream->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 24)) return 0;
  LoadOnce(data, size, true);
  LoadOnce(data, size, false);
  return 0;
}
