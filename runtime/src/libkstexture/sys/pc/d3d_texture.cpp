#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "runtime/src/libkstexture/sys/pc/texture_format.h"
#include "runtime/src/libkstexture/sys/pc/texture_pixels.h"

namespace {

constexpr uint32_t kMaxCreateSide = 65535;

bool HasKnownKind(const CTextureData* texture) {
  if (texture == nullptr || texture->m_pImage == nullptr) return false;
  const uint32_t kind = texture->m_pImage->m_Kind;
  return kind == kTexImage_Single || kind == kTexImage_Cube || kind == kTexImage_Array;
}

bool BuildImage(CTextureImage& image, uint32_t format, uint32_t width, uint32_t height,
                uint32_t mip_count, uint32_t image_count) {
  image.m_Format = format;
  image.m_Width = uint16_t(width);
  image.m_Height = uint16_t(height);
  image.m_MipCount = uint16_t(mip_count);
  if (image.m_Kind == kTexImage_Array) image.m_ImageCount = uint16_t(image_count);
  if (!image.AllocatePixels()) return false;
  return format != kTexFmt_P8 || image.AllocatePalette();
}

// One axis of an area-weighted resampling: for each destination pixel the source pixels it
// covers and how much of each, in units of 1/destination size (a pixel's weights sum to the
// source size).
struct AxisSpan {
  uint32_t first = 0;
  uint32_t count = 0;
  uint32_t weights = 0;  // index of its first weight
};

struct Axis {
  std::vector<AxisSpan> spans;
  std::vector<uint32_t> weights;
};

Axis BuildAxis(uint32_t source_size, uint32_t destination_size) {
  Axis axis;
  axis.spans.resize(destination_size);
  const uint64_t s = source_size, d = destination_size;
  for (uint64_t i = 0; i < d; ++i) {
    const uint64_t begin = i * s, end = (i + 1) * s;  // in units of 1/d of a source pixel
    AxisSpan& span = axis.spans[i];
    span.first = uint32_t(begin / d);
    span.weights = uint32_t(axis.weights.size());
    for (uint64_t p = span.first; p * d < end; ++p) {
      const uint64_t low = std::max(p * d, begin), high = std::min((p + 1) * d, end);
      axis.weights.push_back(uint32_t(high - low));
      ++span.count;
    }
  }
  return axis;
}

bool CopyRows(const uint8_t* source, uint8_t* destination, uint32_t format, uint32_t width,
              uint32_t height) {
  const uint64_t size = GetMipSize(format, width, height);
  if (size == 0) return false;
  std::memcpy(destination, source, size_t(size));
  return true;
}

// Sums of one source row over each destination column, scaled by the source width.
void FilterRow(const uint8_t* rgba, const Axis& columns, uint32_t* sums) {
  for (size_t x = 0; x < columns.spans.size(); ++x) {
    const AxisSpan& span = columns.spans[x];
    uint32_t acc[4] = {0, 0, 0, 0};
    for (uint32_t k = 0; k < span.count; ++k) {
      const uint8_t* pixel = rgba + 4 * size_t(span.first + k);
      const uint32_t weight = columns.weights[span.weights + k];
      for (int c = 0; c < 4; ++c) acc[c] += weight * pixel[c];
    }
    std::memcpy(sums + 4 * x, acc, sizeof(acc));
  }
}

bool Resample(const uint8_t* source, uint32_t source_format, uint32_t source_width,
              uint32_t source_height, uint8_t* destination, uint32_t destination_format,
              uint32_t destination_width, uint32_t destination_height, const uint8_t* palette) {
  const Axis columns = BuildAxis(source_width, destination_width);
  const Axis rows = BuildAxis(source_height, destination_height);
  const uint32_t source_pitch = GetRowPitch(source_format, source_width);
  const uint32_t destination_pitch = GetRowPitch(destination_format, destination_width);
  const uint64_t total = uint64_t(source_width) * source_height;
  std::vector<uint8_t> decoded(size_t(source_width) * 4);
  std::vector<uint32_t> sums(size_t(destination_width) * 4);
  std::vector<uint64_t> acc(size_t(destination_width) * 4);
  std::vector<uint8_t> result(size_t(destination_width) * 4);
  CPaletteMatcher matcher(palette);
  for (uint32_t y = 0; y < destination_height; ++y) {
    const AxisSpan& span = rows.spans[y];
    std::fill(acc.begin(), acc.end(), 0);
    for (uint32_t k = 0; k < span.count; ++k) {
      const uint8_t* row = source + size_t(span.first + k) * source_pitch;
      if (!DecodePixelRow(source_format, row, source_width, palette, decoded.data())) return false;
      FilterRow(decoded.data(), columns, sums.data());
      const uint64_t weight = rows.weights[span.weights + k];
      for (size_t i = 0; i < acc.size(); ++i) acc[i] += weight * sums[i];
    }
    for (size_t i = 0; i < acc.size(); ++i) result[i] = uint8_t((acc[i] + total / 2) / total);
    if (!EncodePixelRow(destination_format, result.data(), destination_width, &matcher,
                        destination + size_t(y) * destination_pitch)) {
      return false;
    }
  }
  return true;
}

}  // namespace

uint32_t DefaultMipCount(uint32_t width, uint32_t height) {
  uint32_t levels = 0;
  while (width > 8 && height > 8 && levels < CTextureImage::kMaxMipLevels) {
    width >>= 1;
    height >>= 1;
    ++levels;
  }
  return levels == 0 ? 1 : levels;
}

CTextureData* CD3DTexture::CreateTexture(uint32_t kind, uint32_t format, uint32_t width,
                                         uint32_t height, uint32_t mip_count,
                                         uint32_t image_count) {
  if (width == 0 || height == 0 || width > kMaxCreateSide || height > kMaxCreateSide) {
    return nullptr;
  }
  if (mip_count == 0) mip_count = DefaultMipCount(width, height);
  if (mip_count > CTextureImage::kMaxMipLevels) mip_count = CTextureImage::kMaxMipLevels;
  std::unique_ptr<CTextureData> texture(new (std::nothrow) CTextureData());
  if (!texture) return nullptr;
  std::unique_ptr<CTextureImage> image(CreateTextureImage(kind));
  if (image) {
    if (kind == kTexImage_Array && (image_count == 0 || image_count > kMaxCreateSide)) {
      return nullptr;
    }
    if (!BuildImage(*image, format, width, height, mip_count, image_count)) return nullptr;
    texture->SetImage(image.release());
  }
  texture->m_RefCount = 1;
  return texture.release();
}

uint8_t* CD3DTexture::GetMipData(CTextureData* texture, uint32_t index, uint32_t level) {
  if (!HasKnownKind(texture)) return nullptr;
  const CTextureImage& image = *texture->m_pImage;
  if (image.m_Kind == kTexImage_Single) return image.GetLevel(0, index);
  return image.GetLevel(index, level);
}

uint32_t CD3DTexture::GetWidth(CTextureData* texture, uint32_t level) {
  return HasKnownKind(texture) ? texture->m_pImage->GetLevelWidth(level) : 0;
}

uint32_t CD3DTexture::GetHeight(CTextureData* texture, uint32_t level) {
  return HasKnownKind(texture) ? texture->m_pImage->GetLevelHeight(level) : 0;
}

uint32_t CD3DTexture::GetFormat(CTextureData* texture) {
  return HasKnownKind(texture) ? texture->m_pImage->m_Format : 0;
}

uint32_t CD3DTexture::GetMipCount(CTextureData* texture) {
  return HasKnownKind(texture) ? texture->m_pImage->m_MipCount : 0;
}

bool StretchBlt_SW(const void* source, uint32_t source_format, uint32_t source_width,
                   uint32_t source_height, void* destination, uint32_t destination_format,
                   uint32_t destination_width, uint32_t destination_height,
                   const uint8_t* palette) {
  if (source == nullptr || destination == nullptr) return false;
  if (source_width == 0 || source_height == 0 || destination_width == 0 ||
      destination_height == 0) {
    return false;
  }
  if (!IsConvertibleFormat(source_format) || !IsConvertibleFormat(destination_format)) {
    return false;
  }
  const bool paletted = IsPalettedFormat(source_format) || IsPalettedFormat(destination_format);
  if (paletted && palette == nullptr) return false;
  const auto* from = static_cast<const uint8_t*>(source);
  auto* to = static_cast<uint8_t*>(destination);
  if (source_format == destination_format && source_width == destination_width &&
      source_height == destination_height) {
    return CopyRows(from, to, source_format, source_width, source_height);
  }
  return Resample(from, source_format, source_width, source_height, to, destination_format,
                  destination_width, destination_height, palette);
}
