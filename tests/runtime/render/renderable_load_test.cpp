// Renderable resources and the mesh bodies of the render objects: loading, validation of
// damaged bodies, reference counts, and the vertex-format word.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>

#include "platform/d3d/d3d8.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/render/sys/pc/buffered_mesh.h"
#include "runtime/src/render/sys/pc/d3d_renderobjects.h"
#include "runtime/src/render/sys/pc/mesh_vertex_format.h"
#include "runtime/src/render/sys/pc/renderable_object.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"
#include "runtime/src/render/sys/pc/skinned_mesh.h"
#include "runtime/src/render/sys/pc/vb_pool.h"
#include "tests/runtime/render/mesh_test_support.h"
#include "tests/runtime/render/render_fixture.h"
#include "tools/writers/content_files.h"
#include "tools/writers/pack_writer.h"

namespace {

using vt_test::Prefix;
using vt_test::StreamOf;
using writers::Bytes;

TEST(MeshVertexFormat, SizesAndFixedFunctionFormats) {
  struct Case {
    uint32_t word;
    uint32_t blend;
    uint32_t size;
    uint32_t fvf;
  };
  const Case cases[] = {
      {0x13, 0, 32, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1},
      {0x01, 0, 12, D3DFVF_XYZ},
      {0x0D, 0, 20, D3DFVF_XYZ | D3DFVF_PSIZE | D3DFVF_DIFFUSE},
      {0x97, 0, 60, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX4},  // bit 7 wins: four sets
      {0x33, 0, 40, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2},
      {0x13, 3, 44, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1},
      {0x113, 0, 44, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1},   // bit 8 adds 12
      {0x613, 0, 36, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1},   // bits 9 and 10: the first, 4
      {0x4813, 0, 64, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1},  // bit 11 gives 16, bit 14 only when 12, 13 clear
      {0x7013, 0, 36, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1},  // bits 12-14: the first, 4
      {0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(mesh_format::VertexSize(c.word, c.blend), c.size);
    EXPECT_EQ(mesh_format::FixedFunctionFormat(c.word), c.fvf);
    EXPECT_EQ(mesh_format::IsShaderOnly(c.word), (c.word & 0xFF00) != 0);
  }
}

// Bodies are loaded with a device present, so that the factory can make the objects.
class RenderableLoadTest : public vt_test::RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    ASSERT_TRUE(Start());
  }

  int ObjectsInDeviceList() const {
    int n = 0;
    for (CRenderObject* o = g_pD3DDevice->GetRenderObjects(); o != nullptr; o = o->m_pNext) ++n;
    return n;
  }

  CRenderableObject* Create(const Bytes& bytes) {
    auto stream = StreamOf(bytes);
    return g_pRenderObjects->CreateRenderObject(stream.get(), static_cast<uint32_t>(bytes.size()));
  }
};

TEST_F(RenderableLoadTest, RigidMeshesLoadTheirStreamsAndIndices) {
  writers::RigidMeshDesc box = vt_test::SmallBox();
  box.user_value = 77;
  // A second stream of diffuse colours only.
  writers::RigidMeshDesc two = box;
  two.streams.formats[1] = writers::kMeshDiffuse;
  two.streams.vertices[1].assign(two.streams.vertex_count * 4, 0xAB);
  const writers::RigidMeshDesc sphere = writers::RigidFromGeometry(writers::MakeSphere(4.5f, 24, 16));
  const writers::RigidMeshDesc* meshes[] = {&box, &two, &sphere};
  for (const writers::RigidMeshDesc* mesh : meshes) {
    CRenderableObject* renderable = Create(writers::BuildRigidRenderable(*mesh));
    ASSERT_NE(renderable, nullptr);
    EXPECT_EQ(renderable->GetRefCount(), 1);
    auto* rigid = static_cast<CRigidMesh*>(renderable->GetRenderObject());
    ASSERT_NE(rigid, nullptr);
    ASSERT_EQ(rigid->GetType(), 4u);
    EXPECT_EQ(rigid->GetVertexCount(), mesh->streams.vertex_count);
    EXPECT_EQ(rigid->GetTriangleCount(), mesh->streams.triangle_count());
    EXPECT_EQ(rigid->GetUserValue(), mesh->user_value);
    if (rigid->Buffers().IsSubAllocated()) {
      // A small single-stream mesh hands its data to its shared block.
      const VBAllocation& block = *rigid->Buffers().Block();
      const VBBlock& pool = *block.Block;
      const auto first = pool.SystemVertices.begin() + block.FirstVertex * pool.VertexSize;
      EXPECT_EQ(Bytes(first, first + block.VertexCount * pool.VertexSize), mesh->streams.vertices[0]);
      const auto index = pool.SystemIndices.begin() + block.FirstIndex;
      EXPECT_EQ(std::vector<uint16_t>(index, index + block.IndexCount), mesh->streams.indices);
    } else {
      for (int s = 0; s < 2; ++s) EXPECT_EQ(rigid->Streams().Vertices(s), mesh->streams.vertices[s]) << s;
      EXPECT_EQ(rigid->Streams().Indices(), mesh->streams.indices);
    }
    EXPECT_EQ(ObjectsInDeviceList(), 1);
    g_pRenderObjects->ReleaseRenderObject(renderable);
    EXPECT_EQ(ObjectsInDeviceList(), 0);
  }
}

TEST_F(RenderableLoadTest, SkinnedMeshesLoadIndexedAndGroupedBodies) {
  for (bool indexed : {true, false})
    for (uint32_t bones : {2u, 3u, 4u}) {
      SCOPED_TRACE(testing::Message() << "indexed " << indexed << " bones " << bones);
      writers::SkinnedMeshDesc mesh = vt_test::SkinnedStrip(indexed, bones);
      if (indexed) {
        mesh.has_remap = true;
        mesh.remap = {9, 8, 7, 6};
      }
      CRenderableObject* renderable = Create(writers::BuildSkinnedRenderable(mesh));
      ASSERT_NE(renderable, nullptr);
      auto* skinned = static_cast<CSkinnedMesh*>(renderable->GetRenderObject());
      ASSERT_EQ(skinned->GetType(), 5u);
      EXPECT_EQ(skinned->IsIndexed(), indexed);
      EXPECT_EQ(skinned->GetBlendKind(), indexed ? bones + 2 : bones - 1);
      EXPECT_EQ(skinned->Streams().Stride(0), 32 + 4 * (indexed ? bones : bones - 1));
      EXPECT_EQ(skinned->GetTriangleCount(), 8u);
      if (indexed) {
        EXPECT_EQ(skinned->RemapTable(), mesh.remap);
        EXPECT_EQ(skinned->GetLastPalette(), 3u);
      } else {
        ASSERT_EQ(skinned->Groups().size(), 2u);
        EXPECT_EQ(skinned->Groups()[1].EndIndex, 24u);
        EXPECT_EQ(skinned->Groups()[0].Bones[0], 5);
      }
      g_pRenderObjects->ReleaseRenderObject(renderable);
    }
}

// Every damaged body fails its load, and no render object is left in the device's list.
TEST_F(RenderableLoadTest, DamagedRenderablesFailWithoutLeavingObjects) {
  using Mutator = std::function<Bytes()>;
  const auto rigid = [](const std::function<void(writers::RigidMeshDesc&)>& change) {
    writers::RigidMeshDesc mesh = vt_test::SmallBox();
    change(mesh);
    return writers::BuildRigidRenderable(mesh);
  };
  const auto skinned = [](bool indexed, const std::function<void(writers::SkinnedMeshDesc&)>& change) {
    writers::SkinnedMeshDesc mesh = vt_test::SkinnedStrip(indexed, 2);
    change(mesh);
    return writers::BuildSkinnedRenderable(mesh);
  };
  const Bytes good = writers::BuildRigidRenderable(vt_test::SmallBox());
  struct Case {
    const char* name;
    Mutator make;
  };
  const Case cases[] = {
      {"type 6", [&] { return writers::BuildRenderable(6, writers::BuildRigidBody(vt_test::SmallBox())); }},
      {"type 8", [&] { return writers::BuildRenderable(8, writers::BuildRigidBody(vt_test::SmallBox())); }},
      {"type 9", [&] { return writers::BuildRenderable(9, writers::BuildRigidBody(vt_test::SmallBox())); }},
      {"type 10", [&] { return writers::BuildRenderable(10, writers::BuildRigidBody(vt_test::SmallBox())); }},
      {"type 11", [&] { return writers::BuildRenderable(11, writers::BuildRigidBody(vt_test::SmallBox())); }},
      {"header only", [&] { return Prefix(good, 20); }},
      {"last byte missing", [&] { return Prefix(good, good.size() - 1); }},
      {"vertices cut", [&] { return Prefix(good, 24 + 40 + 100); }},
      {"index past the vertices", [&] { return rigid([](auto& m) { m.streams.indices[5] = 24; }); }},
      {"too many vertices", [&] { return rigid([](auto& m) { m.streams.vertex_count = 65537; }); }},
      {"vertex count beyond the data", [&] { return rigid([](auto& m) { m.streams.vertex_count = 60000; }); }},
      {"indexed with 1 bone", [&] { return skinned(true, [](auto& m) { m.indexed_bones = 1; }); }},
      {"indexed with 5 bones", [&] { return skinned(true, [](auto& m) { m.indexed_bones = 5; }); }},
      {"groups with 0 bones", [&] { return skinned(false, [](auto& m) { m.group_bones = 0; }); }},
      {"groups with 5 bones", [&] { return skinned(false, [](auto& m) { m.group_bones = 5; }); }},
      {"palette past 64 slots", [&] { return skinned(true, [](auto& m) { m.last_palette = 64; }); }},
      {"palette reversed", [&] { return skinned(true, [](auto& m) { m.first_palette = 4; }); }},
      {"palette past the remap table",
       [&] {
         return skinned(true, [](auto& m) {
           m.has_remap = true;
           m.remap = {1, 2, 3};
         });
       }},
      {"group ends past the triangles", [&] { return skinned(false, [](auto& m) { m.groups[1].end_index = 27; }); }},
      {"group runs past the triangles", [&] { return skinned(false, [](auto& m) { m.groups[1].first_index = 16; }); }},
      {"group ends go backwards", [&] { return skinned(false, [](auto& m) { m.groups[1].end_index = 6; }); }},
      {"group with more vertices than the mesh",
       [&] { return skinned(false, [](auto& m) { m.groups[0].vertex_count = 10; }); }},
      {"skinned groups cut",
       [&] {
         const Bytes b = writers::BuildSkinnedRenderable(vt_test::SkinnedStrip(false, 2));
         return Prefix(b, b.size() - 3);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Create(c.make()), nullptr);
    EXPECT_EQ(ObjectsInDeviceList(), 0);
  }
}

TEST_F(RenderableLoadTest, EveryTruncationOfAValidBodyFails) {
  const Bytes bodies[] = {
      writers::BuildRigidRenderable(vt_test::SmallBox()),
      writers::BuildSkinnedRenderable(vt_test::SkinnedStrip(true, 3)),
      writers::BuildSkinnedRenderable(vt_test::SkinnedStrip(false, 2)),
  };
  for (const Bytes& full : bodies) {
    CRenderableObject* whole = Create(full);
    ASSERT_NE(whole, nullptr);
    g_pRenderObjects->ReleaseRenderObject(whole);
    for (size_t length = 0; length < full.size(); ++length) {
      ASSERT_EQ(Create(Prefix(full, length)), nullptr) << length;
    }
    EXPECT_EQ(ObjectsInDeviceList(), 0);
  }
}

// A resource is the first `length` bytes of its stream: a body that needs more fails even when
// the stream goes on (in a pack file, into the next resource).
TEST_F(RenderableLoadTest, ABodyLongerThanItsResourceSizeFails) {
  const Bytes good = writers::BuildRigidRenderable(vt_test::SmallBox());
  Bytes followed = good;
  followed.insert(followed.end(), 64, 0);  // the next resource's bytes
  struct Case {
    uint32_t length;
    bool loads;
  };
  const Case cases[] = {
      {static_cast<uint32_t>(good.size()), true},
      {static_cast<uint32_t>(followed.size()), true},
      {0, true},  // no size known: the stream decides
      {static_cast<uint32_t>(good.size() - 1), false},
      {static_cast<uint32_t>(good.size() - 2), false},
      {24, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    auto stream = StreamOf(followed);
    CRenderableObject* renderable = g_pRenderObjects->CreateRenderObject(stream.get(), c.length);
    EXPECT_EQ(renderable != nullptr, c.loads);
    g_pRenderObjects->ReleaseRenderObject(renderable);
    EXPECT_EQ(ObjectsInDeviceList(), 0);
  }
}

TEST_F(RenderableLoadTest, NullStreamsAndMissingFilesGiveNull) {
  EXPECT_EQ(g_pRenderObjects->CreateRenderObject(nullptr, 0), nullptr);
  EXPECT_EQ(g_pRenderObjects->LoadRenderObject("/nonexistent/none.rnd"), nullptr);
  g_pRenderObjects->ReleaseRenderObject(nullptr);
}

TEST_F(RenderableLoadTest, LoadsFromAFile) {
  char pattern[] = "/tmp/vt_mesh_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string path = std::string(pattern) + "/box.rnd";
  ASSERT_TRUE(writers::WriteWholeFile(path, writers::BuildRigidRenderable(vt_test::SmallBox())));
  CRenderableObject* renderable = g_pRenderObjects->LoadRenderObject(path.c_str());
  ASSERT_NE(renderable, nullptr);
  EXPECT_EQ(static_cast<CRigidMesh*>(renderable->GetRenderObject())->GetVertexCount(), 24u);
  g_pRenderObjects->ReleaseRenderObject(renderable);
  std::filesystem::remove_all(pattern);
}

// Renderables served by the resource manager are shared and freed at their last release.
class RenderableResourceTest : public RenderableLoadTest {
 protected:
  void SetUp() override {
    RenderableLoadTest::SetUp();
    char pattern[] = "/tmp/vt_rnd_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_Dir = pattern;
    std::vector<writers::PackRecord> records(2);
    records[0].id = 0x22000000;
    records[0].type = 4;
    records[0].name = "meshes/sphere.rnd";
    records[0].data = writers::BuildRigidRenderable(writers::RigidFromGeometry(writers::MakeSphere(4.5f, 16, 8)));
    records[0].compress = true;
    records[1] = records[0];
    records[1].id = 0x22000001;
    records[1].name = "meshes/bad.rnd";
    records[1].data = writers::BuildRenderable(9, {});
    std::vector<writers::OutFile> files;
    ASSERT_TRUE(writers::BuildPackedSet(0, records, files));
    for (const writers::OutFile& file : files)
      ASSERT_TRUE(writers::WriteWholeFile(writers::JoinPath(m_Dir, file.path), file.bytes));
    // The service asks the program's one resource manager.
    ASSERT_NE(g_pRezMgr, nullptr);
    ASSERT_TRUE(g_pRezMgr->Init((m_Dir + "/").c_str()));
    g_pRezMgr->SetTypeHandler(kRezType_RenderObject, &g_RenderableFactory);
  }
  void TearDown() override {
    g_pRezMgr->Term();
    std::filesystem::remove_all(m_Dir);
    RenderableLoadTest::TearDown();
  }
  std::string m_Dir;
};

TEST_F(RenderableResourceTest, SameIdIsSharedAndFreedAtTheLastRelease) {
  const uint32_t id = 0x22000000;
  CRenderableObject* first = g_pRenderObjects->GetRenderObject(id);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->m_Managed, 1);
  CRenderableObject* second = g_pRenderObjects->GetRenderObject(id);
  EXPECT_EQ(second, first);
  EXPECT_EQ(first->GetRefCount(), 2);
  EXPECT_EQ(ObjectsInDeviceList(), 1);
  g_pRenderObjects->ReleaseRenderObject(first);
  EXPECT_EQ(second->GetRefCount(), 1);
  EXPECT_EQ(ObjectsInDeviceList(), 1);
  g_pRenderObjects->ReleaseRenderObject(second);
  EXPECT_EQ(ObjectsInDeviceList(), 0);
  // A later request loads it again.
  CRenderableObject* again = g_pRenderObjects->GetRenderObject(id);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->GetRefCount(), 1);
  g_pRenderObjects->ReleaseRenderObject(again);
}

TEST_F(RenderableResourceTest, UnknownIdsAndRejectedTypesGiveNull) {
  EXPECT_EQ(g_pRenderObjects->GetRenderObject(0x22000777), nullptr);
  EXPECT_EQ(g_pRenderObjects->GetRenderObject(0x22000001), nullptr);
  EXPECT_EQ(ObjectsInDeviceList(), 0);
}

TEST_F(RenderableLoadTest, BufferedMeshBodies) {
  writers::BufferedMeshDesc mesh;
  mesh.streams = vt_test::SmallBox().streams;
  for (uint32_t i = 1; i <= 5; ++i) mesh.extra[i] = 100 + i;
  for (const std::vector<uint32_t>& table : {std::vector<uint32_t>{}, std::vector<uint32_t>{7, 8, 9}}) {
    mesh.table = table;
    const Bytes body = writers::BuildBufferedBody(mesh);
    CBufferedMesh loaded;
    ASSERT_TRUE(loaded.Load(StreamOf(body).get()));
    EXPECT_EQ(loaded.GetExtraValue(), 105u);
    EXPECT_EQ(loaded.Table(), table);
    EXPECT_EQ(loaded.GetTriangleCount(), 12u);
    for (size_t length = 0; length < body.size(); length += 7)
      EXPECT_FALSE(loaded.Load(StreamOf(Prefix(body, length)).get())) << length;
    EXPECT_EQ(loaded.GetVertexCount(), 0u);
  }
}

}  // namespace
