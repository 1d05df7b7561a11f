#include "runtime/src/render/sys/pc/render_object_factory.h"

#include <new>

#include "runtime/src/render/sys/pc/bsp_mesh.h"
#include "runtime/src/render/sys/pc/clump_mesh.h"
#include "runtime/src/render/sys/pc/buffered_mesh.h"
#include "runtime/src/render/sys/pc/grid_mesh.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"
#include "runtime/src/render/sys/pc/skinned_mesh.h"
#include "runtime/src/render/sys/pc/sprite_array.h"

CRenderObject* NewRenderObject(uint32_t type) {
  switch (type) {
    case CRigidMesh::kType:
      return new (std::nothrow) CRigidMesh();
    case CSkinnedMesh::kType:
      return new (std::nothrow) CSkinnedMesh();
    case CBufferedMesh::kType:
      return new (std::nothrow) CBufferedMesh();
    case CClumpMesh::kType:
      return new (std::nothrow) CClumpMesh();
    case CBspMesh::kType:
      return new (std::nothrow) CBspMesh();
    case CSpriteArray::kType:
      return new (std::nothrow) CSpriteArray();
    case CGridMesh::kType:
      return new (std::nothrow) CGridMesh();
    default:
      return nullptr;
  }
}
