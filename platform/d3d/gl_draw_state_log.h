#pragma once
// The distinct draw states a device has drawn with, as far as the driver builds code for them:
// the switches and functions of the raster stages, lighting and fog, each enabled texture
// stage with the kind of texture it reads, the vertex format and the kind of target. A software
// rasteriser compiles its programs the first time it meets such a state, so the number of
// states first met late in a run tells how many of those compilations fell into it. Counting is
// off unless asked for: it costs a hash per draw.
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/d3d/gl_api.h"
#include "platform/d3d/gl_device_state.h"

class GLDrawStateLog {
 public:
  // What the draw writes into: the window's own buffers, or a framebuffer with its colour
  // format and whether it has a depth buffer.
  struct Target {
    bool window = false;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    bool depth = false;
  };

  void SetCounting(bool on) { counting_ = on; }
  // Whether devices made from now on count from their first draw (off unless a harness asks).
  static void SetCountingNewDevices(bool on) { counting_new_devices_ = on; }
  static bool CountingNewDevices() { return counting_new_devices_; }
  // While describing, every state met for the first time is also kept as readable text.
  void SetDescribing(bool on) { describing_ = on; }
  bool Counting() const { return counting_; }
  // Records the state of a draw with `mode` primitives; true when it had not been seen before.
  bool Note(const GLDeviceState& state, GLenum mode, const Target& target);
  UINT Count() const { return static_cast<UINT>(seen_.size()); }
  void Clear() {
    seen_.clear();
    fresh_.clear();
  }
  // The descriptions of the states first met since the last call (oldest first).
  std::vector<std::string> TakeDescriptions() { return std::move(fresh_); }

  static uint64_t Key(const GLDeviceState& state, GLenum mode, const Target& target);
  // What the key is made of, one line: target, vertex format, primitive, raster switches and
  // each enabled stage with the texture it reads.
  static std::string Describe(const GLDeviceState& state, GLenum mode, const Target& target);

 private:
  static inline bool counting_new_devices_ = false;
  bool counting_ = false;
  bool describing_ = false;
  std::unordered_set<uint64_t> seen_;
  std::vector<std::string> fresh_;
};
