// Mesh bodies of every render object type that loads from a stream. The first byte picks the
// type (rigid, skinned, buffered, BSP); the rest is the body. A loaded BSP mesh is also walked
// back to front from an eye point.
#include <cstddef>
#include <cstdint>

#include "runtime/src/core/streams.h"
#include "runtime/src/render/sys/pc/bsp_mesh.h"
#include "runtime/src/render/sys/pc/buffered_mesh.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"
#include "runtime/src/render/sys/pc/skinned_mesh.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 24)) return 0;
  CMemoryStream* stream = CreateMemoryStream(0);
  if (stream == nullptr) return 0;
  stream->Write(data + 1, static_cast<uint32_t>(size - 1));
  stream->SeekTo(0);
  switch (data[0] % 4) {
    case 0: {
      CRigidMesh mesh;
      mesh.Load(stream);
      break;
    }
    case 1: {
      CSkinnedMesh mesh;
      mesh.Load(stream);
      break;
    }
    case 2: {
      CBufferedMesh mesh;
      mesh.Load(stream);
      break;
    }
    default: {
      CBspMesh mesh;
      if (mesh.Load(stream)) {
        std::vector<uint32_t> order;
        mesh.SortedRanges(CVector3{1.0f, 2.0f, 3.0f}, 1, &order);
        mesh.SortedRanges(CVector3{-1.0f, -2.0f, -3.0f}, 2, &order);
      }
      break;
    }
  }
  stream->Release();
  return 0;
}
