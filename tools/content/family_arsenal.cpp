// Sample content of the player's arsenal: the first-person gun models (aiming along +z from the
// mount point at the origin, at the sizes the guns' muzzle offsets assume), the steel ball, the
// cannon shell and the tracer, their textures, and the shot and blast sounds.
#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "tools/content/manifest.h"
#include "tools/content/mesh_entry.h"
#include "tools/content/mesh_parts.h"
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
constexpr int kEffectRate = 22050;

// A barrel of the radius along z from z0 to z1.
MeshGeometry Barrel(float radius, float z0, float z1) {
  MeshGeometry out;
  Append_Part(out, Along_Z(writers::MakeCylinder(radius, z1 - z0, 16)), 1, 1, 1, 0, 0, 0.5f * (z0 + z1));
  return out;
}

// Steel-ball gun: a long rail body with a breech block; the muzzle ends at 145.
MeshGeometry SteelBall_Body() {
  MeshGeometry out;
  Append_Part(out, writers::MakeBox(14.0f, 10.0f, 30.0f), 1, 1, 1, 0, -4, 5);
  Append_Part(out, Barrel(9.0f, 20.0f, 145.0f), 1, 1, 1, 0, 0, 0);
  Append_Part(out, writers::MakeBox(3.0f, 4.0f, 55.0f), 1, 1, 1, 0, 10, 85);
  Append_Part(out, writers::MakeBox(3.0f, 4.0f, 55.0f), 1, 1, 1, 0, -10, 85);
  return out;
}

// The charge glow: a ring of coils around the barrel.
MeshGeometry SteelBall_Glow() {
  MeshGeometry out;
  for (int i = 0; i < 4; ++i)
    Append_Part(out, Along_Z(writers::MakeTorus(11.5f, 2.0f, 20, 8)), 1, 1, 1, 0, 0, 50.0f + 25.0f * float(i));
  return out;
}

// Machine gun: the housing, the drum around the cluster and five barrels 22.5 off the axis.
MeshGeometry Machine_Body() {
  MeshGeometry out;
  Append_Part(out, writers::MakeBox(20.0f, 16.0f, 45.0f), 1, 1, 1, 0, -8, 10);
  Append_Part(out, writers::MakeBox(6.0f, 10.0f, 12.0f), 1, 1, 1, 0, -30, 0);
  return out;
}

MeshGeometry Machine_Drum() {
  MeshGeometry out;
  Append_Part(out, Along_Z(writers::MakeTorus(22.5f, 6.0f, 24, 8)), 1, 1, 1, 0, 0, 70);
  Append_Part(out, Along_Z(writers::MakeTorus(22.5f, 5.0f, 24, 8)), 1, 1, 1, 0, 0, 200);
  Append_Part(out, Barrel(8.0f, 50.0f, 215.0f), 1, 1, 1, 0, 0, 0);
  return out;
}

MeshGeometry Machine_Barrels() {
  MeshGeometry out;
  for (int i = 0; i < 5; ++i) {
    const float angle = 1.2566371f * float(i);
    Append_Part(out, Barrel(4.5f, 55.0f, 225.0f), 1, 1, 1, 22.5f * std::sin(angle), 22.5f * std::cos(angle), 0);
  }
  return out;
}

// Cannon: a squat body, a thick barrel to 145 and a glow shell over the body.
MeshGeometry Cannon_Body() {
  MeshGeometry out;
  Append_Part(out, writers::MakeSphere(26.0f, 20, 12), 1.0f, 0.9f, 1.6f, 0, -6, 10);
  Append_Part(out, writers::MakeBox(10.0f, 12.0f, 14.0f), 1, 1, 1, 0, -32, 0);
  return out;
}

MeshGeometry Cannon_Glow() {
  MeshGeometry out;
  Append_Part(out, Along_Z(writers::MakeTorus(27.0f, 3.5f, 24, 8)), 1, 1, 1, 0, -6, 10);
  Append_Part(out, Along_Z(writers::MakeTorus(25.0f, 3.0f, 24, 8)), 1, 1, 1, 0, -6, 35);
  return out;
}

// The shell: a capsule body of radius 30 and a band around its middle.
MeshGeometry Shell_Body() { return writers::MakeCapsule(22.0f, 16.0f, 16, 8); }
MeshGeometry Shell_Band() { return writers::MakeTorus(24.0f, 6.0f, 20, 8); }

// The tracer: unit width, trailing 10 behind the bullet.
MeshGeometry Tracer() {
  MeshGeometry out;
  Append_Part(out, writers::MakeBox(0.5f, 0.5f, 5.0f), 1, 1, 1, 0, 0, -5);
  return out;
}

// The heat gauge: an upright frame standing on its origin (the gun places the origin near the
// lower left corner of the view) and the bar inside it.
// The heat gauge: a low, wide frame whose top edge is the model's origin line, and the bar that
// fills it from the left. The simulator screen draws the same frame, turned upside down and
// scaled (4.25, 3), as the highlight around its "To War-Room" button, so the frame is sized to
// that button and carries a warm glow colour (its unlit style shows the vertex colour).
constexpr float kGauge_Half_Width = 14.5f, kGauge_Bottom = -0.5f, kGauge_Top = 6.0f;
constexpr float kGauge_Rim_X = 1.2f, kGauge_Rim_Y = 0.8f;
constexpr uint32_t kGauge_Frame_Colour = 0xFFFFD060;  // pale gold
constexpr uint32_t kGauge_Halo_Colour = 0xFFFFB040;   // amber, for the simulator's halo

MeshGeometry Gauge_Frame() {
  MeshGeometry out;
  const float half_height = 0.5f * (kGauge_Top - kGauge_Bottom), middle = 0.5f * (kGauge_Top + kGauge_Bottom);
  const float half_rim_x = 0.5f * kGauge_Rim_X, half_rim_y = 0.5f * kGauge_Rim_Y;
  Append_Part(out, writers::MakeBox(kGauge_Half_Width, half_rim_y, 1.0f), 1, 1, 1, 0, kGauge_Top - half_rim_y, 0);
  Append_Part(out, writers::MakeBox(kGauge_Half_Width, half_rim_y, 1.0f), 1, 1, 1, 0, kGauge_Bottom + half_rim_y, 0);
  for (float side : {-1.0f, 1.0f})
    Append_Part(out, writers::MakeBox(half_rim_x, half_height, 1.0f), 1, 1, 1, side * (kGauge_Half_Width - half_rim_x),
           middle, 0);
  return out;
}

MeshGeometry Gauge_Bar() {
  // A flat quad inside the frame facing the viewer (-z). The bar texture's v runs along x, 1 at
  // the left end and 0 at the right, so the bar fills from the left as the alpha reference falls:
  // the plane's z (along which v runs, 0 at +z) becomes x and its x becomes y.
  const float width = 2.0f * (kGauge_Half_Width - kGauge_Rim_X);
  const float bottom = kGauge_Bottom + kGauge_Rim_Y, top = kGauge_Top - kGauge_Rim_Y;
  MeshGeometry out;
  Append_Part(out, writers::MakePlane(top - bottom, width, 1, 4), 1, 1, 1, 0, 0, 0);
  for (writers::MeshVertex& v : out.vertices) {
    const float px = v.position[0], pz = v.position[2];
    v.position[0] = pz;
    v.position[1] = 0.5f * (top + bottom) + px;
    v.position[2] = 0.0f;
    v.normal[0] = 0.0f;
    v.normal[1] = 0.0f;
    v.normal[2] = -1.0f;
  }
  return out;
}

// The panel texture (0x2200002A): light grey noise, shared by the charge display's device and
// lights and by several targets and enemies. Two 2 x 2 texel spots in opposite corners are
// white and black: the display's lights are mapped onto the white one, so that they show the
// very colour the game draws them in, and its rail onto the black one, dark in any light.
writers::PatternSpec Panel_Pattern() {
  writers::PatternSpec spec;
  spec.pattern = writers::Pattern::Noise;
  spec.width = spec.height = 64;
  spec.color_a = 0xFFB8C0CC;
  spec.color_b = 0xFF707884;
  spec.count = 3;
  spec.seed = 42;
  return spec;
}

// Texture coordinates at the middle of each spot, where filtering reads the spot alone.
constexpr std::array<float, 2> kPanel_White = {1.0f / 64.0f, 1.0f / 64.0f};
constexpr std::array<float, 2> kPanel_Black = {63.0f / 64.0f, 63.0f / 64.0f};

bool Draw_Panel(writers::Picture& picture) {
  if (!writers::DrawPattern(Panel_Pattern(), picture) || picture.width != 64 || picture.height != 64) return false;
  for (uint32_t y = 0; y < 2; ++y)
    for (uint32_t x = 0; x < 2; ++x) {
      picture.At(x, y) = 0xFFFFFFFFu;
      picture.At(62 + x, 62 + y) = 0xFF000000u;
    }
  return true;
}

// The mesh's texture coordinates squeezed into the panel's middle, clear of the two spots.
MeshGeometry Inside_Spots(MeshGeometry mesh) {
  for (writers::MeshVertex& v : mesh.vertices)
    for (float& c : v.uv) c = 0.0625f + 0.875f * c;
  return mesh;
}

MeshGeometry On_Texel(MeshGeometry mesh, const std::array<float, 2>& uv) {
  for (writers::MeshVertex& v : mesh.vertices) v.uv[0] = uv[0], v.uv[1] = uv[1];
  return mesh;
}

// The charge display, facing the viewer (-z). Its origin sits near the lower right corner of the
// view, so it is built up and to the left of it: the game draws the attachment's icon 1.5 left of
// the origin and 0.35 up (0.446 square); above the icon runs a dark rail, and on it the lights
// show, one light model per charge placed 0.5 apart along +x from the origin, each showing at
// (-2.2, 0.95) from its place, up to nine. A slim plate (towards +z) carries both. The lights
// add their colour over the rail, so the rail is mapped onto the black spot: black in any light,
// it lets a light show its own colour.
constexpr float kLights_Left = -2.2f, kLights_Up = 0.95f;
constexpr float kLights_Span = 4.0f;  // the first to the ninth
MeshGeometry Display_Device() {
  const float left = kLights_Left - 0.35f, right = kLights_Left + kLights_Span + 0.35f;
  const float middle = 0.5f * (left + right), half = 0.5f * (right - left);
  MeshGeometry plate, rail;
  Append_Part(plate, writers::MakeBox(half, 0.675f, 0.05f), 1, 1, 1, middle, 0.625f, 0.3f);
  Append_Part(rail, writers::MakeBox(half - 0.05f, 0.25f, 0.03f), 1, 1, 1, middle, kLights_Up, 0.22f);
  MeshGeometry out = Inside_Spots(plate);
  Append_Part(out, On_Texel(rail, kPanel_Black), 1, 1, 1, 0, 0, 0);
  return out;
}

// A light: a round lamp facing the viewer, mapped onto the panel texture's white spot. One layer
// only: the light style adds it over the rail on both faces, so a ball would count twice.
MeshGeometry Display_Light() {
  MeshGeometry lamp = writers::MakeDisc(0.18f, 16);
  for (writers::MeshVertex& v : lamp.vertices) {
    // A quarter turn about x, from facing up to facing the viewer (-z).
    const float y = v.position[1], z = v.position[2];
    v.position[1] = z, v.position[2] = -y;
    const float ny = v.normal[1], nz = v.normal[2];
    v.normal[1] = nz, v.normal[2] = -ny;
  }
  MeshGeometry out;
  Append_Part(out, lamp, 1, 1, 1, kLights_Left, kLights_Up, 0);
  return On_Texel(out, kPanel_White);
}

// Missile launcher: a long boxy rail to 170 with two light pods at its tip, and a cradle arm
// reaching 42 to the side to hold a missile along the aim.
// The laser pointer: a slim housing clipped under the barrel with a lens at its front.
MeshGeometry Laser_Pointer_Device() {
  MeshGeometry out;
  Append_Part(out, writers::MakeBox(4.0f, 4.0f, 22.0f), 1, 1, 1, 0, 0, 48);
  Append_Part(out, writers::MakeBox(2.0f, 3.0f, 6.0f), 1, 1, 1, 0, 5, 40);
  Append_Part(out, Along_Z(writers::MakeCylinder(2.6f, 3.0f, 10)), 1, 1, 1, 0, 0, 71.5f);
  return out;
}

MeshGeometry Launcher_Body() {
  MeshGeometry out;
  Append_Part(out, writers::MakeBox(16.0f, 12.0f, 40.0f), 1, 1, 1, 0, -6, 20);
  Append_Part(out, Barrel(10.0f, 40.0f, 160.0f), 1, 1, 1, 0, 0, 0);
  Append_Part(out, writers::MakeBox(14.0f, 3.0f, 8.0f), 1, 1, 1, 0, 0, 165);
  Append_Part(out, writers::MakeBox(6.0f, 12.0f, 8.0f), 1, 1, 1, 0, -26, 5);
  return out;
}

MeshGeometry Launcher_Cradle() {
  MeshGeometry out;
  Append_Part(out, Along_Z(writers::MakeTorus(11.0f, 3.0f, 16, 6)), 1, 1, 1, 0, 0, 20);
  Append_Part(out, writers::MakeBox(16.0f, 2.0f, 3.0f), 1, 1, 1, 22, 0, 20);
  Append_Part(out, Along_Z(writers::MakeTorus(11.0f, 2.0f, 16, 6)), 1, 1, 1, 42, 0, -10);
  Append_Part(out, Along_Z(writers::MakeTorus(11.0f, 2.0f, 16, 6)), 1, 1, 1, 42, 0, 50);
  return out;
}

// The missile along +z: its tail near its origin, the nose reaching 110 ahead where the blast
// point lies; body, tail fins and nose.
MeshGeometry Missile_Body() { return Barrel(8.0f, -20.0f, 85.0f); }

MeshGeometry Missile_Fins() {
  MeshGeometry out;
  Append_Part(out, writers::MakeBox(20.0f, 1.0f, 10.0f), 1, 1, 1, 0, 0, -10);
  Append_Part(out, writers::MakeBox(1.0f, 20.0f, 10.0f), 1, 1, 1, 0, 0, -10);
  return out;
}

MeshGeometry Missile_Nose() {
  MeshGeometry out;
  Append_Part(out, Along_Z(writers::MakeCone(8.0f, 28.0f, 16)), 1, 1, 1, 0, 0, 99);
  return out;
}

// Lightning gun: a housing with twin prongs reaching to the muzzle at 212, a coil part, a glass
// core along the barrel, the charge glow around it and the small charge light (drawn at three
// points near the prongs' roots: (6, 11, 148), (0, 11.3, 145.5), (-6, 11, 148)).
MeshGeometry Lightning_Body() {
  MeshGeometry out;
  Append_Part(out, writers::MakeBox(16.0f, 10.0f, 45.0f), 1, 1, 1, 0, -4, 20);
  Append_Part(out, writers::MakeBox(6.0f, 12.0f, 8.0f), 1, 1, 1, 0, -26, 0);
  Append_Part(out, writers::MakeBox(10.0f, 3.0f, 70.0f), 1, 1, 1, 0, 7, 110);
  Append_Part(out, Barrel(3.0f, 60.0f, 212.0f), 1, 1, 1, 12, 0, 0);
  Append_Part(out, Barrel(3.0f, 60.0f, 212.0f), 1, 1, 1, -12, 0, 0);
  return out;
}

MeshGeometry Lightning_Coils() {
  MeshGeometry out;
  for (int i = 0; i < 5; ++i)
    Append_Part(out, Along_Z(writers::MakeTorus(10.0f, 2.0f, 20, 8)), 1, 1, 1, 0, 0, 75.0f + 22.0f * float(i));
  return out;
}

MeshGeometry Lightning_Charge_Glow() {
  MeshGeometry out;
  Append_Part(out, Along_Z(writers::MakeCylinder(9.0f, 130.0f, 16)), 1, 1, 1, 0, 0, 130);
  return out;
}

std::vector<Mesh_Def> Meshes() {
  return {
      {0x22000001, "ball_far", [] { return writers::MakeSphere(4.5f, 10, 6); }},
      {0x22000027, "steelball_body", SteelBall_Body},
      {0x22000036, "steelball_glow", SteelBall_Glow},
      {0x22000049, "machinegun_body", Machine_Body},
      {0x2200004A, "machinegun_barrels", Machine_Barrels},
      {0x2200004C, "machinegun_drum", Machine_Drum},
      {0x2200004E, "tracer", Tracer},
      {0x22000051, "muzzle_flash", [] { return Along_Z(writers::MakeCone(8.0f, 20.0f, 12)); }},
      {0x2200016D, "cannon_body", Cannon_Body},
      {0x2200016E, "cannon_barrel", [] { return Barrel(14.0f, 20.0f, 145.0f); }},
      {0x2200016F, "cannon_glow", Cannon_Glow},
      {0x22000170, "shell_body", Shell_Body},
      {0x22000056, "launcher_body", Launcher_Body},
      {0x22000057, "missile_body", Missile_Body},
      {0x22000059, "missile_fins", Missile_Fins},
      {0x2200005A, "missile_nose", Missile_Nose},
      {0x2200005D, "launcher_cradle", Launcher_Cradle},
      {0x22000164, "lightning_body", Lightning_Body},
      {0x22000165, "lightning_coils", Lightning_Coils},
      {0x22000166, "lightning_core", [] { return Barrel(5.0f, 50.0f, 200.0f); }},
      {0x22000167, "lightning_charge_glow", Lightning_Charge_Glow},
      {0x22000168, "lightning_charge_light", [] { return writers::MakeSphere(2.2f, 10, 6); }},
      {0x22000174, "charge_display", Display_Device},
      {0x22000175, "charge_light", Display_Light},
      {0x22000171, "shell_band", Shell_Band},
      {0x22000030, "laser_pointer", Laser_Pointer_Device},
  };
}

writers::PatternSpec Make_Pattern(writers::Pattern kind, uint32_t size, uint32_t a, uint32_t b, uint32_t count = 8,
                             uint32_t seed = 1, bool vertical = false) {
  writers::PatternSpec spec;
  spec.pattern = kind;
  spec.width = size;
  spec.height = size;
  spec.color_a = a;
  spec.color_b = b;
  spec.count = count;
  spec.seed = seed;
  spec.vertical = vertical;
  return spec;
}

// An attachment's icon: its name in light letters on a dark plate.
writers::PatternSpec Icon(const char* name) {
  writers::PatternSpec spec = Make_Pattern(writers::Pattern::Text, 64, 0xFFE8F0FF, 0xC0182030);
  spec.text = name;
  return spec;
}

// The gauge ramp (0x22000037): clear at v 0, opaque at v 1, so that a gauge bar fills from its
// v = 1 end as the alpha reference falls. White, with a darker notch closing each tenth, so
// that a bar reads as a gauge's segments.
bool Draw_Gauge_Ramp(writers::Picture& picture) {
  constexpr uint32_t kSize = 64, kSegments = 10;
  picture.width = picture.height = kSize;
  picture.pixels.assign(size_t(kSize) * kSize, 0);
  for (uint32_t y = 0; y < kSize; ++y) {
    const uint32_t alpha = static_cast<uint32_t>(std::lround(255.0 * (y + 0.5) / kSize));
    const bool notch = (y + 1) * kSegments / kSize != y * kSegments / kSize;
    const uint32_t grey = notch ? 0x70 : 0xFF;
    for (uint32_t x = 0; x < kSize; ++x) picture.At(x, y) = alpha << 24 | grey << 16 | grey << 8 | grey;
  }
  return true;
}

// One blended ARGB texture of a single picture, drawn by `draw`.
void Add_Blended_Texture(Manifest& manifest, uint32_t id, const char* name, bool (*draw)(writers::Picture&)) {
  ResourceEntry entry;
  entry.id = id;
  entry.type = 2;
  entry.name = name;
  entry.compress = true;
  entry.generate = [draw](Bytes& out) {
    writers::Picture picture;
    return draw(picture) &&
           writers::EncodeTextureData(writers::kTextureVersionSingle, kFormatArgb, kFlagsAlphaBlend, 1, {picture}, out);
  };
  manifest.AddResource(std::move(entry));
}

void Add_Panel_Texture(Manifest& manifest) {
  Add_Blended_Texture(manifest, 0x2200002A, "textures/display_panel.txb", Draw_Panel);
}

void Add_Gauge_Ramp(Manifest& manifest) {
  Add_Blended_Texture(manifest, 0x22000037, "textures/alpha_ramp.txb", Draw_Gauge_Ramp);
}

std::vector<Texture_Def> Textures() {
  return {
      {0x2200001D, "textures/steel_ball.txb", Make_Pattern(writers::Pattern::RadialGlow, 64, 0xFFF0F4FF, 0xFF6A7480)},
      {0x22000025, "textures/energy_core.txb", Make_Pattern(writers::Pattern::Ribbons, 64, 0xC0A0A0FF, 0x603040C0, 5, 7)},
      {0x2200002C, "textures/gun_metal.txb", Make_Pattern(writers::Pattern::Noise, 128, 0xFF70767E, 0xFF2C3036, 4, 44)},
      // Light, so that targets tinted with it keep their colours.
      {0x2200003B, "textures/barrel_steel.txb", Make_Pattern(writers::Pattern::Stripes, 64, 0xFFF4F6F8, 0xFFD0D4DA, 6, 1)},
      {0x22000045, "textures/shell_casing.txb", Make_Pattern(writers::Pattern::Stripes, 64, 0xFFB08A3A, 0xFF6E5420, 4, 1)},
      {0x2200004F, "textures/tracer.txb", Make_Pattern(writers::Pattern::RadialGlow, 32, 0xFFFFF8C0, 0x00FFC040)},
      {0x22000052, "textures/muzzle_flash.txb", Make_Pattern(writers::Pattern::RadialGlow, 64, 0xFFFFFFD0, 0x00FF8000)},
      {0x2200005E, "textures/status_light.txb", Make_Pattern(writers::Pattern::RadialGlow, 32, 0xFFFFFFFF, 0x00FFFFFF)},
      {0x22000176, "textures/icon_spray.txb", Icon("SPRAY")},
      {0x22000177, "textures/icon_pulse.txb", Icon("PULSE")},
      {0x22000178, "textures/icon_bomb.txb", Icon("BOMB")},
      {0x2200017B, "textures/icon_laser.txb", Icon("LASER")},
      // The blast glow tints 0x2200010E, the speckled noise the screen effects share (family_effects).
  };
}

struct SoundDef {
  uint32_t id;
  const char* name;
  writers::SoundSpec spec;
};

writers::ToneLayer Layer(writers::Waveform wave, double start_hz, double end_hz, double seconds, double amplitude,
                         double decay, double lowpass = 0.0, uint32_t seed = 0) {
  writers::ToneLayer l;
  l.wave = wave;
  l.startHz = start_hz;
  l.endHz = end_hz;
  l.seconds = seconds;
  l.amplitude = amplitude;
  l.decay = decay;
  l.release = 0.02;
  l.lowpassHz = lowpass;
  l.seed = seed;
  return l;
}

writers::SoundSpec Sound(double seconds, std::vector<writers::ToneLayer> layers) {
  writers::SoundSpec s;
  s.rate = kEffectRate;
  s.seconds = seconds;
  s.layers = std::move(layers);
  return s;
}

std::vector<SoundDef> Sounds() {
  using writers::Waveform;
  return {
      // The blast: a deep rumble under a burst of noise.
      {0x22000172, "sounds/shell_blast.wav",
       Sound(0.9, {Layer(Waveform::Noise, 0, 0, 0.9, 0.7, 4, 900, 21), Layer(Waveform::Sine, 70, 28, 0.9, 0.6, 3)})},
      // The launcher's cradle locking into place: a light double tick.
      {0x2200016C, "sounds/cradle_armed.wav",
       Sound(0.12, {Layer(Waveform::Noise, 0, 0, 0.04, 0.5, 60, 6000, 23), Layer(Waveform::Square, 1800, 1400, 0.12, 0.2, 40)})},
      // The shell striking: a short metallic knock.
      {0x22000173, "sounds/shell_strike.wav",
       Sound(0.2, {Layer(Waveform::Noise, 0, 0, 0.2, 0.5, 20, 4000, 22), Layer(Waveform::Sine, 520, 300, 0.2, 0.4, 18)})},
  };
}

}  // namespace

void Add_Arsenal_Family(Manifest& manifest) {
  Add_Meshes(manifest, Meshes());
  Add_Coloured_Mesh_Resource(manifest, 0x22000054, "meshes/gauge_frame.rnd", kGauge_Frame_Colour, Gauge_Frame);
  Add_Coloured_Mesh_Resource(manifest, 0x22000055, "meshes/gauge_bar.rnd", kGauge_Halo_Colour, Gauge_Bar);
  Add_Textures(manifest, Textures(), kFormatArgb, kFlagsAlphaBlend);
  Add_Gauge_Ramp(manifest);
  Add_Panel_Texture(manifest);
  for (const SoundDef& sound : Sounds()) {
    ResourceEntry entry;
    entry.id = sound.id;
    entry.type = 3;
    entry.name = sound.name;
    const writers::SoundSpec spec = sound.spec;
    entry.generate = [spec](Bytes& out) { return writers::WriteWavSound(spec, out); };
    manifest.AddResource(std::move(entry));
  }
}

}  // namespace content
