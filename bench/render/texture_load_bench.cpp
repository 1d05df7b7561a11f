// Loading a 1024x1024 32-bit texture with its mip chain (8 levels) from texture data in memory,
// beside a plain copy of the same bytes. Without a device the load stops at the system-memory
// texture; with the OpenGL-backed device (opened by each benchmark on a hidden window, headless
// where SDL_VIDEODRIVER=offscreen) the load also makes the device texture and uploads every
// level, beside raw glTexImage2D uploads of the same levels in the device's own context. Every
// OpenGL case ends with glFinish, and runs one untimed round first.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/render/bench_gl.h"
#include "platform/d3d/gl_api.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/iks_render_device.h"
#include "tools/writers/texture_writer.h"

namespace {

constexpr uint32_t kSize = 1024;
constexpr uint32_t kLevels = 8;

const writers::Bytes& TextureFile() {
  static const writers::Bytes file = [] {
    writers::Picture picture;
    picture.width = picture.height = kSize;
    picture.pixels.resize(size_t(kSize) * kSize);
    for (size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = 0xFF000000u | uint32_t(i * 2654435761u);
    writers::Bytes out;
    writers::EncodeTextureData(18, 1, 0x2033, kLevels, {picture}, out);
    return out;
  }();
  return file;
}

// The pixel bytes of the file: every level, level 0 first, after the 38-byte prefix.
const uint8_t* FilePixels() { return TextureFile().data() + 38; }

CTextureData* LoadFromStream(CStream* stream) {
  stream->SeekTo(0);
  uint32_t length = uint32_t(TextureFile().size());
  return g_D3DTexture.LoadTextureData(stream, &length);
}

void BM_LoadTextureData(benchmark::State& state) {
  const writers::Bytes& file = TextureFile();
  CStream* stream = CreateMemoryStream(uint32_t(file.size()));
  stream->Write(file.data(), uint32_t(file.size()));
  for (auto _ : state) {
    CTextureData* texture = LoadFromStream(stream);
    benchmark::DoNotOptimize(texture);
    g_D3DTexture.ReleaseTexture(texture);
  }
  stream->Release();
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(BM_LoadTextureData);

void BM_MemcpySameBytes(benchmark::State& state) {
  const writers::Bytes& file = TextureFile();
  std::vector<uint8_t> target(file.size());
  for (auto _ : state) {
    std::memcpy(target.data(), file.data(), file.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(BM_MemcpySameBytes);

// Load, device texture and upload of every level through the layer, then release.
bool LoadAndUpload(CStream* stream) {
  CTextureData* texture = LoadFromStream(stream);
  const bool uploaded = texture != nullptr && texture->m_pDeviceTexture != nullptr;
  glFinish();
  if (texture != nullptr) g_D3DTexture.ReleaseTexture(texture);
  return uploaded;
}

void BM_LoadAndUploadToDevice(benchmark::State& state) {
  bench_gl::Renderer renderer;
  if (!renderer.Open(640, 480)) {
    state.SkipWithError("no OpenGL device");
    return;
  }
  const writers::Bytes& file = TextureFile();
  CStream* stream = CreateMemoryStream(uint32_t(file.size()));
  stream->Write(file.data(), uint32_t(file.size()));
  bool uploaded = LoadAndUpload(stream);
  bench_gl::CountFromHere();
  for (auto _ : state) {
    if (!uploaded) break;
    uploaded = LoadAndUpload(stream);
  }
  bench_gl::CountedUpToHere();
  if (!uploaded) state.SkipWithError("the texture did not reach the device");
  stream->Release();
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(BM_LoadAndUploadToDevice)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The same levels straight into a new OpenGL texture, in the device's context.
void RawUpload() {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(kLevels - 1));
  const uint8_t* pixels = FilePixels();
  for (uint32_t level = 0; level < kLevels; ++level) {
    const GLsizei size = GLsizei(kSize >> level);
    glTexImage2D(GL_TEXTURE_2D, GLint(level), GL_RGBA8, size, size, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    pixels += size_t(size) * size * 4;
  }
  glFinish();
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDeleteTextures(1, &name);
}

void BM_RawGLTexImage2D(benchmark::State& state) {
  bench_gl::Renderer renderer;
  if (!renderer.Open(640, 480)) {
    state.SkipWithError("no OpenGL device");
    return;
  }
  RawUpload();
  bench_gl::CountFromHere();
  for (auto _ : state) RawUpload();
  bench_gl::CountedUpToHere();
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(TextureFile().size()));
}
BENCHMARK(BM_RawGLTexImage2D)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
