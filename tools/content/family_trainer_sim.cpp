// Sample content of the simulator screen: the frame pieces, corner brackets and their glow, the
// tiled backdrop, the screen's sounds (opening hum, launch, private-message chime, alert beep and
// the looping War Room alarm) and one preview picture per training simulation, each showing
// its title over a picture in its own colours.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "tools/content/manifest.h"
#include "tools/content/mesh_entry.h"
#include "tools/writers/mesh_generator.h"
#include "tools/writers/texture_patterns.h"
#include "tools/writers/wav_writer.h"

namespace content {

namespace {

constexpr int kEffectRate = 22050;

uint32_t Argb(double a, double r, double g, double b) {
  auto channel = [](double v) { return static_cast<uint32_t>(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5); };
  return (channel(a) << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

// ---------------------------------------------------------------------------------------------
// Meshes

void Append(writers::MeshGeometry& out, const writers::MeshGeometry& part, float dx, float dy, float dz) {
  const auto base = static_cast<uint16_t>(out.vertices.size());
  for (writers::MeshVertex v : part.vertices) {
    v.position[0] += dx;
    v.position[1] += dy;
    v.position[2] += dz;
    out.vertices.push_back(v);
  }
  for (uint16_t index : part.indices) out.indices.push_back(static_cast<uint16_t>(base + index));
}

// A joint of the screen frame: a square block with short bars along both screen axes, alike
// from every corner.
writers::MeshGeometry Frame_Piece() {
  writers::MeshGeometry out;
  Append(out, writers::MakeBox(3.0f, 3.0f, 3.0f), 0, 0, 0);
  Append(out, writers::MakeBox(14.0f, 0.8f, 1.0f), 0, 0, 0);
  Append(out, writers::MakeBox(0.8f, 10.0f, 1.0f), 0, 0, 0);
  return out;
}

// A corner bracket: an L of two flat bars from the corner, one along +z (the arm the screen
// stretches) and one along -y.
writers::MeshGeometry Bracket(float thickness) {
  writers::MeshGeometry out;
  Append(out, writers::MakeBox(thickness, thickness, 30.0f), 0, 0, 30.0f);
  Append(out, writers::MakeBox(thickness, 22.0f, thickness), 0, -22.0f, 0);
  return out;
}

// ---------------------------------------------------------------------------------------------
// Textures

writers::Picture Blank(uint32_t width, uint32_t height) {
  writers::Picture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.assign(size_t(width) * height, 0);
  return picture;
}

// A seamless tile of fine circuit lines over a dark blue ground; the backdrop repeats it.
bool Backdrop_Tile(writers::Picture& picture) {
  picture = Blank(64, 64);
  for (uint32_t y = 0; y < 64; ++y)
    for (uint32_t x = 0; x < 64; ++x) {
      const bool line = x % 16 == 0 || y % 16 == 0;
      const bool node = x % 16 <= 1 && y % 16 <= 1;
      const bool trace = (x + 8) % 32 == 0 && y % 32 < 20;
      double v = 0.35 + 0.05 * std::sin(x * 0.19) * std::cos(y * 0.23);
      if (line) v = 0.6;
      if (trace) v = 0.7;
      if (node) v = 1.0;
      picture.At(x, y) = Argb(0.55 + 0.45 * v, 0.45 * v, 0.5 * v, 0.85 * v);
    }
  return true;
}

struct Preview {
  uint32_t id;
  const char* title;
  writers::Pattern pattern;
  uint32_t colour_a, colour_b;
};

// One picture per simulation, in list order.
const Preview kPreviews[23] = {
    {0x220000e4, "This is the Beginning", writers::Pattern::Rings, 0xFF3070C0, 0xFF081830},
    {0x220000ea, "Elementary", writers::Pattern::Checker, 0xFF40A060, 0xFF103018},
    {0x22000146, "Horizon on Fire", writers::Pattern::Gradient, 0xFFFF8020, 0xFF401000},
    {0x22000102, "You, Me, Happy and Joy", writers::Pattern::Ribbons, 0xFFFFD040, 0xFF603080},
    {0x220000c5, "It Began in Africa", writers::Pattern::Stripes, 0xFFC08030, 0xFF402010},
    {0x220000ec, "Imagine", writers::Pattern::Noise, 0xFF80C0FF, 0xFF202060},
    {0x22000103, "Dance with Me", writers::Pattern::Rings, 0xFFFF60A0, 0xFF300820},
    {0x2200010b, "Someone to Hold", writers::Pattern::Gradient, 0xFFC080C0, 0xFF201030},
    {0x2200010d, "Quicksilver", writers::Pattern::Ribbons, 0xFFD0D8E0, 0xFF304050},
    {0x220000c4, "Virtual Wonders", writers::Pattern::Checker, 0xFF20E0E0, 0xFF102040},
    {0x22000112, "Nueva Space", writers::Pattern::Noise, 0xFF6040C0, 0xFF000010},
    {0x2200010f, "New York Lights", writers::Pattern::Stripes, 0xFFFFE080, 0xFF101020},
    {0x22000113, "Happy Dayz!", writers::Pattern::Ribbons, 0xFF80FF60, 0xFF206020},
    {0x22000115, "Never Trust a Klingon", writers::Pattern::Rings, 0xFFE03020, 0xFF200808},
    {0x22000119, "Silence", writers::Pattern::Gradient, 0xFF607080, 0xFF000000},
    {0x2200011a, "A Trance After Tranquility", writers::Pattern::Noise, 0xFF60C0B0, 0xFF103030},
    {0x2200011b, "Tune 4 Demo", writers::Pattern::Checker, 0xFFFFA040, 0xFF302010},
    {0x22000132, "Deeper Shores", writers::Pattern::Stripes, 0xFF3090D0, 0xFF002040},
    {0x2200012d, "Neverending Dream", writers::Pattern::Rings, 0xFFB080FF, 0xFF180830},
    {0x220000c3, "Kebab for the Maskar", writers::Pattern::Ribbons, 0xFFE0A060, 0xFF503010},
    {0x22000131, "NSME, Part 1", writers::Pattern::Noise, 0xFFA0A0A0, 0xFF202020},
    {0x22000133, "Oncoming Rythm", writers::Pattern::Stripes, 0xFFFF4040, 0xFF301010},
    {0x22000147, "The Unusual", writers::Pattern::Gradient, 0xFF900000, 0xFF20E040},
};

// The preview: its pattern, a dark band across the lower middle and the title in it.
bool Draw_Preview(const Preview& preview, writers::Picture& picture) {
  writers::PatternSpec ground;
  ground.pattern = preview.pattern;
  ground.width = 256;
  ground.height = 128;
  ground.color_a = preview.colour_a;
  ground.color_b = preview.colour_b;
  ground.count = 6;
  ground.seed = preview.id & 0xff;
  if (!writers::DrawPattern(ground, picture)) return false;
  writers::PatternSpec title;
  title.pattern = writers::Pattern::Text;
  title.width = 240;
  title.height = 40;
  title.color_a = 0xFFFFFFFF;
  title.color_b = 0x00000000;
  title.text = preview.title;
  writers::Picture text;
  if (!writers::DrawPattern(title, text)) return false;
  for (uint32_t y = 74; y < 122; ++y)
    for (uint32_t x = 0; x < picture.width; ++x) picture.At(x, y) = writers::MixColor(picture.At(x, y), 0xFF000000, 0.6);
  for (uint32_t y = 0; y < text.height; ++y)
    for (uint32_t x = 0; x < text.width; ++x) {
      const double alpha = static_cast<double>(text.At(x, y) >> 24) / 255.0;
      uint32_t& pixel = picture.At(x + 8, y + 78);
      pixel = writers::MixColor(pixel, 0xFFFFFFFF, alpha);
    }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Sounds

writers::ToneLayer Tone(writers::Waveform wave, double start_hz, double end_hz, double seconds, double amplitude,
                        double decay = 0.0, double start = 0.0) {
  writers::ToneLayer layer;
  layer.wave = wave;
  layer.startHz = start_hz;
  layer.endHz = end_hz;
  layer.seconds = seconds;
  layer.amplitude = amplitude;
  layer.decay = decay;
  layer.start = start;
  return layer;
}

writers::SoundSpec Sound(double seconds, std::vector<writers::ToneLayer> layers) {
  writers::SoundSpec spec;
  spec.rate = kEffectRate;
  spec.seconds = seconds;
  spec.layers = std::move(layers);
  return spec;
}

// The War Room alarm: a two-tone siren whose tones and tremolo complete whole cycles over its
// length and never fade, so it loops without a seam.
writers::SoundSpec Alarm_Loop() {
  const double seconds = 2.0;
  writers::ToneLayer high = Tone(writers::Waveform::Square, 880.0, 880.0, seconds, 0.18);
  writers::ToneLayer low = Tone(writers::Waveform::Triangle, 440.0, 440.0, seconds, 0.25);
  for (writers::ToneLayer* layer : {&high, &low}) {
    layer->attack = 0.0;
    layer->release = 0.0;
    layer->tremoloHz = 2.0;
    layer->tremoloDepth = 0.9;
  }
  return Sound(seconds, {high, low});
}

struct Sound_Def {
  uint32_t id;
  const char* name;
  writers::SoundSpec spec;
};

std::vector<Sound_Def> Sounds() {
  using writers::Waveform;
  return {
      {0x220000ed, "sounds/simulator_open.wav",
       Sound(0.7, {Tone(Waveform::Sine, 110, 220, 0.7, 0.4, 1.5), Tone(Waveform::Triangle, 220, 440, 0.7, 0.15, 2.0)})},
      {0x22000122, "sounds/private_message.wav",
       Sound(0.8, {Tone(Waveform::Sine, 1046.5, 1046.5, 0.5, 0.35, 5.0),
                   Tone(Waveform::Sine, 1568.0, 1568.0, 0.5, 0.3, 5.0, 0.25)})},
      {0x22000124, "sounds/alert_beep.wav",
       Sound(0.5, {Tone(Waveform::Square, 1200, 1200, 0.12, 0.25), Tone(Waveform::Square, 900, 900, 0.12, 0.25, 0, 0.2)})},
      {0x220001c7, "sounds/warroom_alarm_loop.wav", Alarm_Loop()},
  };
}

}  // namespace

void Add_Trainer_Sim_Family(Manifest& manifest) {
  // The pieces and brackets are drawn unlit and untextured: their vertex colour, a pale steel blue.
  constexpr uint32_t kSteel_Blue = 0xFFA8B8D8;
  Add_Coloured_Mesh_Resource(manifest, 0x22000066, "meshes/simulator/frame_piece.rnd", kSteel_Blue, Frame_Piece);
  Add_Coloured_Mesh_Resource(manifest, 0x22000067, "meshes/simulator/bracket.rnd", kSteel_Blue,
                             [] { return Bracket(0.9f); });
  Add_Mesh_Resource(manifest, 0x22000068, "meshes/simulator/bracket_glow.rnd", [] { return Bracket(2.2f); });
  Add_Drawn_Texture_Resource(manifest, 0x2200006a, "textures/simulator/backdrop.txb", 1, Backdrop_Tile);
  // 0x220000cf (the soft beam glow) and the confirm sound 0x220000e0 come with the report's content.
  for (const Preview& preview : kPreviews) {
    std::string name = "textures/simulator/preview_";
    for (const char* c = preview.title; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    const Preview* data = &preview;
    Add_Drawn_Texture_Resource(manifest, preview.id, name + ".txb", 1,
                               [data](writers::Picture& picture) { return Draw_Preview(*data, picture); });
  }
  for (const Sound_Def& sound : Sounds()) {
    ResourceEntry entry;
    entry.id = sound.id;
    entry.type = 3;
    entry.name = sound.name;
    entry.compress = true;
    const writers::SoundSpec spec = sound.spec;
    entry.generate = [spec](Bytes& out) { return writers::WriteWavSound(spec, out); };
    manifest.AddResource(std::move(entry));
  }
}

}  // namespace content
