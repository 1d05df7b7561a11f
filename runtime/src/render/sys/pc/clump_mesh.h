#pragma once
// Render object type 8: a mesh whose vertices and indices live in one block of the world clump
// manager. It loads a body from a stream, or builds itself from another clump mesh by cutting
// out what lies inside a projection volume (a decal or projected texture), optionally with
// texture coordinates projected through the volume and pushed out along the normals.
#include <cstdint>

#include "platform/d3d/d3d8.h"
#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/render_object.h"

class CStream;
class CD3DRenderStyle;
class CDeviceTexture;
struct VBAllocation;

// The volume of a projected build: a perspective frustum (width term = aspect, height term =
// vertical field of view in radians) or an orthographic box (full width and height), from the
// near to the far distance along the frame's z axis.
struct ClumpProjection {
  uint32_t Perspective;
  float Width;
  float Height;
  float Near;
  float Far;
};

class CClumpMesh : public CRenderObject {
 public:
  static constexpr uint32_t kType = 8;
  // Position, normal and one texture set: the 32-byte vertices the clipper works on.
  static constexpr uint32_t kClipFormat = 19;

  CClumpMesh() : CRenderObject(kType) {}
  ~CClumpMesh() override { FreeBlock(); }

  virtual uint32_t GetVertexCount();
  virtual uint32_t GetTriangleCount();
  // Draws one pass of the style; world (identity when null), colour (ambient r, g, b and diffuse
  // alpha) and texture factor optional.
  virtual bool Render(CD3DRenderStyle* style, uint32_t pass, CDeviceTexture* const* textures,
                      const CMatrix4x4* world, const float* colour, const DWORD* texture_factor);
  // Reads the vertex and triangle counts and the format, then the vertices and indices, into a
  // new block; false (and no block) on a short or inconsistent body.
  virtual bool Load(CStream* stream);
  // Cuts the source against the volume placed by the frame (rows 0-2 its axes, row 3 its
  // origin, in the source's space); false (and no block) when nothing lies inside.
  virtual bool BuildProjected(CClumpMesh* source, const CMatrix4x4& frame, const ClumpProjection& projection,
                              bool project_texture, float offset);
  virtual uint32_t Unused3(uint32_t, uint32_t, uint32_t) { return 0; }
  virtual uint8_t* GetVertexPointer();
  virtual uint8_t* GetIndexPointer();
  virtual uint32_t GetIndexCount();
  virtual uint32_t GetVertexStride();
  virtual uint32_t Unused0() { return 0; }

  const VBAllocation* Block() const { return m_pBlock; }
  // The block's system copies (what the device buffers were filled from).
  const uint8_t* SystemVertices() const;
  const uint16_t* SystemIndices() const;

 private:
  void FreeBlock();
  bool IndicesInRange() const;
  static bool SoftwareWanted();

  VBAllocation* m_pBlock = nullptr;
};
