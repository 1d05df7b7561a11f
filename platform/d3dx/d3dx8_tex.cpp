#include "platform/d3dx/d3dx8_tex.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct Rgba {
  float r, g, b, a;
};

uint8_t Widen(uint32_t value, int bits) {
  const uint32_t shifted = value << (8 - bits);
  return uint8_t(shifted | (shifted >> bits));
}

uint32_t Narrow(float value, int bits) {
  const float clamped = std::clamp(value, 0.0f, 255.0f);
  return uint32_t(clamped * float((1u << bits) - 1) / 255.0f + 0.5f);
}

uint8_t Byte(float value) { return uint8_t(std::clamp(value, 0.0f, 255.0f) + 0.5f); }

uint16_t Load16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

void Store16(uint8_t* p, uint32_t value) {
  p[0] = uint8_t(value);
  p[1] = uint8_t(value >> 8);
}

bool IsBlockFormat(D3DFORMAT format) {
  return format == D3DFMT_DXT1 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5;
}

bool IsPaletted(D3DFORMAT format) { return format == D3DFMT_P8; }

Rgba Decode(D3DFORMAT format, const uint8_t* s, const PALETTEENTRY* palette) {
  switch (format) {
    case D3DFMT_A8R8G8B8: return {float(s[2]), float(s[1]), float(s[0]), float(s[3])};
    case D3DFMT_X8R8G8B8:
    case D3DFMT_R8G8B8: return {float(s[2]), float(s[1]), float(s[0]), 255.0f};
    case D3DFMT_A4R4G4B4: {
      const uint16_t v = Load16(s);
      return {float(Widen((v >> 8) & 15, 4)), float(Widen((v >> 4) & 15, 4)), float(Widen(v & 15, 4)),
              float(Widen(v >> 12, 4))};
    }
    case D3DFMT_A1R5G5B5:
    case D3DFMT_X1R5G5B5: {
      const uint16_t v = Load16(s);
      const float alpha = format == D3DFMT_X1R5G5B5 || (v & 0x8000) ? 255.0f : 0.0f;
      return {float(Widen((v >> 10) & 31, 5)), float(Widen((v >> 5) & 31, 5)), float(Widen(v & 31, 5)), alpha};
    }
    case D3DFMT_R5G6B5: {
      const uint16_t v = Load16(s);
      return {float(Widen(v >> 11, 5)), float(Widen((v >> 5) & 63, 6)), float(Widen(v & 31, 5)), 255.0f};
    }
    case D3DFMT_P8: {
      const PALETTEENTRY& e = palette[s[0]];
      return {float(e.peRed), float(e.peGreen), float(e.peBlue), float(e.peFlags)};
    }
    case D3DFMT_L8: return {float(s[0]), float(s[0]), float(s[0]), 255.0f};
    case D3DFMT_A8: return {0.0f, 0.0f, 0.0f, float(s[0])};
    // Signed channels travel offset by 128 so that filtering them stays right.
    case D3DFMT_V8U8: return {float(s[0] ^ 0x80), float(s[1] ^ 0x80), 0.0f, 255.0f};
    default: return {0.0f, 0.0f, 0.0f, 0.0f};
  }
}

uint8_t NearestEntry(const PALETTEENTRY* palette, const Rgba& c) {
  uint8_t best = 0;
  float best_distance = 1e30f;
  for (int i = 0; i < 256; ++i) {
    const float dr = palette[i].peRed - c.r, dg = palette[i].peGreen - c.g;
    const float db = palette[i].peBlue - c.b, da = palette[i].peFlags - c.a;
    const float distance = dr * dr + dg * dg + db * db + da * da;
    if (distance < best_distance) {
      best_distance = distance;
      best = uint8_t(i);
    }
  }
  return best;
}

void Encode(D3DFORMAT format, const Rgba& c, const PALETTEENTRY* palette, uint8_t* d) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      d[0] = Byte(c.b), d[1] = Byte(c.g), d[2] = Byte(c.r);
      d[3] = format == D3DFMT_X8R8G8B8 ? 255 : Byte(c.a);
      break;
    case D3DFMT_R8G8B8: d[0] = Byte(c.b), d[1] = Byte(c.g), d[2] = Byte(c.r); break;
    case D3DFMT_A4R4G4B4:
      Store16(d, (Narrow(c.a, 4) << 12) | (Narrow(c.r, 4) << 8) | (Narrow(c.g, 4) << 4) | Narrow(c.b, 4));
      break;
    case D3DFMT_A1R5G5B5:
    case D3DFMT_X1R5G5B5: {
      const uint32_t alpha = format == D3DFMT_X1R5G5B5 || c.a >= 127.5f ? 0x8000u : 0u;
      Store16(d, alpha | (Narrow(c.r, 5) << 10) | (Narrow(c.g, 5) << 5) | Narrow(c.b, 5));
      break;
    }
    case D3DFMT_R5G6B5: Store16(d, (Narrow(c.r, 5) << 11) | (Narrow(c.g, 6) << 5) | Narrow(c.b, 5)); break;
    case D3DFMT_P8: d[0] = NearestEntry(palette, c); break;
    case D3DFMT_L8: d[0] = Byte(0.299f * c.r + 0.587f * c.g + 0.114f * c.b); break;
    case D3DFMT_A8: d[0] = Byte(c.a); break;
    case D3DFMT_V8U8: d[0] = uint8_t(Byte(c.r) ^ 0x80), d[1] = uint8_t(Byte(c.g) ^ 0x80); break;
    default: break;
  }
}

struct Image {
  const uint8_t* bits;
  UINT pitch;
  D3DFORMAT format;
  const PALETTEENTRY* palette;
  UINT width;
  UINT height;

  Rgba At(UINT x, UINT y) const {
    return Decode(format, bits + size_t(y) * pitch + size_t(x) * D3DXBytesPerPixel(format), palette);
  }
};

Rgba Scale(const Rgba& c, float k) { return {c.r * k, c.g * k, c.b * k, c.a * k}; }

void Add(Rgba& sum, const Rgba& c) {
  sum.r += c.r, sum.g += c.g, sum.b += c.b, sum.a += c.a;
}

Rgba SamplePoint(const Image& s, UINT x, UINT y, UINT dw, UINT dh) {
  return s.At(UINT(uint64_t(x) * s.width / dw), UINT(uint64_t(y) * s.height / dh));
}

Rgba SampleLinear(const Image& s, UINT x, UINT y, UINT dw, UINT dh) {
  const float fx = std::clamp((x + 0.5f) * float(s.width) / float(dw) - 0.5f, 0.0f, float(s.width - 1));
  const float fy = std::clamp((y + 0.5f) * float(s.height) / float(dh) - 0.5f, 0.0f, float(s.height - 1));
  const UINT x0 = UINT(fx), y0 = UINT(fy);
  const UINT x1 = std::min(x0 + 1, s.width - 1), y1 = std::min(y0 + 1, s.height - 1);
  const float tx = fx - float(x0), ty = fy - float(y0);
  Rgba c = Scale(s.At(x0, y0), (1 - tx) * (1 - ty));
  Add(c, Scale(s.At(x1, y0), tx * (1 - ty)));
  Add(c, Scale(s.At(x0, y1), (1 - tx) * ty));
  Add(c, Scale(s.At(x1, y1), tx * ty));
  return c;
}

// The average over the source area the destination pixel covers.
Rgba SampleBox(const Image& s, UINT x, UINT y, UINT dw, UINT dh) {
  const double x0 = double(x) * s.width / dw, x1 = double(x + 1) * s.width / dw;
  const double y0 = double(y) * s.height / dh, y1 = double(y + 1) * s.height / dh;
  Rgba sum{0, 0, 0, 0};
  double total = 0;
  for (UINT sy = UINT(y0); sy < s.height && sy < y1; ++sy) {
    const double wy = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
    for (UINT sx = UINT(x0); sx < s.width && sx < x1; ++sx) {
      const double w = wy * (std::min<double>(sx + 1, x1) - std::max<double>(sx, x0));
      if (w <= 0) continue;
      Add(sum, Scale(s.At(sx, sy), float(w)));
      total += w;
    }
  }
  return total > 0 ? Scale(sum, float(1.0 / total)) : sum;
}

Rgba Sample(const Image& s, DWORD filter, UINT x, UINT y, UINT dw, UINT dh) {
  if (s.width == dw && s.height == dh) return s.At(x, y);
  switch (filter & 0xFF) {
    case D3DX_FILTER_LINEAR: return SampleLinear(s, x, y, dw, dh);
    case D3DX_FILTER_TRIANGLE:
    case D3DX_FILTER_BOX: return SampleBox(s, x, y, dw, dh);
    default: return SamplePoint(s, x, y, dw, dh);
  }
}

bool ValidRect(const RECT& r, UINT width, UINT height) {
  return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && UINT(r.right) <= width &&
         UINT(r.bottom) <= height;
}

bool MatchesKey(const Rgba& c, D3DCOLOR key) {
  return Byte(c.a) == ((key >> 24) & 0xFF) && Byte(c.r) == ((key >> 16) & 0xFF) &&
         Byte(c.g) == ((key >> 8) & 0xFF) && Byte(c.b) == (key & 0xFF);
}

// Same format, same size, block-compressed: rows of 4x4 blocks are copied as they are.
HRESULT CopyBlocks(const D3DLOCKED_RECT& locked, const uint8_t* source, UINT source_pitch, D3DFORMAT format,
                   UINT width, UINT height) {
  const UINT block_bytes = format == D3DFMT_DXT1 ? 8 : 16;
  const UINT row_bytes = std::max(1u, (width + 3) / 4) * block_bytes;
  const UINT rows = std::max(1u, (height + 3) / 4);
  for (UINT row = 0; row < rows; ++row) {
    std::memcpy(static_cast<uint8_t*>(locked.pBits) + size_t(row) * locked.Pitch,
                source + size_t(row) * source_pitch, std::min<UINT>(row_bytes, UINT(locked.Pitch)));
  }
  return D3D_OK;
}

}  // namespace

UINT D3DXBytesPerPixel(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: return 4;
    case D3DFMT_R8G8B8: return 3;
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_R5G6B5:
    case D3DFMT_V8U8: return 2;
    case D3DFMT_P8:
    case D3DFMT_L8:
    case D3DFMT_A8: return 1;
    default: return 0;
  }
}

HRESULT D3DXLoadSurfaceFromMemory(IDirect3DSurface8* dest, const PALETTEENTRY* dest_palette, const RECT* dest_rect,
                                  const void* source, D3DFORMAT source_format, UINT source_pitch,
                                  const PALETTEENTRY* source_palette, const RECT* source_rect, DWORD filter,
                                  D3DCOLOR color_key) {
  if (dest == nullptr || source == nullptr || source_rect == nullptr) return D3DERR_INVALIDCALL;
  D3DSURFACE_DESC desc{};
  if (FAILED(dest->GetDesc(&desc))) return D3DERR_INVALIDCALL;
  const RECT whole{0, 0, LONG(desc.Width), LONG(desc.Height)};
  const RECT target = dest_rect != nullptr ? *dest_rect : whole;
  if (!ValidRect(target, desc.Width, desc.Height)) return D3DERR_INVALIDCALL;
  const UINT sw = UINT(source_rect->right - source_rect->left), sh = UINT(source_rect->bottom - source_rect->top);
  const UINT dw = UINT(target.right - target.left), dh = UINT(target.bottom - target.top);
  if (source_rect->left < 0 || source_rect->top < 0 || source_rect->right <= source_rect->left ||
      source_rect->bottom <= source_rect->top) {
    return D3DERR_INVALIDCALL;
  }
  const bool blocks = IsBlockFormat(source_format) || IsBlockFormat(desc.Format);
  if (blocks && (source_format != desc.Format || sw != dw || sh != dh || dest_rect != nullptr ||
                 source_rect->left != 0 || source_rect->top != 0)) {
    return D3DERR_INVALIDCALL;
  }
  if (!blocks && (D3DXBytesPerPixel(source_format) == 0 || D3DXBytesPerPixel(desc.Format) == 0)) {
    return D3DERR_INVALIDCALL;
  }
  if ((IsPaletted(source_format) && source_palette == nullptr) || (IsPaletted(desc.Format) && dest_palette == nullptr)) {
    return D3DERR_INVALIDCALL;
  }
  D3DLOCKED_RECT locked{};
  if (FAILED(dest->LockRect(&locked, nullptr, 0))) return D3DERR_INVALIDCALL;
  const auto* bytes = static_cast<const uint8_t*>(source);
  if (blocks) {
    const HRESULT hr = CopyBlocks(locked, bytes, source_pitch, source_format, dw, dh);
    dest->UnlockRect();
    return hr;
  }
  const UINT source_bpp = D3DXBytesPerPixel(source_format);
  const Image image{bytes + size_t(source_rect->top) * source_pitch + size_t(source_rect->left) * source_bpp,
                    source_pitch, source_format, source_palette, sw, sh};
  const UINT dest_bpp = D3DXBytesPerPixel(desc.Format);
  for (UINT y = 0; y < dh; ++y) {
    uint8_t* row = static_cast<uint8_t*>(locked.pBits) + size_t(target.top + LONG(y)) * locked.Pitch;
    for (UINT x = 0; x < dw; ++x) {
      Rgba c = Sample(image, filter, x, y, dw, dh);
      if (color_key != 0 && MatchesKey(c, color_key)) c = {0, 0, 0, 0};
      Encode(desc.Format, c, dest_palette, row + size_t(target.left + LONG(x)) * dest_bpp);
    }
  }
  dest->UnlockRect();
  return D3D_OK;
}

HRESULT D3DXCreateTexture(IDirect3DDevice8* device, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8** texture) {
  if (device == nullptr || texture == nullptr || width == 0 || height == 0) return D3DERR_INVALIDCALL;
  if (levels == D3DX_DEFAULT) levels = 0;
  return device->CreateTexture(width, height, levels, usage, format, pool, texture);
}
