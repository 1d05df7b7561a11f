#pragma once
// A render style: how a surface is drawn. Its lighting material and one to four passes, each a
// full set of blend, depth, alpha-test, cull, fill and lighting states plus four texture stages,
// optionally with shader blocks. Loaded as a resource of type 1, or made empty, with defaults or
// as a copy by the render styles service. The device wrapper keeps the styles it created in a
// list and has them drop and rebuild their device shaders around a device reset.
#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/src/libksresource/rez_resource.h"

class CStream;

// Colours are stored blue, green, red, alpha.
struct RenderStyleColor {
  float b, g, r, a;
};

struct RenderStyleMaterial {
  RenderStyleColor Ambient;
  float Spare0;
  RenderStyleColor Diffuse;
  float Spare1;
  RenderStyleColor Emissive;
  float Spare2;
  RenderStyleColor Specular;
  float Spare3;
  float SpecularPower;
};
static_assert(sizeof(RenderStyleMaterial) == 84);

struct TextureStageDesc {
  uint32_t TextureSource;  // 0 none, 1-4 the caller's texture 0-3
  uint32_t ColorOp;
  uint32_t ColorArg1;
  uint32_t ColorArg2;
  uint32_t AlphaOp;
  uint32_t AlphaArg1;
  uint32_t AlphaArg2;
  uint32_t CoordSource;  // 0-3 set, 4 camera normal, 5 camera position, 6 reflection
  uint32_t AddressU;
  uint32_t AddressV;
  uint32_t Filter;
  uint8_t TransformOn;
  uint8_t Pad0[3];
  float Matrix[16];
  uint8_t Projected;
  uint8_t Pad1[3];
};
static_assert(sizeof(TextureStageDesc) == 116);

constexpr int kStyleStages = 4;
constexpr uint32_t kMaxStylePasses = 4;

struct RenderPassDesc {
  TextureStageDesc Stages[kStyleStages];
  uint32_t BlendMode;
  uint32_t DepthMode;
  uint32_t CullMode;
  uint32_t TextureFactor;
  uint32_t AlphaRef;
  uint32_t Lighting;
  uint32_t AlphaTest;
  uint32_t FillMode;
  uint8_t BumpOn;
  uint8_t Pad[3];
  uint32_t BumpStage;
  float BumpScale;
  float BumpOffset;
};
static_assert(sizeof(RenderPassDesc) == 512);

struct ShaderConstantVector {
  int32_t Register;
  float Value[4];
};

struct PassShaderDesc {
  uint8_t HasVertexShaders;
  uint8_t HasPixelShader;
  uint8_t AllBlendVariants;
  uint8_t Pad;
  ShaderConstantVector VertexConstants[3];  // offsets 4, 24, 44
  int32_t WorldViewRegister;
  uint32_t WorldViewCount;
  int32_t ProjectionRegister;
  int32_t WorldViewProjectionRegister;
  int32_t ViewProjectionRegister;
  int32_t EyeRegister;
  uint32_t LightCount;
  int32_t LightObjectPosRegister;
  int32_t LightViewPosRegister;
  int32_t LightDiffuseRegister;
  int32_t LightAttenuationRegister;
  int32_t MaterialColorsRegister;
  int32_t SpecularRegister;
  int32_t AmbientLightRegister;
  int32_t HistoryRegister;
  uint32_t HistoryCount;
  int32_t BoneRegister;
  uint8_t StreamElements[10][4];  // [element][stream]
  uint32_t TexCoordSets[4];
  ShaderConstantVector PixelConstants[4];  // offsets 188, 208, 228, 248
};
static_assert(sizeof(PassShaderDesc) == 268);

enum EStreamElement { kElemPosition, kElemNormal, kElemTexCoords, kElemFloat3, kElemOpt1A, kElemOpt3A, kElemOpt4A,
                      kElemOpt1B, kElemOpt3B, kElemOpt4B };

struct RenderStyleParam {
  uint32_t Key;
  uint32_t Target;  // 1 texture factor, 2-6 a shader constant vector
  uint32_t Pass;
  uint32_t Kind;  // 0 vector, 1 colour, 2-5 one float
};
static_assert(sizeof(RenderStyleParam) == 16);

// The largest parameter table a style resource may carry.
constexpr uint32_t kMaxStyleParams = 256;
constexpr uint32_t kMaxShaderCodeSize = 1000000;
constexpr uint32_t kMaxStyleAlternatives = 32;

class CD3DRenderStyle : public CRezResource {
 public:
  CD3DRenderStyle();
  ~CD3DRenderStyle() override;

  bool Load(CStream* stream, uint32_t* size) override;
  void Free() override;
  // The most bytes Load reads of a style whose first bytes these are: the header alone when it
  // is not a style's (Load then keeps the defaults), else every alternative it announces at
  // the largest a loader reads.
  static RezExpansionBound Expansion_Bound(const uint8_t* head, size_t length);

  virtual void SetClipMode(int32_t mode) { m_ClipMode = mode; }
  virtual int32_t GetClipMode() const { return m_ClipMode; }
  virtual void SetMaterial(const RenderStyleMaterial& material) { m_Material = material; }
  virtual void GetMaterial(RenderStyleMaterial* material) const;
  const RenderStyleMaterial& Material() const { return m_Material; }

  virtual bool AddPass(const RenderPassDesc& desc);
  virtual bool RemovePass(uint32_t index);
  virtual bool SetPass(uint32_t index, const RenderPassDesc& desc);
  virtual bool GetPass(uint32_t index, RenderPassDesc* desc) const;
  // Makes passes written with SetPass count at the next draw: the render-state manager forgets
  // the transitions it recorded for this style.
  virtual void Rebuild();
  virtual uint32_t GetPassCount() const { return static_cast<uint32_t>(m_Passes.size()); }

  virtual bool SetUserByte(uint8_t value);
  virtual bool GetUserByte(uint8_t* value) const;

  virtual bool SetPassShader(uint32_t index, const PassShaderDesc* block);
  virtual bool GetPassShader(uint32_t index, PassShaderDesc* block) const;

  virtual bool SetParamVector(uint32_t key, const float value[4]);
  virtual bool SetParamColour(uint32_t key, const float colour[4]);
  virtual bool SetParamFloat(uint32_t key, float value);
  // A description: one byte (0: none) padded to 4, then 10 entries of key, target, pass, kind.
  virtual void SetParams(const void* description);
  virtual int32_t FindParamPass(uint32_t key) const;
  virtual uint32_t GetParamCount() const { return static_cast<uint32_t>(m_Params.size()); }
  virtual void GetParam(uint32_t index, RenderStyleParam* param) const;

  virtual bool LoadFromStream(CStream* stream);
  virtual bool CreateShaders();
  virtual void SetDefaults();
  virtual bool CopyFrom(const CD3DRenderStyle& other);
  virtual bool ValidatePasses();

  virtual int32_t GetRefCount() const { return m_RefCount; }
  virtual int32_t AddRef() { return ++m_RefCount; }
  virtual int32_t Release() { return m_RefCount > 0 ? --m_RefCount : 0; }
  virtual void ClearPasses();

  // Deletes the device shaders of every pass, keeping their code.
  void ReleaseShaders();
  // The device vertex shader of a pass for a blend variant (0-3), and its pixel shader; 0 for none.
  uint32_t GetPassVertexShader(uint32_t index, uint32_t variant) const {
    const Pass* pass = PassAt(index);
    return pass != nullptr && variant < 4 ? pass->VertexShaders[variant] : 0;
  }
  uint32_t GetPassPixelShader(uint32_t index) const {
    const Pass* pass = PassAt(index);
    return pass != nullptr ? pass->PixelShader : 0;
  }
  // Whether the vertex shaders are built for software vertex processing.
  bool UsesSoftwareShaders() const { return m_bSoftwareShaders != 0; }
  void SetSoftwareShaders(bool on) { m_bSoftwareShaders = on ? 1 : 0; }

  // Link of the device wrapper's list of styles.
  CD3DRenderStyle* m_pNext = nullptr;

 private:
  struct Pass {
    RenderPassDesc Desc{};
    std::unique_ptr<PassShaderDesc> Shader;
    uint32_t VertexShaders[4] = {};
    std::vector<uint8_t> VertexCode[4];
    uint32_t PixelShader = 0;
    std::vector<uint8_t> PixelCode;
  };

  bool ReadAlternative(CStream* stream);
  bool ReadPass(CStream* stream);
  bool BuildShaders();
  bool BuildPassShaders(Pass& pass);
  void DeletePassShaders(Pass& pass);
  Pass* PassAt(uint32_t index) const;
  const RenderStyleParam* FindParam(uint32_t key) const;
  // The binding's target floats (a shader vector), or null when it has none.
  float* ParamVector(const RenderStyleParam& param) const;
  void CountMemory(int64_t bytes);

  int32_t m_ClipMode = 0;
  RenderStyleMaterial m_Material{};
  std::vector<std::unique_ptr<Pass>> m_Passes;
  std::unique_ptr<uint8_t> m_pUserByte;
  std::vector<RenderStyleParam> m_Params;
  uint8_t m_bSoftwareShaders = 0;
  int32_t m_RefCount = 0;
};

// The vertex declaration a shader block describes for one blend variant (0-3).
std::vector<uint32_t> BuildVertexDeclaration(const PassShaderDesc& block, int variant);

// Device values of the style fields.
uint32_t StyleTextureOp(uint32_t colour_op);
uint32_t StyleAlphaOp(uint32_t alpha_op);
uint32_t StyleTextureArg(uint32_t arg);
