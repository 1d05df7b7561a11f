// Vertex-buffer controller and the two pools on the recording device: vertex descriptions, usage
// and lock flags, first-fit allocation, merging, compaction and the reset cycle.
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "runtime/src/core/streams.h"
#include "runtime/src/render/sys/pc/vb_controller.h"
#include "runtime/src/render/sys/pc/vb_suballocator.h"
#include "runtime/src/render/sys/pc/world_clump_mgr.h"
#include "tests/runtime/render/render_fixture.h"

namespace vt_test {
namespace {

constexpr uint32_t kDesc = kPoolInitialDesc;  // position, normal, one texture set: 32 bytes
constexpr uint32_t kVertexBytes = 32;

struct DescriptionCase {
  uint32_t desc;
  uint32_t layout;
  bool made;
  DWORD fvf;
  uint32_t size;
};

TEST(VertexDescriptionTest, FormatAndSizeFollowFlagsAndLayout) {
  const DWORD pn = D3DFVF_NORMAL;
  const DescriptionCase cases[] = {
      {0x03, 0, true, D3DFVF_XYZ | pn, 24},
      {0x03, 1, true, D3DFVF_XYZB1 | pn, 28},
      {0x03, 3, true, D3DFVF_XYZB3 | pn, 36},
      {0x03, 4, true, D3DFVF_XYZB2 | D3DFVF_LASTBETA_UBYTE4 | pn, 32},
      {0x03, 6, true, D3DFVF_XYZB4 | D3DFVF_LASTBETA_UBYTE4 | pn, 40},
      {0x03, 7, false, 0, 0},
      {0x01 | 0x04 | 0x08, 9, true, D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_PSIZE, 20},  // layout unused
      {0x13, 0, true, D3DFVF_XYZ | pn | D3DFVF_TEX1, 32},
      {0x01 | 0x10 | 0x80, 0, true, D3DFVF_XYZ | D3DFVF_TEX4, 44},  // highest set bit wins
      {0x01 | 0x0100, 0, true, 0, 24},                              // shader-driven: no FVF
      {0x01 | 0x0200 | 0x0400, 0, true, 0, 16},                     // 9 before 10
      {0x01 | 0x0800 | 0x2000 | 0x4000, 0, true, 0, 40},            // 16 + 12
  };
  for (const DescriptionCase& c : cases) {
    DWORD fvf = 0xDEAD;
    uint32_t size = 0;
    EXPECT_EQ(CVertexBufferController::DescribeVertex(c.desc, c.layout, &fvf, &size, nullptr), c.made)
        << std::hex << c.desc << " layout " << c.layout;
    if (!c.made) continue;
    EXPECT_EQ(fvf, c.fvf) << std::hex << c.desc;
    EXPECT_EQ(size, c.size) << std::hex << c.desc;
  }
}

class VBPoolTest : public RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    VBSubAllocator_VB_Count = 0;
    VBSubAllocator_VB_Size = 64;
    WorldClumpMgr_VB_Count = 0;
    WorldClumpMgr_VB_Size = 64;
    ASSERT_TRUE(Start());
  }
  void TearDown() override {
    RenderFixture::TearDown();
    VBSubAllocator_VB_Count = 0;
    VBSubAllocator_VB_Size = 2048;
    WorldClumpMgr_VB_Count = 4;
    WorldClumpMgr_VB_Size = 2048;
  }

  static CRecordingVertexBuffer* DeviceVB(const VBBlock* block) {
    return static_cast<CRecordingVertexBuffer*>(block->Buffers.VertexBuffer(0));
  }
  static CRecordingIndexBuffer* DeviceIB(const VBBlock* block) {
    return static_cast<CRecordingIndexBuffer*>(block->Buffers.IndexBuffer());
  }
  // Vertices whose bytes all carry `tag`, and indices 0..count-1.
  static std::vector<uint8_t> Vertices(uint32_t count, uint8_t tag) {
    return std::vector<uint8_t>(count * kVertexBytes, tag);
  }
  static std::vector<uint16_t> Indices(uint32_t count, uint16_t base = 0) {
    std::vector<uint16_t> v(count);
    std::iota(v.begin(), v.end(), base);
    return v;
  }
  // The allocation's data as the device buffers hold it.
  static bool DeviceHolds(const VBAllocation* a, uint8_t tag, uint16_t index_base) {
    const auto& vb = DeviceVB(a->Block)->Bytes();
    for (uint32_t i = 0; i < a->VertexCount * kVertexBytes; ++i)
      if (vb[a->FirstVertex * kVertexBytes + i] != tag) return false;
    const auto& ib = DeviceIB(a->Block)->Bytes();
    for (uint32_t i = 0; i < a->IndexCount; ++i) {
      uint16_t v;
      std::memcpy(&v, &ib[(a->FirstIndex + i) * 2], 2);
      if (v != index_base + i) return false;
    }
    return true;
  }
  int VertexBuffersMade() { return d3d->log.CountPrefix("CreateVertexBuffer("); }
};

TEST_F(VBPoolTest, ControllerUsageAndLockFlags) {
  CVertexBufferController c;
  ASSERT_TRUE(c.CreateVertexBuffer(1, 10, 0x13, 0, true, true, true, true));
  EXPECT_TRUE(d3d->log.Contains("CreateVertexBuffer(320," +
                                std::to_string(D3DUSAGE_DYNAMIC | D3DUSAGE_POINTS | D3DUSAGE_WRITEONLY |
                                               D3DUSAGE_SOFTWAREPROCESSING) +
                                "," + std::to_string(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1) + ",0)"));
  ASSERT_TRUE(c.CreateIndexBuffer(30, false, true, false));
  EXPECT_TRUE(d3d->log.Contains("CreateIndexBuffer(60," + std::to_string(D3DUSAGE_WRITEONLY) + "," +
                                std::to_string(D3DFMT_INDEX16) + ",0)"));
  EXPECT_FALSE(c.CreateVertexBuffer(0, 10, 0x03, 7, false, true, false, false)) << "layout 7 makes nothing";

  auto* vb = static_cast<CRecordingVertexBuffer*>(c.VertexBuffer(1));
  auto* ib = static_cast<CRecordingIndexBuffer*>(c.IndexBuffer());
  ASSERT_TRUE(c.Lock(1, true, true, 0, 0));
  EXPECT_EQ(vb->last_lock_flags, DWORD(D3DLOCK_DISCARD | D3DLOCK_NOOVERWRITE)) << "dynamic buffer";
  EXPECT_TRUE(c.Lock(1, false, false, 0, 0)) << "already locked";
  EXPECT_EQ(vb->lock_count, 1);
  EXPECT_TRUE(c.Unlock(1));
  EXPECT_TRUE(c.Unlock(1)) << "not locked";
  ASSERT_TRUE(c.Lock(CVertexBufferController::kIndexBuffer, true, true, 0, 0));
  EXPECT_EQ(ib->last_lock_flags, 0u) << "static buffer takes no lock flags";
  EXPECT_FALSE(c.Lock(2, false, false, 0, 0)) << "no buffer on stream 2";
  c.Release();
  EXPECT_EQ(vb->RefCount(), 0u);
  EXPECT_EQ(ib->RefCount(), 0u);
}

TEST_F(VBPoolTest, ControllerStreamsGoThroughTheStateCaches) {
  CVertexBufferController c;
  ASSERT_TRUE(c.CreateVertexBuffer(0, 4, 0x13, 0, false, true, false, false));
  ASSERT_TRUE(c.CreateVertexBuffer(2, 4, 0x05, 0, false, true, false, false));
  ASSERT_TRUE(c.CreateIndexBuffer(6, false, true, false));
  d3d->log.Clear();
  c.SetStreams(7);
  EXPECT_EQ(d3d->log.Lines(), (std::vector<std::string>{"SetStreamSource(0,1,32)", "SetStreamSource(2,1,16)",
                                                        "SetIndices(1,7)"}));
  d3d->log.Clear();
  c.SetStreams(7);
  EXPECT_TRUE(d3d->log.Lines().empty());
  c.SetStreams(9);
  EXPECT_EQ(d3d->log.Lines(), (std::vector<std::string>{"SetIndices(1,9)"}));
  EXPECT_TRUE(c.DrawIndexed(0, 3, 4, 1));
  EXPECT_TRUE(d3d->log.Contains("DrawIndexedPrimitive(4,0,4,3,1)"));
  c.Release();
}

TEST_F(VBPoolTest, RequestsUpToOneBlockFitAndLargerOnesFail) {
  VBAllocation* a = nullptr;
  EXPECT_FALSE(g_VBSubAllocator.Alloc(kDesc, false, 0, 65, 3, &a));
  EXPECT_EQ(a, nullptr);
  EXPECT_FALSE(g_VBSubAllocator.Alloc(kDesc, false, 0, 3, 257, &a));
  EXPECT_EQ(g_VBSubAllocator.BlockCount(), 0u) << "too large: refused before any block is made";
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 64, 256, &a));
  EXPECT_EQ(g_VBSubAllocator.BlockCount(), 1u) << "with no initial blocks the first request makes one";
  EXPECT_EQ(a->FirstVertex, 0u);
  EXPECT_EQ(a->Block->FreeVertexCount, 0u);
  EXPECT_TRUE(a->Block->FreeVertices.empty());
  EXPECT_TRUE(d3d->log.Contains("CreateVertexBuffer(2048," + std::to_string(D3DUSAGE_WRITEONLY) + "," +
                                std::to_string(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1) + ",0)"));
  g_VBSubAllocator.Free(a);
  EXPECT_EQ(g_VBSubAllocator.GetBlock(0)->FreeVertexCount, 64u);
}

TEST_F(VBPoolTest, BlocksAreSharedOnlyByTheSameDescription) {
  VBAllocation *a, *b, *c, *d, *e;
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 10, 30, &a));
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 10, 30, &b));
  EXPECT_EQ(a->Block, b->Block);
  EXPECT_EQ(b->FirstVertex, 10u);
  EXPECT_EQ(b->FirstIndex, 30u);
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, true, 0, 10, 30, &c));
  ASSERT_TRUE(g_VBSubAllocator.Alloc(0x03, false, 1, 10, 30, &d));
  ASSERT_TRUE(g_VBSubAllocator.Alloc(0x03, false, 2, 10, 30, &e));
  EXPECT_EQ(g_VBSubAllocator.BlockCount(), 4u);
  EXPECT_NE(c->Block, a->Block);
  EXPECT_NE(d->Block, e->Block);
  EXPECT_EQ(c->Block->Software, 1);
  // A block that is full for the request sends it to a new block of the same description.
  VBAllocation* f;
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 50, 3, &f));
  EXPECT_NE(f->Block, a->Block);
  EXPECT_EQ(g_VBSubAllocator.BlockCount(), 5u);
}

TEST_F(VBPoolTest, FreedNeighboursMergeIntoOneRange) {
  VBAllocation *a, *b, *c;
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 10, 30, &a));
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 10, 30, &b));
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 10, 30, &c));
  const VBBlock* block = a->Block;
  g_VBSubAllocator.Free(a);
  g_VBSubAllocator.Free(b);
  ASSERT_EQ(block->FreeVertices.size(), 2u) << "the tail, then the merged pair appended after it";
  EXPECT_EQ(block->FreeVertices[1].Start, 0u);
  EXPECT_EQ(block->FreeVertices[1].Count, 20u);
  EXPECT_EQ(block->FreeIndices[1].Count, 60u);
  g_VBSubAllocator.Free(c);  // joins both neighbours at once
  ASSERT_EQ(block->FreeVertices.size(), 1u);
  EXPECT_EQ(block->FreeVertices[0].Start, 0u);
  EXPECT_EQ(block->FreeVertices[0].Count, 64u);
  ASSERT_EQ(block->FreeIndices.size(), 1u);
  EXPECT_EQ(block->FreeIndices[0].Count, 256u);
  EXPECT_TRUE(block->Allocations.empty());
}

TEST_F(VBPoolTest, FragmentedBlockIsCompactedWithItsData) {
  VBSubAllocator_VB_Size = 256;
  std::vector<VBAllocation*> all;
  for (uint8_t i = 0; i < 24; ++i) {
    VBAllocation* a;
    ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 10, 12, &a));
    ASSERT_TRUE(g_VBSubAllocator.Write(a, Vertices(10, i).data(), Indices(12, i).data()));
    all.push_back(a);
  }
  const VBBlock* block = all[0]->Block;
  std::vector<VBAllocation*> kept;
  for (size_t i = 0; i < all.size(); ++i) {
    if (i % 2 == 0) g_VBSubAllocator.Free(all[i]);
    else kept.push_back(all[i]);
  }
  ASSERT_GE(block->FreeVertices.size(), kCompactMinRanges);
  // 12 free runs of 10 vertices and a tail of 16: a request of 20 would need the tail, but the
  // compaction first packs the 12 survivors to the front.
  VBAllocation* big;
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 20, 20, &big));
  EXPECT_EQ(big->Block, block);
  EXPECT_EQ(big->FirstVertex, 120u);
  EXPECT_EQ(big->FirstIndex, 144u);
  ASSERT_EQ(block->FreeVertices.size(), 1u);
  EXPECT_EQ(block->FreeVertices[0].Start, 140u);
  for (size_t k = 0; k < kept.size(); ++k) {
    EXPECT_EQ(kept[k]->FirstVertex, 10 * k);
    EXPECT_EQ(kept[k]->FirstIndex, 12 * k);
    const uint8_t tag = static_cast<uint8_t>(2 * k + 1);
    EXPECT_TRUE(DeviceHolds(kept[k], tag, tag)) << k;
  }
}

TEST_F(VBPoolTest, ResetCycleRebuildsEveryBlockFromItsCopies) {
  VBAllocation *a, *b;
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 5, 6, &a));
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, true, 0, 7, 9, &b));
  ASSERT_TRUE(g_VBSubAllocator.Write(a, Vertices(5, 0xA1).data(), Indices(6, 100).data()));
  ASSERT_TRUE(g_VBSubAllocator.Write(b, Vertices(7, 0xB2).data(), Indices(9, 200).data()));
  CRecordingVertexBuffer* old_vb = DeviceVB(a->Block);

  g_VBSubAllocator.FreeForReset();
  EXPECT_EQ(old_vb->RefCount(), 0u);
  EXPECT_EQ(a->Block->Buffers.VertexBuffer(0), nullptr);
  VBAllocation* during;
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 5, 6, &during)) << "released blocks are passed over";
  EXPECT_NE(during->Block, a->Block);
  g_VBSubAllocator.Free(during);

  ASSERT_TRUE(g_VBSubAllocator.Restore());
  ASSERT_NE(DeviceVB(a->Block), nullptr);
  EXPECT_NE(DeviceVB(a->Block), old_vb);
  EXPECT_TRUE(DeviceHolds(a, 0xA1, 100));
  EXPECT_TRUE(DeviceHolds(b, 0xB2, 200));
  EXPECT_EQ(DeviceVB(b->Block)->GetType(), D3DRTYPE_VERTEXBUFFER);
  EXPECT_TRUE(d3d->log.Contains("CreateVertexBuffer(2048," +
                                std::to_string(D3DUSAGE_WRITEONLY | D3DUSAGE_SOFTWAREPROCESSING) + "," +
                                std::to_string(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1) + ",0)"));
}

TEST_F(VBPoolTest, RenderDeviceResetRunsThePools) {
  VBAllocation* a;
  ASSERT_TRUE(g_WorldClumpMgr.Alloc(kDesc, false, 4, 6, &a));
  ASSERT_TRUE(g_WorldClumpMgr.Write(a, Vertices(4, 0x5C).data(), Indices(6, 7).data()));
  ASSERT_TRUE(g_pD3DRenderDevice->FreeForReset());
  EXPECT_EQ(a->Block->Buffers.VertexBuffer(0), nullptr);
  ASSERT_TRUE(g_pD3DRenderDevice->RestoreDevice(nullptr));
  EXPECT_TRUE(DeviceHolds(a, 0x5C, 7));
}

TEST_F(VBPoolTest, ReallocMovesDataToABlockOfTheOtherKind) {
  VBAllocation *a, *b;
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 8, 12, &a));
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 8, 12, &b));
  ASSERT_TRUE(g_VBSubAllocator.Write(b, Vertices(8, 0x77).data(), Indices(12, 40).data()));
  const VBBlock* hardware = b->Block;
  ASSERT_TRUE(g_VBSubAllocator.Realloc(b, true));
  EXPECT_NE(b->Block, hardware) << "the handle now points into the software block";
  EXPECT_EQ(b->Block->Software, 1);
  EXPECT_TRUE(DeviceHolds(b, 0x77, 40));
  EXPECT_EQ(hardware->FreeVertexCount, 64u - 8u);
  EXPECT_EQ(hardware->Allocations.size(), 1u);
  const VBBlock* software = b->Block;
  g_VBSubAllocator.Free(b);
  EXPECT_TRUE(software->Allocations.empty());
  EXPECT_EQ(software->FreeVertexCount, 64u);
}

TEST_F(VBPoolTest, ReallocThatFindsNoRoomLeavesTheAllocationWithItsData) {
  VBAllocation* a;
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 8, 12, &a));
  ASSERT_TRUE(g_VBSubAllocator.Write(a, Vertices(8, 0x31).data(), Indices(12, 3).data()));
  const VBAllocation before = *a;
  VBSubAllocator_VB_Size = 0;  // no new block can be made
  EXPECT_FALSE(g_VBSubAllocator.Realloc(a, true));
  VBSubAllocator_VB_Size = 64;
  EXPECT_EQ(a->Block, before.Block);
  EXPECT_EQ(a->FirstVertex, before.FirstVertex);
  EXPECT_EQ(a->Block->FreeVertexCount, 64u - 8u);
  EXPECT_EQ(g_VBSubAllocator.BlockCount(), 1u);
  EXPECT_TRUE(DeviceHolds(a, 0x31, 3));
}

TEST_F(VBPoolTest, FailedLockStillKeepsTheDataForTheNextRestore) {
  VBAllocation* a;
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kDesc, false, 0, 3, 3, &a));
  DeviceVB(a->Block)->fail_lock = true;
  EXPECT_FALSE(g_VBSubAllocator.Write(a, Vertices(3, 0x42).data(), Indices(3, 9).data()));
  EXPECT_EQ(a->Block->SystemVertices[0], 0x42);
  g_VBSubAllocator.FreeForReset();
  ASSERT_TRUE(g_VBSubAllocator.Restore());
  EXPECT_TRUE(DeviceHolds(a, 0x42, 9));
}

TEST_F(VBPoolTest, InitMakesTheConfiguredBlocksAndTermReleasesThem) {
  WorldClumpMgr_VB_Count = 3;
  const int before = VertexBuffersMade();
  ASSERT_TRUE(g_WorldClumpMgr.Init());
  EXPECT_EQ(VertexBuffersMade() - before, 3);
  ASSERT_EQ(g_WorldClumpMgr.BlockCount(), 3u);
  EXPECT_EQ(g_WorldClumpMgr.GetBlock(0)->DescFlags, kPoolInitialDesc);
  CRecordingVertexBuffer* vb = DeviceVB(g_WorldClumpMgr.GetBlock(2));
  g_WorldClumpMgr.Term();
  EXPECT_EQ(vb->RefCount(), 0u);
  EXPECT_EQ(g_WorldClumpMgr.BlockCount(), 0u);
  EXPECT_FALSE(g_WorldClumpMgr.IsInitialised());
}

TEST_F(VBPoolTest, ClumpReadsVerticesThenIndicesFromAStream) {
  VBAllocation* a;
  ASSERT_TRUE(g_WorldClumpMgr.Alloc(kDesc, false, 2, 3, &a));
  CMemoryStream stream;
  ASSERT_TRUE(stream.Init(0));
  const std::vector<uint8_t> v = Vertices(2, 0x3E);
  const std::vector<uint16_t> i = Indices(3, 11);
  stream.Write(v.data(), static_cast<uint32_t>(v.size()));
  stream.Write(i.data(), 6);
  stream.SeekTo(0);
  ASSERT_TRUE(g_WorldClumpMgr.ReadFromStream(a, &stream));
  EXPECT_TRUE(DeviceHolds(a, 0x3E, 11));

  CMemoryStream short_stream;
  ASSERT_TRUE(short_stream.Init(0));
  short_stream.Write(v.data(), static_cast<uint32_t>(v.size()));
  short_stream.SeekTo(0);
  EXPECT_FALSE(g_WorldClumpMgr.ReadFromStream(a, &short_stream)) << "indices missing";
  EXPECT_FALSE(g_WorldClumpMgr.ReadFromStream(a, nullptr));
}

}  // namespace
}  // namespace vt_test
