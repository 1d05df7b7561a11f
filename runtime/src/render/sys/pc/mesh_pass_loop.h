#pragma once
// The loop every mesh draws with: the world matrix and software vertex processing first, then
// for each pass of the render style its vertex shader (or the mesh's fixed-function format), its
// pixel shader, the mesh's streams, the style's states and textures, and the mesh's own draw.
#include <cstdint>

#include "platform/d3d/d3d8.h"

class CD3DRenderStyle;
class CDeviceTexture;
class CVertexBufferController;
struct CMatrix4x4;

// What the loop needs to know of the mesh it draws, and what it may change.
struct MeshPassTarget {
  bool* Software = nullptr;          // the mesh's software-processing flag
  DWORD FixedFormat = 0;             // stream-0 vertex format for passes without a vertex shader
  bool ShaderOnly = false;           // the mesh carries data only vertex shaders read
  bool RejectShaderOnly = false;     // fixed-function passes end the render of a shader-only mesh
  uint32_t ShaderVariant = 0;        // blend variant of the pass's vertex shader
  uint32_t BoneCount = 0;            // matrices the vertex-shader constants carry
  // Re-creates the mesh's buffers for software processing once its flag was set.
  void (*SwitchToSoftware)(void* mesh) = nullptr;
  void* Mesh = nullptr;
};

namespace mesh_pass {

// Sets the world transform through the state manager's cache; identity for null.
void SetWorld(const CMatrix4x4* world);
// Sets software vertex processing through the state manager.
void SetSoftware(bool software);
// The vertex shader, pixel shader and their constants of one pass (steps before the streams);
// false when the pass cannot be drawn for this mesh.
bool PreparePass(CD3DRenderStyle* style, uint32_t pass, MeshPassTarget& target);
// Applies the pass's states with the caller's texture list.
bool ApplyPass(CD3DRenderStyle* style, uint32_t pass, CDeviceTexture* const* textures);

// Runs every pass: prepare, set_streams(), apply, draw(pass). Stops at the first failure.
template <class SetStreams, class Draw>
bool RunPasses(CD3DRenderStyle* style, CDeviceTexture* const* textures, MeshPassTarget& target,
               SetStreams&& set_streams, Draw&& draw);

// Material overrides used around a draw, each put back afterwards when it was changed.
class CDrawOverrides {
 public:
  // Replaces the material's diffuse colour by (r, g, b, a) and its ambient r, g, b.
  void ColourWholeDiffuse(const float* colour);
  // Replaces the material's ambient r, g, b and its diffuse alpha.
  void ColourAmbientAndAlpha(const float* colour);
  void TextureFactor(const DWORD* factor);
  // Puts back what was changed.
  void Restore();

 private:
  bool m_bMaterial = false;
  D3DMATERIAL8 m_Material{};
  bool m_bFactor = false;
  DWORD m_Factor = 0;
};

}  // namespace mesh_pass

uint32_t StylePassCount(const CD3DRenderStyle* style);

template <class SetStreams, class Draw>
bool mesh_pass::RunPasses(CD3DRenderStyle* style, CDeviceTexture* const* textures, MeshPassTarget& target,
                          SetStreams&& set_streams, Draw&& draw) {
  const uint32_t passes = StylePassCount(style);
  for (uint32_t pass = 0; pass < passes; ++pass) {
    if (!PreparePass(style, pass, target)) return false;
    set_streams();
    ApplyPass(style, pass, textures);
    if (!draw(pass)) return false;
  }
  return true;
}
