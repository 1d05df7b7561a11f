// Loading a 1024x1024 32-bit texture with its mip chain from texture data in memory, beside a
// plain copy of the same bytes. Without a device the load stops at the system-memory texture.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "runtime/src/core/streams.h"
#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "tools/writers/texture_writer.h"

namespace {

const writers::Bytes& TextureFile() {
  static const writers::Bytes file = [] {
    writers::Picture picture;
    picture.width = picture.height = 1024;
    picture.pixels.resize(size_t(1024) * 1024);
    for (size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = 0xFF000000u | uint32_t(i * 2654435761u);
    writers::Bytes out;
    writers::EncodeTextureData(18, 1, 0x2033, 8, {picture}, out);
    return out;
  }();
  return file;
}

void BM_LoadTextureData(benchmark::State& state) {
  const writers::Bytes& file = TextureFile();
  CStream* stream = CreateMemoryStream(uint32_t(file.size()));
  stream->Write(file.data(), uint32_t(file.size()));
  for (auto _ : state) {
    stream->SeekTo(0);
    uint32_t length = uint32_t(file.size());
    CTextureData* texture = g_D3DTexture.LoadTextureData(stream, &length);
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

}  // namespace
