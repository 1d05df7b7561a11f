#include "runtime/src/render/sys/pc/sprite_array.h"

#include <algorithm>
#include <cstring>

#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/mesh_pass_loop.h"
#include "runtime/src/render/sys/pc/render_cvars.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"
#include "runtime/src/render/sys/pc/texturemgr.h"

namespace {

constexpr uint32_t kRunIndexCount = 6 * CSpriteArray::kQuadsPerRun;
constexpr float kQuadTexCoords[8] = {0, 0, 1, 0, 1, 1, 0, 1};

DWORD FloatBits(float value) {
  DWORD bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

D3DMATRIX Identity() {
  D3DMATRIX m{};
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
  return m;
}

CVector3 Transform(const CMatrix4x4& m, const CVector3& p) {
  return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
          p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
          p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

float DistanceSquared(const CVector3& a, const CVector3& b) {
  const float x = a.x - b.x, y = a.y - b.y, z = a.z - b.z;
  return x * x + y * y + z * z;
}

void PutFloats(uint8_t* at, const float* values, int count) { std::memcpy(at, values, sizeof(float) * count); }

}  // namespace

// --- creation ---------------------------------------------------------------------------------

bool CSpriteArray::Init(float default_size, uint32_t flags, uint32_t capacity, bool allow_point_sprites) {
  if (m_bCreated) Destroy();
  if (g_pD3DDevice == nullptr) return false;
  m_bSoftwareVP = ForceSWVertProcess.Value != 0;
  const bool per_vertex_size = (g_pD3DDevice->GetCaps().FVFCaps & D3DFVFCAPS_PSIZE) != 0;
  m_bPointSprites = allow_point_sprites && (flags & kNoPointSprites) == 0 && ((flags & kSize) == 0 || per_vertex_size);
  if (!m_bPointSprites && ForceSW_Quad_SprAry.Value != 0) m_bSoftwareVP = true;
  m_Flags = flags;
  m_DefaultSize = default_size;
  m_Capacity = std::max(capacity, kMinCapacity);
  if (m_bPointSprites) {
    m_Format = 0x01 | ((flags & kColour) ? 0x04u : 0u) | ((flags & kSize) ? 0x08u : 0u);
  } else {
    m_Format = 0x01 | ((flags & kColour) ? 0x04u : 0u) | 0x10u;
  }
  DWORD fvf = 0;
  CVertexBufferController::DescribeVertex(m_Format, 0, &fvf, &m_VertexSize, nullptr);
  m_Vertices.assign(static_cast<size_t>(m_Capacity) * SpriteBytes(), 0);
  if (!m_bPointSprites) {
    SetQuadTexCoords(0);
    if (flags & kSize) m_Sizes.assign(m_Capacity, default_size);
    m_Positions.assign(m_Capacity, CVector3{0, 0, 0});
  }
  m_ActiveBits.assign((m_Capacity - 1) / 8 + 1, 0);
  if (flags & kFrame) m_Frames.assign(m_Capacity, 0);
  if (!CreateBuffers() || !UploadAll()) {
    Destroy();
    return false;
  }
  m_bCreated = true;
  return true;
}

bool CSpriteArray::CreateBuffers() {
  const uint32_t vertices = m_Capacity * VerticesPerSprite();
  if (!m_Buffers.CreateVertexBuffer(0, vertices, m_Format, 0, true, true, m_bSoftwareVP, m_bPointSprites))
    return false;
  return m_bPointSprites || FillIndexBuffer();
}

bool CSpriteArray::FillIndexBuffer() {
  if (!m_Buffers.CreateIndexBuffer(kRunIndexCount, false, true, m_bSoftwareVP) ||
      !m_Buffers.Lock(CVertexBufferController::kIndexBuffer, false, false, 0, kRunIndexCount * 2))
    return false;
  auto* out = reinterpret_cast<uint16_t*>(m_Buffers.LockedData(CVertexBufferController::kIndexBuffer));
  for (uint32_t i = 0; i < kQuadsPerRun; ++i) {
    const uint16_t q = static_cast<uint16_t>(4 * i);
    const uint16_t quad[6] = {q, static_cast<uint16_t>(q + 1), static_cast<uint16_t>(q + 2),
                              q, static_cast<uint16_t>(q + 2), static_cast<uint16_t>(q + 3)};
    std::memcpy(out + 6 * i, quad, sizeof(quad));
  }
  return m_Buffers.Unlock(CVertexBufferController::kIndexBuffer);
}

void CSpriteArray::SetQuadTexCoords(uint32_t first_slot) {
  const uint32_t offset = TexOffset();
  for (uint32_t slot = first_slot; slot < m_Capacity; ++slot)
    for (uint32_t corner = 0; corner < 4; ++corner)
      PutFloats(&m_Vertices[(static_cast<size_t>(slot) * 4 + corner) * m_VertexSize + offset],
                &kQuadTexCoords[2 * corner], 2);
}

bool CSpriteArray::UploadAll() {
  const auto bytes = static_cast<uint32_t>(m_Vertices.size());
  if (!m_Buffers.Lock(0, true, false, 0, bytes)) return false;
  std::memcpy(m_Buffers.LockedData(0), m_Vertices.data(), bytes);
  return m_Buffers.Unlock(0);
}

void CSpriteArray::Destroy() {
  m_Buffers.Release();
  m_bCreated = m_bLocked = m_bPointSprites = m_bSoftwareVP = false;
  m_FrameOffset = 0;
  m_FrameCount = 16;
  m_ActiveCount = m_Capacity = m_Format = m_Flags = m_VertexSize = 0;
  m_DefaultSize = 1.0f;
  m_ViewSpace = CMatrix4x4{};
  m_PointScaleEnable = 1;
  m_PointScale[0] = 2.0f;
  m_PointScale[1] = 1.0f;
  m_PointScale[2] = 0.5f;
  m_MinPointSize = 0.0f;
  m_MaxPointSize = 1000.0f;
  m_Vertices.clear();
  m_Frames.clear();
  m_ActiveBits.clear();
  m_Positions.clear();
  m_Sizes.clear();
}

bool CSpriteArray::ReleaseDeviceObjects() {
  m_Buffers.Release();
  m_bLocked = false;
  m_bCreated = false;
  return true;
}

bool CSpriteArray::Restore() {
  if (m_bCreated || m_Capacity == 0) return true;
  if (!CreateBuffers() || !UploadAll()) {
    m_Buffers.Release();
    return false;
  }
  m_bCreated = true;
  return true;
}

void CSpriteArray::SwitchToSoftware(void* array) {
  auto* self = static_cast<CSpriteArray*>(array);
  self->ReleaseDeviceObjects();
  self->Restore();
}

float CSpriteArray::GetMaxPointSize() { return g_pD3DDevice != nullptr ? g_pD3DDevice->GetCaps().MaxPointSize : 0.0f; }

// --- sprites ----------------------------------------------------------------------------------

bool CSpriteArray::SlotOf(uint32_t index, uint32_t* slot) const {
  if (!m_bCreated || index == 0 || index > m_Capacity) return false;
  *slot = index - 1;
  return true;
}

void CSpriteArray::SetBit(uint32_t slot, bool on) {
  const uint8_t mask = static_cast<uint8_t>(1u << (slot & 7));
  if (on)
    m_ActiveBits[slot >> 3] |= mask;
  else
    m_ActiveBits[slot >> 3] &= static_cast<uint8_t>(~mask);
}

bool CSpriteArray::Grow() {
  const uint32_t old_capacity = m_Capacity;
  const auto grown = static_cast<uint32_t>(static_cast<uint64_t>(m_Capacity) * 5 / 4);
  if (grown <= m_Capacity) return false;
  m_Buffers.Release();
  m_bLocked = false;
  m_Capacity = grown;
  m_Vertices.resize(static_cast<size_t>(m_Capacity) * SpriteBytes(), 0);
  m_ActiveBits.resize((m_Capacity - 1) / 8 + 1, 0);
  if (m_Flags & kFrame) m_Frames.resize(m_Capacity, 0);
  if (!m_bPointSprites) {
    if (m_Flags & kSize) m_Sizes.resize(m_Capacity, m_DefaultSize);
    m_Positions.resize(m_Capacity, CVector3{0, 0, 0});
    SetQuadTexCoords(old_capacity);
  }
  return CreateBuffers() && UploadAll();
}

uint32_t CSpriteArray::AddSprite() {
  if (!m_bCreated) return 0;
  if (m_ActiveCount >= m_Capacity && !Grow()) {
    Destroy();
    return 0;
  }
  for (uint32_t slot = 0; slot < m_Capacity; ++slot) {
    if (BitSet(slot)) continue;
    SetBit(slot, true);
    if (!m_Frames.empty()) m_Frames[slot] = 0;
    ++m_ActiveCount;
    return slot + 1;
  }
  return 0;
}

uint32_t CSpriteArray::RemoveSprite(uint32_t index) {
  uint32_t slot = 0;
  // Only a sprite that was active lowers the count, so a repeated remove cannot underflow it.
  if (SlotOf(index, &slot) && BitSet(slot)) {
    SetBit(slot, false);
    if (m_ActiveCount > 0) --m_ActiveCount;
  }
  return m_ActiveCount;
}

void CSpriteArray::SetActiveCount(uint32_t count) {
  if (!m_bCreated) return;
  count = std::min(count, m_Capacity);
  // Sets the bits of sprites 1 to count and clears none.
  for (uint32_t slot = 0; slot < count; ++slot) SetBit(slot, true);
  m_ActiveCount = count;
}

bool CSpriteArray::IsActive(uint32_t index) {
  uint32_t slot = 0;
  return SlotOf(index, &slot) && BitSet(slot);
}

// --- locking and per-sprite values ------------------------------------------------------------

bool CSpriteArray::Lock() {
  if (!m_bCreated) return false;
  m_bLocked = true;
  const bool discard = SprtAry_Discard_On_Lock.Value != 0;
  const auto bytes = static_cast<uint32_t>(m_Vertices.size());
  if (!m_Buffers.Lock(0, discard, false, 0, bytes)) {
    m_bLocked = false;
    return false;
  }
  // A discarded buffer starts empty: it gets the system copy back.
  if (discard && !m_bSoftwareVP) std::memcpy(m_Buffers.LockedData(0), m_Vertices.data(), bytes);
  return true;
}

bool CSpriteArray::Unlock() {
  m_bLocked = false;
  return m_Buffers.Unlock(0);
}

uint32_t CSpriteArray::CopyToLocked() {
  uint8_t* locked = m_Buffers.LockedData(0);
  if (locked == nullptr) return 0;
  const uint32_t bytes = std::min(m_ActiveCount, m_Capacity) * SpriteBytes();
  std::memcpy(locked, m_Vertices.data(), bytes);
  return bytes;
}

uint32_t CSpriteArray::DiffuseOffset() const {
  return 12 + ((m_bPointSprites && (m_Flags & kSize)) ? 4 : 0);
}

bool CSpriteArray::WriteVertices(uint32_t slot, uint32_t offset, const void* data, uint32_t size,
                                 uint32_t stride_in_data) {
  uint8_t* locked = m_Buffers.LockedData(0);
  if (!m_bLocked || locked == nullptr) return false;
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (uint32_t v = 0; v < VerticesPerSprite(); ++v) {
    const size_t at = (static_cast<size_t>(slot) * VerticesPerSprite() + v) * m_VertexSize + offset;
    std::memcpy(&m_Vertices[at], bytes + v * stride_in_data, size);
    std::memcpy(locked + at, bytes + v * stride_in_data, size);
  }
  return true;
}

bool CSpriteArray::SetPosition(uint32_t index, const CVector3& position) {
  uint32_t slot = 0;
  if (!SlotOf(index, &slot)) return false;
  if (!m_bPointSprites) {
    m_Positions[slot] = position;
    return true;
  }
  const float xyz[3] = {position.x, position.y, position.z};
  return WriteVertices(slot, 0, xyz, sizeof(xyz), 0);
}

CVector3 CSpriteArray::PositionOf(uint32_t slot) const {
  if (!m_bPointSprites) return m_Positions[slot];
  float xyz[3];
  std::memcpy(xyz, &m_Vertices[static_cast<size_t>(slot) * m_VertexSize], sizeof(xyz));
  return {xyz[0], xyz[1], xyz[2]};
}

bool CSpriteArray::GetPosition(uint32_t index, CVector3* position) {
  uint32_t slot = 0;
  if (position == nullptr || !SlotOf(index, &slot)) return false;
  *position = PositionOf(slot);
  return true;
}

bool CSpriteArray::SetColor(uint32_t index, uint32_t colour) {
  uint32_t slot = 0;
  if (!SlotOf(index, &slot) || (m_Flags & kColour) == 0) return false;
  return WriteVertices(slot, DiffuseOffset(), &colour, 4, 0);
}

bool CSpriteArray::GetColor(uint32_t index, uint8_t* bytes) {
  uint32_t slot = 0;
  if (bytes == nullptr || !SlotOf(index, &slot) || (m_Flags & kColour) == 0) return false;
  std::memcpy(bytes, &m_Vertices[static_cast<size_t>(slot) * SpriteBytes() + DiffuseOffset()], 4);
  return true;
}

bool CSpriteArray::SetSize(uint32_t index, float size) {
  uint32_t slot = 0;
  if (!SlotOf(index, &slot) || (m_Flags & kSize) == 0) return false;
  if (!m_bPointSprites) {
    m_Sizes[slot] = size;
    return true;
  }
  return WriteVertices(slot, 12, &size, 4, 0);
}

bool CSpriteArray::GetSize(uint32_t index, float* size) {
  uint32_t slot = 0;
  if (size == nullptr || !SlotOf(index, &slot) || (m_Flags & kSize) == 0) return false;
  if (!m_bPointSprites) {
    *size = m_Sizes[slot];
  } else {
    std::memcpy(size, &m_Vertices[static_cast<size_t>(slot) * m_VertexSize + 12], 4);
  }
  return true;
}

bool CSpriteArray::SetFrame(uint32_t index, uint8_t frame) {
  uint32_t slot = 0;
  if (!SlotOf(index, &slot) || m_Frames.empty()) return false;
  m_Frames[slot] = frame;
  return true;
}

bool CSpriteArray::GetFrame(uint32_t index, uint8_t* frame) {
  uint32_t slot = 0;
  if (frame == nullptr || !SlotOf(index, &slot) || m_Frames.empty()) return false;
  *frame = m_Frames[slot];
  return true;
}

bool CSpriteArray::SetTexCoords(uint32_t index, const float* uv) {
  uint32_t slot = 0;
  if (uv == nullptr || m_bPointSprites || !SlotOf(index, &slot)) return false;
  return WriteVertices(slot, TexOffset(), uv, 8, 8);
}

bool CSpriteArray::GetTexCoords(uint32_t index, float* uv) {
  uint32_t slot = 0;
  if (uv == nullptr || m_bPointSprites || !SlotOf(index, &slot)) return false;
  for (uint32_t v = 0; v < 4; ++v)
    std::memcpy(uv + 2 * v, &m_Vertices[(static_cast<size_t>(slot) * 4 + v) * m_VertexSize + TexOffset()], 8);
  return true;
}

void CSpriteArray::SetFrameCount(uint8_t count) {
  // The stored count is count + 1, never 0.
  m_FrameCount = static_cast<uint8_t>(count == 0xFF ? 0xFF : count + 1);
}

void CSpriteArray::SetPointScale(float a, float b, float c, float smallest, float largest) {
  m_PointScale[0] = a;
  m_PointScale[1] = b;
  m_PointScale[2] = c;
  m_MinPointSize = smallest;
  m_MaxPointSize = largest;
}

// --- ordering ---------------------------------------------------------------------------------

void CSpriteArray::SwapSprites(uint32_t a, uint32_t b) {
  const uint32_t bytes = SpriteBytes();
  std::swap_ranges(m_Vertices.begin() + static_cast<std::ptrdiff_t>(a) * bytes,
                   m_Vertices.begin() + static_cast<std::ptrdiff_t>(a + 1) * bytes,
                   m_Vertices.begin() + static_cast<std::ptrdiff_t>(b) * bytes);
  if (!m_Frames.empty()) std::swap(m_Frames[a], m_Frames[b]);
  if (!m_Positions.empty()) std::swap(m_Positions[a], m_Positions[b]);
  if (!m_Sizes.empty()) std::swap(m_Sizes[a], m_Sizes[b]);
}

void CSpriteArray::SortBackToFront(uint32_t passes, const CVector3& eye) {
  if (!m_bCreated) return;
  for (uint32_t pass = 0; pass < passes; ++pass) {
    uint32_t current = 0;
    while (current < m_Capacity && !BitSet(current)) ++current;
    while (current < m_Capacity) {
      uint32_t next = current + 1;
      while (next < m_Capacity && !BitSet(next)) ++next;
      if (next >= m_Capacity) break;
      if (DistanceSquared(PositionOf(next), eye) > DistanceSquared(PositionOf(current), eye))
        SwapSprites(current, next);
      current = next;
    }
  }
  const uint32_t bytes = std::min(m_ActiveCount, m_Capacity) * SpriteBytes();
  const bool was_locked = m_Buffers.LockedData(0) != nullptr;
  if (!was_locked && !m_Buffers.Lock(0, false, true, 0, static_cast<uint32_t>(m_Vertices.size()))) return;
  std::memcpy(m_Buffers.LockedData(0), m_Vertices.data(), bytes);
  if (!was_locked) m_Buffers.Unlock(0);
}

// --- drawing ----------------------------------------------------------------------------------

CDeviceTexture* CSpriteArray::FrameTexture(uint32_t slot, CDeviceTexture* const* textures) const {
  if (m_Frames.empty() || textures == nullptr) return nullptr;
  return textures[(m_Frames[slot] + m_FrameOffset) % m_FrameCount];
}

void CSpriteArray::CollectRuns(CDeviceTexture* const* textures, std::vector<Run>* runs) const {
  runs->clear();
  const uint32_t longest = m_bPointSprites ? m_Capacity : kQuadsPerRun;
  for (uint32_t slot = 0; slot < m_Capacity; ++slot) {
    if (!BitSet(slot)) continue;
    CDeviceTexture* texture = FrameTexture(slot, textures);
    const bool joins = !runs->empty() && runs->back().First + runs->back().Count == slot &&
                       runs->back().Count < longest && runs->back().Texture == texture;
    if (joins)
      ++runs->back().Count;
    else
      runs->push_back({slot, 1, texture});
  }
}

void CSpriteArray::SetPointStates() {
  CRenderStateMgr& rs = *g_pRenderStateMgr;
  rs.SetRenderState(D3DRS_POINTSPRITEENABLE, 1);
  rs.SetRenderState(D3DRS_POINTSCALEENABLE, m_PointScaleEnable);
  rs.SetRenderState(D3DRS_POINTSIZE, FloatBits(2.0f * m_DefaultSize));
  rs.SetRenderState(D3DRS_POINTSIZE_MIN, FloatBits(m_MinPointSize));
  rs.SetRenderState(D3DRS_POINTSIZE_MAX, FloatBits(m_MaxPointSize));
  rs.SetRenderState(D3DRS_POINTSCALE_A, FloatBits(m_PointScale[0]));
  rs.SetRenderState(D3DRS_POINTSCALE_B, FloatBits(m_PointScale[1]));
  rs.SetRenderState(D3DRS_POINTSCALE_C, FloatBits(m_PointScale[2]));
}

bool CSpriteArray::DrawRunPoints(const Run& run) { return m_Buffers.DrawPoints(run.First, run.Count); }

bool CSpriteArray::DrawRunQuads(const Run& run) {
  const uint32_t bytes = SpriteBytes();
  // Drawing inside the caller's lock writes through it; otherwise only the run is locked, and
  // a lock of part of the buffer points at the part's first byte.
  const bool was_locked = m_Buffers.LockedData(0) != nullptr;
  if (!was_locked && !m_Buffers.Lock(0, false, true, run.First * bytes, run.Count * bytes)) return false;
  uint8_t* out = m_Buffers.LockedData(0) + (was_locked ? static_cast<size_t>(run.First) * bytes : 0);
  for (uint32_t i = 0; i < run.Count; ++i) {
    const uint32_t slot = run.First + i;
    const CVector3 c = Transform(m_ViewSpace, m_Positions[slot]);
    const float s = m_Sizes.empty() ? m_DefaultSize : m_Sizes[slot];
    const float corners[4][3] = {{c.x - s, c.y + s, c.z}, {c.x + s, c.y + s, c.z}, {c.x + s, c.y - s, c.z},
                                 {c.x - s, c.y - s, c.z}};
    for (uint32_t v = 0; v < 4; ++v) PutFloats(out + (i * 4 + v) * m_VertexSize, corners[v], 3);
  }
  if (!was_locked) m_Buffers.Unlock(0);
  m_Buffers.SetStreams(4 * run.First);
  return m_Buffers.DrawIndexed(0, 0, 4 * run.Count, 2 * run.Count);
}

bool CSpriteArray::Render(const CMatrix4x4* world, CD3DRenderStyle* style, CDeviceTexture* const* textures) {
  if (!m_bCreated || style == nullptr || g_pRenderStateMgr == nullptr) return false;
  CRenderStateMgr& rs = *g_pRenderStateMgr;
  D3DMATRIX saved_view = Identity();
  if (!m_bPointSprites) {
    // Quads are built in view space: the device then draws them with identity transforms.
    if (const D3DMATRIX* view = rs.GetTransform(D3DTS_VIEW)) saved_view = *view;
    CMatrix4x4 view_matrix;
    std::memcpy(view_matrix.m, saved_view.m, sizeof(view_matrix.m));
    CMatrix4x4 world_matrix = world != nullptr ? *world : CMatrix4x4{};
    if (world == nullptr)
      for (int i = 0; i < 4; ++i) world_matrix.m[i][i] = 1.0f;
    world_matrix.Multiply(view_matrix, m_ViewSpace);
    rs.SetTransform(D3DTS_VIEW, Identity());
    rs.SetTransform(D3DTS_WORLD, Identity());
  } else {
    mesh_pass::SetWorld(world);
  }
  mesh_pass::SetSoftware(m_bSoftwareVP);
  if (m_bPointSprites) SetPointStates();
  std::vector<Run> runs;
  CollectRuns(textures, &runs);
  // Only an array with frames names more textures than the style reads, so only its list is
  // advanced by the frame offset; a short list is never read past its end.
  CDeviceTexture* const* applied = textures != nullptr && !m_Frames.empty() ? textures + m_FrameOffset : textures;
  MeshPassTarget target;
  target.Software = &m_bSoftwareVP;
  target.FixedFormat = m_Buffers.Fvf(0);
  target.SwitchToSoftware = &CSpriteArray::SwitchToSoftware;
  target.Mesh = this;
  const bool ok = mesh_pass::RunPasses(
      style, applied, target, [this] { m_Buffers.SetStreams(0); },
      [&](uint32_t) {
        for (const Run& run : runs) {
          if (run.Texture != nullptr) rs.SetTexture(0, run.Texture->m_pTexture);
          if (!(m_bPointSprites ? DrawRunPoints(run) : DrawRunQuads(run))) return false;
        }
        return true;
      });
  if (!m_bPointSprites) rs.SetTransform(D3DTS_VIEW, saved_view);
  return ok;
}

bool CSpriteArray::RenderPoints(const CMatrix4x4* world, CD3DRenderStyle* style, CDeviceTexture* const* textures,
                                uint32_t count) {
  if (!m_bCreated || style == nullptr || g_pRenderStateMgr == nullptr) return false;
  mesh_pass::SetWorld(world);
  SetPointStates();
  // The buffer holds one vertex per sprite only in point mode, four in quad mode.
  const uint32_t vertices = std::min(count, m_Capacity * VerticesPerSprite());
  MeshPassTarget target;
  target.Software = &m_bSoftwareVP;
  target.FixedFormat = m_Buffers.Fvf(0);
  target.SwitchToSoftware = &CSpriteArray::SwitchToSoftware;
  target.Mesh = this;
  return mesh_pass::RunPasses(
      style, textures, target, [this] { m_Buffers.SetStreams(0); },
      [&](uint32_t) { return vertices == 0 || m_Buffers.DrawPoints(0, vertices); });
}
