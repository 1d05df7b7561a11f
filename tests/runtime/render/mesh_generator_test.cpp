// The mesh generator's shapes: sizes, unit normals, valid indices, and bodies the rigid mesh
// loads back unchanged.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "runtime/src/render/sys/pc/rigid_mesh.h"
#include "tests/runtime/render/mesh_test_support.h"

namespace {

TEST(MeshGenerator, ShapesHaveUnitNormalsValidIndicesAndLoadBack) {
  struct Case {
    const char* name;
    std::function<writers::MeshGeometry()> make;
    float max_radius;  // largest distance of a vertex from the origin
  };
  const Case cases[] = {
      {"sphere", [] { return writers::MakeSphere(4.5f, 24, 16); }, 4.5f},
      {"box", [] { return writers::MakeBox(1, 2, 3); }, std::sqrt(14.0f)},
      {"cylinder", [] { return writers::MakeCylinder(1, 4, 12); }, std::sqrt(5.0f)},
      {"cone", [] { return writers::MakeCone(1, 2, 12); }, std::sqrt(2.0f)},
      {"torus", [] { return writers::MakeTorus(3, 1, 16, 8); }, 4.0f},
      {"disc over 256 vertices", [] { return writers::MakeDisc(2, 300); }, 2.0f},
      {"ring", [] { return writers::MakeRing(1, 2, 16); }, 2.0f},
      {"plane", [] { return writers::MakePlane(2, 2, 4, 4); }, std::sqrt(2.0f)},
      {"capsule", [] { return writers::MakeCapsule(1, 2, 12, 8); }, 2.0f},
      {"board", [] { return writers::MakeBoard(4, 2, 0.5f); }, 10.0f},
      {"mast", [] { return writers::MakeMast(6, 0.5f); }, 10.0f},
      {"turret", [] { return writers::MakeTurret(2); }, 10.0f},
      {"crystal", [] { return writers::MakeCrystal(1, 4); }, 10.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const writers::MeshGeometry mesh = c.make();
    ASSERT_FALSE(mesh.indices.empty());
    ASSERT_EQ(mesh.indices.size() % 3, 0u);
    for (uint16_t index : mesh.indices) ASSERT_LT(index, mesh.vertices.size());
    for (const writers::MeshVertex& v : mesh.vertices) {
      const float n = std::sqrt(v.normal[0] * v.normal[0] + v.normal[1] * v.normal[1] + v.normal[2] * v.normal[2]);
      EXPECT_NEAR(n, 1.0f, 1e-4f);
      const float r = std::sqrt(v.position[0] * v.position[0] + v.position[1] * v.position[1] +
                                v.position[2] * v.position[2]);
      EXPECT_LE(r, c.max_radius + 1e-3f);
    }
    CRigidMesh rigid;
    const writers::Bytes body = writers::BuildRigidBody(writers::RigidFromGeometry(mesh));
    ASSERT_TRUE(rigid.Load(vt_test::StreamOf(body).get()));
    EXPECT_EQ(rigid.GetVertexCount(), mesh.vertices.size());
    EXPECT_EQ(rigid.Streams().Stride(0), 32u);
  }
}

TEST(MeshGenerator, SphereVerticesLieOnItsRadius) {
  const writers::MeshGeometry sphere = writers::MakeSphere(4.5f, 24, 16);
  EXPECT_LT(sphere.vertices.size(), 512u);
  for (const writers::MeshVertex& v : sphere.vertices) {
    const float r = std::sqrt(v.position[0] * v.position[0] + v.position[1] * v.position[1] +
                              v.position[2] * v.position[2]);
    EXPECT_NEAR(r, 4.5f, 1e-4f);
    // The normal points outwards, along the position.
    EXPECT_NEAR(v.normal[1] * 4.5f, v.position[1], 1e-4f);
  }
  EXPECT_GT(writers::MakeDisc(2, 300).vertices.size(), 256u);
  EXPECT_LT(writers::MakeBox(1, 1, 1).vertices.size(), 256u);
}

}  // namespace
