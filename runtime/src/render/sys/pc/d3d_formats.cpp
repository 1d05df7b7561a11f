#include "runtime/src/render/sys/pc/d3d_formats.h"

namespace {

struct FormatBits {
  D3DFORMAT format;
  DWORD bits, alpha, red, green, blue;
};

constexpr FormatBits kFormatBits[] = {
    {D3DFMT_R8G8B8, 24, 0, 0xFF0000, 0xFF00, 0xFF},
    {D3DFMT_A8R8G8B8, 32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF},
    {D3DFMT_X8R8G8B8, 32, 0, 0xFF0000, 0xFF00, 0xFF},
    {D3DFMT_R5G6B5, 16, 0, 0xF800, 0x7E0, 0x1F},
    {D3DFMT_X1R5G5B5, 16, 0, 0x7C00, 0x3E0, 0x1F},
    {D3DFMT_A1R5G5B5, 16, 0x8000, 0x7C00, 0x3E0, 0x1F},
    {D3DFMT_A4R4G4B4, 16, 0xF000, 0xF00, 0xF0, 0xF},
    {D3DFMT_P8, 8, 0xFF000000, 0xFF0000, 0xFF00, 0xFF},
    {D3DFMT_V8U8, 16, 0, 0, 0, 0},
};

struct FormatCode {
  D3DFORMAT format;
  int code;
};

constexpr FormatCode kTextureCodes[] = {
    {D3DFMT_A8R8G8B8, 1}, {D3DFMT_R8G8B8, 3}, {D3DFMT_P8, 5},    {D3DFMT_A4R4G4B4, 9}, {D3DFMT_A1R5G5B5, 10},
    {D3DFMT_R5G6B5, 11},  {D3DFMT_DXT1, 12},  {D3DFMT_DXT3, 13}, {D3DFMT_DXT5, 14},    {D3DFMT_V8U8, 15},
};

struct DepthBits {
  D3DFORMAT format;
  DWORD depth, stencil;
};

// D24X4S4 counts as a depth buffer without stencil.
constexpr DepthBits kDepthBits[] = {
    {D3DFMT_D16_LOCKABLE, 16, 0}, {D3DFMT_D16, 16, 0},   {D3DFMT_D32, 32, 0},     {D3DFMT_D15S1, 16, 1},
    {D3DFMT_D24S8, 24, 8},        {D3DFMT_D24X8, 24, 0}, {D3DFMT_D24X4S4, 24, 0},
};

void Store(DWORD* out, DWORD value) {
  if (out != nullptr) *out = value;
}

}  // namespace

void GetFormatBits(D3DFORMAT format, DWORD* bits, DWORD* alpha_mask, DWORD* red_mask, DWORD* green_mask,
                   DWORD* blue_mask) {
  for (const FormatBits& f : kFormatBits) {
    if (f.format != format) continue;
    Store(bits, f.bits);
    Store(alpha_mask, f.alpha);
    Store(red_mask, f.red);
    Store(green_mask, f.green);
    Store(blue_mask, f.blue);
    return;
  }
}

int GetTextureFormatCode(D3DFORMAT format) {
  for (const FormatCode& f : kTextureCodes)
    if (f.format == format) return f.code;
  return 0;
}

void GetDepthFormatBits(D3DFORMAT format, DWORD* depth_bits, DWORD* stencil_bits) {
  Store(depth_bits, 0);
  Store(stencil_bits, 0);
  for (const DepthBits& d : kDepthBits) {
    if (d.format != format) continue;
    Store(depth_bits, d.depth);
    Store(stencil_bits, d.stencil);
    return;
  }
}
