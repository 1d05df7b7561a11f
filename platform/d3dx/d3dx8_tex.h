#pragma once
// Texture helpers in the shape the renderer calls them: loading a surface from pixels in memory
// with format conversion and resampling, creating a texture with a full mip chain, and loading
// a texture from a PNG or JPEG file.
#include <cstdint>
#include <cstddef>
#include <vector>

#include "platform/d3d/d3d8.h"

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;

// Resampling filters. NONE and POINT take the nearest source pixel, LINEAR interpolates
// between the four nearest, TRIANGLE and BOX average the source area each pixel covers.
constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;

// Copies a rectangle of source pixels into a rectangle of the surface (null rectangles: the
// whole image), converting between formats and resampling when the sizes differ. Paletted
// formats need their palette. A non-zero colour key (ARGB) turns matching source pixels into
// transparent black. D3DERR_INVALIDCALL for unknown formats, bad rectangles or a surface that
// does not lock.
HRESULT D3DXLoadSurfaceFromMemory(IDirect3DSurface8* dest, const PALETTEENTRY* dest_palette, const RECT* dest_rect,
                                  const void* source, D3DFORMAT source_format, UINT source_pitch,
                                  const PALETTEENTRY* source_palette, const RECT* source_rect, DWORD filter,
                                  D3DCOLOR color_key);

// A texture from the device; a level count of 0 (or D3DX_DEFAULT) makes the full chain down to
// 1 x 1.
HRESULT D3DXCreateTexture(IDirect3DDevice8* device, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8** texture);

// A managed texture with a full mip chain from a PNG or JPEG file: A8R8G8B8 when the image has
// alpha, X8R8G8B8 otherwise. Lower levels are box-filtered from the image.
HRESULT D3DXCreateTextureFromFileW(IDirect3DDevice8* device, const wchar_t* path, IDirect3DTexture8** texture);

// A decoded image: rows top first, 4 bytes a pixel in memory order blue, green, red, alpha.
struct D3DXDecodedImage {
  UINT Width = 0;
  UINT Height = 0;
  bool HasAlpha = false;
  std::vector<uint8_t> Pixels;
};

// Decodes a PNG or JPEG file (recognised by its signature); false for anything else, a file
// with decode errors (a JPEG libjpeg warns about included) or an image whose declared size is
// over `max_side` (at most 16384) on a side, which is refused before any pixel is decoded.
bool D3DXDecodeImageFile(const char* path, D3DXDecodedImage* image, UINT max_side = 16384);
// The same for the bytes of such a file held in memory.
bool D3DXDecodeImageInMemory(const void* data, size_t size, D3DXDecodedImage* image, UINT max_side = 16384);

// Bytes of one pixel of an uncompressed format; 0 for block-compressed and unknown formats.
UINT D3DXBytesPerPixel(D3DFORMAT format);
