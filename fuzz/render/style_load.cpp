// Loads arbitrary bytes as a render-style resource, without a device: every alternative is
// parsed (and then refused by the missing device caps), which leaves the last one read in the
// style. That style's passes, shader blocks and parameters are then read, written through the
// parameter setters and copied into a second style; all memory must come back.
#include <cstddef>
#include <cstdint>

#include "platform/system/memory.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"

namespace {

uint32_t Walk(CD3DRenderStyle& style) {
  uint32_t sum = style.GetPassCount();
  for (uint32_t i = 0; i <= style.GetPassCount(); ++i) {
    RenderPassDesc pass;
    if (style.GetPass(i, &pass)) sum += pass.BlendMode + pass.Stages[3].ColorOp;
    PassShaderDesc block;
    if (style.GetPassShader(i, &block)) sum += block.HasVertexShaders;
  }
  const float vector[4] = {0.25f, 0.5f, 0.75f, 1.0f};
  for (uint32_t i = 0; i <= style.GetParamCount(); ++i) {
    RenderStyleParam param;
    style.GetParam(i, &param);
    sum += static_cast<uint32_t>(style.FindParamPass(param.Key));
    sum += style.SetParamVector(param.Key, vector) + style.SetParamColour(param.Key, vector) +
           style.SetParamFloat(param.Key, 0.5f);
  }
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 22)) return 0;
  CMemoryStream* stream = CreateMemoryStream(0);
  if (stream == nullptr) return 0;
  if (size > 0) stream->Write(data, uint32_t(size));
  stream->SeekTo(0);
  const int64_t before = g_Total_Mem_Allocated.load();
  {
    CD3DRenderStyle style;
    const bool loaded = style.LoadFromStream(stream);
    volatile uint32_t sink = Walk(style) + loaded;
    CD3DRenderStyle copy;
    if (copy.CopyFrom(style)) sink = sink + Walk(copy);
    (void)sink;
    style.Free();
  }
  if (g_Total_Mem_Allocated.load() != before) __builtin_trap();
  stream->Release();
  return 0;
}
