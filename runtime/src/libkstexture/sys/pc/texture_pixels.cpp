#include "runtime/src/libkstexture/sys/pc/texture_pixels.h"

#include "runtime/src/libkstexture/sys/pc/texture_format.h"

namespace {

// Widens an n-bit channel to 8 bits by repeating its high bits.
uint8_t Widen(uint32_t value, int bits) {
  const uint32_t shifted = value << (8 - bits);
  return uint8_t(shifted | (shifted >> bits));
}

uint32_t Narrow(uint8_t value, int bits) { return (uint32_t(value) * ((1u << bits) - 1) + 127) / 255; }

uint16_t Load16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

void Store16(uint8_t* p, uint32_t value) {
  p[0] = uint8_t(value);
  p[1] = uint8_t(value >> 8);
}

void SetRgba(uint8_t* rgba, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  rgba[0] = r;
  rgba[1] = g;
  rgba[2] = b;
  rgba[3] = a;
}

void DecodePixel(uint32_t format, const uint8_t* s, const uint8_t* palette, uint8_t* rgba) {
  switch (format) {
    case kTexFmt_A8R8G8B8: SetRgba(rgba, s[2], s[1], s[0], s[3]); break;
    case kTexFmt_R8G8B8: SetRgba(rgba, s[2], s[1], s[0], 255); break;
    case kTexFmt_P8:
    case kTexFmt_P8_Alt: {
      const uint8_t* entry = palette + 4 * s[0];
      SetRgba(rgba, entry[0], entry[1], entry[2], entry[3]);
      break;
    }
    case kTexFmt_A4R4G4B4: {
      const uint16_t v = Load16(s);
      SetRgba(rgba, Widen((v >> 8) & 15, 4), Widen((v >> 4) & 15, 4), Widen(v & 15, 4),
              Widen(v >> 12, 4));
      break;
    }
    case kTexFmt_A1R5G5B5: {
      const uint16_t v = Load16(s);
      SetRgba(rgba, Widen((v >> 10) & 31, 5), Widen((v >> 5) & 31, 5), Widen(v & 31, 5),
              (v & 0x8000) ? 255 : 0);
      break;
    }
    case kTexFmt_R5G6B5: {
      const uint16_t v = Load16(s);
      SetRgba(rgba, Widen(v >> 11, 5), Widen((v >> 5) & 63, 6), Widen(v & 31, 5), 255);
      break;
    }
    case kTexFmt_V8U8: SetRgba(rgba, uint8_t(s[0] ^ 0x80), uint8_t(s[1] ^ 0x80), 0, 255); break;
    default: break;
  }
}

void EncodePixel(uint32_t format, const uint8_t* rgba, CPaletteMatcher* matcher, uint8_t* t) {
  const uint8_t r = rgba[0], g = rgba[1], b = rgba[2], a = rgba[3];
  switch (format) {
    case kTexFmt_A8R8G8B8: t[0] = b; t[1] = g; t[2] = r; t[3] = a; break;
    case kTexFmt_R8G8B8: t[0] = b; t[1] = g; t[2] = r; break;
    case kTexFmt_P8:
    case kTexFmt_P8_Alt: t[0] = matcher->Nearest(rgba); break;
    case kTexFmt_A4R4G4B4:
      Store16(t, (Narrow(a, 4) << 12) | (Narrow(r, 4) << 8) | (Narrow(g, 4) << 4) | Narrow(b, 4));
      break;
    case kTexFmt_A1R5G5B5:
      Store16(t, (a >= 128 ? 0x8000u : 0u) | (Narrow(r, 5) << 10) | (Narrow(g, 5) << 5) |
                     Narrow(b, 5));
      break;
    case kTexFmt_R5G6B5: Store16(t, (Narrow(r, 5) << 11) | (Narrow(g, 6) << 5) | Narrow(b, 5)); break;
    case kTexFmt_V8U8: t[0] = uint8_t(r ^ 0x80); t[1] = uint8_t(g ^ 0x80); break;
    default: break;
  }
}

}  // namespace

bool IsConvertibleFormat(uint32_t format) {
  return IsKnownTextureFormat(format) && !IsBlockCompressedFormat(format);
}

bool DecodePixelRow(uint32_t format, const uint8_t* source, uint32_t count,
                    const uint8_t* palette, uint8_t* rgba) {
  if (!IsConvertibleFormat(format)) return false;
  if (IsPalettedFormat(format) && palette == nullptr) return false;
  const uint32_t step = GetBytesPerPixel(format);
  for (uint32_t i = 0; i < count; ++i) DecodePixel(format, source + i * step, palette, rgba + 4 * i);
  return true;
}

uint8_t CPaletteMatcher::Nearest(const uint8_t* rgba) {
  const uint32_t key = uint32_t(rgba[0]) | (uint32_t(rgba[1]) << 8) | (uint32_t(rgba[2]) << 16) |
                       (uint32_t(rgba[3]) << 24);
  const auto found = m_Matched.find(key);
  if (found != m_Matched.end()) return found->second;
  uint32_t best = 0;
  uint32_t best_distance = UINT32_MAX;
  for (uint32_t index = 0; index < kPaletteEntries && best_distance > 0; ++index) {
    const uint8_t* entry = m_pPalette + 4 * index;
    uint32_t distance = 0;
    for (int c = 0; c < 4; ++c) {
      const int d = int(entry[c]) - int(rgba[c]);
      distance += uint32_t(d * d);
    }
    if (distance < best_distance) {
      best_distance = distance;
      best = index;
    }
  }
  m_Matched.emplace(key, uint8_t(best));
  return uint8_t(best);
}

bool EncodePixelRow(uint32_t format, const uint8_t* rgba, uint32_t count,
                    CPaletteMatcher* matcher, uint8_t* target) {
  if (!IsConvertibleFormat(format)) return false;
  if (IsPalettedFormat(format) && (matcher == nullptr || matcher->Palette() == nullptr)) {
    return false;
  }
  const uint32_t step = GetBytesPerPixel(format);
  for (uint32_t i = 0; i < count; ++i) EncodePixel(format, rgba + 4 * i, matcher, target + i * step);
  return true;
}
