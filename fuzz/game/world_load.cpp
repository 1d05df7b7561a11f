// Feeds bytes to the world resource loader. A world that loads is then asked for heights,
// normals and terrain crossings, and a sphere is dropped on it, so that whatever a loaded
// world holds is also walked by the queries and the body step.
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/core/CSphere_Object.h"
#include "game/core/CWorld.h"
#include "platform/system/message_box.h"
#include "runtime/src/core/streams.h"

namespace {

class Probe_Ball : public CSphere_Object {
 public:
  void Update(const float& dt) override {
    Collide_Sphere_World(m_Motion);
    Integrate_Sphere(m_Motion, dt);
  }
};

void Walk_World() {
  const float sx = g_World.m_Terrain.size_x, sz = g_World.m_Terrain.size_z;
  const float points[][2] = {{0, 0}, {sx, sz}, {sx * 0.37f, sz * 0.61f}, {-sx, 2 * sz}};
  for (const auto& p : points) {
    (void)g_World.Get_Height(p[0], p[1]);
    (void)g_World.Get_Normal(p[0], p[1]);
  }
  CVector3 hit;
  (void)g_World.Intersect_Terrain({sx * 0.1f, 1000.0f, sz * 0.2f}, {sx * 0.8f, -2000.0f, sz * 0.6f}, hit);
  Probe_Ball ball;
  ball.Setup_Object(3, 1.0f, 1.0f, 0, 0x01);
  ball.Setup_Sphere_Body(5.0f, 10.0f, 0.5f);
  ball.Set_Position({sx * 0.5f, g_World.Get_Height(sx * 0.5f, sz * 0.5f) + 50.0f, sz * 0.5f});
  for (int i = 0; i < 50; ++i) ball.Update(0.0035f);
  g_World.Free_Terrain();  // unfiles the ball before it goes
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = [] {
    plat::Set_Message_Recorder([](const std::string&, const std::string&) {});
    return true;
  }();
  (void)quiet;
  CMemoryStream* stream = CreateMemoryStream(0);
  if (!stream) return 0;
  stream->Write(data, static_cast<uint32_t>(size));
  stream->SeekTo(0);
  if (g_World.Load_Terrain(stream)) Walk_World();
  stream->Release();
  g_World.Free_Terrain();
  return 0;
}
