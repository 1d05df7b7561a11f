#pragma once
// A texture as the engine holds it in system memory: a resource of type 2 with an image record
// (pixels of every level, palette where the format has one) and a link to the device texture
// made from it. Texture data comes from texture resources, from ".ksb"/".txb" files (the same
// layout, versions 18 single image, 21 cube, 23 array) and from the texture service.
#include <cstddef>
#include <cstdint>
#include <new>
#include <string>

#include "runtime/src/libksresource/rez_resource.h"
#include "runtime/src/libkstexture/sys/pc/texture_image.h"

class CStream;
class CDeviceTexture;

// Texture flags. Bits 0-7 choose the device format class.
constexpr uint32_t kTextureFlags_Default = 0x2033;
constexpr uint32_t kTextureFlag_KeepPixels = 0x10000;    // keep system pixels after upload
constexpr uint32_t kTextureFlag_RenderTarget = 0x20000;  // device texture is a render target

// Texture data file versions.
constexpr uint8_t kTextureDataVersion_Single = 18;
constexpr uint8_t kTextureDataVersion_Cube = 21;
constexpr uint8_t kTextureDataVersion_Array = 23;
constexpr uint32_t kTextureDataHeaderSize = 20;

// What a texture data file may describe; anything larger is refused as damaged.
constexpr uint32_t kTextureDataMaxSide = 4096;
constexpr uint32_t kTextureDataMaxImages = 256;

class CTextureData : public CRezResource {
 public:
  CTextureData() = default;
  // Runs Free.
  ~CTextureData() override;

  // The object itself is counted memory.
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
  static void operator delete(void* block) noexcept;
  static void operator delete(void* block, const std::nothrow_t&) noexcept;

  // Reads texture data of version 18, 21 or 23 from the stream; *size (when given) is the
  // number of bytes that belong to the texture. False for an unknown version, a damaged or
  // short file; the texture is unchanged then, and why is noted for the report of the refusal
  // (Rez_Note_Refusal).
  bool Load(CStream* stream, uint32_t* size) override;
  // As Load, but pixels a memory stream holds are not copied: the image points into the
  // stream's bytes until OwnPixels, which the caller must call (or free the pixels) before the
  // stream changes or goes.
  bool LoadBorrowingPixels(CStream* stream, uint32_t* size);
  // Gives pixels still borrowed from a stream blocks of the texture's own; false (pixels
  // dropped) when out of memory.
  bool OwnPixels();
  // Deletes the image record with its pixels and palette, gives the device texture back
  // through the render device service and clears the loaded flag.
  void Free() override;
  // Gives back this texture's reference to its device texture and drops the link.
  void ReleaseDeviceTexture();

  // Gives the texture an image record (it takes ownership; any earlier one is freed first) and
  // counts its bytes as the texture's memory.
  void SetImage(CTextureImage* image);
  // Drops the system copy of the pixels (the record stays), uncounting their bytes.
  void FreePixels();

  CTextureImage* m_pImage = nullptr;
  CDeviceTexture* m_pDeviceTexture = nullptr;
  uint32_t m_Flags = kTextureFlags_Default;
  uint32_t m_Unused = 0;
  int32_t m_RefCount = 0;

 private:
  // Adds to (or takes from) the resource's memory size while the resource manager owns it.
  void CountMemory(int64_t bytes);
  bool Read(CStream* stream, uint32_t* size, bool borrow_pixels);
};

// The resource type handler of texture data (resource type 2).
// How many bytes texture data can hold, told from its first bytes: its header, fields, every
// level of every image and its palette; a header or fields Load would refuse are refused here.
RezExpansionBound TextureDataExpansionBound(const uint8_t* head, size_t length);

class CTextureDataFactory : public CRezTypeHandler {
 public:
  // A new texture with the defaults; null when out of memory.
  CRezResource* Create() override;
  void Destroy(CRezResource* resource) override;
  RezExpansionBound Expansion_Bound(const uint8_t* head, size_t length) const override;
};

extern CTextureDataFactory g_TextureDataFactory;

// Reads the image record of texture data from a stream whose next length bytes belong to it
// (UINT64_MAX: as many as the stream holds). Returns null (reading no further) on an unknown
// version, fields beyond the bounds above, more data than there is, a short read or out of
// memory; flags receives the file's texture flags, reason (when given) why the data was
// refused ("texture data of unknown version 19 (18, 21 or 23)").
// borrow_pixels: the image points into a memory stream's bytes instead of copying them (see
// CTextureImage::BorrowPixels).
CTextureImage* ReadTextureDataImage(CStream* stream, uint64_t length, uint32_t* flags, bool borrow_pixels = false,
                                    std::string* reason = nullptr);
