#pragma once
// Shared helpers of the texture tests: memory streams over fixture bytes, capture of the
// texture code's diagnostics, and small pictures.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/system/debug.h"
#include "runtime/src/core/output_redir.h"
#include "runtime/src/core/streams.h"
#include "tools/writers/texture_patterns.h"

namespace textest {

using Bytes = std::vector<uint8_t>;

struct StreamDeleter {
  void operator()(CStream* stream) const { stream->Release(); }
};
using StreamPtr = std::unique_ptr<CStream, StreamDeleter>;

// A memory stream holding the bytes, positioned at 0.
inline StreamPtr StreamOf(const Bytes& bytes) {
  CMemoryStream* stream = CreateMemoryStream(0);
  if (!bytes.empty()) stream->Write(bytes.data(), uint32_t(bytes.size()));
  stream->SeekTo(0);
  return StreamPtr(stream);
}

// The whole content of a memory stream.
inline Bytes ContentOf(CStream* stream) {
  uint32_t length = 0;
  stream->GetLen(&length);
  Bytes bytes(length);
  stream->SeekTo(0);
  if (length > 0) stream->Read(bytes.data(), length);
  return bytes;
}

// Records every diagnostic that reaches the developer sink while it lives.
class DiagnosticCapture {
 public:
  DiagnosticCapture() {
    g_OutputRedir.SetDefaults();
    plat::Set_Debug_Recorder([this](const std::string& text) { m_Texts.push_back(text); });
  }
  ~DiagnosticCapture() { plat::Set_Debug_Recorder({}); }
  DiagnosticCapture(const DiagnosticCapture&) = delete;
  DiagnosticCapture& operator=(const DiagnosticCapture&) = delete;

  bool Saw(const std::string& part) const {
    for (const std::string& text : m_Texts) {
      if (text.find(part) != std::string::npos) return true;
    }
    return false;
  }
  const std::vector<std::string>& Texts() const { return m_Texts; }

 private:
  std::vector<std::string> m_Texts;
};

// A picture whose every pixel differs: red from x, green from y, blue and alpha fixed.
inline writers::Picture Ramp(uint32_t width, uint32_t height, uint32_t alpha = 0xFF) {
  writers::Picture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.resize(size_t(width) * height);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      picture.At(x, y) = (alpha << 24) | ((x * 7 & 0xFF) << 16) | ((y * 5 & 0xFF) << 8) | 0x40;
    }
  }
  return picture;
}

// Pixel (x, y) of 32-bit texture memory (blue, green, red, alpha bytes) as 0xAARRGGBB.
inline uint32_t Argb(const uint8_t* pixels, uint32_t width, uint32_t x, uint32_t y) {
  const uint8_t* p = pixels + 4 * (size_t(y) * width + x);
  return (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

}  // namespace textest
