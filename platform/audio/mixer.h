#pragma once
// The software mixer behind the player: decoded samples with their playing voices, and tracker
// modules rendered through libopenmpt, summed into interleaved stereo at one output rate.
// One lock guards everything the game thread and the audio callback share.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct openmpt_module;

namespace plat {

// Channel states answered by Channel_Is_Active.
constexpr uint32_t kChannelStopped = 0;
constexpr uint32_t kChannelPlaying = 1;
constexpr uint32_t kChannelPaused = 3;

// Attribute value that leaves the current setting (and, when playing a sample, its default).
constexpr int kKeepAttribute = -1;

constexpr uint32_t kDefaultAmplify = 50;
constexpr uint32_t kMaxAmplify = 100;

class Mixer {
 public:
  Mixer();
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  bool Init(int rate);  // fails when already initialised or the rate is out of range
  void Term();          // frees every sample, voice and module
  bool Is_Initialised();
  int Rate();

  // Samples: 16-bit PCM WAV bytes, copied and resampled to the output rate. Handles are 0 on
  // failure; when the bytes are at fault, `why` (when given) says what the WAV reader refused.
  // A play fails (0) when max_voices of the sample are already sounding.
  uint32_t Load_Sample(const void* data, size_t size, uint32_t max_voices, std::string* why = nullptr);
  uint32_t Play_Sample(uint32_t sample, uint32_t start, int freq, int volume, int pan, bool loop);
  bool Stop_Sample(uint32_t sample);  // stops every voice of the sample
  bool Free_Sample(uint32_t sample);
  uint32_t Voices_Playing(uint32_t sample);

  // Music: a tracker module; it plays once to its end unless loaded with loop set.
  uint32_t Load_Music(const void* data, size_t size, bool loop);
  bool Play_Music(uint32_t music);
  bool Set_Music_Amplify(uint32_t music, uint32_t amplify);  // 0..100, 50 is unity
  bool Free_Music(uint32_t music);

  // Channels: a voice handle from Play_Sample or a music handle. volume 0..100, pan -100..100,
  // freq in Hz (voices only); kKeepAttribute leaves a value as it is.
  bool Set_Channel_Attributes(uint32_t channel, int freq, int volume, int pan);
  uint32_t Channel_Is_Active(uint32_t channel);
  bool Pause_Channel(uint32_t channel);
  bool Resume_Channel(uint32_t channel);
  bool Stop_Channel(uint32_t channel);

  // Mixes the next frames of every playing voice and module into out (interleaved stereo),
  // overwriting it. Renders silence when not initialised.
  void Render(float* out, size_t frames);
  void Render(int16_t* out, size_t frames);

 private:
  struct Sample;
  struct Voice;
  struct Music;

  uint32_t Next_Handle(uint32_t kind);
  Sample* Find_Sample(uint32_t handle);
  Voice* Find_Voice(uint32_t handle);
  Music* Find_Music(uint32_t handle);
  void Remove_Voices_Of(uint32_t sample);
  void Render_Locked(float* out, size_t frames);
  bool Mix_Voice(Voice& voice, float* out, size_t frames);
  void Mix_Music(Music& music, float* out, size_t frames);
  void Free_All();

  std::mutex lock_;
  bool initialised_ = false;
  int rate_ = 0;
  uint32_t next_id_ = 0;
  std::vector<std::unique_ptr<Sample>> samples_;
  std::vector<Voice> voices_;
  std::vector<std::unique_ptr<Music>> musics_;
  std::vector<float> music_scratch_;
  std::vector<float> mix_scratch_;
};

}  // namespace plat
