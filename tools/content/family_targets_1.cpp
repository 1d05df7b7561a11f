// Sample content of the ball, box and brick targets and their ejectors: the models at the sizes
// the game draws them and the ejectors' textures.
#include <functional>

#include "tools/content/manifest.h"
#include "tools/writers/mesh_generator.h"
#include "tools/writers/renderable_writer.h"
#include "tools/writers/texture_patterns.h"
#include "tools/writers/texture_writer.h"

namespace content {
namespace {

constexpr uint32_t kFormat_Argb = 1;
constexpr uint32_t kFlags_Alpha_Blend = 0x2033;

void Add_Target_Model(Manifest& manifest, uint32_t id, const char* name, std::function<writers::MeshGeometry()> make) {
  ResourceEntry entry;
  entry.id = id;
  entry.type = 4;
  entry.name = std::string("meshes/") + name + ".rnd";
  entry.compress = true;
  entry.generate = [make](Bytes& out) {
    out = writers::BuildRigidRenderable(writers::RigidFromGeometry(make()));
    return !out.empty();
  };
  manifest.AddResource(std::move(entry));
}

void Add_Target_Pattern(Manifest& manifest, uint32_t id, const char* name, writers::Pattern kind, uint32_t a,
                        uint32_t b, uint32_t count) {
  ResourceEntry entry;
  entry.id = id;
  entry.type = 2;
  entry.name = std::string("textures/") + name + ".txb";
  entry.compress = true;
  entry.generate = [=](Bytes& out) {
    writers::PatternSpec spec;
    spec.pattern = kind;
    spec.width = spec.height = 64;
    spec.color_a = a;
    spec.color_b = b;
    spec.count = count;
    spec.seed = id;
    writers::Picture picture;
    return writers::DrawPattern(spec, picture) &&
           writers::EncodeTextureData(writers::kTextureVersionSingle, kFormat_Argb, kFlags_Alpha_Blend, 4, {picture},
                                      out);
  };
  manifest.AddResource(std::move(entry));
}

// The ball ejector: a tube 90 wide and 262 tall around its origin, with a rim at the top where
// balls leave and land.
writers::MeshGeometry Ball_Ejector() {
  writers::MeshGeometry m = writers::MakeCylinder(40.0f, 262.0f, 20);
  const float one[3] = {1.0f, 1.0f, 1.0f};
  const float top[3] = {0.0f, 125.0f, 0.0f};
  writers::AppendPart(m, writers::MakeTorus(38.0f, 7.0f, 20, 8), one, top);
  return m;
}

// The box ejector: a square post 48 × 48 and 200 long along z, with a collar at its muzzle.
writers::MeshGeometry Box_Ejector() {
  writers::MeshGeometry m = writers::MakeBox(24.0f, 24.0f, 100.0f);
  const float one[3] = {1.0f, 1.0f, 1.0f};
  const float muzzle[3] = {0.0f, 0.0f, 92.0f};
  writers::AppendPart(m, writers::MakeBox(28.0f, 28.0f, 6.0f), one, muzzle);
  return m;
}

// The brick ejector's post (40 × 100 × 20) and the bracket drawn for its third orientation.
writers::MeshGeometry Brick_Post() { return writers::MakeBox(20.0f, 50.0f, 10.0f); }
writers::MeshGeometry Brick_Bracket() {
  writers::MeshGeometry m = writers::MakeBox(30.0f, 6.0f, 14.0f);
  for (writers::MeshVertex& v : m.vertices) v.position[1] += 50.0f;
  return m;
}

}  // namespace

void Add_Targets_1_Family(Manifest& manifest) {
  Add_Target_Model(manifest, 0x2200003A, "box_target", [] { return writers::MakeBox(10.0f, 10.0f, 10.0f); });
  Add_Target_Model(manifest, 0x220000B1, "ball_ejector", Ball_Ejector);
  Add_Target_Model(manifest, 0x22000042, "box_ejector", Box_Ejector);
  Add_Target_Model(manifest, 0x220000B8, "brick_target", [] { return writers::MakeBox(50.0f, 50.0f, 3.75f); });
  Add_Target_Model(manifest, 0x220000B7, "brick_ejector", Brick_Post);
  Add_Target_Model(manifest, 0x220000C1, "brick_ejector_bracket", Brick_Bracket);
  // Light, mottled shell plating: the largest box post's skin, and the skin of the jumper, the
  // enemy cannon ball, the bomb and the anti-matter blobs, which tint it with their colours (the
  // mottling reads as plating on a post and as churning energy on a tinted blob).
  Add_Target_Pattern(manifest, 0x22000044, "shell_plating", writers::Pattern::Noise, 0xFFFFFFFF, 0xFFA8ACB4, 4);
  // The bullseye boards' face: its rings.
  Add_Target_Pattern(manifest, 0x220000A0, "bullseye_face", writers::Pattern::Rings, 0xFFE02828, 0xFFF4F4F4, 5);
  // The memory board's lit-side light: white fading to clear at the rim, for the yellow its
  // indicator is drawn in to colour.
  Add_Target_Pattern(manifest, 0x22000101, "memory_board_light", writers::Pattern::RadialGlow, 0xFFFFFFFF,
                     0x00FFFFFF, 4);
}

}  // namespace content
