#include "runtime/src/libkstexture/sys/pc/texture_data.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/system/memory.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/rez_report.h"
#include "runtime/src/libkstexture/sys/pc/texture_format.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/texturemgr.h"

CTextureDataFactory g_TextureDataFactory;

namespace {

uint32_t KindOfVersion(uint8_t version) {
  switch (version) {
    case kTextureDataVersion_Single: return kTexImage_Single;
    case kTextureDataVersion_Cube: return kTexImage_Cube;
    case kTextureDataVersion_Array: return kTexImage_Array;
    default: return 0;
  }
}

// Levels until both sides have shrunk to nothing: a 4 x 1 image has three (4, 2, 1 wide).
uint32_t FullChainLength(uint32_t width, uint32_t height) {
  uint32_t levels = 0;
  while ((width >> levels) > 0 || (height >> levels) > 0) ++levels;
  return levels;
}

// Why the fields describe no texture this engine reads; empty when they are sound.
std::string FieldsProblem(const CTextureImage& image) {
  char text[160];
  text[0] = '\0';
  const unsigned width = image.m_Width;
  const unsigned height = image.m_Height;
  if (!IsKnownTextureFormat(image.m_Format)) {
    std::snprintf(text, sizeof text, "texture data of unknown format code %u", static_cast<unsigned>(image.m_Format));
  } else if (width == 0 || height == 0 || width > kTextureDataMaxSide || height > kTextureDataMaxSide) {
    std::snprintf(text, sizeof text, "texture data of %u x %u pixels (each side 1 to %u)", width, height,
                  static_cast<unsigned>(kTextureDataMaxSide));
  } else if (image.m_MipCount == 0 || image.m_MipCount > CTextureImage::kMaxMipLevels ||
             image.m_MipCount > FullChainLength(width, height)) {
    std::snprintf(text, sizeof text, "texture data of %u x %u pixels with %u levels (1 to %u)", width, height,
                  static_cast<unsigned>(image.m_MipCount),
                  static_cast<unsigned>(std::min(CTextureImage::kMaxMipLevels, FullChainLength(width, height))));
  } else if (image.m_Kind == kTexImage_Array &&
             (image.m_ImageCount == 0 || image.m_ImageCount > kTextureDataMaxImages)) {
    std::snprintf(text, sizeof text, "texture data of %u images (1 to %u)", static_cast<unsigned>(image.m_ImageCount),
                  static_cast<unsigned>(kTextureDataMaxImages));
  }
  return text;
}

bool Refuse(std::string* reason, const std::string& text) {
  if (reason != nullptr) *reason = text;
  return false;
}

// The bytes left in the stream after its position; false when the stream cannot tell.
bool BytesLeft(CStream* stream, uint64_t& left) {
  uint32_t position = 0;
  uint32_t length = 0;
  if (!stream->GetPos(&position) || !stream->GetLen(&length) || position > length) return false;
  left = length - position;
  return true;
}

// Bytes of the fields after the header.
uint32_t FieldBytes(const CTextureImage& image) {
  return image.m_Kind == kTexImage_Array ? 20 : 18;
}

uint16_t GetU16(const uint8_t* bytes) { return uint16_t(bytes[0] | (bytes[1] << 8)); }

uint32_t GetU32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) | (uint32_t(bytes[1]) << 8) | (uint32_t(bytes[2]) << 16) | (uint32_t(bytes[3]) << 24);
}

// The fields after the header (FieldBytes of them): a word not used, the flags, the format, the
// sides, the level count and, for an array, the image count.
void DecodeFields(const uint8_t* bytes, CTextureImage& image, uint32_t& flags) {
  flags = GetU32(bytes + 4);
  image.m_Format = GetU32(bytes + 8);
  image.m_Width = GetU16(bytes + 12);
  image.m_Height = GetU16(bytes + 14);
  image.m_MipCount = GetU16(bytes + 16);
  if (image.m_Kind == kTexImage_Array) image.m_ImageCount = GetU16(bytes + 18);
}

bool ReadFields(CStream* stream, CTextureImage& image, uint32_t& flags) {
  uint8_t bytes[20];
  const uint32_t count = FieldBytes(image);
  if (stream->Read(bytes, count) != count) return false;
  DecodeFields(bytes, image, flags);
  return true;
}

std::string UnknownVersion(uint8_t version) {
  char text[96];
  std::snprintf(text, sizeof text, "texture data of unknown version %u (18, 21 or 23)", static_cast<unsigned>(version));
  return text;
}

// Points the image's blocks at the stream's own bytes and moves past them; false when the
// stream does not hold its bytes in memory.
bool BorrowPixels(CStream* stream, CTextureImage& image) {
  auto* bytes = static_cast<uint8_t*>(stream->GetData());
  uint32_t position = 0;
  if (bytes == nullptr || !stream->GetPos(&position)) return false;
  if (!image.BorrowPixels(bytes)) return false;
  if (stream->SeekTo(position + uint32_t(image.GetPixelBytes()))) return true;
  image.FreePixels();
  return false;
}

uint64_t PaletteBytes(const CTextureImage& image) { return IsPalettedFormat(image.m_Format) ? kPaletteBytes : 0; }

// The bytes after the fields: every level of every image, and the palette.
uint64_t BodyBytes(const CTextureImage& image) { return image.GetPixelBytes() + PaletteBytes(image); }

// What the body needs, before the bytes that follow the fields: "texture data whose 32 x 32
// pixels need 4096 bytes".
std::string BodyNeed(const CTextureImage& image) {
  char text[128];
  std::snprintf(text, sizeof text, "texture data whose %u x %u pixels%s need %llu bytes",
                static_cast<unsigned>(image.m_Width), static_cast<unsigned>(image.m_Height),
                PaletteBytes(image) ? " and palette" : "", static_cast<unsigned long long>(BodyBytes(image)));
  return text;
}

// left: the bytes that may still belong to the texture.
bool ReadPixelsAndPalette(CStream* stream, CTextureImage& image, uint64_t left, bool borrow, std::string* reason) {
  const uint64_t palette_bytes = PaletteBytes(image);
  uint64_t in_stream = 0;
  if (!BytesLeft(stream, in_stream)) return Refuse(reason, "texture data whose length cannot be read");
  if (std::min(left, in_stream) < BodyBytes(image)) {
    return Refuse(reason, BodyNeed(image) + " where " + std::to_string(std::min(left, in_stream)) + " follow");
  }
  if (!borrow || !BorrowPixels(stream, image)) {
    // Every block is read whole below, or the load fails: no need to clear them first.
    if (!image.AllocatePixels(false)) return Refuse(reason, "texture data too large for the memory left");
    const uint64_t block_size = image.GetBlockSize();
    for (uint32_t i = 0; i < image.GetImageCount(); ++i) {
      if (stream->Read(image.GetBlock(i), uint32_t(block_size)) != block_size) {
        return Refuse(reason, "texture data whose pixels cannot be read");
      }
    }
  }
  if (palette_bytes == 0) return true;
  if (!image.AllocatePalette()) return Refuse(reason, "texture data too large for the memory left");
  if (stream->Read(image.m_pPalette, kPaletteBytes) != kPaletteBytes) {
    return Refuse(reason, "texture data whose palette cannot be read");
  }
  return true;
}

}  // namespace

CTextureImage* ReadTextureDataImage(CStream* stream, uint64_t length, uint32_t* flags, bool borrow_pixels,
                                    std::string* reason) {
  if (stream == nullptr) return nullptr;
  uint8_t header[kTextureDataHeaderSize];
  if (stream->Read(header, sizeof(header)) != sizeof(header)) {
    Refuse(reason, "texture data shorter than its header");
    return nullptr;
  }
  std::unique_ptr<CTextureImage> image(CreateTextureImage(KindOfVersion(header[0])));
  if (!image) {
    Refuse(reason, UnknownVersion(header[0]));
    return nullptr;
  }
  uint32_t file_flags = 0;
  if (!ReadFields(stream, *image, file_flags)) {
    Refuse(reason, "texture data shorter than its fields");
    return nullptr;
  }
  const std::string problem = FieldsProblem(*image);
  if (!problem.empty()) {
    Refuse(reason, problem);
    return nullptr;
  }
  const uint64_t prefix = kTextureDataHeaderSize + FieldBytes(*image);
  if (length < prefix) {
    Refuse(reason, "texture data shorter than its fields");
    return nullptr;
  }
  if (!ReadPixelsAndPalette(stream, *image, length - prefix, borrow_pixels, reason)) return nullptr;
  if (flags != nullptr) *flags = file_flags;
  return image.release();
}

CTextureData::~CTextureData() { Free(); }

void* CTextureData::operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return Counted_Alloc(size);
}

void CTextureData::operator delete(void* block) noexcept { Counted_Free(block); }

void CTextureData::operator delete(void* block, const std::nothrow_t&) noexcept {
  Counted_Free(block);
}

bool CTextureData::Load(CStream* stream, uint32_t* size) { return Read(stream, size, false); }

bool CTextureData::LoadBorrowingPixels(CStream* stream, uint32_t* size) { return Read(stream, size, true); }

bool CTextureData::OwnPixels() {
  if (m_pImage == nullptr || !m_pImage->HasBorrowedPixels()) return true;
  const uint64_t before = m_pImage->GetAllocatedBytes();
  const bool owned = m_pImage->OwnPixels();
  CountMemory(int64_t(m_pImage->GetAllocatedBytes()) - int64_t(before));
  return owned;
}

bool CTextureData::Read(CStream* stream, uint32_t* size, bool borrow_pixels) {
  uint32_t flags = 0;
  const uint64_t length = size != nullptr ? *size : UINT64_MAX;
  std::string reason;
  CTextureImage* image = ReadTextureDataImage(stream, length, &flags, borrow_pixels, &reason);
  if (image == nullptr) {
    // Whoever asked for the texture reports the refusal with these words.
    Rez_Note_Refusal(reason.empty() ? "texture data that cannot be read" : reason);
    return false;
  }
  SetImage(image);
  m_Flags = flags;
  m_Loaded = 1;
  return true;
}

void CTextureData::Free() {
  if (m_pImage != nullptr) {
    CountMemory(-int64_t(m_pImage->GetAllocatedBytes()));
    delete m_pImage;
    m_pImage = nullptr;
  }
  ReleaseDeviceTexture();
  m_Loaded = 0;
}

void CTextureData::ReleaseDeviceTexture() {
  CDeviceTexture* device_texture = m_pDeviceTexture;
  m_pDeviceTexture = nullptr;
  if (device_texture == nullptr) return;
  // The wrapper may outlive this texture when others hold references: it must not point back.
  if (device_texture->m_pOwner == this) device_texture->m_pOwner = nullptr;
  if (g_pRenderDevice != nullptr) g_pRenderDevice->ReleaseDeviceTexture(device_texture);
}

void CTextureData::SetImage(CTextureImage* image) {
  if (m_pImage != nullptr) {
    CountMemory(-int64_t(m_pImage->GetAllocatedBytes()));
    delete m_pImage;
  }
  m_pImage = image;
  if (m_pImage != nullptr) CountMemory(int64_t(m_pImage->GetAllocatedBytes()));
}

void CTextureData::FreePixels() {
  if (m_pImage == nullptr) return;
  const uint64_t before = m_pImage->GetAllocatedBytes();
  m_pImage->FreePixels();
  CountMemory(int64_t(m_pImage->GetAllocatedBytes()) - int64_t(before));
}

void CTextureData::CountMemory(int64_t bytes) {
  if (!m_Managed) return;
  const int64_t total = int64_t(m_Tracked_Memory) + bytes;
  m_Tracked_Memory = total < 0 ? 0 : uint32_t(total);
}

RezExpansionBound TextureDataExpansionBound(const uint8_t* head, size_t length) {
  if (length < kTextureDataHeaderSize) return RezExpansionBound::Need_More();
  std::unique_ptr<CTextureImage> image(CreateTextureImage(KindOfVersion(head[0])));
  if (!image) return RezExpansionBound::Refused(UnknownVersion(head[0]));
  const uint32_t prefix = kTextureDataHeaderSize + FieldBytes(*image);
  if (length < prefix) return RezExpansionBound::Need_More();
  uint32_t flags = 0;
  DecodeFields(head + kTextureDataHeaderSize, *image, flags);
  const std::string problem = FieldsProblem(*image);
  if (!problem.empty()) return RezExpansionBound::Refused(problem);
  const uint64_t bytes = prefix + BodyBytes(*image);
  char what[160];
  std::snprintf(what, sizeof what, "texture data of %u x %u pixels in format %u, %u level(s) of %u image(s) (%llu bytes)",
                static_cast<unsigned>(image->m_Width), static_cast<unsigned>(image->m_Height),
                static_cast<unsigned>(image->m_Format), static_cast<unsigned>(image->m_MipCount),
                static_cast<unsigned>(image->GetImageCount()), static_cast<unsigned long long>(bytes));
  // The loader reads every level of every image: fewer bytes than that are refused.
  return RezExpansionBound::Holds(bytes, what).Needing(bytes, prefix, BodyNeed(*image));
}

CRezResource* CTextureDataFactory::Create() { return new (std::nothrow) CTextureData(); }

void CTextureDataFactory::Destroy(CRezResource* resource) { delete resource; }

RezExpansionBound CTextureDataFactory::Expansion_Bound(const uint8_t* head, size_t length) const {
  return TextureDataExpansionBound(head, length);
}
