// Feeds arbitrary bytes to the WAV reader and, when they read, plays them through the mixer.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio/mixer.h"
#include "platform/audio/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::Wav_Pcm pcm;
  if (!plat::Read_Wav(data, size, &pcm)) return 0;
  if (pcm.frames.size() != pcm.Frame_Count() * pcm.channels) __builtin_trap();

  static plat::Mixer mixer;
  static bool ready = mixer.Init(44100);
  if (!ready) __builtin_trap();
  uint32_t sample = mixer.Load_Sample(data, size, 2);
  if (!sample) return 0;
  // Loop at an odd rate, so the resampled data is read across its end.
  mixer.Play_Sample(sample, 0, -1, 100, 30, false);
  mixer.Play_Sample(sample, 0, 97000, 50, -30, true);
  std::vector<int16_t> out(2048 * 2);
  mixer.Render(out.data(), 2048);
  mixer.Free_Sample(sample);
  return 0;
}
