// Writing textures as uncompressed true-colour TGA images, bottom row first.
#include <algorithm>
#include <cstring>
#include <vector>

#include "runtime/src/core/output_redir.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_format.h"

static IKSOutputRedir* g_pOutputRedir = nullptr;
static CInterfaceHolder<IKSOutputRedir> g_OutputRedirHolder(kOutputRedirKey, &g_pOutputRedir);

namespace {

constexpr uint32_t kTgaHeaderSize = 18;
constexpr uint32_t kTgaMaxSide = 65535;

void Report(int line, const char* text) {
  if (g_pOutputRedir == nullptr) return;
  g_pOutputRedir->Report(1, 4, nullptr, "d3d_texture_savetga.cpp", line, -1, "%s", text);
}

void MakeHeader(uint8_t* header, uint32_t width, uint32_t height, uint8_t depth) {
  std::memset(header, 0, kTgaHeaderSize);
  header[2] = 2;
  header[12] = uint8_t(width);
  header[13] = uint8_t(width >> 8);
  header[14] = uint8_t(height);
  header[15] = uint8_t(height >> 8);
  header[16] = depth;
}

}  // namespace

bool CD3DTexture::SaveTexture_TGA(CStream* stream, CTextureData* texture, uint32_t level) {
  // Cubes and arrays give their first face or image.
  const bool single = texture != nullptr && texture->m_pImage != nullptr &&
                      texture->m_pImage->m_Kind == kTexImage_Single;
  const uint8_t* pixels = single ? GetMipData(texture, level, 0) : GetMipData(texture, 0, level);
  if (pixels == nullptr) {
    Report(__LINE__, "CD3DTexture::SaveTexture_TGA - No pixels for the level\n");
    return false;
  }
  return SaveTexture_TGA(stream, pixels, GetFormat(texture), GetWidth(texture, level),
                         GetHeight(texture, level));
}

bool CD3DTexture::SaveTexture_TGA(CStream* stream, const void* pixels, uint32_t format,
                                  uint32_t width, uint32_t height) {
  if (stream == nullptr || pixels == nullptr) return false;
  if (width == 0 || height == 0 || width > kTgaMaxSide || height > kTgaMaxSide) {
    Report(__LINE__, "CD3DTexture::SaveTexture_TGA - Unsupported image size\n");
    return false;
  }
  // Code 1 is written as 32-bit pixels; every other code as 24-bit rows of its raw bytes (only
  // code 3 gives a true picture). A level whose data is shorter than that, as in the 8- and
  // 16-bit codes, is padded with zeros rather than read past its end.
  const uint8_t depth = format == kTexFmt_A8R8G8B8 ? 32 : 24;
  const uint32_t row_bytes = width * (depth / 8u);
  const uint64_t image_bytes = uint64_t(row_bytes) * height;
  const uint64_t data_bytes =
      IsKnownTextureFormat(format) ? std::min(GetMipSize(format, width, height), image_bytes) : image_bytes;
  uint8_t header[kTgaHeaderSize];
  MakeHeader(header, width, height, depth);
  if (stream->Write(header, kTgaHeaderSize) != kTgaHeaderSize) {
    Report(__LINE__, "CD3DTexture::SaveTexture_TGA - Could not write header to stream\n");
    return false;
  }
  const auto* data = static_cast<const uint8_t*>(pixels);
  std::vector<uint8_t> row(row_bytes);
  for (uint32_t r = height; r-- > 0;) {
    const uint64_t start = uint64_t(r) * row_bytes;
    const uint64_t present = start < data_bytes ? std::min<uint64_t>(row_bytes, data_bytes - start) : 0;
    std::fill(row.begin(), row.end(), uint8_t{0});
    if (present > 0) std::memcpy(row.data(), data + start, size_t(present));
    if (stream->Write(row.data(), row_bytes) != row_bytes) {
      Report(__LINE__, "CD3DTexture::SaveTexture_TGA - Not enouph data in stream\n");
      return false;
    }
  }
  return true;
}
