#pragma once
// Shadow copies of the device state the renderer sets, so that a value reaches the device only
// when it differs from what the device already has. 0xFFFFFFFF (every byte 0xFF for matrices and
// the material) marks an entry as not yet set, so the next set of any value goes through.
#include <bitset>
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/d3d/d3d8.h"

class CD3DRenderStyle;
class CDeviceTexture;
struct PassShaderDesc;
struct RenderPassDesc;

constexpr DWORD kShadowUnset = 0xFFFFFFFFu;
constexpr int kWorldMatrixCount = 64;
constexpr int kTextureMatrixCount = 4;
constexpr int kLightCount = 8;
constexpr int kTextureShadowStages = 8;
constexpr int kBuiltInStyleCount = 16;
constexpr int kStateCacheEntries = 512;
constexpr int kStateCacheBuckets = 64;
constexpr int kStateArenaChunks = 2048;
constexpr int kStateArenaChunkBytes = 128;
constexpr int kStateMaxEntryChunks = 8;
constexpr int kRecordedStatePairs = 128;
constexpr int kRecordedStageBytes = 1024;
constexpr int kStageRecordBytes = 9;  // byte stage, u32 state, u32 value

class CRenderStateMgr {
 public:
  CRenderStateMgr() { ResetShadows(); }

  ~CRenderStateMgr() { Term(); }
  CRenderStateMgr(const CRenderStateMgr&) = delete;
  CRenderStateMgr& operator=(const CRenderStateMgr&) = delete;

  // Creates the built-in styles and the state-block arena.
  bool Init();
  void Term();

  // Puts one pass of a style on the device with the caller's texture list. Transitions between
  // passes are recorded once and replayed. Game lists are short and ended by a null entry (two
  // textures and a null, say): by default the list is read up to its first null and at most
  // four entries; a caller with a full array of `texture_count` entries (nulls allowed) says so.
  bool ApplyStylePass(CD3DRenderStyle* style, uint32_t pass, CDeviceTexture* const* textures,
                      int texture_count = kTextureListEndsAtNull);
  static constexpr int kTextureListEndsAtNull = -1;
  static constexpr int kStyleTextureCount = 4;
  CD3DRenderStyle* GetBuiltInStyle(int index) const {
    return index >= 0 && index < kBuiltInStyleCount ? m_BuiltIn[index] : nullptr;
  }
  void SetSoftwareVertexProcessing(bool software);
  void SetBumpMatrix(DWORD stage);
  // Uploads the vertex-shader constants a shader block asks for; colour (r, g, b, a) may be null.
  bool LoadShaderConstants(CD3DRenderStyle* style, const PassShaderDesc& block, const float* colour,
                           uint32_t bone_count);
  void LoadPixelShaderConstants(const PassShaderDesc& block);
  // False when the device refuses the handle.
  bool SetVertexShader(DWORD handle);
  DWORD GetVertexShader() const { return m_VertexShader; }
  void SetPixelShader(DWORD handle);
  DWORD GetPixelShader() const { return m_PixelShader; }
  void SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride);
  void SetIndices(IDirect3DIndexBuffer8* buffer, UINT base_vertex);
  // Number of live state-block cache entries (for diagnostics and tests).
  int CachedTransitionCount() const;

  // Re-applies the shadow transforms, viewport, material, lights and ambient colour to the
  // device, marks every render and texture-stage shadow as unset and has the device wrapper
  // re-apply its standard states.
  void ResetDeviceState();
  // Stores the viewport and sets it on the device (width = right - left, height = bottom - top).
  void SetViewport(DWORD left, DWORD top, DWORD right, DWORD bottom, float min_z, float max_z);
  void GetViewport(D3DVIEWPORT8* viewport) const;
  // Drops whatever refers to the style.
  void InvalidateStyle(CD3DRenderStyle* style);

  // Cached setters: the device is called only when the value differs from the shadow. Render
  // states, texture-stage states and the material also forget the last applied style pass.
  void SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
  void SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
  void SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX& matrix);
  void SetMaterial(const D3DMATERIAL8& material);
  void SetTexture(DWORD stage, IDirect3DBaseTexture8* texture);
  void SetCurrentTexturePalette(UINT palette);

  DWORD GetRenderState(DWORD state) const { return state < D3DRS_STATE_COUNT ? m_RenderStates[state] : kShadowUnset; }
  DWORD GetTextureStageState(DWORD stage, DWORD type) const;
  // The shadow of a kept transform (view, projection, texture 0-3, world 0-63); null otherwise.
  const D3DMATRIX* GetTransform(D3DTRANSFORMSTATETYPE type) const;

  // Light shadows, written by the render device.
  D3DLIGHT8 Lights[kLightCount];
  uint8_t LightEnabled[kLightCount];
  float Ambient[4];  // r, g, b, a

  // The style and pass applied last; none after a cached setter changed a state.
  CD3DRenderStyle* PreviousStyle() const { return m_pPreviousStyle; }

 private:
  struct CacheEntry {
    CD3DRenderStyle* PreviousStyle = nullptr;  // none: free
    CD3DRenderStyle* Style = nullptr;
    uint16_t PreviousPass = 0;
    uint16_t Pass = 0;
    uint32_t LastUsedFrame = 0;
    uint8_t MaterialSet = 0;
    uint32_t StateCount = 0;
    uint8_t* States = nullptr;
    uint32_t StageCount = 0;
    uint8_t* Stages = nullptr;
    int FirstChunk = 0;
    int ChunkCount = 0;
    CacheEntry* Next = nullptr;
  };

  void ResetShadows();
  void ForgetStylePass() { m_pPreviousStyle = nullptr; }
  void CreateBuiltInStyles();
  bool ApplyRenderState(D3DRENDERSTATETYPE state, DWORD value);
  bool ApplyStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
  bool ApplyMaterial(const CD3DRenderStyle& style);
  void ApplyPassStates(const CD3DRenderStyle& style, const RenderPassDesc& pass, CDeviceTexture* const* textures);
  void ApplyStages(const RenderPassDesc& pass, CDeviceTexture* const* textures);
  void ApplyPassTail(const RenderPassDesc& pass, CDeviceTexture* const* textures);
  bool FullSetUp(CD3DRenderStyle* style, uint32_t pass, CDeviceTexture* const* textures, bool record);
  void Replay(CacheEntry& entry, CD3DRenderStyle* style, uint32_t pass, CDeviceTexture* const* textures,
              RenderPassDesc& desc);
  static int BucketOf(const CD3DRenderStyle* previous, const CD3DRenderStyle* style);
  CacheEntry* FindEntry(CD3DRenderStyle* previous, uint32_t previous_pass, CD3DRenderStyle* style, uint32_t pass);
  CacheEntry* TakeEntry(uint32_t frame);
  void FreeEntry(CacheEntry& entry);
  int FindChunks(int count) const;
  void StoreRecording(CD3DRenderStyle* previous, uint32_t previous_pass, CD3DRenderStyle* style, uint32_t pass,
                      bool material_set);
  uint32_t CurrentFrame() const;
  D3DMATRIX* TransformShadow(D3DTRANSFORMSTATETYPE type);

  DWORD m_RenderStates[D3DRS_STATE_COUNT];
  DWORD m_StageStates[kTextureShadowStages][D3DTSS_STATE_COUNT];
  D3DMATRIX m_World[kWorldMatrixCount];
  D3DMATRIX m_View;
  D3DMATRIX m_Projection;
  D3DMATRIX m_TextureMatrices[kTextureMatrixCount];
  D3DMATERIAL8 m_Material;
  // Left, top, right, bottom and the depth range (-1 after a reset).
  DWORD m_Viewport[4];
  float m_ViewportMinZ;
  float m_ViewportMaxZ;
  UINT m_Palette;
  IDirect3DBaseTexture8* m_Textures[kTextureShadowStages];
  bool m_TextureKnown[kTextureShadowStages];  // the stage holds m_Textures (false after a reset)
  CD3DRenderStyle* m_pPreviousStyle = nullptr;
  uint32_t m_PreviousPass = 0;
  DWORD m_VertexShader = kShadowUnset;
  DWORD m_PixelShader = kShadowUnset;
  IDirect3DVertexBuffer8* m_Streams[4] = {};
  UINT m_StreamStrides[4] = {};
  IDirect3DIndexBuffer8* m_pIndices = nullptr;
  UINT m_BaseVertex = 0;
  bool m_bSoftwareVP = false;

  CD3DRenderStyle* m_BuiltIn[kBuiltInStyleCount] = {};
  std::vector<uint8_t> m_Arena;
  std::bitset<kStateArenaChunks> m_ChunkUsed;
  CacheEntry m_Entries[kStateCacheEntries];
  CacheEntry* m_Buckets[kStateCacheBuckets] = {};
  std::deque<D3DMATRIX> m_WorldHistory;

  // The transition being recorded.
  bool m_bRecording = false;
  uint32_t m_RecordedStates = 0;
  uint32_t m_RecordedStageBytes = 0;
  bool m_bMaterialRecorded = false;
  static uint8_t s_StateBuffer[kRecordedStatePairs * 8];
  static uint8_t s_StageBuffer[kRecordedStageBytes];
};

// Packs four colour components of 0..1 into ARGB bytes, each clamped to 0..255.
DWORD PackColorARGB(float r, float g, float b, float a);

extern CRenderStateMgr* g_pRenderStateMgr;
