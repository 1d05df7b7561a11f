// Reads arbitrary bytes as a TGA image; what loads is written back as TGA (32-bit textures)
// and read again, and must come back with the same top level.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "runtime/src/core/streams.h"
#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_format.h"

namespace {

CMemoryStream* StreamOf(const uint8_t* data, size_t size) {
  CMemoryStream* stream = CreateMemoryStream(0);
  if (stream != nullptr && size > 0) stream->Write(data, uint32_t(size));
  if (stream != nullptr) stream->SeekTo(0);
  return stream;
}

void RoundTrip(CD3DTexture& service, CTextureData* texture) {
  if (service.GetFormat(texture) != kTexFmt_A8R8G8B8) return;
  CMemoryStream* out = CreateMemoryStream(0);
  if (!service.SaveTexture_TGA(out, texture, 0)) __builtin_trap();
  out->SeekTo(0);
  CTextureData* again = service.CreateTexture_TGA(out, 1, 0);
  if (again == nullptr) __builtin_trap();
  const uint64_t size = texture->m_pImage->GetLevelSize(0);
  if (again->m_pImage->GetLevelSize(0) != size ||
      std::memcmp(again->m_pImage->GetLevel(0, 0), texture->m_pImage->GetLevel(0, 0), size) != 0) {
    __builtin_trap();
  }
  delete again;
  out->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 22)) return 0;
  CD3DTexture service;
  CMemoryStream* stream = StreamOf(data, size);
  if (stream == nullptr) return 0;
  // The first byte of the input also picks the requested level count.
  const uint32_t mip_count = size > 0 ? data[0] % 10 : 0;
  CTextureData* texture = service.CreateTexture_TGA(stream, mip_count, 0);
  if (texture != nullptr) {
    for (uint32_t level = 0; level < service.GetMipCount(texture); ++level) {
      if (service.GetMipData(texture, level, 0) == nullptr) __builtin_trap();
    }
    RoundTrip(service, texture);
    delete texture;
  }
  stream->Release();
  return 0;
}
