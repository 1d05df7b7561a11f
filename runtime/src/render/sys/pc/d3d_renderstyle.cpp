#include "runtime/src/render/sys/pc/d3d_renderstyle.h"

#include <cstdio>
#include <cstring>

#include "platform/d3d/d3d8.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/render_cvars.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"

namespace {

constexpr uint8_t kStyleMagic = 5;
constexpr uint16_t kStyleVersion = 3;
constexpr uint32_t kStyleHeaderSize = 20;
constexpr uint32_t kMaxStyleField1 = 1000000;
constexpr uint32_t kParamCountBias = 2;
constexpr int kParamDescEntries = 10;

bool ReadExact(CStream* stream, void* buffer, uint32_t length) {
  return length == 0 || stream->Read(buffer, length) == length;
}

bool ReadU32(CStream* stream, uint32_t* value) { return ReadExact(stream, value, sizeof(*value)); }

bool ReadCode(CStream* stream, std::vector<uint8_t>* code) {
  uint32_t size = 0;
  if (!ReadU32(stream, &size) || size > kMaxShaderCodeSize) return false;
  code->assign(size, 0);
  return ReadExact(stream, code->data(), size);
}

void SetIdentity(float m[16]) {
  std::memset(m, 0, 16 * sizeof(float));
  m[0] = m[5] = m[10] = m[15] = 1.0f;
}

uint32_t ByteOf(float value) { return static_cast<uint32_t>(static_cast<int32_t>(value * 255.0f)) & 0xFFu; }

// Bit positions of the texture factor's channels by parameter kind 2-5: alpha, red, green, blue.
constexpr int kFactorShift[4] = {24, 16, 8, 0};

void PutFactorByte(uint32_t* factor, int shift, float value) {
  *factor = (*factor & ~(0xFFu << shift)) | (ByteOf(value) << shift);
}

// The most bytes one alternative reads: its words, every parameter, the material and the
// pass count; its passes each with a shader block and every code at its cap; and the pass
// read past the cap before it is refused.
constexpr uint64_t Max_Pass_Bytes() {
  return sizeof(RenderPassDesc) + 1 + (sizeof(PassShaderDesc) - 1) + 5 * (4 + uint64_t{kMaxShaderCodeSize});
}

constexpr uint64_t Max_Alternative_Bytes() {
  return 8 + uint64_t{kMaxStyleParams} * sizeof(RenderStyleParam) + sizeof(RenderStyleMaterial) + 4 +
         kMaxStylePasses * Max_Pass_Bytes() + sizeof(RenderPassDesc) + 1;
}

}  // namespace

uint32_t StyleTextureOp(uint32_t op) {
  static const uint32_t kOps[] = {D3DTOP_DISABLE,         D3DTOP_SELECTARG1,       D3DTOP_SELECTARG2,
                                  D3DTOP_MODULATE,        D3DTOP_MODULATE2X,       D3DTOP_BLENDDIFFUSEALPHA,
                                  D3DTOP_BLENDTEXTUREALPHA, D3DTOP_BLENDCURRENTALPHA, D3DTOP_BLENDFACTORALPHA,
                                  D3DTOP_ADD,             D3DTOP_ADDSIGNED,        D3DTOP_DOTPRODUCT3,
                                  D3DTOP_BUMPENVMAP,      D3DTOP_BUMPENVMAPLUMINANCE};
  return op < std::size(kOps) ? kOps[op] : D3DTOP_DISABLE;
}

uint32_t StyleAlphaOp(uint32_t op) {
  static const uint32_t kOps[] = {D3DTOP_DISABLE,           D3DTOP_SELECTARG1,       D3DTOP_SELECTARG2,
                                  D3DTOP_MODULATE,          D3DTOP_BLENDCURRENTALPHA, D3DTOP_BLENDFACTORALPHA,
                                  D3DTOP_ADD};
  return op < std::size(kOps) ? kOps[op] : D3DTOP_DISABLE;
}

uint32_t StyleTextureArg(uint32_t arg) {
  static const uint32_t kArgs[] = {D3DTA_CURRENT, D3DTA_DIFFUSE, D3DTA_TEXTURE, D3DTA_TFACTOR};
  return arg < std::size(kArgs) ? kArgs[arg] : D3DTA_CURRENT;
}

// ---------------------------------------------------------------------------------------------

CD3DRenderStyle::CD3DRenderStyle() {
  m_Material.Ambient = m_Material.Diffuse = m_Material.Emissive = m_Material.Specular = {0, 0, 0, 1};
}

CD3DRenderStyle::~CD3DRenderStyle() {
  ClearPasses();
  if (g_pRenderStateMgr != nullptr) g_pRenderStateMgr->InvalidateStyle(this);
}

void CD3DRenderStyle::CountMemory(int64_t bytes) {
  if (m_Managed) m_Tracked_Memory = static_cast<uint32_t>(static_cast<int64_t>(m_Tracked_Memory) + bytes);
}

bool CD3DRenderStyle::Load(CStream* stream, uint32_t* /*size*/) {
  if (stream == nullptr || !LoadFromStream(stream)) SetDefaults();
  m_Loaded = 1;
  return true;
}

void CD3DRenderStyle::Free() {
  m_pUserByte.reset();
  m_Params.clear();
  ClearPasses();
  m_Loaded = 0;
}

void CD3DRenderStyle::GetMaterial(RenderStyleMaterial* material) const {
  if (material != nullptr) *material = m_Material;
}

CD3DRenderStyle::Pass* CD3DRenderStyle::PassAt(uint32_t index) const {
  return index < m_Passes.size() ? m_Passes[index].get() : nullptr;
}

bool CD3DRenderStyle::AddPass(const RenderPassDesc& desc) {
  if (m_Passes.size() >= kMaxStylePasses) return false;
  auto pass = std::make_unique<Pass>();
  pass->Desc = desc;
  m_Passes.push_back(std::move(pass));
  CountMemory(sizeof(Pass));
  return true;
}

bool CD3DRenderStyle::RemovePass(uint32_t index) {
  Pass* pass = PassAt(index);
  if (pass == nullptr) return false;
  SetPassShader(index, nullptr);
  m_Passes.erase(m_Passes.begin() + index);
  CountMemory(-static_cast<int64_t>(sizeof(Pass)));
  return true;
}

bool CD3DRenderStyle::SetPass(uint32_t index, const RenderPassDesc& desc) {
  Pass* pass = PassAt(index);
  if (pass == nullptr) return false;
  pass->Desc = desc;
  return true;
}

void CD3DRenderStyle::Rebuild() {
  if (g_pRenderStateMgr != nullptr) g_pRenderStateMgr->InvalidateStyle(this);
}

bool CD3DRenderStyle::GetPass(uint32_t index, RenderPassDesc* desc) const {
  const Pass* pass = PassAt(index);
  if (pass == nullptr || desc == nullptr) return false;
  *desc = pass->Desc;
  return true;
}

void CD3DRenderStyle::ClearPasses() {
  while (!m_Passes.empty()) RemovePass(static_cast<uint32_t>(m_Passes.size() - 1));
}

bool CD3DRenderStyle::SetUserByte(uint8_t value) {
  if (!m_pUserByte) m_pUserByte = std::make_unique<uint8_t>();
  *m_pUserByte = value;
  return true;
}

bool CD3DRenderStyle::GetUserByte(uint8_t* value) const {
  if (!m_pUserByte || value == nullptr) return false;
  *value = *m_pUserByte;
  return true;
}

void CD3DRenderStyle::DeletePassShaders(Pass& pass) {
  IDirect3DDevice8* device = g_pDirect3DDevice;
  for (uint32_t& handle : pass.VertexShaders) {
    if (handle == 0) continue;
    if (g_pRenderStateMgr != nullptr && g_pRenderStateMgr->GetVertexShader() == handle)
      g_pRenderStateMgr->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL);
    if (device != nullptr) device->DeleteVertexShader(handle);
    handle = 0;
  }
  if (pass.PixelShader != 0) {
    if (g_pRenderStateMgr != nullptr && g_pRenderStateMgr->GetPixelShader() == pass.PixelShader)
      g_pRenderStateMgr->SetPixelShader(0);
    if (device != nullptr) device->DeletePixelShader(pass.PixelShader);
    pass.PixelShader = 0;
  }
}

bool CD3DRenderStyle::SetPassShader(uint32_t index, const PassShaderDesc* block) {
  Pass* pass = PassAt(index);
  if (pass == nullptr) return false;
  if (block == nullptr) {
    DeletePassShaders(*pass);
    for (auto& code : pass->VertexCode) code.clear();
    pass->PixelCode.clear();
    if (pass->Shader) CountMemory(-static_cast<int64_t>(sizeof(PassShaderDesc)));
    pass->Shader.reset();
    return true;
  }
  if (!pass->Shader) {
    pass->Shader = std::make_unique<PassShaderDesc>();
    CountMemory(sizeof(PassShaderDesc));
  }
  *pass->Shader = *block;
  return true;
}

bool CD3DRenderStyle::GetPassShader(uint32_t index, PassShaderDesc* block) const {
  const Pass* pass = PassAt(index);
  if (pass == nullptr || !pass->Shader || block == nullptr) return false;
  *block = *pass->Shader;
  return true;
}

// --- parameters ---

const RenderStyleParam* CD3DRenderStyle::FindParam(uint32_t key) const {
  for (const RenderStyleParam& p : m_Params)
    if (p.Key == key) return &p;
  return nullptr;
}

float* CD3DRenderStyle::ParamVector(const RenderStyleParam& param) const {
  Pass* pass = PassAt(param.Pass);
  if (pass == nullptr || !pass->Shader) return nullptr;
  PassShaderDesc& s = *pass->Shader;
  switch (param.Target) {
    case 2: case 3: case 4: return s.VertexConstants[param.Target - 2].Value;
    case 5: case 6: return s.PixelConstants[param.Target - 5].Value;
    default: return nullptr;
  }
}

bool CD3DRenderStyle::SetParamVector(uint32_t key, const float value[4]) {
  const RenderStyleParam* p = FindParam(key);
  if (p == nullptr || value == nullptr || p->Kind != 0 || PassAt(p->Pass) == nullptr) return false;
  if (p->Target == 1) {
    uint32_t& factor = PassAt(p->Pass)->Desc.TextureFactor;
    for (int i = 0; i < 4; ++i) PutFactorByte(&factor, kFactorShift[i], value[i]);
    return true;
  }
  float* target = ParamVector(*p);
  if (target == nullptr) return false;
  std::memcpy(target, value, 4 * sizeof(float));
  return true;
}

bool CD3DRenderStyle::SetParamColour(uint32_t key, const float colour[4]) {
  const RenderStyleParam* p = FindParam(key);
  if (p == nullptr || colour == nullptr || p->Kind != 1 || PassAt(p->Pass) == nullptr) return false;
  if (p->Target == 1) {
    uint32_t& factor = PassAt(p->Pass)->Desc.TextureFactor;
    for (int i = 0; i < 3; ++i) PutFactorByte(&factor, kFactorShift[i + 1], colour[i]);
    return true;
  }
  float* target = ParamVector(*p);
  if (target == nullptr) return false;
  std::memcpy(target, colour, 4 * sizeof(float));
  return true;
}

bool CD3DRenderStyle::SetParamFloat(uint32_t key, float value) {
  const RenderStyleParam* p = FindParam(key);
  if (p == nullptr || p->Kind < 2 || p->Kind > 5 || PassAt(p->Pass) == nullptr) return false;
  if (p->Target == 1) {
    PutFactorByte(&PassAt(p->Pass)->Desc.TextureFactor, kFactorShift[p->Kind - 2], value);
    return true;
  }
  float* target = ParamVector(*p);
  if (target == nullptr) return false;
  target[p->Kind - 2] = value;
  return true;
}

void CD3DRenderStyle::SetParams(const void* description) {
  m_Params.clear();
  if (description == nullptr) return;
  const auto* bytes = static_cast<const uint8_t*>(description);
  if (bytes[0] == 0) return;
  for (int i = 0; i < kParamDescEntries; ++i) {
    RenderStyleParam p;
    std::memcpy(&p, bytes + 4 + i * sizeof(RenderStyleParam), sizeof(p));
    if ((p.Key & 0xFFu) != 0 && p.Target != 0) m_Params.push_back(p);
  }
}

int32_t CD3DRenderStyle::FindParamPass(uint32_t key) const {
  const RenderStyleParam* p = FindParam(key);
  return p != nullptr ? static_cast<int32_t>(p->Pass) : -1;
}

void CD3DRenderStyle::GetParam(uint32_t index, RenderStyleParam* param) const {
  if (param == nullptr) return;
  *param = index < m_Params.size() ? m_Params[index] : RenderStyleParam{};
}

// --- loading ---

bool CD3DRenderStyle::LoadFromStream(CStream* stream) {
  if (stream == nullptr) return false;
  uint8_t header[kStyleHeaderSize];
  if (!ReadExact(stream, header, sizeof(header))) return false;
  uint16_t version = 0;
  std::memcpy(&version, header + 2, sizeof(version));
  if (header[0] != kStyleMagic || version != kStyleVersion) return false;
  uint32_t field1 = 0, alternatives = 0;
  if (!ReadU32(stream, &field1) || field1 > kMaxStyleField1) return false;
  if (!ReadU32(stream, &alternatives) || alternatives > kMaxStyleAlternatives) return false;
  for (uint32_t i = 0; i < alternatives; ++i) {
    if (!ReadAlternative(stream)) break;
    if (CreateShaders() && ValidatePasses()) return true;
  }
  if (g_pD3DDevice != nullptr) g_pD3DDevice->SetDefaultDeviceStates();
  return false;
}

RezExpansionBound CD3DRenderStyle::Expansion_Bound(const uint8_t* head, size_t length) {
  const bool magic = length < 1 || head[0] == kStyleMagic;
  const bool version = length < 4 || (head[2] | (head[3] << 8)) == kStyleVersion;
  if (!magic || !version) return RezExpansionBound::Holds(kStyleHeaderSize, "render style header of another kind");
  constexpr size_t kCounts = kStyleHeaderSize + 8;
  if (length < kCounts) return RezExpansionBound::Need_More();
  uint32_t field1 = 0;
  uint32_t alternatives = 0;
  std::memcpy(&field1, head + kStyleHeaderSize, 4);
  std::memcpy(&alternatives, head + kStyleHeaderSize + 4, 4);
  if (field1 > kMaxStyleField1 || alternatives > kMaxStyleAlternatives) {
    return RezExpansionBound::Holds(kCounts, "render style header with counts out of range");
  }
  const uint64_t bytes = kCounts + alternatives * Max_Alternative_Bytes();
  char what[96];
  std::snprintf(what, sizeof what, "render style of %u alternative(s) (at most %llu bytes)", alternatives,
                static_cast<unsigned long long>(bytes));
  return RezExpansionBound::Holds(bytes, what);
}

bool CD3DRenderStyle::ReadAlternative(CStream* stream) {
  uint32_t unused = 0, param_field = 0, pass_count = 0;
  if (!ReadU32(stream, &unused)) return false;
  m_ClipMode = 2;
  m_Params.clear();
  // The field carries the count plus 2; anything below 2 or beyond the cap is damage.
  if (!ReadU32(stream, &param_field) || param_field < kParamCountBias) return false;
  const uint32_t param_count = param_field - kParamCountBias;
  if (param_count > kMaxStyleParams) return false;
  m_Params.resize(param_count);
  if (!ReadExact(stream, m_Params.data(), param_count * static_cast<uint32_t>(sizeof(RenderStyleParam)))) return false;
  if (!ReadExact(stream, &m_Material, sizeof(m_Material))) return false;
  ClearPasses();
  if (!ReadU32(stream, &pass_count)) return false;
  for (uint32_t p = 0; p < pass_count; ++p)
    if (!ReadPass(stream)) return false;
  return true;
}

bool CD3DRenderStyle::ReadPass(CStream* stream) {
  RenderPassDesc desc;
  uint8_t has_shader = 0;
  if (!ReadExact(stream, &desc, sizeof(desc)) || !ReadExact(stream, &has_shader, 1)) return false;
  if (!AddPass(desc)) return false;
  if (has_shader == 0) return true;
  PassShaderDesc block{};
  auto* raw = reinterpret_cast<uint8_t*>(&block);
  if (!ReadExact(stream, raw, 3) || !ReadExact(stream, raw + 4, sizeof(block) - 4)) return false;
  const uint32_t index = GetPassCount() - 1;
  if (!SetPassShader(index, &block)) return false;
  Pass& pass = *m_Passes[index];
  if (block.HasVertexShaders)
    for (auto& code : pass.VertexCode)
      if (!ReadCode(stream, &code)) return false;
  if (block.HasPixelShader && !ReadCode(stream, &pass.PixelCode)) return false;
  return true;
}

void CD3DRenderStyle::SetDefaults() {
  m_Material.Ambient = m_Material.Diffuse = {1, 1, 1, 1};
  m_Material.Emissive = m_Material.Specular = {0, 0, 0, 0};
  m_Material.Spare0 = m_Material.Spare1 = m_Material.Spare2 = m_Material.Spare3 = 0.0f;
  m_Material.SpecularPower = 20.0f;
  m_ClipMode = 2;
  ClearPasses();
  RenderPassDesc pass{};
  for (int s = 0; s < kStyleStages; ++s) {
    TextureStageDesc& st = pass.Stages[s];
    st.ColorArg1 = st.AlphaArg1 = 2;  // texture
    st.ColorArg2 = st.AlphaArg2 = 0;  // current
    st.AddressU = st.AddressV = 0;
    st.Filter = 2;
    SetIdentity(st.Matrix);
  }
  TextureStageDesc& s0 = pass.Stages[0];
  s0.TextureSource = 1;
  s0.ColorOp = s0.AlphaOp = 3;  // modulate
  s0.ColorArg2 = s0.AlphaArg2 = 1;  // diffuse
  pass.CullMode = 1;
  pass.TextureFactor = 0x80808080u;
  pass.AlphaRef = 128;
  pass.Lighting = 1;
  pass.FillMode = 1;
  pass.BumpStage = 1;
  pass.BumpScale = 1.0f;
  AddPass(pass);
  m_pUserByte.reset();
  m_Params.clear();
}

bool CD3DRenderStyle::CopyFrom(const CD3DRenderStyle& other) {
  m_ClipMode = other.m_ClipMode;
  m_Material = other.m_Material;
  for (const auto& source : other.m_Passes) {
    if (!AddPass(source->Desc)) return false;
    Pass& pass = *m_Passes.back();
    if (source->Shader) SetPassShader(GetPassCount() - 1, source->Shader.get());
    for (int v = 0; v < 4; ++v) pass.VertexCode[v] = source->VertexCode[v];
    pass.PixelCode = source->PixelCode;
  }
  return true;
}

// --- shaders and validation ---

void CD3DRenderStyle::ReleaseShaders() {
  for (auto& pass : m_Passes) DeletePassShaders(*pass);
}

bool CD3DRenderStyle::CreateShaders() {
  if (g_pRenderStateMgr != nullptr) g_pRenderStateMgr->InvalidateStyle(this);
  bool needed = false;
  for (const auto& pass : m_Passes) {
    if (!pass->Shader) continue;
    if (pass->Shader->HasVertexShaders && pass->VertexShaders[0] == 0) needed = true;
    if (pass->Shader->HasPixelShader && pass->PixelShader == 0) needed = true;
  }
  return !needed || BuildShaders();
}

bool CD3DRenderStyle::BuildShaders() {
  for (auto& pass : m_Passes)
    if (!BuildPassShaders(*pass)) return false;
  return true;
}

std::vector<uint32_t> BuildVertexDeclaration(const PassShaderDesc& block, int variant) {
  std::vector<uint32_t> decl;
  auto has = [&](int element, int stream) { return block.StreamElements[element][stream] != 0; };
  for (int j = 0; j < 4; ++j) {
    bool any = block.TexCoordSets[j] != 0;
    for (int e = 0; e < 10; ++e) any = any || has(e, j);
    if (!any) continue;
    decl.push_back(D3DVSD_STREAM(j));
    uint32_t reg = 0;
    if (has(kElemPosition, j)) decl.push_back(D3DVSD_REG(reg++, D3DVSDT_FLOAT3));
    if (j == 0 && variant >= 1 && variant <= 3) {
      decl.push_back(D3DVSD_REG(reg++, static_cast<DWORD>(D3DVSDT_FLOAT1 + variant - 1)));
      decl.push_back(D3DVSD_REG(reg++, D3DVSDT_UBYTE4));
    }
    if (has(kElemNormal, j)) decl.push_back(D3DVSD_REG(reg++, D3DVSDT_FLOAT3));
    if (has(kElemTexCoords, j))
      for (uint32_t t = 0; t < block.TexCoordSets[j] && t < 8; ++t) decl.push_back(D3DVSD_REG(reg++, D3DVSDT_FLOAT2));
    if (has(kElemFloat3, j)) decl.push_back(D3DVSD_REG(reg++, D3DVSDT_FLOAT3));
    for (int first : {kElemOpt1A, kElemOpt1B}) {
      if (has(first, j)) decl.push_back(D3DVSD_REG(reg++, D3DVSDT_FLOAT1));
      else if (has(first + 1, j)) decl.push_back(D3DVSD_REG(reg++, D3DVSDT_FLOAT3));
      else if (has(first + 2, j)) decl.push_back(D3DVSD_REG(reg++, D3DVSDT_FLOAT4));
    }
  }
  decl.push_back(D3DVSD_END());
  return decl;
}

bool CD3DRenderStyle::BuildPassShaders(Pass& pass) {
  IDirect3DDevice8* device = g_pDirect3DDevice;
  if (device == nullptr) return false;
  const PassShaderDesc* block = pass.Shader.get();
  DeletePassShaders(pass);
  for (int v = 0; v < 4; ++v) {
    if (block == nullptr || !block->HasVertexShaders || (!block->AllBlendVariants && v != 0)) continue;
    const std::vector<uint32_t> decl = BuildVertexDeclaration(*block, v);
    const D3DCAPS8& caps = g_pD3DDevice->GetCaps();
    const bool software = ForceSWVertProcess.Value != 0 || caps.VertexShaderVersion < D3DVS_VERSION(1, 0) ||
                          (g_pD3DDevice->IsSoftwareVertexProcessing() && block->AllBlendVariants) ||
                          m_bSoftwareShaders;
    m_bSoftwareShaders = software ? 1 : 0;
    if (g_pRenderStateMgr != nullptr) g_pRenderStateMgr->SetSoftwareVertexProcessing(software);
    if (pass.VertexCode[v].empty()) return false;
    DWORD handle = 0;
    if (FAILED(device->CreateVertexShader(reinterpret_cast<const DWORD*>(decl.data()),
                                          reinterpret_cast<const DWORD*>(pass.VertexCode[v].data()), &handle,
                                          software ? D3DUSAGE_SOFTWAREPROCESSING : 0)))
      return false;
    pass.VertexShaders[v] = handle;
  }
  if (block == nullptr || !block->HasPixelShader) return true;
  if (pass.PixelCode.empty()) return false;
  DWORD handle = 0;
  if (FAILED(device->CreatePixelShader(reinterpret_cast<const DWORD*>(pass.PixelCode.data()), &handle))) return false;
  pass.PixelShader = handle;
  return true;
}

bool CD3DRenderStyle::ValidatePasses() {
  if (g_pD3DDevice == nullptr || g_pRenderStateMgr == nullptr) return false;
  const D3DCAPS8& caps = g_pD3DDevice->GetCaps();
  CRenderStateMgr& rs = *g_pRenderStateMgr;
  for (const auto& pass : m_Passes) {
    if (pass->VertexShaders[0] != 0) {
      rs.SetVertexShader(pass->VertexShaders[0]);
      if (!pass->Shader || !rs.LoadShaderConstants(this, *pass->Shader, nullptr, 0)) return false;
    } else {
      rs.SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    }
    rs.SetPixelShader(pass->PixelShader);
    uint32_t stages = 0;
    for (const TextureStageDesc& st : pass->Desc.Stages) {
      if (st.ColorOp != 0) ++stages;
      // The capability bit of an operation is 1 << (operation code - 1).
      if (st.ColorOp != 0 && (caps.TextureOpCaps & (1u << (StyleTextureOp(st.ColorOp) - 1))) == 0) return false;
      if (st.AlphaOp != 0 && (caps.TextureOpCaps & (1u << (StyleAlphaOp(st.AlphaOp) - 1))) == 0) return false;
    }
    if (caps.MaxTextureBlendStages < stages) return false;
  }
  return true;
}
