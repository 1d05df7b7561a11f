// Meshes drawing on the recording device: own buffers against shared blocks, the draws each
// mesh type makes, the overrides put back after a draw, and the release/restore cycle.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/bsp_mesh.h"
#include "runtime/src/render/sys/pc/buffered_mesh.h"
#include "runtime/src/render/sys/pc/d3d_renderobjects.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/grid_mesh.h"
#include "runtime/src/render/sys/pc/renderable_object.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"
#include "runtime/src/render/sys/pc/skinned_mesh.h"
#include "runtime/src/render/sys/pc/vb_pool.h"
#include "runtime/src/render/sys/pc/vb_suballocator.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"
#include "tests/runtime/render/mesh_test_support.h"
#include "tests/runtime/render/render_fixture.h"
#include "tools/writers/style_writer.h"

namespace vt_test {
namespace {

using writers::Bytes;

// One logged indexed draw.
struct Draw {
  uint32_t min_index, vertex_count, start_index, triangles;
  bool operator==(const Draw&) const = default;
};

CMatrix4x4 Identity() {
  CMatrix4x4 m{};
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
  return m;
}

CMatrix4x4 Translation(float x, float y, float z) {
  CMatrix4x4 m = Identity();
  m.m[3][0] = x;
  m.m[3][1] = y;
  m.m[3][2] = z;
  return m;
}

// A flat grid of (cells_x + 1) x (cells_z + 1) lit, textured vertices.
writers::RigidMeshDesc PlaneMesh(int cells_x, int cells_z) {
  return writers::RigidFromGeometry(writers::MakePlane(4, 4, cells_x, cells_z));
}

class MeshDrawTest : public RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    ASSERT_TRUE(Start());
    style = g_pRenderStateMgr->GetBuiltInStyle(0);
    ASSERT_NE(style, nullptr);
  }

  template <class T>
  T* Make() {
    return static_cast<T*>(g_pD3DRenderDevice->CreateRenderObject(T::kType));
  }

  template <class T>
  T* Loaded(const Bytes& body) {
    T* object = Make<T>();
    auto stream = StreamOf(body);
    EXPECT_TRUE(object->Load(stream.get()));
    return object;
  }

  CRigidMesh* Rigid(const writers::RigidMeshDesc& desc) { return Loaded<CRigidMesh>(writers::BuildRigidBody(desc)); }

  std::vector<Draw> Draws() const {
    std::vector<Draw> draws;
    for (const std::string& line : d3d->log.Lines()) {
      unsigned type = 0;
      Draw d{};
      if (std::sscanf(line.c_str(), "DrawIndexedPrimitive(%u,%u,%u,%u,%u)", &type, &d.min_index, &d.vertex_count,
                      &d.start_index, &d.triangles) == 5)
        draws.push_back(d);
    }
    return draws;
  }

  // The base vertex of every SetIndices call, in order.
  std::vector<uint32_t> BaseVertices() const {
    std::vector<uint32_t> bases;
    for (const std::string& line : d3d->log.Lines()) {
      unsigned buffer = 0, base = 0;
      if (std::sscanf(line.c_str(), "SetIndices(%u,%u)", &buffer, &base) == 2) bases.push_back(base);
    }
    return bases;
  }

  int FirstLineStarting(const std::string& prefix) const {
    const std::vector<std::string>& lines = d3d->log.Lines();
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
  }

  CD3DRenderStyle* style = nullptr;
};

TEST_F(MeshDrawTest, SmallSingleStreamMeshesShareABlockAndLargerOrMultiStreamOnesOwnBuffers) {
  writers::RigidMeshDesc two_streams = PlaneMesh(4, 4);  // 25 vertices
  two_streams.streams.formats[1] = writers::kMeshDiffuse;
  two_streams.streams.vertices[1].assign(two_streams.streams.vertex_count * 4, 0x7F);
  struct Case {
    const char* name;
    writers::RigidMeshDesc mesh;
    bool shared;
  };
  const Case cases[] = {
      {"255 vertices", PlaneMesh(14, 16), true},
      {"256 vertices", PlaneMesh(15, 15), false},
      {"12 vertices", SmallBox(), true},
      {"two streams of 25 vertices", two_streams, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CRigidMesh* mesh = Rigid(c.mesh);
    EXPECT_EQ(mesh->Buffers().IsSubAllocated(), c.shared);
    EXPECT_TRUE(mesh->Buffers().HasBuffers());
    // A mesh in a shared block gives its copies away; one with its own buffers keeps them for
    // the next device reset.
    EXPECT_EQ(mesh->Streams().HasCopies(), !c.shared);
    EXPECT_EQ(mesh->GetVertexCount(), c.mesh.streams.vertex_count);
    d3d->log.Clear();
    ASSERT_TRUE(mesh->Render(nullptr, style, nullptr, nullptr, nullptr));
    const std::vector<Draw> draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].triangles, c.mesh.streams.triangle_count());
    EXPECT_EQ(draws[0].vertex_count, c.mesh.streams.vertex_count);
    if (c.shared) {
      EXPECT_EQ(draws[0].start_index, mesh->Buffers().Block()->FirstIndex);
      EXPECT_EQ(BaseVertices().back(), mesh->Buffers().Block()->FirstVertex);
    } else {
      EXPECT_EQ(draws[0].start_index, 0u);
    }
    g_pD3DRenderDevice->DestroyRenderObject(mesh);
  }
}

TEST_F(MeshDrawTest, FreedBlocksAreMergedAndReusedByTheNextSmallMesh) {
  CRigidMesh* a = Rigid(SmallBox());
  CRigidMesh* b = Rigid(SmallBox());
  CRigidMesh* c = Rigid(SmallBox());
  const VBAllocation first = *a->Buffers().Block();
  const VBAllocation second = *b->Buffers().Block();
  const VBAllocation third = *c->Buffers().Block();
  // Placed one after another in the same block.
  EXPECT_EQ(second.Block, first.Block);
  EXPECT_EQ(second.FirstVertex, first.FirstVertex + first.VertexCount);
  EXPECT_EQ(third.FirstVertex, second.FirstVertex + second.VertexCount);
  EXPECT_EQ(third.FirstIndex, second.FirstIndex + second.IndexCount);
  // Freeing the first two leaves one merged range of both, which a mesh of twice the size fits.
  g_pD3DRenderDevice->DestroyRenderObject(a);
  g_pD3DRenderDevice->DestroyRenderObject(b);
  auto has_range = [](const std::vector<VBRange>& ranges, uint32_t start, uint32_t count) {
    for (const VBRange& r : ranges)
      if (r.Start == start && r.Count == count) return true;
    return false;
  };
  EXPECT_TRUE(has_range(first.Block->FreeVertices, first.FirstVertex, 2 * first.VertexCount));
  EXPECT_TRUE(has_range(first.Block->FreeIndices, first.FirstIndex, 2 * first.IndexCount));
  writers::RigidMeshDesc twice = SmallBox();
  writers::MeshGeometry doubled = writers::MakeBox(1, 1, 1);
  const float scale[3] = {1, 1, 1}, offset[3] = {3, 0, 0};
  writers::AppendPart(doubled, writers::MakeBox(1, 1, 1), scale, offset);
  twice = writers::RigidFromGeometry(doubled);
  ASSERT_EQ(twice.streams.vertex_count, 2 * first.VertexCount);
  // Fill the block's tail so that the merged range is the only place left for it.
  const uint32_t tail = third.FirstVertex + third.VertexCount;
  const uint32_t tail_free = first.Block->VertexCapacity - tail;
  std::vector<CRigidMesh*> fillers;
  while (true) {
    bool tail_left = false;
    for (const VBRange& r : first.Block->FreeVertices)
      if (r.Start >= tail && r.Count >= twice.streams.vertex_count) tail_left = true;
    if (!tail_left) break;
    fillers.push_back(Rigid(twice));
    ASSERT_LT(fillers.size(), tail_free) << "the tail never filled";
  }
  CRigidMesh* d = Rigid(twice);
  ASSERT_TRUE(d->Buffers().IsSubAllocated());
  EXPECT_EQ(d->Buffers().Block()->Block, first.Block);
  EXPECT_EQ(d->Buffers().Block()->FirstVertex, first.FirstVertex);
  for (CRigidMesh* f : fillers) g_pD3DRenderDevice->DestroyRenderObject(f);
  g_pD3DRenderDevice->DestroyRenderObject(c);
  g_pD3DRenderDevice->DestroyRenderObject(d);
}

TEST_F(MeshDrawTest, ColourAndTextureFactorHoldForTheDrawOnlyAndDifferForBufferedMeshes) {
  const float colour[4] = {1.0f, 0.0f, 0.5f, 0.9f};
  const DWORD factor = 0xFF00FF00u;

  CRigidMesh* rigid = Rigid(SmallBox());
  // What the style's pass leaves without overrides.
  ASSERT_TRUE(rigid->Render(nullptr, style, nullptr, nullptr, nullptr));
  CRecordingDevice* device = Device();
  const D3DMATERIAL8 plain = device->material;
  const DWORD plain_factor = device->render_states[D3DRS_TEXTUREFACTOR];
  ASSERT_NE(plain_factor, factor);
  d3d->log.Clear();
  ASSERT_TRUE(rigid->Render(nullptr, style, nullptr, colour, &factor));
  const int draw = FirstLineStarting("DrawIndexedPrimitive");
  ASSERT_GE(draw, 0);
  const int factor_set = d3d->log.Find("SetRenderState(60," + std::to_string(factor) + ")");
  ASSERT_GE(factor_set, 0);
  EXPECT_LT(factor_set, draw);
  const int material_set = d3d->log.Find("SetMaterial()");
  ASSERT_GE(material_set, 0);
  EXPECT_LT(material_set, draw);
  // Afterwards the device is as the pass left it.
  EXPECT_EQ(device->render_states[D3DRS_TEXTUREFACTOR], plain_factor);
  EXPECT_EQ(std::memcmp(&device->material, &plain, sizeof(plain)), 0);

  // A buffered mesh changes only the ambient colour and the diffuse alpha.
  writers::BufferedMeshDesc buffered_desc;
  buffered_desc.streams = SmallBox().streams;
  CBufferedMesh* buffered = Loaded<CBufferedMesh>(writers::BuildBufferedBody(buffered_desc));
  EXPECT_FALSE(buffered->Buffers().IsSubAllocated());
  ASSERT_TRUE(buffered->Render(nullptr, style, nullptr, colour));
  EXPECT_EQ(std::memcmp(&device->material, &plain, sizeof(plain)), 0);
  g_pD3DRenderDevice->DestroyRenderObject(rigid);
  g_pD3DRenderDevice->DestroyRenderObject(buffered);
}

TEST_F(MeshDrawTest, WithoutAStreamZeroFormatAFixedFunctionPassDrawsNothing) {
  writers::RigidMeshDesc desc = SmallBox();
  desc.streams.formats[1] = desc.streams.formats[0];
  desc.streams.vertices[1] = desc.streams.vertices[0];
  desc.streams.formats[0] = 0;
  desc.streams.vertices[0].clear();
  CRigidMesh* mesh = Rigid(desc);
  EXPECT_FALSE(mesh->Buffers().IsSubAllocated());
  d3d->log.Clear();
  EXPECT_FALSE(mesh->Render(nullptr, style, nullptr, nullptr, nullptr));
  EXPECT_TRUE(Draws().empty());
  // A shader-only stream is never drawn by a fixed-function pass either.
  writers::RigidMeshDesc shader_only = SmallBox();
  shader_only.streams.formats[0] |= 0x100;
  shader_only.streams.vertices[0].assign(shader_only.streams.vertex_count * 44, 0);
  CRigidMesh* second = Rigid(shader_only);
  EXPECT_TRUE(second->IsShaderOnly());
  EXPECT_FALSE(second->Render(nullptr, style, nullptr, nullptr, nullptr));
  EXPECT_TRUE(Draws().empty());
  g_pD3DRenderDevice->DestroyRenderObject(mesh);
  g_pD3DRenderDevice->DestroyRenderObject(second);
}

TEST_F(MeshDrawTest, GridOf17DrawsItsBandsAtEveryLevel) {
  CGridMesh* grid = Make<CGridMesh>();
  const float extents[3] = {1, 1, 1};
  ASSERT_TRUE(grid->Create(11, 17, 17, extents));
  ASSERT_TRUE(grid->HasDeviceBuffers());
  ASSERT_EQ(grid->GetLODCount(), 4u);
  struct Case {
    uint16_t level;
    size_t bands;
    uint32_t triangles;
  };
  for (const Case& c : {Case{0, 16, 32}, Case{1, 8, 16}, Case{2, 4, 8}, Case{3, 2, 4}, Case{4, 1, 2}}) {
    SCOPED_TRACE(c.level);
    grid->SetLOD(c.level);
    d3d->log.Clear();
    ASSERT_TRUE(grid->Render(nullptr, style, nullptr));
    const std::vector<Draw> draws = Draws();
    ASSERT_EQ(draws.size(), c.bands);
    std::vector<uint32_t> bases = BaseVertices();
    ASSERT_GE(bases.size(), c.bands);
    bases.erase(bases.begin(), bases.end() - static_cast<std::ptrdiff_t>(c.bands));
    for (size_t b = 0; b < c.bands; ++b) {
      // Rows == columns: vertical bands, each starting one step further along the columns.
      const uint32_t column = static_cast<uint32_t>(b) << c.level;
      EXPECT_EQ(draws[b], (Draw{0, 17 * 17 - column, 0, c.triangles})) << b;
      EXPECT_EQ(bases[b], column) << b;
    }
  }
  // A short last band is drawn from the second index list.
  CGridMesh* wide = Make<CGridMesh>();
  ASSERT_TRUE(wide->Create(11, 10, 12, extents));
  wide->SetLOD(3);
  d3d->log.Clear();
  ASSERT_TRUE(wide->Render(nullptr, style, nullptr));
  const std::vector<Draw> draws = Draws();
  ASSERT_EQ(draws.size(), 2u);  // rows < columns: bands of rows 0-8 and 8-9
  EXPECT_EQ(draws[0].start_index, 0u);
  EXPECT_EQ(draws[1].start_index, 3 * draws[1].triangles);
  EXPECT_EQ(draws[1].vertex_count, 2u * 12u);
  g_pD3DRenderDevice->DestroyRenderObject(grid);
  g_pD3DRenderDevice->DestroyRenderObject(wide);
}

TEST_F(MeshDrawTest, EveryMeshComesBackAfterAnInjectedReset) {
  CRigidMesh* own = Rigid(PlaneMesh(15, 15));
  CRigidMesh* shared = Rigid(SmallBox());
  CGridMesh* grid = Make<CGridMesh>();
  const float extents[3] = {1, 1, 1};
  ASSERT_TRUE(grid->Create(11, 9, 9, extents));
  writers::BufferedMeshDesc buffered_desc;
  buffered_desc.streams = SmallBox().streams;
  CBufferedMesh* buffered = Loaded<CBufferedMesh>(writers::BuildBufferedBody(buffered_desc));
  CSkinnedMesh* skinned = Loaded<CSkinnedMesh>(writers::BuildSkinnedBody(SkinnedStrip(false, 2)));

  // Released for the reset, ...
  ASSERT_TRUE(g_pD3DRenderDevice->FreeForReset());
  EXPECT_FALSE(own->Buffers().HasBuffers());
  EXPECT_FALSE(grid->HasDeviceBuffers());
  EXPECT_FALSE(buffered->Buffers().HasBuffers());
  EXPECT_FALSE(shared->Buffers().HasBuffers());
  ASSERT_TRUE(g_pD3DRenderDevice->RestoreDevice(nullptr));
  // ... and once more through the frame gate, as a lost device is found.
  const size_t buffers_before = Device()->created_vertex_buffers.size();
  Device()->cooperative_level = D3DERR_DEVICENOTRESET;
  ASSERT_TRUE(g_pD3DRenderDevice->Begin_Render());
  EXPECT_GT(Device()->created_vertex_buffers.size(), buffers_before);

  EXPECT_TRUE(own->Buffers().HasBuffers());
  EXPECT_TRUE(shared->Buffers().HasBuffers());
  EXPECT_TRUE(grid->HasDeviceBuffers());
  EXPECT_TRUE(buffered->Buffers().HasBuffers());
  EXPECT_TRUE(skinned->Buffers().HasBuffers());
  d3d->log.Clear();
  const CMatrix4x4 bones[8] = {Identity(), Identity(), Identity(), Identity(),
                               Identity(), Identity(), Identity(), Identity()};
  EXPECT_TRUE(own->Render(nullptr, style, nullptr, nullptr, nullptr));
  EXPECT_TRUE(shared->Render(nullptr, style, nullptr, nullptr, nullptr));
  EXPECT_TRUE(grid->Render(nullptr, style, nullptr));
  EXPECT_TRUE(buffered->Render(nullptr, style, nullptr, nullptr));
  EXPECT_TRUE(skinned->Render(bones, style, nullptr, nullptr, nullptr));
  EXPECT_EQ(Draws().size(), 1u + 1u + 8u + 1u + 2u);
}

TEST_F(MeshDrawTest, SkinnedGroupsSetTheirBonesAndIndexedMeshesTheirPalette) {
  CMatrix4x4 bones[8];
  for (int i = 0; i < 8; ++i) bones[i] = Translation(static_cast<float>(i), 0, 0);
  CRecordingDevice* device = Device();

  CSkinnedMesh* grouped = Loaded<CSkinnedMesh>(writers::BuildSkinnedBody(SkinnedStrip(false, 2)));
  d3d->log.Clear();
  ASSERT_TRUE(grouped->Render(bones, style, nullptr, nullptr, nullptr));
  // Group one names bone 5 alone: world 0 gets it and blending is off for that group; group
  // two adds bone 2 in place 1, so two matrices blend with one weight.
  const int first_draw = d3d->log.Find("DrawIndexedPrimitive(4,0,9,0,4)");
  const int second_draw = d3d->log.Find("DrawIndexedPrimitive(4,12,9,12,4)");
  ASSERT_GE(first_draw, 0);
  ASSERT_GT(second_draw, first_draw);
  const int one_weight = d3d->log.Find("SetRenderState(151,1)");
  EXPECT_GT(one_weight, first_draw);
  EXPECT_LT(one_weight, second_draw);
  EXPECT_EQ(device->transforms[D3DTS_WORLDMATRIX(0)].m[3][0], 5.0f);
  EXPECT_EQ(device->transforms[D3DTS_WORLDMATRIX(1)].m[3][0], 2.0f);
  // Afterwards blending is off, table fog off and vertex fog linear.
  EXPECT_EQ(device->render_states[D3DRS_VERTEXBLEND], static_cast<DWORD>(D3DVBF_DISABLE));
  EXPECT_EQ(device->render_states[D3DRS_FOGTABLEMODE], static_cast<DWORD>(D3DFOG_NONE));
  EXPECT_EQ(device->render_states[D3DRS_FOGVERTEXMODE], static_cast<DWORD>(D3DFOG_LINEAR));

  CSkinnedMesh* indexed = Loaded<CSkinnedMesh>(writers::BuildSkinnedBody(SkinnedStrip(true, 4)));
  d3d->log.Clear();
  ASSERT_TRUE(indexed->Render(bones, style, nullptr, nullptr, nullptr));
  for (uint32_t k = 0; k < 4; ++k)
    EXPECT_EQ(device->transforms[D3DTS_WORLDMATRIX(k)].m[3][0], static_cast<float>(k)) << k;
  EXPECT_TRUE(d3d->log.Contains("SetRenderState(151,3)"));
  EXPECT_TRUE(d3d->log.Contains("SetRenderState(167,1)"));
  EXPECT_EQ(device->render_states[D3DRS_INDEXEDVERTEXBLENDENABLE], 0u);
  EXPECT_EQ(Draws().size(), 1u);
  g_pD3DRenderDevice->DestroyRenderObject(grouped);
  g_pD3DRenderDevice->DestroyRenderObject(indexed);
}

TEST_F(MeshDrawTest, SkinnedMeshMovesToSoftwareWhenTheDeviceCannotBlendItAndStaysThere) {
  struct Case {
    bool indexed;
    uint32_t bones;
    DWORD max_matrices;
    DWORD max_index;
    bool software;
  };
  const Case cases[] = {
      {false, 2, 4, 0, false},   // two matrices the device has
      {false, 4, 2, 0, true},    // four it has not
      {true, 4, 4, 7, false},    // palette 0-3 needs index 7
      {true, 4, 4, 6, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.indexed << " " << c.bones << " " << c.max_matrices << " " << c.max_index);
    D3DCAPS8& caps = const_cast<D3DCAPS8&>(g_pD3DDevice->GetCaps());
    caps.MaxVertexBlendMatrices = c.max_matrices;
    caps.MaxVertexBlendMatrixIndex = c.max_index;
    CSkinnedMesh* mesh = Loaded<CSkinnedMesh>(writers::BuildSkinnedBody(SkinnedStrip(c.indexed, c.bones)));
    EXPECT_FALSE(mesh->IsSoftwareProcessed());
    const CMatrix4x4 bones[8] = {};
    ASSERT_TRUE(mesh->Render(bones, style, nullptr, nullptr, nullptr));
    EXPECT_EQ(mesh->IsSoftwareProcessed(), c.software);
    EXPECT_TRUE(mesh->Buffers().HasBuffers());
    if (c.software) { EXPECT_NE(mesh->Buffers().Block()->Block->Software, 0); }
    g_pD3DRenderDevice->DestroyRenderObject(mesh);
  }
}

// A style of one pass whose vertex shaders (all four blend variants) read a bone palette from
// register 20 on: the vector (1, -1, 0, 4), then each bone's world x view matrix, transposed, in
// four registers. No other constant is loaded.
std::vector<uint8_t> BonePaletteShaderStyle() {
  PassShaderDesc block{};
  block.HasVertexShaders = 1;
  block.AllBlendVariants = 1;
  for (ShaderConstantVector& c : block.VertexConstants) c.Register = -1;
  for (ShaderConstantVector& c : block.PixelConstants) c.Register = -1;
  block.WorldViewRegister = block.ProjectionRegister = block.WorldViewProjectionRegister = -1;
  block.ViewProjectionRegister = block.EyeRegister = -1;
  block.LightObjectPosRegister = block.LightViewPosRegister = block.LightDiffuseRegister = -1;
  block.LightAttenuationRegister = block.MaterialColorsRegister = block.SpecularRegister = -1;
  block.AmbientLightRegister = block.HistoryRegister = -1;
  block.BoneRegister = 20;
  block.StreamElements[kElemPosition][0] = block.StreamElements[kElemNormal][0] = 1;
  writers::StylePass pass = writers::DefaultStylePass();
  pass.has_shader = true;
  pass.shader.vertex = 1;
  pass.shader.all_variants = 1;
  std::memcpy(pass.shader.rest.data(), reinterpret_cast<const uint8_t*>(&block) + 4, pass.shader.rest.size());
  for (std::vector<uint8_t>& code : pass.shader.vertex_code) code = {0x01, 0x01, 0xFE, 0xFF};
  writers::StyleAlternative alternative;
  alternative.passes = {pass};
  return writers::WriteRenderStyle({alternative});
}

// The x translation of the bone the palette slot held when each draw was made: the slot's
// last constant upload before the draw (its transposed matrix keeps x in its first register's
// fourth value); -1 when none came before it.
std::vector<float> PaletteXAtDraws(const CCallLog& log, const CRecordingDevice& device, DWORD slot) {
  std::vector<float> xs;
  for (size_t line = 0; line < log.Lines().size(); ++line) {
    if (log.Lines()[line].rfind("DrawIndexedPrimitive(", 0) != 0) continue;
    float x = -1.0f;
    for (const CRecordingDevice::ShaderConstants& c : device.vertex_constants)
      if (c.log_line < line && c.first_register == 21 + 4 * slot && c.values.size() >= 4) x = c.values[3];
    xs.push_back(x);
  }
  return xs;
}

// With a vertex-shader pass the bone palette reaches the shader's constants after the bones are
// set: once for the whole palette of an indexed mesh, once for every group of a grouped one. The
// shader's blend variant follows the indexed bones per vertex, for both kinds of mesh.
TEST_F(MeshDrawTest, SkinnedShaderPassesLoadTheBonesEachDrawUsesAndTheVariantOfTheIndexedBones) {
  CRecordingDevice* device = Device();
  device->accept_vertex_shaders = true;
  D3DCAPS8& caps = const_cast<D3DCAPS8&>(g_pD3DDevice->GetCaps());
  caps.VertexShaderVersion = D3DVS_VERSION(1, 1);
  caps.MaxVertexShaderConst = 96;
  caps.TextureOpCaps = 0xFFFFFFFFu;
  caps.MaxVertexBlendMatrices = 4;
  caps.MaxVertexBlendMatrixIndex = 255;
  CD3DRenderStyle shaded;
  auto stream = StreamOf(BonePaletteShaderStyle());
  ASSERT_TRUE(shaded.LoadFromStream(stream.get()));
  for (uint32_t v = 0; v < 4; ++v) ASSERT_NE(shaded.GetPassVertexShader(0, v), 0u) << v;

  CMatrix4x4 bones[8];
  for (int i = 0; i < 8; ++i) bones[i] = Translation(static_cast<float>(i), 0, 0);
  const auto stale_bones = [] {
    // What the palette held before the render: a draw must not see these.
    D3DMATRIX view{};
    for (int i = 0; i < 4; ++i) view.m[i][i] = 1.0f;
    g_pRenderStateMgr->SetTransform(D3DTS_VIEW, view);
    for (uint32_t k = 0; k < 4; ++k) {
      D3DMATRIX stale = view;
      stale.m[3][0] = 100.0f + static_cast<float>(k);
      g_pRenderStateMgr->SetTransform(D3DTS_WORLDMATRIX(k), stale);
    }
  };
  struct Case {
    const char* what;
    bool indexed;
    uint32_t bones_per_vertex;
    uint32_t indexed_bones;
    uint32_t variant;
    // Per palette slot, the bone x each draw reads.
    std::vector<std::vector<float>> slots;
  };
  const Case cases[] = {
      // Group one names bone 5 alone (place 1 keeps what it held), group two adds bone 2 in
      // place 1.
      {"groups, indexed field 4", false, 2, 4, 3, {{5, 5}, {101, 2}}},
      {"groups, indexed field 1", false, 3, 1, 0, {{5, 5}, {101, 2}}},
      {"indexed palette 0-3", true, 4, 4, 3, {{0}, {1}, {2}, {3}}},
      {"indexed palette 0-3, three bones", true, 3, 3, 2, {{0}, {1}, {2}, {3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writers::SkinnedMeshDesc desc = SkinnedStrip(c.indexed, c.bones_per_vertex);
    desc.indexed_bones = c.indexed_bones;
    CSkinnedMesh* mesh = Loaded<CSkinnedMesh>(writers::BuildSkinnedBody(desc));
    stale_bones();
    d3d->log.Clear();
    device->vertex_constants.clear();
    ASSERT_TRUE(mesh->Render(bones, &shaded, nullptr, nullptr, nullptr));
    const int set = d3d->log.Find("SetVertexShader(" + std::to_string(shaded.GetPassVertexShader(0, c.variant)) + ")");
    EXPECT_GE(set, 0) << "the shader of blend variant " << c.variant;
    EXPECT_LT(set, FirstLineStarting("DrawIndexedPrimitive("));
    for (size_t slot = 0; slot < c.slots.size(); ++slot)
      EXPECT_EQ(PaletteXAtDraws(d3d->log, *device, static_cast<DWORD>(slot)), c.slots[slot]) << "slot " << slot;
    g_pD3DRenderDevice->DestroyRenderObject(mesh);
  }
  shaded.ReleaseShaders();
}

TEST_F(MeshDrawTest, BspDrawsItsRangesBackToFrontFromTheCameraEachOnce) {
  // Three quads along z; the root splits at z = 0, its children hold the near and far quads.
  writers::BspMeshDesc bsp;
  const writers::MeshGeometry plane = writers::MakePlane(1, 3, 1, 3);  // 8 vertices, 6 triangles
  bsp.vertex_count = static_cast<uint32_t>(plane.vertices.size());
  bsp.vertices = writers::PackVertices(plane, writers::kMeshLitTextured);
  bsp.indices = plane.indices;
  bsp.ranges = {{0, 2}, {6, 2}, {12, 2}};
  writers::BspNodeDesc root;
  root.plane[2] = 1.0f;  // front: z >= 0
  root.front = 1;
  root.back = 2;
  root.ranges = {1};
  writers::BspNodeDesc front;
  front.ranges = {2, 1};  // range 1 again: drawn once only
  writers::BspNodeDesc back;
  back.ranges = {0};
  bsp.nodes = {root, front, back};
  CBspMesh* mesh = Loaded<CBspMesh>(writers::BuildBspBody(bsp));
  ASSERT_TRUE(mesh->HasDeviceBuffers());
  struct Case {
    float eye_z;
    std::vector<uint32_t> starts;
  };
  for (const Case& c : {Case{10.0f, {0, 6, 12}}, Case{-10.0f, {12, 6, 0}}}) {
    SCOPED_TRACE(c.eye_z);
    CameraTransform camera{};
    camera.Rotation.w = 1.0f;
    camera.Position = {0, 0, c.eye_z};
    g_pD3DRenderDevice->SetCameraTransform(&camera);
    d3d->log.Clear();
    ASSERT_TRUE(mesh->RenderSorted(nullptr, style, nullptr));
    std::vector<uint32_t> starts;
    for (const Draw& d : Draws()) starts.push_back(d.start_index);
    EXPECT_EQ(starts, c.starts);
  }
  // Moving the mesh moves the eye in its space: the camera at z = 10 is behind a mesh at z = 20.
  const CMatrix4x4 moved = Translation(0, 0, 20);
  d3d->log.Clear();
  ASSERT_TRUE(mesh->RenderSorted(&moved, style, nullptr));
  ASSERT_EQ(Draws().size(), 3u);
  EXPECT_EQ(Draws()[0].start_index, 12u);
  d3d->log.Clear();
  ASSERT_TRUE(mesh->RenderAll(nullptr, style, nullptr));
  EXPECT_EQ(Draws(), (std::vector<Draw>{{0, 8, 0, 6}}));
  g_pD3DRenderDevice->DestroyRenderObject(mesh);
}

TEST_F(MeshDrawTest, RenderableIsFreedAtZeroReferencesAndSurvivesTheDeviceGoingFirst) {
  const Bytes bytes = writers::BuildRigidRenderable(SmallBox());
  auto stream = StreamOf(bytes);
  CRenderableObject* renderable = g_pRenderObjects->CreateRenderObject(stream.get(), bytes.size());
  ASSERT_NE(renderable, nullptr);
  renderable->AddRef();
  auto listed = [] {
    int n = 0;
    for (CRenderObject* o = g_pD3DDevice->GetRenderObjects(); o != nullptr; o = o->m_pNext) ++n;
    return n;
  };
  g_pRenderObjects->ReleaseRenderObject(renderable);
  EXPECT_EQ(renderable->GetRefCount(), 1);
  EXPECT_EQ(listed(), 1);
  g_pRenderObjects->ReleaseRenderObject(renderable);
  EXPECT_EQ(listed(), 0);

  // The device deletes what it still lists when it goes; a renderable held past that forgets
  // its object instead of keeping a pointer to freed memory.
  auto again = StreamOf(bytes);
  CRenderableObject* held = g_pRenderObjects->CreateRenderObject(again.get(), bytes.size());
  ASSERT_NE(held, nullptr);
  ASSERT_NE(held->GetRenderObject(), nullptr);
  g_pD3DRenderDevice->ReleaseDevice();
  EXPECT_EQ(held->GetRenderObject(), nullptr);
  g_pRenderObjects->ReleaseRenderObject(held);
}

}  // namespace
}  // namespace vt_test
