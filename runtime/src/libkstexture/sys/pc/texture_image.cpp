#include "runtime/src/libkstexture/sys/pc/texture_image.h"

#include <cstring>
#include <new>

#include "platform/system/memory.h"
#include "runtime/src/libkstexture/sys/pc/texture_format.h"

CTextureImage::~CTextureImage() {
  FreePixels();
  Counted_Free(m_pPalette);
  m_pPalette = nullptr;
}

uint32_t CTextureImage::GetImageCount() const {
  switch (m_Kind) {
    case kTexImage_Single: return 1;
    case kTexImage_Cube: return kCubeFaces;
    case kTexImage_Array: return m_ImageCount;
    default: return 0;
  }
}

uint64_t CTextureImage::GetLevelSize(uint32_t level) const {
  return GetMipSize(m_Format, GetLevelWidth(level), GetLevelHeight(level));
}

uint64_t CTextureImage::GetBlockSize() const {
  uint64_t size = 0;
  for (uint32_t level = 0; level < m_MipCount; ++level) size += GetLevelSize(level);
  return size;
}

uint8_t* CTextureImage::GetLevel(uint32_t image, uint32_t level) const {
  if (image >= GetImageCount() || level >= m_MipCount) return nullptr;
  const size_t index = size_t(image) * m_MipCount + level;
  return index < m_Levels.size() ? m_Levels[index] : nullptr;
}

uint8_t* CTextureImage::GetBlock(uint32_t image) const {
  return image < m_Blocks.size() ? m_Blocks[image] : nullptr;
}

bool CTextureImage::AllocatePixels(bool cleared) {
  return SetUpBlocks([&](uint64_t block_size) {
    auto* block = static_cast<uint8_t*>(Counted_Alloc(size_t(block_size)));
    if (block != nullptr && cleared) std::memset(block, 0, size_t(block_size));
    return block;
  });
}

bool CTextureImage::BorrowPixels(uint8_t* bytes) {
  if (bytes == nullptr) return false;
  uint8_t* next = bytes;
  const bool set_up = SetUpBlocks([&](uint64_t block_size) {
    uint8_t* block = next;
    next += block_size;
    return block;
  });
  m_Borrowed = set_up;
  return set_up;
}

bool CTextureImage::OwnPixels() {
  if (!HasBorrowedPixels()) return true;
  const std::vector<uint8_t*> borrowed = m_Blocks;
  const uint64_t block_size = GetBlockSize();
  if (!AllocatePixels(false)) return false;
  for (size_t image = 0; image < borrowed.size(); ++image) std::memcpy(m_Blocks[image], borrowed[image], size_t(block_size));
  return true;
}

template <class Make_Block>
bool CTextureImage::SetUpBlocks(Make_Block make_block) {
  FreePixels();
  const uint32_t images = GetImageCount();
  const bool levels_fit = m_Kind == kTexImage_Array || m_MipCount <= kMaxMipLevels;
  if (images == 0 || m_MipCount == 0 || !levels_fit) return false;
  const uint64_t block_size = GetBlockSize();
  if (block_size > SIZE_MAX / 2) return false;
  m_Blocks.reserve(images);
  m_Levels.reserve(size_t(images) * m_MipCount);
  for (uint32_t image = 0; image < images; ++image) {
    uint8_t* block = make_block(block_size);
    if (block == nullptr) {
      FreePixels();
      return false;
    }
    m_Blocks.push_back(block);
    uint64_t offset = 0;
    for (uint32_t level = 0; level < m_MipCount; ++level) {
      m_Levels.push_back(block + offset);
      offset += GetLevelSize(level);
    }
  }
  return true;
}

void CTextureImage::FreePixels() {
  if (!m_Borrowed)
    for (uint8_t* block : m_Blocks) Counted_Free(block);
  m_Borrowed = false;
  m_Blocks.clear();
  m_Levels.clear();
}

bool CTextureImage::AllocatePalette() {
  if (m_pPalette != nullptr) return true;
  m_pPalette = static_cast<uint8_t*>(Counted_Alloc(kPaletteBytes));
  if (m_pPalette == nullptr) return false;
  std::memset(m_pPalette, 0, kPaletteBytes);
  return true;
}

uint64_t CTextureImage::GetAllocatedBytes() const {
  uint64_t bytes = Counted_Size(m_pPalette);
  if (!m_Borrowed)
    for (uint8_t* block : m_Blocks) bytes += Counted_Size(block);
  return bytes;
}

CTextureImage* CreateTextureImage(uint32_t kind) {
  switch (kind) {
    case kTexImage_Single: return new (std::nothrow) CTextureImage2D();
    case kTexImage_Cube: return new (std::nothrow) CTextureImageCube();
    case kTexImage_Array: return new (std::nothrow) CTextureImageArray();
    default: return nullptr;
  }
}
