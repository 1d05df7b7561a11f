// Reading TGA images into textures: uncompressed true colour (24 or 32 bits) and uncompressed
// colour-mapped images (8 bits with a 256-entry map of 24- or 32-bit colours), stored from the
// bottom row up or from the top row down.
#include <cstring>
#include <memory>

#include "platform/system/memory.h"
#include "runtime/src/core/output_redir.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_format.h"

static IKSOutputRedir* g_pOutputRedir = nullptr;
static CInterfaceHolder<IKSOutputRedir> g_OutputRedirHolder(kOutputRedirKey, &g_pOutputRedir);

namespace {

constexpr uint32_t kTgaHeaderSize = 18;
constexpr uint8_t kTgaColorMapped = 1;
constexpr uint8_t kTgaTrueColor = 2;
constexpr uint8_t kTgaTopOrigin = 0x20;

void Report(int line, const char* text) {
  if (g_pOutputRedir == nullptr) return;
  g_pOutputRedir->Report(1, 4, nullptr, "d3d_texture_loadtga.cpp", line, -1, "%s", text);
}

struct TgaHeader {
  uint8_t id_length = 0;
  uint8_t color_map_type = 0;
  uint8_t image_type = 0;
  uint16_t map_first = 0;
  uint16_t map_length = 0;
  uint8_t map_entry_bits = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t depth = 0;
  uint8_t descriptor = 0;
};

uint16_t Word(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

TgaHeader ParseHeader(const uint8_t* bytes) {
  TgaHeader header;
  header.id_length = bytes[0];
  header.color_map_type = bytes[1];
  header.image_type = bytes[2];
  header.map_first = Word(bytes + 3);
  header.map_length = Word(bytes + 5);
  header.map_entry_bits = bytes[7];
  header.width = Word(bytes + 12);
  header.height = Word(bytes + 14);
  header.depth = bytes[16];
  header.descriptor = bytes[17];
  return header;
}

// Null when the type and depth are readable; otherwise the diagnostic to give.
const char* CheckFormat(const TgaHeader& header) {
  if (header.image_type == kTgaTrueColor) {
    if (header.depth == 24 || header.depth == 32) return nullptr;
    return "CD3DTexture::CreateTexture_TGA - Unsupported TGA data BPP\n";
  }
  if (header.image_type == kTgaColorMapped) {
    const bool full_map = header.color_map_type == 1 && header.map_first == 0 &&
                          header.map_length == kPaletteEntries &&
                          (header.map_entry_bits == 24 || header.map_entry_bits == 32);
    if (header.depth == 8 && full_map) return nullptr;
    return "CD3DTexture::CreateTexture_TGA - Unsupported TGA data BPP\n";
  }
  return "CD3DTexture::CreateTexture_TGA - Unsupported TGA data type code\n";
}

bool Skip(CStream* stream, uint32_t count) {
  uint8_t scratch[256];
  while (count > 0) {
    const uint32_t chunk = count < sizeof(scratch) ? count : uint32_t(sizeof(scratch));
    if (stream->Read(scratch, chunk) != chunk) return false;
    count -= chunk;
  }
  return true;
}

// Skips the ID field, and the colour map of a true-colour image that carries one.
bool SkipToMapOrPixels(CStream* stream, const TgaHeader& header) {
  if (!Skip(stream, header.id_length)) return false;
  if (header.image_type == kTgaColorMapped || header.color_map_type == 0) return true;
  return Skip(stream, uint32_t(header.map_length) * ((header.map_entry_bits + 7u) / 8u));
}

// Reads the 256 map entries (blue, green, red[, alpha]) as red, green, blue, alpha.
bool ReadPalette(CStream* stream, const TgaHeader& header, uint8_t* palette) {
  const uint32_t entry_bytes = header.map_entry_bits / 8u;
  uint8_t entries[kPaletteEntries * 4];
  const uint32_t bytes = kPaletteEntries * entry_bytes;
  if (stream->Read(entries, bytes) != bytes) return false;
  for (uint32_t i = 0; i < kPaletteEntries; ++i) {
    const uint8_t* entry = entries + i * entry_bytes;
    palette[4 * i + 0] = entry[2];
    palette[4 * i + 1] = entry[1];
    palette[4 * i + 2] = entry[0];
    palette[4 * i + 3] = entry_bytes == 4 ? entry[3] : 255;
  }
  return true;
}

struct CountedDeleter {
  void operator()(uint8_t* block) const { Counted_Free(block); }
};
using CountedBlock = std::unique_ptr<uint8_t, CountedDeleter>;

CountedBlock AllocateCounted(uint64_t size) {
  if (size == 0 || size > SIZE_MAX / 2) return CountedBlock();
  return CountedBlock(static_cast<uint8_t*>(Counted_Alloc(size_t(size))));
}

bool EnoughLeft(CStream* stream, uint64_t needed) {
  uint32_t position = 0;
  uint32_t length = 0;
  if (!stream->GetPos(&position) || !stream->GetLen(&length) || position > length) return false;
  return length - position >= needed;
}

// Reads the image rows into full-size pixels, top row first: 32-bit pixels (format code 1,
// 24-bit ones gaining alpha 255) or 8-bit indices (format code 5).
CountedBlock ReadPixels(CStream* stream, const TgaHeader& header) {
  const uint32_t file_bytes = header.depth / 8u;
  const uint32_t pixel_bytes = header.depth == 8 ? 1 : 4;
  const uint64_t file_row = uint64_t(header.width) * file_bytes;
  const uint64_t memory_row = uint64_t(header.width) * pixel_bytes;
  if (!EnoughLeft(stream, file_row * header.height)) return CountedBlock();
  CountedBlock pixels = AllocateCounted(memory_row * header.height);
  CountedBlock row = AllocateCounted(file_row);
  if (!pixels || !row) return CountedBlock();
  const bool top_first = (header.descriptor & kTgaTopOrigin) != 0;
  for (uint32_t r = 0; r < header.height; ++r) {
    if (stream->Read(row.get(), uint32_t(file_row)) != file_row) return CountedBlock();
    const uint32_t target_row = top_first ? r : header.height - 1 - r;
    uint8_t* target = pixels.get() + target_row * memory_row;
    if (file_bytes == 3) {
      for (uint32_t x = 0; x < header.width; ++x) {
        std::memcpy(target + 4 * x, row.get() + 3 * x, 3);
        target[4 * x + 3] = 255;
      }
    } else {
      std::memcpy(target, row.get(), size_t(file_row));
    }
  }
  return pixels;
}

}  // namespace

CTextureData* CD3DTexture::CreateTexture_TGA(CStream* stream, uint32_t mip_count, uint32_t flag) {
  uint8_t header_bytes[kTgaHeaderSize];
  if (stream == nullptr || stream->Read(header_bytes, kTgaHeaderSize) != kTgaHeaderSize) {
    Report(__LINE__, "CD3DTexture::CreateTexture_TGA - Could not read header from stream\n");
    return nullptr;
  }
  const TgaHeader header = ParseHeader(header_bytes);
  if (const char* problem = CheckFormat(header)) {
    Report(__LINE__, problem);
    return nullptr;
  }
  if (header.width == 0 || header.height == 0 || header.width > kTgaMaxImageSide ||
      header.height > kTgaMaxImageSide) {
    Report(__LINE__, "CD3DTexture::CreateTexture_TGA - Unsupported TGA image size\n");
    return nullptr;
  }
  const bool mapped = header.image_type == kTgaColorMapped;
  uint8_t palette[kPaletteBytes];
  if (!SkipToMapOrPixels(stream, header) || (mapped && !ReadPalette(stream, header, palette))) {
    Report(__LINE__, "CD3DTexture::CreateTexture_TGA - Not enouph data in stream\n");
    return nullptr;
  }
  const CountedBlock pixels = ReadPixels(stream, header);
  if (!pixels) {
    Report(__LINE__, "CD3DTexture::CreateTexture_TGA - Not enouph data in stream\n");
    return nullptr;
  }

  const uint32_t format = mapped ? kTexFmt_P8 : kTexFmt_A8R8G8B8;
  const uint32_t width = header.width < kTgaMaxTextureSide ? header.width : kTgaMaxTextureSide;
  const uint32_t height = header.height < kTgaMaxTextureSide ? header.height : kTgaMaxTextureSide;
  uint32_t levels = DefaultMipCount(width, height);
  if (mip_count != 0 && mip_count <= levels) levels = mip_count;

  std::unique_ptr<CTextureData> texture(
      CreateTexture(kTexImage_Single, format, width, height, levels, 0));
  if (!texture || texture->m_pImage == nullptr) {
    Report(__LINE__, "CD3DTexture::CreateTexture_TGA - Not enouph data in stream\n");
    return nullptr;
  }
  if ((flag & 0xFF) != 0) texture->m_Flags |= kTextureFlag_KeepPixels;
  CTextureImage& image = *texture->m_pImage;
  if (mapped) std::memcpy(image.m_pPalette, palette, kPaletteBytes);
  for (uint32_t level = 0; level < levels; ++level) {
    if (!StretchBlt_SW(pixels.get(), format, header.width, header.height,
                       image.GetLevel(0, level), format, image.GetLevelWidth(level),
                       image.GetLevelHeight(level), mapped ? palette : nullptr)) {
      Report(__LINE__, "CD3DTexture::CreateTexture_TGA - StretchBlt_SW failed\n");
      return nullptr;
    }
  }
  return texture.release();
}
