// Sound effects (type 3, 16-bit PCM WAV) for every id the start-up plays or preloads, the menu
// ambience loop, and one music module. Each sound is synthesized from a few layers with a
// length that suits its use: clicks of a few hundredths of a second, impacts and shots of a
// fraction of a second, callouts of about a second, and an ambience that loops without a seam.
#include <cstdint>
#include <vector>

#include "tools/content/manifest.h"
#include "tools/writers/mod_writer.h"
#include "tools/writers/wav_writer.h"

namespace content {
namespace {

using writers::SoundSpec;
using writers::ToneLayer;
using writers::Waveform;

constexpr int kEffectRate = 22050;

struct SoundDef {
  uint32_t id;
  const char* name;
  SoundSpec spec;
};

ToneLayer Tone(Waveform wave, double start_hz, double end_hz, double seconds, double amplitude,
               double decay = 0.0, double start = 0.0) {
  ToneLayer l;
  l.wave = wave;
  l.startHz = start_hz;
  l.endHz = end_hz;
  l.seconds = seconds;
  l.amplitude = amplitude;
  l.decay = decay;
  l.start = start;
  l.release = seconds < 0.05 ? seconds / 4 : 0.02;
  return l;
}

ToneLayer Noise(double seconds, double amplitude, double lowpass_hz, double decay, uint32_t seed,
                double start = 0.0) {
  ToneLayer l = Tone(Waveform::Noise, 0.0, 0.0, seconds, amplitude, decay, start);
  l.lowpassHz = lowpass_hz;
  l.seed = seed;
  return l;
}

SoundSpec Sound(double seconds, std::vector<ToneLayer> layers) {
  SoundSpec s;
  s.rate = kEffectRate;
  s.seconds = seconds;
  s.layers = std::move(layers);
  return s;
}

// A rising arpeggio of bell-like notes: the callouts that crown a scoring feat.
SoundSpec Chime(std::vector<double> notes_hz, double step, double ring) {
  std::vector<ToneLayer> layers;
  for (size_t i = 0; i < notes_hz.size(); ++i) {
    layers.push_back(Tone(Waveform::Sine, notes_hz[i], notes_hz[i], ring, 0.35, 4.0, i * step));
    layers.push_back(Tone(Waveform::Triangle, notes_hz[i] * 2, notes_hz[i] * 2, ring, 0.1, 6.0, i * step));
  }
  return Sound(step * (notes_hz.size() - 1) + ring, std::move(layers));
}

// The menu ambience: every partial and modulation completes whole cycles over the length, and
// nothing fades, so the last frame runs straight into the first.
SoundSpec Ambience() {
  const double seconds = 8.0;
  std::vector<ToneLayer> layers;
  struct Partial {
    double hz, amplitude, tremolo_hz;
  } partials[] = {{55.0, 0.22, 0.125}, {82.5, 0.16, 0.25}, {110.0, 0.12, 0.375}, {137.5, 0.07, 0.5}, {220.0, 0.05, 0.125}};
  for (const Partial& p : partials) {
    ToneLayer l = Tone(Waveform::Sine, p.hz, p.hz, seconds, p.amplitude);
    l.attack = 0.0;
    l.release = 0.0;
    l.tremoloHz = p.tremolo_hz;
    l.tremoloDepth = 0.5;
    layers.push_back(l);
  }
  return Sound(seconds, std::move(layers));
}

std::vector<SoundDef> Sound_Table() {
  const Waveform kSine = Waveform::Sine, kSquare = Waveform::Square, kTri = Waveform::Triangle,
                 kSaw = Waveform::Saw;
  return {
      // The closings of a War Room mission: the source found, the site cleared, the shields lost.
      {0x220001CA, "sounds/meteorite_found.wav", Chime({523.25, 659.25, 783.99, 1046.5, 1318.5}, 0.11, 0.9)},
      {0x22000127, "sounds/site_cleared.wav", Chime({659.25, 880.0, 1318.5}, 0.13, 0.7)},
      // The War Room's orders coming in: two short radio pips.
      {0x220001C9, "sounds/orders_incoming.wav",
       Sound(0.45, {Tone(kSquare, 1320, 1320, 0.12, 0.3, 30), Tone(kSquare, 1760, 1760, 0.12, 0.3, 30, 0.2),
                    Noise(0.4, 0.08, 3000, 4, 41)})},
      // Entering an infested site: a falling alarm over static.
      {0x2200011C, "sounds/infested_site.wav",
       Sound(0.9, {Tone(kSquare, 880, 440, 0.35, 0.25, 3), Tone(kSquare, 880, 440, 0.35, 0.25, 3, 0.45),
                   Noise(0.9, 0.12, 2500, 2, 43)})},
      // The infection source found: a deep pulse under a rising warble.
      {0x22000121, "sounds/source_found.wav",
       Sound(1.3, {Tone(kSine, 55, 45, 1.3, 0.45, 1.2), Tone(kSaw, 330, 990, 1.1, 0.18, 1.5, 0.1),
                   Noise(0.5, 0.15, 800, 5, 47)})},
      {0x220001C8, "sounds/shields_breached.wav",
       Sound(1.2, {Tone(kSaw, 440, 110, 1.2, 0.3, 1.5), Tone(kSquare, 220, 55, 1.2, 0.2, 1.5),
                   Noise(0.5, 0.3, 900, 5, 31)})},
      // Interface sounds.
      {0x220000DB, "sounds/startup_click.wav",
       Sound(0.22, {Tone(kSquare, 1200, 1200, 0.02, 0.4, 60), Tone(kSine, 400, 1600, 0.2, 0.4, 6, 0.02)})},
      {0x220000DC, "sounds/key_click.wav", Sound(0.03, {Tone(kSquare, 2400, 1800, 0.03, 0.35, 120)})},
      {0x220000DF, "sounds/text_tick.wav", Sound(0.015, {Tone(kTri, 3200, 3200, 0.015, 0.3, 200)})},
      {0x220000DD, "sounds/error_buzz.wav",
       Sound(0.28, {Tone(kSquare, 110, 104, 0.28, 0.3), Tone(kSaw, 165, 160, 0.28, 0.15)})},
      // A panel opening: a low swell under two soft notes.
      {0x220000DE, "sounds/panel_open.wav",
       Sound(0.6, {Tone(kSine, 220, 330, 0.6, 0.25, 3), Tone(kSine, 784, 784, 0.3, 0.25, 8, 0.1),
                   Tone(kSine, 1046.5, 1046.5, 0.35, 0.2, 7, 0.25)})},
      // A choice confirmed: a short rising blip.
      {0x220000E0, "sounds/confirm_blip.wav",
       Sound(0.12, {Tone(kSquare, 900, 1350, 0.06, 0.3, 40), Tone(kSine, 1350, 1800, 0.1, 0.25, 30, 0.03)})},
      {0x2200016A, "sounds/dry_click.wav", Sound(0.025, {Noise(0.025, 0.5, 5000, 150, 3)})},
      {0x2200012C, "sounds/points_commit.wav",
       Sound(0.5, {Tone(kSine, 1319, 1319, 0.2, 0.35, 8), Tone(kSine, 1760, 1760, 0.35, 0.35, 6, 0.12)})},
      // Weapons and launches.
      {0x220000E1, "sounds/launch_whoosh.wav",
       Sound(0.55, {Noise(0.55, 0.5, 1800, 3, 5), Tone(kSine, 200, 600, 0.5, 0.2, 4)})},
      {0x220000EE, "sounds/gun_shot.wav",
       Sound(0.22, {Noise(0.2, 0.6, 3000, 18, 7), Tone(kSine, 180, 60, 0.22, 0.5, 14)})},
      {0x220000F6, "sounds/cannon_boom.wav",
       Sound(0.45, {Noise(0.45, 0.6, 700, 8, 9), Tone(kSine, 90, 35, 0.45, 0.5, 7)})},
      {0x22000156, "sounds/bullet_zip.wav", Sound(0.15, {Tone(kSaw, 2200, 500, 0.15, 0.3, 12)})},
      {0x2200014A, "sounds/laser_zap.wav",
       Sound(0.2, {Tone(kSquare, 1800, 300, 0.2, 0.3, 8), Tone(kSine, 3600, 600, 0.2, 0.15, 10)})},
      {0x22000179, "sounds/energy_pulse.wav",
       Sound(0.9, {Noise(0.9, 0.45, 7000, 4, 51), Tone(kSaw, 60, 240, 0.5, 0.25, 3),
                   Tone(kSquare, 1600, 400, 0.6, 0.15, 6, 0.05)})},
      {0x2200017A, "sounds/smart_bomb.wav",
       Sound(1.4, {Tone(kSine, 70, 30, 1.4, 0.6, 2), Noise(1.2, 0.5, 900, 2.5, 53),
                   Tone(kSaw, 300, 80, 0.8, 0.15, 4, 0.05)})},
      {0x2200014E, "sounds/missile_launch.wav",
       Sound(0.6, {Noise(0.6, 0.45, 1200, 2.5, 13), Tone(kSaw, 120, 240, 0.6, 0.12, 3)})},
      {0x2200015E, "sounds/charge_hum.wav",
       Sound(0.7, {Tone(kSaw, 80, 320, 0.7, 0.25), Tone(kSine, 160, 640, 0.7, 0.2)})},
      {0x22000169, "sounds/crackle_low.wav",
       Sound(0.3, {Noise(0.3, 0.5, 6000, 10, 17), Tone(kSquare, 70, 50, 0.3, 0.15, 10)})},
      {0x2200016B, "sounds/crackle_high.wav",
       Sound(0.4, {Noise(0.4, 0.5, 9000, 7, 19), Tone(kSaw, 900, 400, 0.4, 0.12, 8)})},
      // Hits, smashes and deaths.
      {0x220000FB, "sounds/blob_hit.wav",
       Sound(0.3, {Tone(kSine, 300, 120, 0.3, 0.5, 10), Noise(0.1, 0.3, 2500, 30, 21)})},
      {0x220000F0, "sounds/bar_ping.wav",
       Sound(0.4, {Tone(kSquare, 880, 880, 0.4, 0.25, 9), Tone(kSine, 1760, 1760, 0.4, 0.2, 12)})},
      {0x220000F1, "sounds/box_smash.wav",
       Sound(0.5, {Noise(0.5, 0.65, 4000, 7, 23), Tone(kSquare, 140, 90, 0.3, 0.2, 12)})},
      {0x220000F2, "sounds/sparkle_death.wav",
       Sound(0.4, {Tone(kSine, 900, 2700, 0.4, 0.35, 5), Tone(kTri, 1350, 4000, 0.4, 0.15, 5)})},
      {0x220000F3, "sounds/bullseye_bell.wav",
       Sound(0.6, {Tone(kSine, 1568, 1568, 0.6, 0.4, 5), Tone(kSine, 3136, 3136, 0.6, 0.15, 8)})},
      {0x220000F4, "sounds/board_thud.wav",
       Sound(0.25, {Tone(kSine, 160, 90, 0.25, 0.55, 14), Noise(0.06, 0.25, 1500, 40, 25)})},
      {0x220000F5, "sounds/ball_pop.wav", Sound(0.2, {Tone(kSine, 700, 250, 0.2, 0.5, 16)})},
      {0x220000F7, "sounds/hit_blip.wav", Sound(0.15, {Tone(kSquare, 1047, 1047, 0.15, 0.3, 14)})},
      {0x220000F9, "sounds/leaf_rustle.wav", Sound(0.3, {Noise(0.3, 0.45, 2200, 9, 27)})},
      {0x22000159, "sounds/roll_rumble.wav",
       Sound(0.5, {Noise(0.5, 0.5, 400, 3, 29), Tone(kTri, 60, 45, 0.5, 0.3, 3)})},
      {0x220000F8, "sounds/explosion.wav",
       Sound(0.8, {Noise(0.8, 0.7, 1500, 4.5, 31), Tone(kSine, 70, 30, 0.8, 0.5, 4)})},
      {0x2200014F, "sounds/impact.wav",
       Sound(0.35, {Noise(0.35, 0.55, 2500, 11, 33), Tone(kSine, 120, 60, 0.35, 0.4, 10)})},
      // Score callouts, each a different little fanfare.
      {0x2200011D, "sounds/callout_link3.wav", Chime({523, 659, 784}, 0.1, 0.35)},
      {0x2200011E, "sounds/callout_link6.wav", Chime({587, 740, 880, 1175}, 0.09, 0.4)},
      {0x2200011F, "sounds/callout_link12.wav", Chime({659, 831, 988, 1319, 1661}, 0.09, 0.5)},
      {0x220000EF, "sounds/callout_streak.wav", Chime({392, 523, 392, 659, 784}, 0.12, 0.45)},
      {0x22000123, "sounds/callout_quick.wav", Chime({1047, 1319}, 0.07, 0.55)},
      {0x220000FC, "sounds/callout_target.wav", Chime({440, 554, 659, 880}, 0.15, 0.5)},
      {0x2200012B, "sounds/callout_multi.wav", Chime({784, 784, 988, 1175}, 0.1, 0.45)},
      {0x22000125, "sounds/callout_bonus.wav", Chime({349, 440, 523, 698, 880}, 0.13, 0.55)},
      {0x220000FA, "sounds/callout_perfect.wav", Chime({262, 330, 392, 523, 659, 784, 1047}, 0.15, 0.7)},
      // Score marks passed, and the chain lost to a hit or committed in a mission.
      {0x22000128, "sounds/callout_mark_10th.wav", Chime({392, 494, 587, 784}, 0.11, 0.5)},
      {0x22000129, "sounds/callout_mark_2nd.wav", Chime({440, 554, 659, 880, 1109}, 0.11, 0.55)},
      {0x22000126, "sounds/callout_mark_3rd.wav", Chime({415, 523, 622, 831}, 0.12, 0.55)},
      {0x2200012A, "sounds/callout_mark_1st.wav", Chime({523, 659, 784, 1047, 1319, 1568}, 0.12, 0.7)},
      {0x220001CE, "sounds/points_lost.wav",
       Sound(0.45, {Tone(kSaw, 440, 110, 0.45, 0.3, 5), Tone(kSquare, 220, 70, 0.45, 0.15, 6)})},
      {0x220001CD, "sounds/points_commit_mission.wav",
       Sound(0.4, {Tone(kSine, 988, 988, 0.2, 0.35, 8), Tone(kSine, 1480, 1480, 0.3, 0.3, 7, 0.1)})},
      // Looped by the menus.
      {0x220000FD, "sounds/menu_ambience.wav", Ambience()},
  };
}

// A music module for the player and its tests; the simulations bring their own later.
constexpr uint32_t kDemoMusicId = 0x2200018E;
constexpr double kDemoMusicSeconds = 139.0;

}  // namespace

void Add_Sounds_Family(Manifest& manifest) {
  for (const SoundDef& def : Sound_Table()) {
    ResourceEntry entry;
    entry.id = def.id;
    entry.type = 3;
    entry.name = def.name;
    entry.compress = true;
    SoundSpec spec = def.spec;
    entry.generate = [spec](Bytes& out) { return writers::WriteWavSound(spec, out); };
    manifest.AddResource(std::move(entry));
  }
  ResourceEntry music;
  music.id = kDemoMusicId;
  music.type = 0;
  music.name = "music/tune_4_demo.mod";
  music.compress = false;
  music.generate = [](Bytes& out) {
    writers::ModSpec spec;
    spec.title = "Tune 4 Demo";
    spec.seconds = kDemoMusicSeconds;
    spec.seed = kDemoMusicId;
    return writers::WriteMod(spec, out);
  };
  manifest.AddResource(std::move(music));
}

}  // namespace content
