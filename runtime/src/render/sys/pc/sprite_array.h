#pragma once
// Render object type 10: a growable array of camera-facing square sprites addressed by 1-based
// indices, drawn as point sprites (one vertex each) when the device can, else as quads built on
// the processor in view space and drawn 64 at a time through one shared index list.
#include <cstdint>
#include <vector>

#include "platform/d3d/d3d8.h"
#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/render_object.h"
#include "runtime/src/render/sys/pc/vb_controller.h"

class CD3DRenderStyle;
class CDeviceTexture;

class CSpriteArray : public CRenderObject {
 public:
  static constexpr uint32_t kType = 10;
  // Init flags.
  static constexpr uint32_t kPosition = 0x01;
  static constexpr uint32_t kColour = 0x02;
  static constexpr uint32_t kSize = 0x04;
  static constexpr uint32_t kFrame = 0x08;
  static constexpr uint32_t kNoPointSprites = 0x10;
  static constexpr uint32_t kMinCapacity = 10;
  static constexpr uint32_t kQuadsPerRun = 64;

  CSpriteArray() : CRenderObject(kType) {}
  ~CSpriteArray() override { Destroy(); }

  bool Restore() override;
  bool ReleaseDeviceObjects() override;

  virtual uint32_t GetActiveCount() { return m_ActiveCount; }
  virtual uint32_t GetCount() { return m_ActiveCount; }
  virtual bool Init(float default_size, uint32_t flags, uint32_t capacity, bool allow_point_sprites);
  virtual void Destroy();
  virtual float GetMaxPointSize();
  virtual bool IsPointSprites() { return m_bPointSprites; }
  virtual uint32_t AddSprite();
  virtual uint32_t RemoveSprite(uint32_t index);
  virtual void SetActiveCount(uint32_t count);
  virtual bool IsActive(uint32_t index);
  virtual bool Lock();
  virtual bool IsLocked() { return m_bLocked; }
  virtual bool SetPosition(uint32_t index, const CVector3& position);
  virtual bool GetPosition(uint32_t index, CVector3* position);
  virtual bool SetColor(uint32_t index, uint32_t colour);
  // The colour's bytes in memory order: blue, green, red, alpha.
  virtual bool GetColor(uint32_t index, uint8_t* bytes);
  virtual bool SetSize(uint32_t index, float size);
  virtual bool GetSize(uint32_t index, float* size);
  virtual bool SetFrame(uint32_t index, uint8_t frame);
  virtual bool GetFrame(uint32_t index, uint8_t* frame);
  // Four (u, v) pairs, one per corner of the quad.
  virtual bool SetTexCoords(uint32_t index, const float* uv);
  virtual bool GetTexCoords(uint32_t index, float* uv);
  virtual uint8_t* GetVertexData() { return m_Vertices.empty() ? nullptr : m_Vertices.data(); }
  virtual uint32_t CopyToLocked();
  virtual bool Unlock();
  virtual void SetDefaultSize(float size) { m_DefaultSize = size; }
  virtual void SetFrameOffset(uint8_t offset) { m_FrameOffset = offset; }
  virtual void SetFrameCount(uint8_t count);
  virtual void SetPointScale(float a, float b, float c, float smallest, float largest);
  virtual void SortBackToFront(uint32_t passes, const CVector3& eye);
  virtual bool Render(const CMatrix4x4* world, CD3DRenderStyle* style, CDeviceTexture* const* textures);
  virtual bool RenderPoints(const CMatrix4x4* world, CD3DRenderStyle* style, CDeviceTexture* const* textures,
                            uint32_t count);

  uint32_t GetCapacity() const { return m_Capacity; }
  uint32_t GetVertexFormat() const { return m_Format; }
  uint32_t GetVertexSize() const { return m_VertexSize; }
  bool IsCreated() const { return m_bCreated; }
  bool IsSoftwareProcessed() const { return m_bSoftwareVP; }
  uint8_t GetFrameCount() const { return m_FrameCount; }

 private:
  // One run of sprites drawn together: first slot, count and the texture its frames name.
  struct Run {
    uint32_t First;
    uint32_t Count;
    CDeviceTexture* Texture;
  };

  uint32_t VerticesPerSprite() const { return m_bPointSprites ? 1 : 4; }
  uint32_t SpriteBytes() const { return VerticesPerSprite() * m_VertexSize; }
  // The slot (0-based) of a 1-based index, false when outside 1..capacity or not created.
  bool SlotOf(uint32_t index, uint32_t* slot) const;
  bool BitSet(uint32_t slot) const { return (m_ActiveBits[slot >> 3] >> (slot & 7)) & 1; }
  void SetBit(uint32_t slot, bool on);
  // Writes bytes at an offset of each vertex of a sprite, into the locked buffer and the copy.
  bool WriteVertices(uint32_t slot, uint32_t offset, const void* data, uint32_t size, uint32_t stride_in_data);
  uint32_t DiffuseOffset() const;
  uint32_t TexOffset() const { return 12 + ((m_Flags & kColour) ? 4 : 0); }
  bool CreateBuffers();
  bool FillIndexBuffer();
  void SetQuadTexCoords(uint32_t first_slot);
  bool UploadAll();
  bool Grow();
  CVector3 PositionOf(uint32_t slot) const;
  void SwapSprites(uint32_t a, uint32_t b);
  void CollectRuns(CDeviceTexture* const* textures, std::vector<Run>* runs) const;
  CDeviceTexture* FrameTexture(uint32_t slot, CDeviceTexture* const* textures) const;
  void SetPointStates();
  bool DrawRunPoints(const Run& run);
  bool DrawRunQuads(const Run& run);
  static void SwitchToSoftware(void* array);

  bool m_bCreated = false;
  bool m_bLocked = false;
  bool m_bPointSprites = false;
  bool m_bSoftwareVP = false;
  uint8_t m_FrameOffset = 0;
  uint8_t m_FrameCount = 16;
  CVertexBufferController m_Buffers;
  uint32_t m_ActiveCount = 0;
  uint32_t m_Capacity = 0;
  uint32_t m_Format = 0;
  uint32_t m_Flags = 0;
  uint32_t m_VertexSize = 0;
  float m_DefaultSize = 1.0f;
  CMatrix4x4 m_ViewSpace{};
  uint32_t m_PointScaleEnable = 1;
  float m_PointScale[3] = {2.0f, 1.0f, 0.5f};
  float m_MinPointSize = 0.0f;
  float m_MaxPointSize = 1000.0f;
  std::vector<uint8_t> m_Vertices;
  std::vector<uint8_t> m_Frames;
  std::vector<uint8_t> m_ActiveBits;
  std::vector<CVector3> m_Positions;
  std::vector<float> m_Sizes;
};
