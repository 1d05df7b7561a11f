// Software resampling and format conversion between the uncompressed texture formats.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_format.h"
#include "tests/runtime/texture/texture_test_support.h"

namespace {

using textest::Bytes;

// 32-bit pixels (blue, green, red, alpha bytes) from 0xAARRGGBB values.
Bytes Pixels32(const std::vector<uint32_t>& argb) {
  Bytes bytes;
  for (uint32_t c : argb) {
    bytes.insert(bytes.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), uint8_t(c >> 24)});
  }
  return bytes;
}

Bytes Stretch(const Bytes& source, uint32_t format, uint32_t width, uint32_t height,
              uint32_t to_format, uint32_t to_width, uint32_t to_height,
              const uint8_t* palette = nullptr) {
  Bytes out(size_t(GetMipSize(to_format, to_width, to_height)), 0xCD);
  EXPECT_TRUE(StretchBlt_SW(source.data(), format, width, height, out.data(), to_format, to_width,
                            to_height, palette));
  return out;
}

TEST(StretchBltTest, SameSizeAndFormatCopiesEveryByte) {
  for (uint32_t format : {1u, 3u, 5u, 9u, 10u, 11u, 15u}) {
    SCOPED_TRACE(format);
    Bytes source(size_t(GetMipSize(format, 5, 3)));
    for (size_t i = 0; i < source.size(); ++i) source[i] = uint8_t(i * 37 + 11);
    const Bytes palette(1024, 7);
    EXPECT_EQ(Stretch(source, format, 5, 3, format, 5, 3, palette.data()), source);
  }
}

TEST(StretchBltTest, BoxFilterAveragesTheAreaEachPixelCovers) {
  // 4 x 2 to 2 x 1: each target pixel is the mean of a 2 x 2 square.
  const Bytes source = Pixels32({0xFF000000, 0x00FFFFFF, 0x10203040, 0x30405060,
                                 0xFF000000, 0x00FFFFFF, 0x50607080, 0x70809000});
  EXPECT_EQ(Stretch(source, 1, 4, 2, 1, 2, 1),
            Pixels32({0x80808080, 0x40506048}));
  // 3 x 1 to 2 x 1: the middle pixel is split between both targets.
  const Bytes three = Pixels32({0xFF000000, 0xFF303030, 0xFF606060});
  EXPECT_EQ(Stretch(three, 1, 3, 1, 1, 2, 1), Pixels32({0xFF101010, 0xFF505050}));
  // 1 x 1 to 3 x 2: enlarging repeats the pixel.
  const Bytes one = Pixels32({0x12345678});
  EXPECT_EQ(Stretch(one, 1, 1, 1, 1, 3, 2), Pixels32(std::vector<uint32_t>(6, 0x12345678)));
}

TEST(StretchBltTest, ConvertsBetweenFormats) {
  struct Case {
    uint32_t format;
    uint32_t argb;       // what is written
    Bytes bytes;         // its bytes in the format
    uint32_t read_back;  // what decoding them gives
  };
  const Case cases[] = {
      {3, 0x80FF8000, {0x00, 0x80, 0xFF}, 0xFFFF8000},
      {9, 0x80FF8000, {0x80, 0x8F}, 0x88FF8800},
      {10, 0x80FF8000, {0x00, 0xFE}, 0xFFFF8400},
      {10, 0x7FFF8000, {0x00, 0x7E}, 0x00FF8400},
      {11, 0x00FF8000, {0x00, 0xFC}, 0xFFFF8200},
      {15, 0xFF8000FF, {0x00, 0x80}, 0xFF8000FF & 0xFFFFFF00},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(Stretch(Pixels32({c.argb}), 1, 1, 1, c.format, 1, 1), c.bytes);
    EXPECT_EQ(Stretch(c.bytes, c.format, 1, 1, 1, 1, 1), Pixels32({c.read_back}));
  }
}

TEST(StretchBltTest, SignedPairsAverageAsSignedValues) {
  // u = -2 and +2 average to 0, not to -128.
  const Bytes source = {0xFE, 0x10, 0x02, 0x10};
  EXPECT_EQ(Stretch(source, 15, 2, 1, 15, 1, 1), (Bytes{0x00, 0x10}));
}

TEST(StretchBltTest, PalettedTargetsTakeTheNearestEntry) {
  Bytes palette(1024, 0);
  auto entry = [&](int i, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    palette[4 * i] = r;
    palette[4 * i + 1] = g;
    palette[4 * i + 2] = b;
    palette[4 * i + 3] = a;
  };
  for (int i = 0; i < 256; ++i) entry(i, 0, 0, 0, 0);
  entry(3, 255, 0, 0, 255);
  entry(9, 0, 0, 255, 255);
  entry(12, 128, 0, 128, 255);
  // Red and blue halves average to purple, entry 12.
  EXPECT_EQ(Stretch(Bytes{3, 9}, 5, 2, 1, 5, 1, 1, palette.data()), Bytes{12});
  EXPECT_EQ(Stretch(Pixels32({0xFFF01010}), 1, 1, 1, 7, 1, 1, palette.data()), Bytes{3});
  EXPECT_EQ(Stretch(Bytes{9}, 5, 1, 1, 1, 1, 1, palette.data()), Pixels32({0xFF0000FF}));
}

TEST(StretchBltTest, RefusesWhatItCannotDo) {
  Bytes buffer(64, 0);
  const Bytes palette(1024, 0);
  struct Case {
    const char* name;
    uint32_t from, fw, fh, to, tw, th;
    const uint8_t* palette;
  };
  const Case cases[] = {
      {"zero source width", 1, 0, 2, 1, 2, 2, nullptr},
      {"zero target height", 1, 2, 2, 1, 2, 0, nullptr},
      {"DXT1 source", 12, 4, 4, 1, 2, 2, nullptr},
      {"DXT5 target", 1, 4, 4, 14, 4, 4, nullptr},
      {"unknown format", 2, 2, 2, 1, 2, 2, nullptr},
      {"paletted source without palette", 5, 2, 2, 1, 2, 2, nullptr},
      {"paletted target without palette", 1, 2, 2, 7, 2, 2, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(StretchBlt_SW(buffer.data(), c.from, c.fw, c.fh, buffer.data() + 32, c.to, c.tw,
                               c.th, c.palette));
  }
  EXPECT_FALSE(StretchBlt_SW(nullptr, 1, 1, 1, buffer.data(), 1, 1, 1, nullptr));
  EXPECT_FALSE(StretchBlt_SW(buffer.data(), 1, 1, 1, nullptr, 1, 1, 1, nullptr));
  EXPECT_TRUE(StretchBlt_SW(buffer.data(), 5, 2, 2, buffer.data() + 32, 1, 2, 2, palette.data()));
}

}  // namespace
