#include "game/core/Fence_Reach.h"

#include <algorithm>

#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/texturemgr.h"

namespace {

// Style codes: texture source 1 is the caller's texture 0; coordinate set 0; address mode 1
// clamps; filter 3 is anisotropic; blend mode 3 blends by source alpha.
constexpr uint32_t kFence_Texture_Source = 1;
constexpr uint32_t kAddress_Clamp = 1;
constexpr uint32_t kFilter_Anisotropic = 3;
constexpr uint32_t kBlend_Source_Alpha = 3;
// Stage operations and arguments.
constexpr uint32_t kOp_Disable = 0, kOp_Select_1 = 1, kOp_Select_2 = 2, kOp_Modulate = 3;
constexpr uint32_t kArg_Current = 0, kArg_Texture = 2;

// Stage 0's alpha is zero wherever its texture's alpha is.
bool Alpha_Follows_Texture(const TextureStageDesc& stage) {
  switch (stage.AlphaOp) {
    case kOp_Select_1: return stage.AlphaArg1 == kArg_Texture;
    case kOp_Select_2: return stage.AlphaArg2 == kArg_Texture;
    case kOp_Modulate: return stage.AlphaArg1 == kArg_Texture || stage.AlphaArg2 == kArg_Texture;
    default: return false;
  }
}

// A later stage keeps the alpha it is given.
bool Alpha_Passes_Through(const TextureStageDesc& stage) {
  return (stage.AlphaOp == kOp_Select_1 && stage.AlphaArg1 == kArg_Current) ||
         (stage.AlphaOp == kOp_Select_2 && stage.AlphaArg2 == kArg_Current);
}

// The scale stage 0 puts on u, when u' = scale x u alone; 0 otherwise.
float U_Scale(const TextureStageDesc& stage) {
  if (!stage.TransformOn) return 1.0f;
  const float* m = stage.Matrix;
  if (stage.Projected || m[4] != 0.0f || m[8] != 0.0f || m[12] != 0.0f || !(m[0] > 0.0f)) return 0.0f;
  return m[0];
}

// The fraction one pass lets show; 1 when it cannot tell.
float Pass_Shown_Fraction(const RenderPassDesc& pass, float clear_u) {
  const TextureStageDesc& first = pass.Stages[0];
  if (pass.BlendMode != kBlend_Source_Alpha || first.ColorOp == kOp_Disable ||
      first.TextureSource != kFence_Texture_Source || first.CoordSource != 0 || first.AddressU != kAddress_Clamp ||
      first.Filter == kFilter_Anisotropic || !Alpha_Follows_Texture(first))
    return 1.0f;
  for (int s = 1; s < kStyleStages && pass.Stages[s].ColorOp != kOp_Disable; ++s)
    if (!Alpha_Passes_Through(pass.Stages[s])) return 1.0f;
  const float scale = U_Scale(first);
  if (scale <= 0.0f) return 1.0f;
  return std::clamp(clear_u / scale, 0.0f, 1.0f);
}

// Whether the pixel at x of a row of the format has alpha; false for formats without any.
bool Has_Alpha(D3DFORMAT format, const uint8_t* row, uint32_t x) {
  switch (format) {
    case D3DFMT_A8R8G8B8: return row[4 * x + 3] != 0;
    case D3DFMT_A4R4G4B4: return (row[2 * x + 1] & 0xF0) != 0;
    case D3DFMT_A1R5G5B5: return (row[2 * x + 1] & 0x80) != 0;
    default: return false;
  }
}

bool Alpha_Readable(D3DFORMAT format) {
  return format == D3DFMT_A8R8G8B8 || format == D3DFMT_A4R4G4B4 || format == D3DFMT_A1R5G5B5;
}

}  // namespace

float Fence_Clear_U(const std::vector<std::vector<bool>>& alpha_columns) {
  if (alpha_columns.empty()) return 1.0f;
  float clear_u = 0.0f;
  for (const std::vector<bool>& columns : alpha_columns) {
    if (columns.empty()) return 1.0f;
    const auto last = std::find(columns.rbegin(), columns.rend(), true);
    if (last == columns.rend()) continue;
    const size_t column = static_cast<size_t>(columns.rend() - last) - 1;
    // The clamped edge column repeats to every u above it.
    if (column + 1 == columns.size()) return 1.0f;
    // A filtered sample reaches the centres of the texels either side of it: the column's
    // pixels reach up to its next neighbour's centre.
    const float reach = (static_cast<float>(column) + 1.5f) / static_cast<float>(columns.size());
    clear_u = std::max(clear_u, reach);
  }
  return std::min(clear_u, 1.0f);
}

std::vector<std::vector<bool>> Fence_Alpha_Columns(CDeviceTexture* texture) {
  std::vector<std::vector<bool>> levels;
  if (!texture || !texture->m_pTexture || texture->m_pTexture->GetType() != D3DRTYPE_TEXTURE ||
      texture->m_LevelCount == 0)
    return levels;
  const D3DFORMAT format = TextureCodeToFormat(static_cast<int32_t>(texture->m_FormatCode));
  if (!Alpha_Readable(format)) return levels;
  for (uint32_t level = 0; level < texture->m_LevelCount; ++level) {
    const uint32_t width = texture->GetWidth(level), height = texture->GetHeight(level);
    int32_t pitch = 0;
    const auto* pixels = static_cast<const uint8_t*>(texture->Lock(level, &pitch, 0));
    if (!pixels || width == 0 || pitch < static_cast<int32_t>(GetPitch(format, width))) {
      if (pixels) texture->Unlock(level, 0);
      return {};
    }
    std::vector<bool> columns(width, false);
    for (uint32_t y = 0; y < height; ++y) {
      const uint8_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(pitch);
      for (uint32_t x = 0; x < width; ++x)
        if (!columns[x] && Has_Alpha(format, row, x)) columns[x] = true;
    }
    texture->Unlock(level, 0);
    levels.push_back(std::move(columns));
  }
  return levels;
}

float Fence_Shown_Fraction(const CD3DRenderStyle* style, float clear_u) {
  if (!style || style->GetPassCount() == 0 || clear_u >= 1.0f) return 1.0f;
  float shown = 0.0f;
  for (uint32_t i = 0; i < style->GetPassCount(); ++i) {
    RenderPassDesc pass{};
    if (!style->GetPass(i, &pass)) return 1.0f;
    shown = std::max(shown, Pass_Shown_Fraction(pass, clear_u));
  }
  return shown;
}
