// Loads arbitrary bytes as a music module through the player (no-sound device) and, when they
// load, drives the module a little: play, volume, amplify, pause, resume, stop, free.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio/bass.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = BASS_Init(0, 44100, 0, nullptr) != FALSE;
  if (!ready) __builtin_trap();
  if (size == 0) return 0;
  HMUSIC music = BASS_MusicLoad(TRUE, data, 0, static_cast<DWORD>(size), 0);
  if (!music) return 0;
  std::vector<int16_t> out(1024 * 2);
  BASS_ChannelSetAttributes(music, -1, 80, -1);
  BASS_MusicSetAmplify(music, 40);
  BASS_MusicPlay(music);
  for (int i = 0; i < 4; ++i) plat::Audio_Render(out.data(), 1024);
  BASS_ChannelPause(music);
  plat::Audio_Render(out.data(), 1024);
  BASS_ChannelResume(music);
  plat::Audio_Render(out.data(), 1024);
  BASS_ChannelIsActive(music);
  BASS_ChannelStop(music);
  BASS_MusicFree(music);
  return 0;
}
