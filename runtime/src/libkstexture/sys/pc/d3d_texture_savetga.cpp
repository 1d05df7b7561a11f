// Writing textures as uncompressed true-colour TGA images, bottom row first.
#include <cstring>

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
  if (format != kTexFmt_A8R8G8B8 && format != kTexFmt_R8G8B8) {
    Report(__LINE__, "CD3DTexture::SaveTexture_TGA - Format has no TGA form\n");
    return false;
  }
  if (width == 0 || height == 0 || width > kTgaMaxSide || height > kTgaMaxSide) {
    Report(__LINE__, "CD3DTexture::SaveTexture_TGA - Unsupported image size\n");
    return false;
  }
  const uint8_t depth = format == kTexFmt_A8R8G8B8 ? 32 : 24;
  uint8_t header[kTgaHeaderSize];
  MakeHeader(header, width, height, depth);
  if (stream->Write(header, kTgaHeaderSize) != kTgaHeaderSize) {
    Report(__LINE__, "CD3DTexture::SaveTexture_TGA - Could not write header to stream\n");
    return false;
  }
  const uint32_t row_bytes = width * (depth / 8u);
  const auto* rows = static_cast<const uint8_t*>(pixels);
  for (uint32_t r = height; r-- > 0;) {
    if (stream->Write(rows + size_t(r) * row_bytes, row_bytes) != row_bytes) {
      Report(__LINE__, "CD3DTexture::SaveTexture_TGA - Not enouph data in stream\n");
      return false;
    }
  }
  return true;
}
