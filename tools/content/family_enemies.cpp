// Sample content of the enemies: the emplacements' and mobile enemies' models at the sizes their
// bodies are drawn (the bar's pillar standing on its origin, the cannon's base and barrel, the
// plate and its rim, the tower's stem and head, the digger, the tile, the saucer and its glow
// shell, the boss's crystal and core), the boss's glow, and the two sounds of the boss's pulse.
// The saucer's plating is the enemy ammunition's.
#include <algorithm>
#include <cmath>
#include <functional>

#include "tools/content/manifest.h"
#include "tools/writers/mesh_generator.h"
#include "tools/writers/renderable_writer.h"
#include "tools/writers/texture_patterns.h"
#include "tools/writers/texture_writer.h"
#include "tools/writers/wav_writer.h"

namespace content {
namespace {

using writers::MeshGeometry;

constexpr uint32_t kFormatArgb = 1;
constexpr uint32_t kFlagsAlphaBlend = 0x2033;
constexpr float kOne[3] = {1.0f, 1.0f, 1.0f};

void Add_Model(Manifest& manifest, uint32_t id, const char* name, std::function<MeshGeometry()> make) {
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

void Add_Texture(Manifest& manifest, uint32_t id, const char* name, uint32_t size,
                 std::function<uint32_t(double u, double v)> shade) {
  ResourceEntry entry;
  entry.id = id;
  entry.type = 2;
  entry.name = std::string("textures/") + name + ".txb";
  entry.compress = true;
  entry.generate = [size, shade](Bytes& out) {
    writers::Picture picture;
    picture.width = picture.height = size;
    picture.pixels.resize(size_t(size) * size);
    for (uint32_t y = 0; y < size; ++y)
      for (uint32_t x = 0; x < size; ++x) picture.At(x, y) = shade((x + 0.5) / size, (y + 0.5) / size);
    return writers::EncodeTextureData(writers::kTextureVersionSingle, kFormatArgb, kFlagsAlphaBlend, 1, {picture},
                                      out);
  };
  manifest.AddResource(std::move(entry));
}

void Add_Sound(Manifest& manifest, uint32_t id, const char* name, writers::SoundSpec spec) {
  ResourceEntry entry;
  entry.id = id;
  entry.type = 3;
  entry.name = std::string("sounds/") + name + ".wav";
  entry.compress = true;
  entry.generate = [spec](Bytes& out) { return writers::WriteWavSound(spec, out); };
  manifest.AddResource(std::move(entry));
}

uint32_t Argb(double a, double r, double g, double b) {
  auto byte = [](double x) { return static_cast<uint32_t>(std::clamp(x, 0.0, 1.0) * 255.0 + 0.5); };
  return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

// Moves and scales a shape (scale first).
MeshGeometry Placed(const MeshGeometry& part, float sx, float sy, float sz, float x, float y, float z) {
  MeshGeometry m;
  const float scale[3] = {sx, sy, sz}, offset[3] = {x, y, z};
  writers::AppendPart(m, part, scale, offset);
  return m;
}

// The shape turned a quarter about x, so that its y axis runs along z.
MeshGeometry Along_Z(MeshGeometry m) {
  for (writers::MeshVertex& v : m.vertices) {
    std::swap(v.position[1], v.position[2]);
    std::swap(v.normal[1], v.normal[2]);
    v.position[1] = -v.position[1];
    v.normal[1] = -v.normal[1];
  }
  return m;
}

// 40 wide, 1500 tall, standing on its origin, with a thicker cap.
MeshGeometry Bar_Pillar() {
  MeshGeometry m = Placed(writers::MakeBox(20.0f, 750.0f, 20.0f), 1, 1, 1, 0, 750.0f, 0);
  const float offset[3] = {0.0f, 1480.0f, 0.0f};
  writers::AppendPart(m, writers::MakeBox(24.0f, 20.0f, 24.0f), kOne, offset);
  return m;
}

// About 100 across: a round foot with a collar on top.
MeshGeometry Cannon_Base() {
  MeshGeometry m = writers::MakeCylinder(50.0f, 200.0f, 20);
  const float offset[3] = {0.0f, 110.0f, 0.0f};
  writers::AppendPart(m, writers::MakeTorus(38.0f, 12.0f, 20, 8), kOne, offset);
  return m;
}

// About 80 × 80 × 180 along z: a breech block and a tube.
MeshGeometry Cannon_Barrel() {
  MeshGeometry m = writers::MakeBox(40.0f, 40.0f, 40.0f);
  const float offset[3] = {0.0f, 0.0f, 50.0f};
  writers::AppendPart(m, Along_Z(writers::MakeCylinder(22.0f, 100.0f, 16)), kOne, offset);
  return m;
}

// 90 × 90 × 10, facing along z.
MeshGeometry Plate() { return writers::MakeBox(40.0f, 40.0f, 4.0f); }

// The plate's square rim: 90 × 90 × 10 outside, 76 inside.
MeshGeometry Plate_Rim() {
  MeshGeometry m;
  const float bars[4][6] = {{45, 3.5f, 5, 0, 41.5f, 0}, {45, 3.5f, 5, 0, -41.5f, 0},
                            {3.5f, 38, 5, 41.5f, 0, 0}, {3.5f, 38, 5, -41.5f, 0, 0}};
  for (const auto& b : bars) {
    const float offset[3] = {b[3], b[4], b[5]};
    writers::AppendPart(m, writers::MakeBox(b[0], b[1], b[2]), kOne, offset);
  }
  return m;
}

// 70 × 310 × 70 about its origin.
MeshGeometry Tower_Stem() {
  MeshGeometry m = writers::MakeCylinder(25.0f, 310.0f, 16);
  const float foot[3] = {0.0f, -140.0f, 0.0f};
  writers::AppendPart(m, writers::MakeCylinder(35.0f, 30.0f, 16), kOne, foot);
  return m;
}

// A ball centred 123 above the origin.
MeshGeometry Tower_Head() { return Placed(writers::MakeSphere(35.0f, 16, 10), 1, 1, 1, 0, 123.0f, 0); }

// 50 × 160 × 50: a capsule, and its ribbed shell.
MeshGeometry Digger_Body() { return writers::MakeCapsule(22.0f, 116.0f, 14, 6); }
MeshGeometry Digger_Shell() {
  MeshGeometry m;
  for (int i = 0; i < 3; ++i) {
    const float offset[3] = {0.0f, -45.0f + 45.0f * i, 0.0f};
    writers::AppendPart(m, writers::MakeTorus(23.0f, 5.0f, 16, 6), kOne, offset);
  }
  const float tip[3] = {0.0f, 72.0f, 0.0f};
  writers::AppendPart(m, writers::MakeCone(18.0f, 20.0f, 12), kOne, tip);
  return m;
}

// 76 × 20 × 76.
MeshGeometry Tile() { return writers::MakeBox(38.0f, 10.0f, 38.0f); }

// 125 across and 30 thick along its own z: a saucer with a dome.
MeshGeometry Saucer() {
  MeshGeometry m = Along_Z(Placed(writers::MakeSphere(62.5f, 24, 12), 1, 0.16f, 1, 0, 0, 0));
  const float offset[3] = {0.0f, 0.0f, 8.0f};
  writers::AppendPart(m, Along_Z(writers::MakeSphere(24.0f, 16, 8)), kOne, offset);
  return m;
}
MeshGeometry Saucer_Glow() { return Along_Z(Placed(writers::MakeSphere(64.0f, 24, 12), 1, 0.24f, 1, 0, 0, 0)); }

// About 550 across: the crystal, and the core inside it.
MeshGeometry Boss_Crystal() { return writers::MakeCrystal(240.0f, 550.0f); }
MeshGeometry Boss_Core() { return writers::MakeCrystal(120.0f, 380.0f); }

// A faint green-white aura, brightest round the middle and fading to the poles; it is added to
// the picture, so its colour carries its strength.
uint32_t Boss_Glow(double u, double v) {
  const double a = 0.08 * std::sin(3.14159265 * v) * (0.85 + 0.15 * std::sin(u * 37.7));
  return Argb(a, 0.8 * a, a, 0.85 * a);
}

writers::SoundSpec Sound(double seconds, std::vector<writers::ToneLayer> layers) {
  writers::SoundSpec s;
  s.rate = 22050;
  s.seconds = seconds;
  s.layers = std::move(layers);
  return s;
}

writers::ToneLayer Layer(writers::Waveform wave, double from_hz, double to_hz, double seconds, double amplitude,
                         double decay, double lowpass = 0.0, uint32_t seed = 1) {
  writers::ToneLayer l;
  l.wave = wave;
  l.startHz = from_hz;
  l.endHz = to_hz;
  l.seconds = seconds;
  l.amplitude = amplitude;
  l.decay = decay;
  l.lowpassHz = lowpass;
  l.seed = seed;
  l.release = 0.05;
  return l;
}

}  // namespace

void Add_Enemies_Family(Manifest& manifest) {
  Add_Model(manifest, 0x22000158, "enemy_bar_pillar", Bar_Pillar);
  Add_Model(manifest, 0x220000C7, "enemy_cannon_base", Cannon_Base);
  Add_Model(manifest, 0x220000C8, "enemy_cannon_barrel", Cannon_Barrel);
  Add_Model(manifest, 0x2200015A, "enemy_plate", Plate);
  Add_Model(manifest, 0x2200015B, "enemy_plate_rim", Plate_Rim);
  Add_Model(manifest, 0x22000145, "enemy_tower_stem", Tower_Stem);
  Add_Model(manifest, 0x22000148, "enemy_tower_head", Tower_Head);
  Add_Model(manifest, 0x2200015C, "digger_body", Digger_Body);
  Add_Model(manifest, 0x2200015D, "digger_shell", Digger_Shell);
  Add_Model(manifest, 0x22000157, "enemy_tile", Tile);
  Add_Model(manifest, 0x2200002D, "ufo_hull", Saucer);
  Add_Model(manifest, 0x2200014B, "ufo_glow", Saucer_Glow);
  Add_Model(manifest, 0x220000D3, "boss_crystal", Boss_Crystal);
  Add_Model(manifest, 0x220000D5, "boss_core", Boss_Core);
  Add_Texture(manifest, 0x220000D7, "boss_glow", 128, Boss_Glow);
  using writers::Waveform;
  // The pulse breaking: a shatter of bright noise over a falling chime.
  Add_Sound(manifest, 0x22000162, "boss_pulse_broken",
            Sound(1.2, {Layer(Waveform::Noise, 0, 0, 0.8, 0.6, 5.0, 6000, 41),
                        Layer(Waveform::Triangle, 1760, 440, 1.1, 0.35, 2.5)}));
  // The pulse starting: a low hum that swells and rises.
  Add_Sound(manifest, 0x22000163, "boss_pulse_start",
            Sound(2.5, {Layer(Waveform::Saw, 55, 110, 2.4, 0.35, 0.0, 900),
                        Layer(Waveform::Sine, 110, 220, 2.4, 0.3, 0.0)}));
}

}  // namespace content
