#include "platform/audio/mixer.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>

#include "platform/audio/wav_reader.h"

namespace plat {
namespace {

constexpr uint32_t kKindSample = 1;
constexpr uint32_t kKindVoice = 2;
constexpr uint32_t kKindMusic = 3;
constexpr uint32_t kIdMask = 0x0FFFFFFF;

constexpr int kMinOutputRate = 8000;
constexpr int kMaxOutputRate = 192000;
constexpr int kMinVoiceFreq = 100;
constexpr int kMaxVoiceFreq = 100000;
constexpr size_t kChunkFrames = 1024;
constexpr size_t kMaxModuleBytes = 64u << 20;

uint32_t Kind_Of(uint32_t handle) { return handle >> 28; }

// Linear-interpolation resampling of interleaved 16-bit frames to floats at another rate.
std::vector<float> Resample(const Wav_Pcm& pcm, int to_rate) {
  const size_t in_frames = pcm.Frame_Count();
  const int ch = pcm.channels;
  size_t out_frames = static_cast<size_t>(
      static_cast<uint64_t>(in_frames) * static_cast<uint64_t>(to_rate) / static_cast<uint64_t>(pcm.rate));
  out_frames = std::max<size_t>(out_frames, 1);
  std::vector<float> out(out_frames * ch);
  const double ratio = static_cast<double>(pcm.rate) / to_rate;
  constexpr float kScale = 1.0f / 32768.0f;
  for (size_t i = 0; i < out_frames; ++i) {
    double src = i * ratio;
    size_t i0 = std::min(static_cast<size_t>(src), in_frames - 1);
    size_t i1 = std::min(i0 + 1, in_frames - 1);
    float frac = static_cast<float>(src - static_cast<double>(i0));
    for (int c = 0; c < ch; ++c) {
      float a = pcm.frames[i0 * ch + c] * kScale;
      float b = pcm.frames[i1 * ch + c] * kScale;
      out[i * ch + c] = a + (b - a) * frac;
    }
  }
  return out;
}

// Balance panning: the far side fades out, the near side stays at full level.
void Pan_Gains(int volume, int pan, float* left, float* right) {
  float v = static_cast<float>(volume) / 100.0f;
  *left = v * std::min(1.0f, static_cast<float>(100 - pan) / 100.0f);
  *right = v * std::min(1.0f, static_cast<float>(100 + pan) / 100.0f);
}

}  // namespace

struct Mixer::Sample {
  uint32_t handle = 0;
  int channels = 1;
  int source_rate = 0;
  uint32_t max_voices = 1;
  size_t frame_count = 0;
  std::vector<float> frames;
};

struct Mixer::Voice {
  uint32_t handle = 0;
  const Sample* sample = nullptr;
  double pos = 0.0;
  double step = 1.0;
  int volume = 100;
  int pan = 0;
  float gain_left = 1.0f;
  float gain_right = 1.0f;
  bool loop = false;
  bool paused = false;
};

struct Mixer::Music {
  uint32_t handle = 0;
  openmpt_module* module = nullptr;
  uint32_t state = kChannelStopped;
  bool ended = false;
  int volume = 100;
  int pan = 0;
  uint32_t amplify = kDefaultAmplify;
  ~Music() {
    if (module) openmpt_module_destroy(module);
  }
};

Mixer::Mixer() = default;
Mixer::~Mixer() { Term(); }

bool Mixer::Init(int rate) {
  std::lock_guard<std::mutex> guard(lock_);
  if (initialised_ || rate < kMinOutputRate || rate > kMaxOutputRate) return false;
  rate_ = rate;
  music_scratch_.assign(kChunkFrames * 2, 0.0f);
  mix_scratch_.assign(kChunkFrames * 2, 0.0f);
  initialised_ = true;
  return true;
}

void Mixer::Term() {
  std::vector<std::unique_ptr<Music>> doomed;
  {
    std::lock_guard<std::mutex> guard(lock_);
    voices_.clear();
    samples_.clear();
    doomed.swap(musics_);
    initialised_ = false;
  }
}

bool Mixer::Is_Initialised() {
  std::lock_guard<std::mutex> guard(lock_);
  return initialised_;
}

int Mixer::Rate() {
  std::lock_guard<std::mutex> guard(lock_);
  return rate_;
}

uint32_t Mixer::Next_Handle(uint32_t kind) {
  next_id_ = (next_id_ + 1) & kIdMask;
  if (next_id_ == 0) next_id_ = 1;
  return (kind << 28) | next_id_;
}

Mixer::Sample* Mixer::Find_Sample(uint32_t handle) {
  if (Kind_Of(handle) != kKindSample) return nullptr;
  for (auto& s : samples_)
    if (s->handle == handle) return s.get();
  return nullptr;
}

Mixer::Voice* Mixer::Find_Voice(uint32_t handle) {
  if (Kind_Of(handle) != kKindVoice) return nullptr;
  for (auto& v : voices_)
    if (v.handle == handle) return &v;
  return nullptr;
}

Mixer::Music* Mixer::Find_Music(uint32_t handle) {
  if (Kind_Of(handle) != kKindMusic) return nullptr;
  for (auto& m : musics_)
    if (m->handle == handle) return m.get();
  return nullptr;
}

uint32_t Mixer::Load_Sample(const void* data, size_t size, uint32_t max_voices, std::string* why) {
  if (max_voices == 0) return 0;
  int rate = Rate();
  if (rate == 0) return 0;
  Wav_Pcm pcm;
  if (!Read_Wav(data, size, &pcm, why)) return 0;
  auto sample = std::make_unique<Sample>();
  sample->channels = pcm.channels;
  sample->source_rate = pcm.rate;
  sample->max_voices = max_voices;
  sample->frames = Resample(pcm, rate);
  sample->frame_count = sample->frames.size() / pcm.channels;

  std::lock_guard<std::mutex> guard(lock_);
  if (!initialised_ || rate_ != rate) return 0;
  sample->handle = Next_Handle(kKindSample);
  samples_.push_back(std::move(sample));
  return samples_.back()->handle;
}

uint32_t Mixer::Voices_Playing(uint32_t sample) {
  std::lock_guard<std::mutex> guard(lock_);
  const Sample* s = Find_Sample(sample);
  return s ? static_cast<uint32_t>(std::count_if(voices_.begin(), voices_.end(),
                                                 [s](const Voice& v) { return v.sample == s; }))
           : 0;
}

uint32_t Mixer::Play_Sample(uint32_t sample, uint32_t start, int freq, int volume, int pan, bool loop) {
  std::lock_guard<std::mutex> guard(lock_);
  Sample* s = Find_Sample(sample);
  if (!s) return 0;
  size_t busy = std::count_if(voices_.begin(), voices_.end(), [s](const Voice& v) { return v.sample == s; });
  if (busy >= s->max_voices) return 0;

  Voice voice;
  voice.sample = s;
  voice.volume = volume == kKeepAttribute ? 100 : std::clamp(volume, 0, 100);
  voice.pan = pan == kKeepAttribute ? 0 : std::clamp(pan, -100, 100);
  int play_freq = freq == kKeepAttribute ? s->source_rate : std::clamp(freq, kMinVoiceFreq, kMaxVoiceFreq);
  voice.step = static_cast<double>(play_freq) / s->source_rate;
  // start is a byte offset into the sample as it was stored (16-bit frames at its own rate).
  double start_frame = static_cast<double>(start / (2u * s->channels)) * rate_ / s->source_rate;
  if (start_frame >= static_cast<double>(s->frame_count)) return 0;
  voice.pos = start_frame;
  voice.loop = loop;
  Pan_Gains(voice.volume, voice.pan, &voice.gain_left, &voice.gain_right);
  voice.handle = Next_Handle(kKindVoice);
  voices_.push_back(voice);
  return voice.handle;
}

void Mixer::Remove_Voices_Of(uint32_t sample) {
  std::erase_if(voices_, [sample](const Voice& v) { return v.sample->handle == sample; });
}

bool Mixer::Stop_Sample(uint32_t sample) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!Find_Sample(sample)) return false;
  Remove_Voices_Of(sample);
  return true;
}

bool Mixer::Free_Sample(uint32_t sample) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!Find_Sample(sample)) return false;
  Remove_Voices_Of(sample);
  std::erase_if(samples_, [sample](const std::unique_ptr<Sample>& s) { return s->handle == sample; });
  return true;
}

uint32_t Mixer::Load_Music(const void* data, size_t size, bool loop) {
  if (!data || size == 0 || size > kMaxModuleBytes || !Is_Initialised()) return 0;
  openmpt_module* module = openmpt_module_create_from_memory2(
      data, size, openmpt_log_func_silent, nullptr, openmpt_error_func_ignore, nullptr, nullptr, nullptr, nullptr);
  if (!module) return 0;
  auto music = std::make_unique<Music>();
  music->module = module;
  openmpt_module_set_repeat_count(module, loop ? -1 : 0);

  std::lock_guard<std::mutex> guard(lock_);
  if (!initialised_) return 0;
  music->handle = Next_Handle(kKindMusic);
  musics_.push_back(std::move(music));
  return musics_.back()->handle;
}

bool Mixer::Play_Music(uint32_t music) {
  std::lock_guard<std::mutex> guard(lock_);
  Music* m = Find_Music(music);
  if (!m) return false;
  if (m->ended) {
    openmpt_module_set_position_seconds(m->module, 0.0);
    m->ended = false;
  }
  m->state = kChannelPlaying;
  return true;
}

bool Mixer::Set_Music_Amplify(uint32_t music, uint32_t amplify) {
  std::lock_guard<std::mutex> guard(lock_);
  Music* m = Find_Music(music);
  if (!m) return false;
  m->amplify = std::min(amplify, kMaxAmplify);
  return true;
}

bool Mixer::Free_Music(uint32_t music) {
  std::unique_ptr<Music> doomed;
  std::lock_guard<std::mutex> guard(lock_);
  auto it = std::find_if(musics_.begin(), musics_.end(),
                         [music](const std::unique_ptr<Music>& m) { return m->handle == music; });
  if (it == musics_.end()) return false;
  doomed = std::move(*it);
  musics_.erase(it);
  return true;
}

bool Mixer::Set_Channel_Attributes(uint32_t channel, int freq, int volume, int pan) {
  std::lock_guard<std::mutex> guard(lock_);
  if (Voice* v = Find_Voice(channel)) {
    if (freq != kKeepAttribute)
      v->step = static_cast<double>(std::clamp(freq, kMinVoiceFreq, kMaxVoiceFreq)) / v->sample->source_rate;
    if (volume != kKeepAttribute) v->volume = std::clamp(volume, 0, 100);
    if (pan != kKeepAttribute) v->pan = std::clamp(pan, -100, 100);
    Pan_Gains(v->volume, v->pan, &v->gain_left, &v->gain_right);
    return true;
  }
  if (Music* m = Find_Music(channel)) {
    // A module keeps its own pitch: the frequency has no meaning for it and is ignored.
    if (volume != kKeepAttribute) m->volume = std::clamp(volume, 0, 100);
    if (pan != kKeepAttribute) m->pan = std::clamp(pan, -100, 100);
    return true;
  }
  return false;
}

uint32_t Mixer::Channel_Is_Active(uint32_t channel) {
  std::lock_guard<std::mutex> guard(lock_);
  if (Voice* v = Find_Voice(channel)) return v->paused ? kChannelPaused : kChannelPlaying;
  if (Music* m = Find_Music(channel)) return m->state;
  return kChannelStopped;
}

bool Mixer::Pause_Channel(uint32_t channel) {
  std::lock_guard<std::mutex> guard(lock_);
  if (Voice* v = Find_Voice(channel)) {
    if (v->paused) return false;
    v->paused = true;
    return true;
  }
  Music* m = Find_Music(channel);
  if (!m || m->state != kChannelPlaying) return false;
  m->state = kChannelPaused;
  return true;
}

bool Mixer::Resume_Channel(uint32_t channel) {
  std::lock_guard<std::mutex> guard(lock_);
  if (Voice* v = Find_Voice(channel)) {
    if (!v->paused) return false;
    v->paused = false;
    return true;
  }
  Music* m = Find_Music(channel);
  if (!m || m->state != kChannelPaused) return false;
  m->state = kChannelPlaying;
  return true;
}

bool Mixer::Stop_Channel(uint32_t channel) {
  std::lock_guard<std::mutex> guard(lock_);
  if (Find_Voice(channel)) {
    std::erase_if(voices_, [channel](const Voice& v) { return v.handle == channel; });
    return true;
  }
  Music* m = Find_Music(channel);
  if (!m) return false;
  m->state = kChannelStopped;
  return true;
}

bool Mixer::Mix_Voice(Voice& voice, float* out, size_t frames) {
  const Sample& s = *voice.sample;
  const size_t n = s.frame_count;
  const float* d = s.frames.data();
  const double length = static_cast<double>(n);
  for (size_t i = 0; i < frames; ++i) {
    if (voice.pos >= length) {
      if (!voice.loop) return false;
      voice.pos = std::fmod(voice.pos, length);
    }
    size_t i0 = static_cast<size_t>(voice.pos);
    size_t i1 = i0 + 1 < n ? i0 + 1 : (voice.loop ? 0 : i0);
    float frac = static_cast<float>(voice.pos - static_cast<double>(i0));
    float left, right;
    if (s.channels == 1) {
      left = right = d[i0] + (d[i1] - d[i0]) * frac;
    } else {
      left = d[i0 * 2] + (d[i1 * 2] - d[i0 * 2]) * frac;
      right = d[i0 * 2 + 1] + (d[i1 * 2 + 1] - d[i0 * 2 + 1]) * frac;
    }
    out[i * 2] += left * voice.gain_left;
    out[i * 2 + 1] += right * voice.gain_right;
    voice.pos += voice.step;
    // A one-shot voice frees its slot as soon as its last frame has sounded.
    if (!voice.loop && voice.pos >= length) return false;
  }
  return true;
}

void Mixer::Mix_Music(Music& music, float* out, size_t frames) {
  float gain_left, gain_right;
  Pan_Gains(music.volume, music.pan, &gain_left, &gain_right);
  const float amp = static_cast<float>(music.amplify) / static_cast<float>(kDefaultAmplify);
  gain_left *= amp;
  gain_right *= amp;
  size_t done = 0;
  while (done < frames) {
    size_t want = std::min(frames - done, kChunkFrames);
    size_t got = openmpt_module_read_interleaved_float_stereo(music.module, rate_, want, music_scratch_.data());
    for (size_t i = 0; i < got; ++i) {
      out[(done + i) * 2] += music_scratch_[i * 2] * gain_left;
      out[(done + i) * 2 + 1] += music_scratch_[i * 2 + 1] * gain_right;
    }
    done += got;
    if (got < want) {
      music.state = kChannelStopped;
      music.ended = true;
      return;
    }
  }
}

void Mixer::Render_Locked(float* out, size_t frames) {
  std::fill(out, out + frames * 2, 0.0f);
  if (!initialised_) return;
  for (auto& m : musics_)
    if (m->state == kChannelPlaying) Mix_Music(*m, out, frames);
  std::erase_if(voices_, [&](Voice& v) { return !v.paused && !Mix_Voice(v, out, frames); });
}

void Mixer::Render(float* out, size_t frames) {
  std::lock_guard<std::mutex> guard(lock_);
  Render_Locked(out, frames);
}

void Mixer::Render(int16_t* out, size_t frames) {
  std::lock_guard<std::mutex> guard(lock_);
  if (mix_scratch_.size() < kChunkFrames * 2) mix_scratch_.assign(kChunkFrames * 2, 0.0f);
  size_t done = 0;
  while (done < frames) {
    size_t n = std::min(frames - done, kChunkFrames);
    Render_Locked(mix_scratch_.data(), n);
    for (size_t i = 0; i < n * 2; ++i) {
      float v = std::clamp(mix_scratch_[i], -1.0f, 1.0f);
      out[done * 2 + i] = static_cast<int16_t>(std::lrint(v * 32767.0f));
    }
    done += n;
  }
}

}  // namespace plat
