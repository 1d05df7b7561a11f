#pragma once
// Conversion of rows of pixels between the uncompressed texture formats and plain RGBA bytes
// (red, green, blue, alpha per pixel). The two-channel signed format keeps its channels in
// red and green, stored offset by 128 so that averaging them stays right.
#include <cstdint>
#include <unordered_map>

// True for the formats a row can be decoded from and encoded to.
bool IsConvertibleFormat(uint32_t format);

// Decodes count pixels of a format into RGBA; paletted formats need the 1024-byte palette.
bool DecodePixelRow(uint32_t format, const uint8_t* source, uint32_t count,
                    const uint8_t* palette, uint8_t* rgba);

// Picks the palette entry nearest to an RGBA colour (squared distance over the four
// channels, the lower index on a tie), remembering the colours it has matched.
class CPaletteMatcher {
 public:
  explicit CPaletteMatcher(const uint8_t* palette) : m_pPalette(palette) {}
  const uint8_t* Palette() const { return m_pPalette; }
  uint8_t Nearest(const uint8_t* rgba);

 private:
  const uint8_t* m_pPalette;
  std::unordered_map<uint32_t, uint8_t> m_Matched;
};

// Encodes count RGBA pixels into a format; paletted formats need a matcher.
bool EncodePixelRow(uint32_t format, const uint8_t* rgba, uint32_t count,
                    CPaletteMatcher* matcher, uint8_t* target);
