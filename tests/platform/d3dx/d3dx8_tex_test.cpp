// Surface loading with conversion and filters, and image files through libpng and libjpeg.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/d3dx/d3dx8_tex.h"
#include "platform/system/debug.h"
#include "tests/support/fifo_guard.h"
#include "tests/support/recording_d3d.h"

namespace {

using vt_test::CRecordingSurface;

HRESULT Load(CRecordingSurface& surface, const void* pixels, D3DFORMAT format, UINT width, UINT height, DWORD filter,
             const PALETTEENTRY* palette = nullptr, D3DCOLOR key = 0) {
  const RECT whole{0, 0, LONG(width), LONG(height)};
  return D3DXLoadSurfaceFromMemory(&surface, palette, nullptr, pixels, format, width * D3DXBytesPerPixel(format),
                                   palette, &whole, filter, key);
}

uint32_t Word(CRecordingSurface& surface, size_t index, UINT bytes) {
  uint32_t value = 0;
  for (UINT b = 0; b < bytes; ++b) value |= uint32_t(surface.Pixels()[index * bytes + b]) << (8 * b);
  return value;
}

TEST(D3DXLoadSurface, ConvertsOnePixelIntoEveryFormat) {
  const uint32_t source = 0x80FF4000u;  // alpha 0x80, red 0xFF, green 0x40, blue 0
  struct Case {
    D3DFORMAT format;
    uint32_t expected;
  };
  const Case cases[] = {
      {D3DFMT_A8R8G8B8, 0x80FF4000u}, {D3DFMT_X8R8G8B8, 0xFFFF4000u}, {D3DFMT_R8G8B8, 0xFF4000u},
      {D3DFMT_A4R4G4B4, 0x8F40u},     {D3DFMT_A1R5G5B5, 0xFD00u},     {D3DFMT_R5G6B5, 0xFA00u},
      {D3DFMT_A8, 0x80u},
  };
  for (const Case& c : cases) {
    CRecordingSurface surface(1, 1, c.format, 0);
    ASSERT_EQ(Load(surface, &source, D3DFMT_A8R8G8B8, 1, 1, D3DX_FILTER_NONE), D3D_OK) << c.format;
    EXPECT_EQ(Word(surface, 0, D3DXBytesPerPixel(c.format)), c.expected) << "format " << c.format;
  }
}

TEST(D3DXLoadSurface, FiltersResampleAsNamed) {
  // 2x2 black and white checker: the box filter averages to grey; no filter picks a pixel.
  const uint32_t checker[4] = {0xFFFFFFFFu, 0xFF000000u, 0xFF000000u, 0xFFFFFFFFu};
  CRecordingSurface box(1, 1, D3DFMT_A8R8G8B8, 0);
  ASSERT_EQ(Load(box, checker, D3DFMT_A8R8G8B8, 2, 2, D3DX_FILTER_BOX), D3D_OK);
  EXPECT_NEAR(int(box.Pixels()[0]), 128, 1);
  CRecordingSurface none(1, 1, D3DFMT_A8R8G8B8, 0);
  ASSERT_EQ(Load(none, checker, D3DFMT_A8R8G8B8, 2, 2, D3DX_FILTER_NONE), D3D_OK);
  EXPECT_EQ(none.Pixels()[0], 0xFF);
  // Upscaling 1x2 to 1x4 linearly keeps the ends and blends between them.
  const uint32_t ramp[2] = {0xFF000000u, 0xFF0000FFu};
  CRecordingSurface linear(1, 4, D3DFMT_A8R8G8B8, 0);
  ASSERT_EQ(Load(linear, ramp, D3DFMT_A8R8G8B8, 1, 2, D3DX_FILTER_LINEAR), D3D_OK);
  EXPECT_EQ(linear.Pixels()[0], 0);
  EXPECT_NEAR(int(linear.Pixels()[4]), 64, 1);
  EXPECT_NEAR(int(linear.Pixels()[8]), 191, 1);
  EXPECT_EQ(linear.Pixels()[12], 255);
}

TEST(D3DXLoadSurface, PalettesExpandAndAreRequired) {
  PALETTEENTRY palette[256] = {};
  palette[3] = {10, 20, 30, 40};
  const uint8_t index = 3;
  CRecordingSurface surface(1, 1, D3DFMT_A8R8G8B8, 0);
  ASSERT_EQ(Load(surface, &index, D3DFMT_P8, 1, 1, D3DX_FILTER_NONE, palette), D3D_OK);
  EXPECT_EQ(Word(surface, 0, 4), 0x280A141Eu);
  EXPECT_EQ(Load(surface, &index, D3DFMT_P8, 1, 1, D3DX_FILTER_NONE, nullptr), D3DERR_INVALIDCALL);
  // The nearest entry is chosen for a paletted destination.
  const uint32_t colour = 0x290B131Fu;
  CRecordingSurface paletted(1, 1, D3DFMT_P8, 0);
  ASSERT_EQ(Load(paletted, &colour, D3DFMT_A8R8G8B8, 1, 1, D3DX_FILTER_NONE, palette), D3D_OK);
  EXPECT_EQ(paletted.Pixels()[0], 3);
}

TEST(D3DXLoadSurface, ColourKeyAndBadInputs) {
  const uint32_t pixels[2] = {0xFFFF00FFu, 0xFF123456u};
  CRecordingSurface surface(2, 1, D3DFMT_A8R8G8B8, 0);
  ASSERT_EQ(Load(surface, pixels, D3DFMT_A8R8G8B8, 2, 1, D3DX_FILTER_NONE, nullptr, 0xFFFF00FFu), D3D_OK);
  EXPECT_EQ(Word(surface, 0, 4), 0u);
  EXPECT_EQ(Word(surface, 1, 4), 0xFF123456u);

  const RECT backwards{2, 0, 0, 1};
  EXPECT_EQ(D3DXLoadSurfaceFromMemory(&surface, nullptr, nullptr, pixels, D3DFMT_A8R8G8B8, 8, nullptr, &backwards,
                                      D3DX_FILTER_NONE, 0),
            D3DERR_INVALIDCALL);
  const RECT outside{0, 0, 3, 1};
  EXPECT_EQ(D3DXLoadSurfaceFromMemory(&surface, nullptr, &outside, pixels, D3DFMT_A8R8G8B8, 8, nullptr, &outside,
                                      D3DX_FILTER_NONE, 0),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(Load(surface, pixels, D3DFMT_DXT1, 2, 1, D3DX_FILTER_NONE), D3DERR_INVALIDCALL);
  surface.fail_lock = true;
  EXPECT_EQ(Load(surface, pixels, D3DFMT_A8R8G8B8, 2, 1, D3DX_FILTER_NONE), D3DERR_INVALIDCALL);
}

// --- image files ---

std::string TempPath(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir != nullptr ? dir : "/tmp") + "/vt_d3dx_" + std::to_string(::getpid()) + "_" + name;
}

bool WritePng(const std::string& path, UINT width, UINT height, bool alpha, const std::vector<uint8_t>& rgba) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const UINT channels = alpha ? 4 : 3;
  std::vector<uint8_t> row(size_t(width) * channels);
  for (UINT y = 0; y < height; ++y) {
    for (UINT x = 0; x < width; ++x) {
      for (UINT c = 0; c < channels; ++c) row[x * channels + c] = rgba[(size_t(y) * width + x) * 4 + c];
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

bool WriteJpeg(const std::string& path, UINT width, UINT height, const uint8_t rgb[3]) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = width;
  info.image_height = height;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(size_t(width) * 3);
  for (UINT x = 0; x < width; ++x) std::copy(rgb, rgb + 3, row.begin() + x * 3);
  while (info.next_scanline < height) {
    JSAMPROW pointer = row.data();
    jpeg_write_scanlines(&info, &pointer, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return std::fclose(file) == 0;
}

TEST(D3DXImageFile, PngKeepsItsPixelsAndAlphaTopRowFirst) {
  // 2x2: red, green over blue, half-transparent white.
  const std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128};
  const std::string path = TempPath("a.png");
  ASSERT_TRUE(WritePng(path, 2, 2, true, rgba));
  D3DXDecodedImage image;
  ASSERT_TRUE(D3DXDecodeImageFile(path.c_str(), &image));
  EXPECT_EQ(image.Width, 2u);
  EXPECT_EQ(image.Height, 2u);
  EXPECT_TRUE(image.HasAlpha);
  const std::vector<uint8_t> bgra = {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 128};
  EXPECT_EQ(image.Pixels, bgra);

  const std::string opaque = TempPath("b.png");
  ASSERT_TRUE(WritePng(opaque, 2, 2, false, rgba));
  ASSERT_TRUE(D3DXDecodeImageFile(opaque.c_str(), &image));
  EXPECT_FALSE(image.HasAlpha);
  EXPECT_EQ(image.Pixels[15], 255);
  std::remove(path.c_str());
  std::remove(opaque.c_str());
}

TEST(D3DXImageFile, JpegDecodesToOpaqueColour) {
  const uint8_t orange[3] = {240, 128, 16};
  const std::string path = TempPath("c.jpg");
  ASSERT_TRUE(WriteJpeg(path, 16, 8, orange));
  D3DXDecodedImage image;
  ASSERT_TRUE(D3DXDecodeImageFile(path.c_str(), &image));
  EXPECT_EQ(image.Width, 16u);
  EXPECT_EQ(image.Height, 8u);
  EXPECT_FALSE(image.HasAlpha);
  EXPECT_NEAR(int(image.Pixels[2]), 240, 4);
  EXPECT_NEAR(int(image.Pixels[1]), 128, 4);
  EXPECT_NEAR(int(image.Pixels[0]), 16, 4);
  EXPECT_EQ(image.Pixels[3], 255);
  std::remove(path.c_str());
}

TEST(D3DXImageFile, DamagedOrForeignFilesAreRefused) {
  const std::vector<uint8_t> rgba(16 * 16 * 4, 200);
  const std::string png = TempPath("d.png");
  ASSERT_TRUE(WritePng(png, 16, 16, true, rgba));
  const std::string cut = TempPath("e.png");
  {
    FILE* in = std::fopen(png.c_str(), "rb");
    std::vector<uint8_t> bytes(4096);
    const size_t n = std::fread(bytes.data(), 1, bytes.size(), in);
    std::fclose(in);
    FILE* out = std::fopen(cut.c_str(), "wb");
    std::fwrite(bytes.data(), 1, n / 2, out);
    std::fclose(out);
  }
  const std::string text = TempPath("f.txt");
  {
    FILE* out = std::fopen(text.c_str(), "wb");
    std::fputs("not an image at all", out);
    std::fclose(out);
  }
  D3DXDecodedImage image;
  EXPECT_FALSE(D3DXDecodeImageFile(cut.c_str(), &image));
  EXPECT_FALSE(D3DXDecodeImageFile(text.c_str(), &image));
  EXPECT_FALSE(D3DXDecodeImageFile(TempPath("missing.png").c_str(), &image));
  std::remove(png.c_str());
  std::remove(cut.c_str());
  std::remove(text.c_str());
}

}  // namespace

namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) return bytes;
  uint8_t chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(in);
  return bytes;
}

// A 64 x 64 JPEG of one colour, as bytes.
std::vector<uint8_t> SmallJpeg() {
  const uint8_t teal[3] = {20, 160, 150};
  const std::string path = TempPath("size.jpg");
  EXPECT_TRUE(WriteJpeg(path, 64, 64, teal));
  std::vector<uint8_t> bytes = FileBytes(path);
  std::remove(path.c_str());
  return bytes;
}

// Sets the size a JPEG's frame header declares.
void DeclareJpegSize(std::vector<uint8_t>& jpeg, uint16_t width, uint16_t height) {
  for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] != 0xFF || (jpeg[i + 1] != 0xC0 && jpeg[i + 1] != 0xC2)) continue;
    jpeg[i + 5] = uint8_t(height >> 8);
    jpeg[i + 6] = uint8_t(height);
    jpeg[i + 7] = uint8_t(width >> 8);
    jpeg[i + 8] = uint8_t(width);
    return;
  }
  ADD_FAILURE() << "no frame header";
}

// A FIFO in place of an image file is refused at once with a line naming it.
TEST(D3DXImageFile, AFifoIsRefusedAtOnceAndNamed) {
  const std::string fifo = TempPath("fifo.png");
  std::remove(fifo.c_str());
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::vector<std::string> errors;
  plat::Set_Error_Recorder([&](const std::string& text) { errors.push_back(text); });
  D3DXDecodedImage image;
  bool decoded = true;
  EXPECT_TRUE(vt_test::Returns_Without_Waiting(fifo, [&] { decoded = D3DXDecodeImageFile(fifo.c_str(), &image); }));
  plat::Set_Error_Recorder(nullptr);
  std::remove(fifo.c_str());
  EXPECT_FALSE(decoded);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], fifo + " was not opened: it is a FIFO, not a regular file");
}

TEST(D3DXImageFile, DeclaredSizeOverTheLimitIsRefusedBeforeDecoding) {
  const std::vector<uint8_t> jpeg = SmallJpeg();
  D3DXDecodedImage image;
  ASSERT_TRUE(D3DXDecodeImageInMemory(jpeg.data(), jpeg.size(), &image, 64));
  EXPECT_EQ(image.Width, 64u);
  EXPECT_FALSE(D3DXDecodeImageInMemory(jpeg.data(), jpeg.size(), &image, 63));
  // A small file that declares a huge picture.
  std::vector<uint8_t> huge = jpeg;
  DeclareJpegSize(huge, 16384, 16384);
  EXPECT_FALSE(D3DXDecodeImageInMemory(huge.data(), huge.size(), &image, 4096));
  const std::vector<uint8_t> rgba(8 * 4 * 4, 90);
  const std::string png = TempPath("wide.png");
  ASSERT_TRUE(WritePng(png, 8, 4, true, rgba));
  EXPECT_FALSE(D3DXDecodeImageFile(png.c_str(), &image, 7));
  EXPECT_TRUE(D3DXDecodeImageFile(png.c_str(), &image, 8));
  std::remove(png.c_str());
}

// libjpeg carries on through damaged data with made-up pixels; such a picture is refused.
TEST(D3DXImageFile, JpegWithDecodeErrorsIsRefused) {
  const std::vector<uint8_t> jpeg = SmallJpeg();
  ASSERT_GT(jpeg.size(), 400u);
  D3DXDecodedImage image;
  ASSERT_TRUE(D3DXDecodeImageInMemory(jpeg.data(), jpeg.size(), &image));
  std::vector<uint8_t> cut(jpeg.begin(), jpeg.end() - 40);
  std::vector<uint8_t> no_end = jpeg;
  no_end.erase(no_end.end() - 2, no_end.end());  // without its end marker
  std::vector<uint8_t> marker_in_data = jpeg;
  marker_in_data[marker_in_data.size() - 30] = 0xFF;
  marker_in_data[marker_in_data.size() - 29] = 0xD3;  // a restart marker where none belongs
  for (const std::vector<uint8_t>* damaged : {&cut, &no_end, &marker_in_data}) {
    EXPECT_FALSE(D3DXDecodeImageInMemory(damaged->data(), damaged->size(), &image)) << damaged->size();
  }
}

}  // namespace
