#pragma once
// The music-and-samples player that the game calls: one output device at the rate given to
// BASS_Init, samples with per-sample voice limits, and tracker modules. Device -1 is the
// system's default output (SDL2); when it cannot be opened (no device, a busy one, no usable
// driver) the player says so once on stderr and runs silent: the mix is rendered into nothing
// at the output rate on the program's millisecond clock, so channels play, advance and end as
// they would with sound. Device 0 is "no sound": everything works but nothing is sent to a
// device, and plat::Audio_Render pulls the mix instead.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/system/win_types.h"

using HSAMPLE = DWORD;
using HCHANNEL = DWORD;
using HMUSIC = DWORD;

constexpr DWORD BASS_VERSION = 0x80001;  // 1.8

constexpr DWORD BASS_MUSIC_LOOP = 4;  // BASS_MusicLoad flag: repeat the module endlessly

constexpr DWORD BASS_ACTIVE_STOPPED = 0;
constexpr DWORD BASS_ACTIVE_PLAYING = 1;
constexpr DWORD BASS_ACTIVE_PAUSED = 3;

DWORD BASS_GetVersion();
BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND win);
BOOL BASS_Start();
BOOL BASS_Stop();
void BASS_Free();

// mem: file points at the bytes; otherwise file is a path. length 0 reads to the end of the
// file (a memory source needs a length).
HSAMPLE BASS_SampleLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD max, DWORD flags);
HCHANNEL BASS_SamplePlayEx(HSAMPLE handle, DWORD start, int freq, int volume, int pan, BOOL loop);
BOOL BASS_SampleStop(HSAMPLE handle);
void BASS_SampleFree(HSAMPLE handle);

HMUSIC BASS_MusicLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags);
BOOL BASS_MusicPlay(HMUSIC handle);
BOOL BASS_MusicSetAmplify(HMUSIC handle, DWORD amp);
void BASS_MusicFree(HMUSIC handle);

BOOL BASS_ChannelSetAttributes(DWORD handle, int freq, int volume, int pan);
DWORD BASS_ChannelIsActive(DWORD handle);
BOOL BASS_ChannelPause(DWORD handle);
BOOL BASS_ChannelResume(DWORD handle);
BOOL BASS_ChannelStop(DWORD handle);

namespace plat {

// Renders the next frames of the mix (interleaved 16-bit stereo) into out. Only when the
// player was started on device 0; with a real device (or the silent stand-in for one) the
// device pulls the mix itself.
bool Audio_Render(int16_t* out, size_t frames);

// Why the calling thread's last BASS_SampleLoad made no sample because of its bytes: what the
// WAV reader refused in them. Empty after a sample was made, and when the player could not take
// one for its own reasons (not started, no voices).
std::string Sample_Refusal();

}  // namespace plat
