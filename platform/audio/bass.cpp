#include "platform/audio/bass.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/mixer.h"
#include "platform/system/clock.h"
#include "platform/system/debug.h"
#include "platform/system/files.h"

namespace {

constexpr int kDeviceDefault = -1;
constexpr int kDeviceNoSound = 0;
constexpr uint16_t kDeviceBufferFrames = 1024;
constexpr long kMaxFileBytes = 256L << 20;
constexpr size_t kSinkChunkFrames = 4096;
// The most a silent sink renders at once: a clock that jumps (a test clock put back) does not
// make it render hours of sound.
constexpr uint32_t kSinkMaxCatchUpMs = 10 * 60 * 1000;

// Where the mix goes when no output device could be opened: into nothing, at the rate the
// device would have taken it, measured on the program's millisecond clock. Every call into the
// player first renders the time that has passed since the last one, so samples end, modules
// advance and stop, and channels answer as they would with sound.
struct Silent_Sink {
  std::mutex lock;
  bool running = false;  // between BASS_Start and BASS_Stop, as a device plays
  uint32_t stamp_ms = 0;
  uint64_t pending = 0;  // frames x 1000 not yet rendered (below one frame)
  std::vector<int16_t> scratch;
};

struct Player {
  plat::Mixer mixer;
  bool initialised = false;
  bool has_device = false;
  std::atomic<bool> silent{false};  // started on the default device, but none could be opened
  Silent_Sink sink;
  SDL_AudioDeviceID device = 0;
  // A player left running at exit stops its device before the mix goes away.
  ~Player() {
    if (has_device) SDL_CloseAudioDevice(device);
  }
};

Player& The_Player() {
  static Player player;
  return player;
}

void SDLCALL Fill_Device(void* user, Uint8* stream, int len) {
  auto* mixer = static_cast<plat::Mixer*>(user);
  mixer->Render(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(len) / (2 * sizeof(int16_t)));
}

// ALSA prints lines of its own on stderr while SDL looks for a device on a machine without a
// sound card; what SDL then says is reported once instead. The library, when there is one, is
// the one SDL loads, so its error handler is set before SDL opens it.
void ALSA_Silent_Handler(const char*, int, const char*, int, const char*, ...) {}

void Quiet_ALSA() {
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (!library) return;
  auto set_handler = reinterpret_cast<int (*)(Handler)>(dlsym(library, "snd_lib_error_set_handler"));
  if (set_handler) set_handler(ALSA_Silent_Handler);
  // The library stays loaded, so the handler stays in force while SDL uses it.
}

// Opens the default output device; on failure, reason holds what SDL said.
bool Open_Device(Player& p, int freq, std::string* reason) {
  Quiet_ALSA();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    *reason = SDL_GetError();
    return false;
  }
  SDL_AudioSpec want{};
  want.freq = freq;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = kDeviceBufferFrames;
  want.callback = Fill_Device;
  want.userdata = &p.mixer;
  SDL_AudioSpec have{};
  p.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (p.device == 0) {
    *reason = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  p.has_device = true;
  return true;
}

void Close_Device(Player& p) {
  if (!p.has_device) return;
  SDL_CloseAudioDevice(p.device);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  p.device = 0;
  p.has_device = false;
}

void Start_Silent_Sink(Player& p, const std::string& reason) {
  std::string text = "No sound device could be opened";
  if (!reason.empty()) text += " (" + reason + ")";
  text += "; the game runs silent.";
  plat::Error_Output(text.c_str());
  std::lock_guard<std::mutex> hold(p.sink.lock);
  p.silent = true;
  p.sink.running = false;
  p.sink.pending = 0;
}

// Renders into the silent sink the frames due since the last call.
void Catch_Up(Player& p) {
  if (!p.silent.load()) return;
  std::lock_guard<std::mutex> hold(p.sink.lock);
  const uint32_t now = plat::Get_Ticks_Ms();
  const uint32_t elapsed = std::min(now - p.sink.stamp_ms, kSinkMaxCatchUpMs);
  p.sink.stamp_ms = now;
  if (!p.sink.running) return;
  p.sink.pending += uint64_t(elapsed) * uint64_t(p.mixer.Rate());
  size_t frames = static_cast<size_t>(p.sink.pending / 1000);
  p.sink.pending %= 1000;
  p.sink.scratch.resize(kSinkChunkFrames * 2);
  while (frames > 0) {
    const size_t n = std::min(frames, kSinkChunkFrames);
    p.mixer.Render(p.sink.scratch.data(), n);
    frames -= n;
  }
}

void Run_Silent_Sink(Player& p, bool running) {
  if (!p.silent.load()) return;
  Catch_Up(p);
  std::lock_guard<std::mutex> hold(p.sink.lock);
  p.sink.running = running;
}

// The player, with the silent sink brought up to now.
Player& Current_Player() {
  Player& p = The_Player();
  Catch_Up(p);
  return p;
}

// Reads length bytes (0: to the end) at offset of a file, or copies them from memory.
bool Read_Source(BOOL mem, const void* file, DWORD offset, DWORD length, std::vector<uint8_t>* out) {
  if (!file) return false;
  if (mem) {
    if (length == 0) return false;
    const uint8_t* base = static_cast<const uint8_t*>(file) + offset;
    out->assign(base, base + length);
    return true;
  }
  // A FIFO, device or folder in place of the file is refused at once, never waited on.
  FILE* f = plat::Open_Regular_File_Or_Say(static_cast<const char*>(file), "rb");
  if (!f) return false;
  bool ok = false;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    long size = std::ftell(f);
    if (size >= 0 && size <= kMaxFileBytes && offset <= static_cast<unsigned long>(size)) {
      unsigned long avail = static_cast<unsigned long>(size) - offset;
      unsigned long want = length == 0 ? avail : length;
      if (want > 0 && want <= avail && std::fseek(f, static_cast<long>(offset), SEEK_SET) == 0) {
        out->resize(want);
        ok = std::fread(out->data(), 1, want, f) == want;
      }
    }
  }
  std::fclose(f);
  if (!ok) out->clear();
  return ok;
}

// Why the thread's last sample load was refused for its bytes.
thread_local std::string t_Sample_Refusal;

}  // namespace

DWORD BASS_GetVersion() { return BASS_VERSION; }

BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND win) {
  Player& p = The_Player();
  if (p.initialised || (device != kDeviceDefault && device != kDeviceNoSound)) return FALSE;
  if (freq > 192000 || !p.mixer.Init(static_cast<int>(freq))) return FALSE;
  std::string reason;
  if (device == kDeviceDefault && !Open_Device(p, static_cast<int>(freq), &reason)) Start_Silent_Sink(p, reason);
  p.initialised = true;
  return TRUE;
}

BOOL BASS_Start() {
  Player& p = The_Player();
  if (!p.initialised) return FALSE;
  if (p.has_device) SDL_PauseAudioDevice(p.device, 0);
  Run_Silent_Sink(p, true);
  return TRUE;
}

BOOL BASS_Stop() {
  Player& p = The_Player();
  if (!p.initialised) return FALSE;
  if (p.has_device) SDL_PauseAudioDevice(p.device, 1);
  Run_Silent_Sink(p, false);
  return TRUE;
}

void BASS_Free() {
  Player& p = The_Player();
  if (!p.initialised) return;
  Close_Device(p);  // waits for the callback to finish before the mix is torn down
  {
    std::lock_guard<std::mutex> hold(p.sink.lock);
    p.silent = false;
    p.sink.running = false;
  }
  p.mixer.Term();
  p.initialised = false;
}

HSAMPLE BASS_SampleLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD max, DWORD flags) {
  t_Sample_Refusal.clear();
  Player& p = Current_Player();
  if (!p.initialised || !file) return 0;
  // Bytes in memory are read where they lie: the mixer keeps its own decoded copy.
  if (mem) {
    if (length == 0) return 0;
    return p.mixer.Load_Sample(static_cast<const uint8_t*>(file) + offset, length, max, &t_Sample_Refusal);
  }
  std::vector<uint8_t> bytes;
  if (!Read_Source(mem, file, offset, length, &bytes)) return 0;
  return p.mixer.Load_Sample(bytes.data(), bytes.size(), max, &t_Sample_Refusal);
}

HCHANNEL BASS_SamplePlayEx(HSAMPLE handle, DWORD start, int freq, int volume, int pan, BOOL loop) {
  return Current_Player().mixer.Play_Sample(handle, start, freq, volume, pan, loop != FALSE);
}

BOOL BASS_SampleStop(HSAMPLE handle) { return Current_Player().mixer.Stop_Sample(handle) ? TRUE : FALSE; }

void BASS_SampleFree(HSAMPLE handle) { Current_Player().mixer.Free_Sample(handle); }

HMUSIC BASS_MusicLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags) {
  Player& p = Current_Player();
  std::vector<uint8_t> bytes;
  if (!p.initialised || !Read_Source(mem, file, offset, length, &bytes)) return 0;
  return p.mixer.Load_Music(bytes.data(), bytes.size(), (flags & BASS_MUSIC_LOOP) != 0);
}

BOOL BASS_MusicPlay(HMUSIC handle) { return Current_Player().mixer.Play_Music(handle) ? TRUE : FALSE; }

BOOL BASS_MusicSetAmplify(HMUSIC handle, DWORD amp) {
  return Current_Player().mixer.Set_Music_Amplify(handle, amp) ? TRUE : FALSE;
}

void BASS_MusicFree(HMUSIC handle) { Current_Player().mixer.Free_Music(handle); }

BOOL BASS_ChannelSetAttributes(DWORD handle, int freq, int volume, int pan) {
  return Current_Player().mixer.Set_Channel_Attributes(handle, freq, volume, pan) ? TRUE : FALSE;
}

DWORD BASS_ChannelIsActive(DWORD handle) { return Current_Player().mixer.Channel_Is_Active(handle); }

BOOL BASS_ChannelPause(DWORD handle) { return Current_Player().mixer.Pause_Channel(handle) ? TRUE : FALSE; }

BOOL BASS_ChannelResume(DWORD handle) { return Current_Player().mixer.Resume_Channel(handle) ? TRUE : FALSE; }

BOOL BASS_ChannelStop(DWORD handle) { return Current_Player().mixer.Stop_Channel(handle) ? TRUE : FALSE; }

namespace plat {

std::string Sample_Refusal() { return t_Sample_Refusal; }

bool Audio_Render(int16_t* out, size_t frames) {
  Player& p = The_Player();
  if (!p.initialised || p.has_device || p.silent) return false;
  p.mixer.Render(out, frames);
  return true;
}

}  // namespace plat
