#pragma once
// The image record of a texture: format, size, mip levels and the pixel blocks that hold them,
// plus a palette for the paletted formats. Kind 1 is a single image, kind 2 a cube of six
// faces, kind 3 an array of images. Each image (face) keeps all its levels in one block,
// level 0 first; the level pointers point into the blocks, image-major. All memory is counted.
#include <cstdint>
#include <vector>

enum ETextureImageKind : uint32_t {
  kTexImage_Single = 1,
  kTexImage_Cube = 2,
  kTexImage_Array = 3,
};

class CTextureImage {
 public:
  // Levels an image of kind 1 or 2 can hold.
  static constexpr uint32_t kMaxMipLevels = 8;
  static constexpr uint32_t kCubeFaces = 6;

  CTextureImage(const CTextureImage&) = delete;
  CTextureImage& operator=(const CTextureImage&) = delete;
  // Frees the pixel blocks and the palette.
  virtual ~CTextureImage();

  // Images (faces) the record holds: 1, 6 or the image count.
  uint32_t GetImageCount() const;
  uint32_t GetLevelWidth(uint32_t level) const { return level < 32 ? m_Width >> level : 0; }
  uint32_t GetLevelHeight(uint32_t level) const { return level < 32 ? m_Height >> level : 0; }
  // Bytes of one level of one image at its format.
  uint64_t GetLevelSize(uint32_t level) const;
  // Bytes of one image's block: the sum of its levels.
  uint64_t GetBlockSize() const;
  // Bytes of all blocks together.
  uint64_t GetPixelBytes() const { return GetBlockSize() * GetImageCount(); }

  // The pixels of one level of one image (face); null when out of range or not allocated.
  uint8_t* GetLevel(uint32_t image, uint32_t level) const;
  // The block of one image (face) holding all its levels; null when out of range or freed.
  uint8_t* GetBlock(uint32_t image) const;
  bool HasPixels() const { return !m_Blocks.empty(); }

  // Allocates one zeroed block per image and sets the level pointers; false when out of
  // memory or the record's fields do not describe an image (nothing is kept then).
  // cleared false leaves the pixels as they come, for a caller that fills every block at once.
  bool AllocatePixels(bool cleared = true);
  // Drops the pixel blocks and level pointers; the fields and the palette stay.
  void FreePixels();
  // Points the blocks at the caller's bytes (every block one after another, as stored) instead
  // of allocating them: the caller keeps the bytes alive until OwnPixels or FreePixels. False
  // when the record's fields do not describe an image.
  bool BorrowPixels(uint8_t* bytes);
  bool HasBorrowedPixels() const { return m_Borrowed && HasPixels(); }
  // Copies borrowed pixels into blocks of the record's own; false (pixels dropped) when out of
  // memory. Nothing for pixels the record owns already.
  bool OwnPixels();
  // Allocates a zeroed 1024-byte palette unless one exists; false when out of memory.
  bool AllocatePalette();
  // Bytes currently held: pixel blocks and palette (borrowed pixels are not held).
  uint64_t GetAllocatedBytes() const;

  const uint32_t m_Kind;
  uint8_t* m_pPalette = nullptr;  // 256 entries of red, green, blue, alpha
  uint32_t m_Format = 0;
  uint16_t m_Width = 0;
  uint16_t m_Height = 0;
  uint16_t m_MipCount = 0;
  uint16_t m_ImageCount = 0;      // kind 3 only

 protected:
  explicit CTextureImage(uint32_t kind) : m_Kind(kind) {}

 private:
  std::vector<uint8_t*> m_Blocks;  // one per image (face)
  std::vector<uint8_t*> m_Levels;  // image-major: image * mip count + level
  bool m_Borrowed = false;         // the blocks point into someone else's bytes

  // Drops the pixels, then sets up every block from make_block(block size) and the level
  // pointers into them; false (nothing kept) when a block is null or the fields are bad.
  template <class Make_Block>
  bool SetUpBlocks(Make_Block make_block);
};

class CTextureImage2D : public CTextureImage {
 public:
  CTextureImage2D() : CTextureImage(kTexImage_Single) {}
};

class CTextureImageCube : public CTextureImage {
 public:
  CTextureImageCube() : CTextureImage(kTexImage_Cube) {}
};

class CTextureImageArray : public CTextureImage {
 public:
  CTextureImageArray() : CTextureImage(kTexImage_Array) {}
};

// An empty record of kind 1, 2 or 3; null for any other kind or when out of memory.
CTextureImage* CreateTextureImage(uint32_t kind);
