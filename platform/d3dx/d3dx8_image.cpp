// Image files for textures: PNG through libpng, JPEG through libjpeg.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

#include <jpeglib.h>
#include <png.h>

#include "platform/d3dx/d3dx8_tex.h"
#include "platform/system/files.h"

namespace {

constexpr UINT kMaxImageSide = 16384;

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

bool SizeIsSane(UINT width, UINT height, UINT max_side) {
  return width > 0 && height > 0 && width <= max_side && height <= max_side;
}

// libpng reports errors by long jump; nothing with a destructor lives between setjmp and the
// calls that may jump.
bool DecodePng(FILE* file, UINT max_side, D3DXDecodedImage* image) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, file);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  // The declared size is checked before any pixel memory is taken.
  if (!SizeIsSane(width, height, max_side)) png_error(png, "image size");
  const int colour = png_get_color_type(png, info);
  image->HasAlpha = (colour & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * 4) png_error(png, "row layout");
  image->Width = width;
  image->Height = height;
  image->Pixels.assign(size_t(width) * height * 4, 0);
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = image->Pixels.data() + size_t(y) * width * 4;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  bool damaged;
};

void OnJpegError(j_common_ptr info) {
  auto* error = reinterpret_cast<JpegError*>(info->err);
  std::longjmp(error->jump, 1);
}

// Level -1 is a warning about damaged data (a corrupt segment, a premature end), after which
// libjpeg goes on with made-up pixels: such a picture is refused. Trace messages are ignored.
void NoteJpegMessage(j_common_ptr info, int level) {
  if (level < 0) reinterpret_cast<JpegError*>(info->err)->damaged = true;
}

bool DecodeJpeg(FILE* file, UINT max_side, D3DXDecodedImage* image) {
  jpeg_decompress_struct info{};
  JpegError error{};
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = OnJpegError;
  error.manager.emit_message = NoteJpegMessage;
  std::vector<uint8_t> line;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  // The declared size is checked before decoding takes any memory for it.
  if (error.damaged || !SizeIsSane(info.image_width, info.image_height, max_side)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  if (!SizeIsSane(info.output_width, info.output_height, max_side) || info.output_components != 3) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  image->Width = info.output_width;
  image->Height = info.output_height;
  image->HasAlpha = false;
  image->Pixels.assign(size_t(image->Width) * image->Height * 4, 0);
  line.resize(size_t(image->Width) * 3);
  while (info.output_scanline < info.output_height) {
    const UINT y = info.output_scanline;
    JSAMPROW row = line.data();
    if (jpeg_read_scanlines(&info, &row, 1) != 1 || error.damaged) {
      jpeg_destroy_decompress(&info);
      return false;
    }
    uint8_t* out = image->Pixels.data() + size_t(y) * image->Width * 4;
    for (UINT x = 0; x < image->Width; ++x) {
      out[4 * x + 0] = line[3 * x + 2];
      out[4 * x + 1] = line[3 * x + 1];
      out[4 * x + 2] = line[3 * x + 0];
      out[4 * x + 3] = 0xFF;
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return !error.damaged;
}

bool DecodeImage(FILE* file, UINT max_side, D3DXDecodedImage* image) {
  uint8_t signature[8] = {};
  if (std::fread(signature, 1, sizeof(signature), file) != sizeof(signature)) return false;
  std::rewind(file);
  D3DXDecodedImage decoded;
  bool ok = false;
  if (png_sig_cmp(signature, 0, sizeof(signature)) == 0) {
    ok = DecodePng(file, max_side, &decoded);
  } else if (signature[0] == 0xFF && signature[1] == 0xD8) {
    ok = DecodeJpeg(file, max_side, &decoded);
  }
  if (!ok) return false;
  *image = std::move(decoded);
  return true;
}

// The largest texture side the device takes.
UINT DeviceMaxSide(IDirect3DDevice8* device) {
  D3DCAPS8 caps{};
  if (FAILED(device->GetDeviceCaps(&caps))) return kMaxImageSide;
  const DWORD side = std::min(caps.MaxTextureWidth, caps.MaxTextureHeight);
  return side == 0 ? kMaxImageSide : std::min<UINT>(side, kMaxImageSide);
}

std::string Narrow(const wchar_t* path) {
  std::mbstate_t state{};
  const wchar_t* cursor = path;
  const size_t length = std::wcsrtombs(nullptr, &cursor, 0, &state);
  if (length == size_t(-1)) {
    std::string ascii;
    for (const wchar_t* p = path; *p != 0; ++p) ascii.push_back(*p < 0x80 ? char(*p) : '?');
    return ascii;
  }
  std::string narrow(length, '\0');
  cursor = path;
  state = std::mbstate_t{};
  std::wcsrtombs(narrow.data(), &cursor, length, &state);
  return narrow;
}

HRESULT FillLevels(IDirect3DTexture8* texture, const D3DXDecodedImage& image) {
  const RECT whole{0, 0, LONG(image.Width), LONG(image.Height)};
  const D3DFORMAT source = D3DFMT_A8R8G8B8;
  for (DWORD level = 0; level < texture->GetLevelCount(); ++level) {
    IDirect3DSurface8* surface = nullptr;
    if (FAILED(texture->GetSurfaceLevel(level, &surface))) return D3DERR_INVALIDCALL;
    const HRESULT hr = D3DXLoadSurfaceFromMemory(surface, nullptr, nullptr, image.Pixels.data(), source,
                                                 image.Width * 4, nullptr, &whole, D3DX_FILTER_BOX, 0);
    surface->Release();
    if (FAILED(hr)) return hr;
  }
  return D3D_OK;
}

}  // namespace

bool D3DXDecodeImageFile(const char* path, D3DXDecodedImage* image, UINT max_side) {
  if (path == nullptr || image == nullptr) return false;
  // A FIFO, device or folder in place of the image is refused at once, never waited on.
  File file(plat::Open_Regular_File_Or_Say(path, "rb"));
  return file && DecodeImage(file.get(), std::min(max_side, kMaxImageSide), image);
}

bool D3DXDecodeImageInMemory(const void* data, size_t size, D3DXDecodedImage* image, UINT max_side) {
  if (data == nullptr || size == 0 || image == nullptr) return false;
  File file(fmemopen(const_cast<void*>(data), size, "rb"));
  return file && DecodeImage(file.get(), std::min(max_side, kMaxImageSide), image);
}

HRESULT D3DXCreateTextureFromFileW(IDirect3DDevice8* device, const wchar_t* path, IDirect3DTexture8** texture) {
  if (device == nullptr || path == nullptr || texture == nullptr) return D3DERR_INVALIDCALL;
  D3DXDecodedImage image;
  if (!D3DXDecodeImageFile(Narrow(path).c_str(), &image, DeviceMaxSide(device))) return D3DERR_INVALIDCALL;
  const D3DFORMAT format = image.HasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
  IDirect3DTexture8* created = nullptr;
  HRESULT hr = D3DXCreateTexture(device, image.Width, image.Height, 0, 0, format, D3DPOOL_MANAGED, &created);
  if (FAILED(hr)) return hr;
  hr = FillLevels(created, image);
  if (FAILED(hr)) {
    created->Release();
    return hr;
  }
  *texture = created;
  return D3D_OK;
}
