// Textures made from pixels in memory and from image files.
#include <cstring>
#include <vector>

#include "platform/d3dx/d3dx8_tex.h"
#include "platform/system/memory.h"
#include "runtime/src/core/output_redir.h"
#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_format.h"
#include "runtime/src/render/sys/pc/d3d_device.h"

static IKSOutputRedir* g_pOutputRedir = nullptr;
static CInterfaceHolder<IKSOutputRedir> g_OutputRedirHolder(kOutputRedirKey, &g_pOutputRedir);

namespace {

void Report(int line, const char* text) {
  if (g_pOutputRedir == nullptr) return;
  g_pOutputRedir->Report(1, 4, nullptr, "d3d_texture.cpp", line, -1, "%s", text);
}

IDirect3DDevice8* Device() { return g_pD3DDevice != nullptr ? g_pD3DDevice->GetDevice() : nullptr; }

// Format code of a file texture's device format; 0 for the formats this path does not take.
uint32_t FileFormatCode(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_R8G8B8: return kTexFmt_R8G8B8;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: return kTexFmt_A8R8G8B8;
    default: return 0;
  }
}

}  // namespace

CTextureData* CD3DTexture::CreateFromData(const void* pixels, uint32_t kind, uint32_t format, uint32_t width,
                                          uint32_t height, uint32_t mip_count, uint32_t image_count,
                                          const uint8_t* palette, uint32_t flag) {
  if (kind != kTexImage_Single || pixels == nullptr) return nullptr;
  CTextureData* texture = CreateTexture(kTexImage_Single, format, width, height, mip_count, image_count);
  if (texture == nullptr || texture->m_pImage == nullptr) {
    if (texture != nullptr) ReleaseTexture(texture);
    return nullptr;
  }
  if ((flag & 0xFF) != 0) texture->m_Flags |= kTextureFlag_KeepPixels;
  CTextureImage& image = *texture->m_pImage;
  for (uint32_t level = 0; level < image.m_MipCount; ++level) {
    if (!StretchBlt_SW(pixels, format, width, height, image.GetLevel(0, level), format,
                       image.GetLevelWidth(level), image.GetLevelHeight(level), palette)) {
      Report(__LINE__, "CD3DTexture::CreateFromData - StretchBlt_SW failed\n");
      ReleaseTexture(texture);
      return nullptr;
    }
  }
  if (image.m_pPalette != nullptr && palette != nullptr) std::memcpy(image.m_pPalette, palette, kPaletteBytes);
  UploadTexture(texture);
  return texture;
}

CTextureData* CD3DTexture::LoadTextureD3DX(const wchar_t* path, uint32_t mip_count, uint32_t flag) {
  IDirect3DDevice8* device = Device();
  if (device == nullptr || path == nullptr) return nullptr;
  IDirect3DTexture8* file_texture = nullptr;
  if (FAILED(D3DXCreateTextureFromFileW(device, path, &file_texture))) return nullptr;
  D3DSURFACE_DESC desc{};
  D3DLOCKED_RECT locked{};
  if (FAILED(file_texture->GetLevelDesc(0, &desc)) ||
      FAILED(file_texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) {
    file_texture->Release();
    return nullptr;
  }
  const uint32_t code = FileFormatCode(desc.Format);
  const uint32_t bytes_per_pixel = GetBytesPerPixel(code);
  CTextureData* texture = nullptr;
  if (code != 0 && locked.Pitch >= 0) {
    const uint32_t row_bytes = desc.Width * bytes_per_pixel;
    const auto* bits = static_cast<const uint8_t*>(locked.pBits);
    std::vector<uint8_t> packed;
    if (uint32_t(locked.Pitch) != row_bytes) {
      packed.resize(size_t(row_bytes) * desc.Height);
      for (uint32_t y = 0; y < desc.Height; ++y) {
        std::memcpy(packed.data() + size_t(y) * row_bytes, bits + size_t(y) * size_t(locked.Pitch), row_bytes);
      }
      g_Total_Mem_Allocated += int64_t(packed.size());
      bits = packed.data();
    }
    texture = CreateFromData(bits, kTexImage_Single, code, desc.Width, desc.Height, mip_count, 0, nullptr, flag);
    if (!packed.empty()) g_Total_Mem_Allocated -= int64_t(packed.size());
  }
  file_texture->UnlockRect(0);
  file_texture->Release();
  return texture;
}
