#pragma once
// A running game launched into a training run with a chosen loadout, and resource services
// that count what they hand out and refuse one chosen id.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/core/CFrame_Info.h"
#include "game/core/CWorld.h"
#include "game/player/CPlayer.h"
#include "game/player/CPlayer_Weapon_Gun.h"
#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "runtime/src/render/sys/pc/d3d_renderobjects.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "game/core/CGame_State.h"
#include "platform/system/random.h"
#include "tests/game/core/running_game.h"
#include "tests/support/recording_sound_mgr.h"
#include "tests/support/upcoming_draws.h"

namespace arsenal_test {

// Counts what is taken and given back, and refuses the failing id.
struct Resource_Counts {
  uint32_t failing_id = 0;
  int outstanding = 0;
  std::set<uint32_t> requested;
  // References taken while counting and not given back yet, by resource id.
  std::map<uint32_t, int> held;
  std::map<const void*, uint32_t> id_of;
  void Took(uint32_t id, const void* resource) {
    ++outstanding;
    ++held[id];
    id_of[resource] = id;
  }
  void Gave(const void* resource) {
    --outstanding;
    const auto found = id_of.find(resource);
    if (found != id_of.end()) --held[found->second];
  }
  // Of the given ids, the references still held.
  int Held_Of(const std::set<uint32_t>& ids) const {
    int total = 0;
    for (uint32_t id : ids) {
      const auto found = held.find(id);
      if (found != held.end() && found->second > 0) total += found->second;
    }
    return total;
  }
};

class Counting_Objects : public CD3DRenderObjects {
 public:
  Counting_Objects(CD3DRenderObjects* real, Resource_Counts& counts) : m_Real(real), m_Counts(counts) {}
  ~Counting_Objects() override { g_pRenderObjects = m_Real; }
  CRenderableObject* GetRenderObject(const uint32_t& id) override {
    m_Counts.requested.insert(id);
    if (id == m_Counts.failing_id) return nullptr;
    CRenderableObject* got = m_Real->GetRenderObject(id);
    if (got) m_Counts.Took(id, got);
    return got;
  }
  void ReleaseRenderObject(CRenderableObject* renderable) override {
    m_Counts.Gave(renderable);
    m_Real->ReleaseRenderObject(renderable);
  }

 private:
  CD3DRenderObjects* m_Real;
  Resource_Counts& m_Counts;
};

class Counting_Styles : public CD3DRenderStyles {
 public:
  Counting_Styles(CD3DRenderStyles* real, Resource_Counts& counts) : m_Real(real), m_Counts(counts) {}
  CD3DRenderStyle* GetRenderStyle(uint32_t id) override {
    m_Counts.requested.insert(id);
    if (id == m_Counts.failing_id) return nullptr;
    CD3DRenderStyle* got = m_Real->GetRenderStyle(id);
    if (got) m_Counts.Took(id, got);
    return got;
  }
  void ReleaseRenderStyle(CD3DRenderStyle* style) override {
    m_Counts.Gave(style);
    m_Real->ReleaseRenderStyle(style);
  }

 private:
  CD3DRenderStyles* m_Real;
  Resource_Counts& m_Counts;
};

class Counting_Textures : public CD3DTexture {
 public:
  Counting_Textures(IKSTexture* real, Resource_Counts& counts) : m_Real(real), m_Counts(counts) {}
  CTextureData* GetTexture(uint32_t id) override {
    m_Counts.requested.insert(id);
    if (id == m_Counts.failing_id) return nullptr;
    CTextureData* got = m_Real->GetTexture(id);
    if (got) m_Counts.Took(id, got);
    return got;
  }
  void ReleaseTexture(CTextureData* texture) override {
    m_Counts.Gave(texture);
    m_Real->ReleaseTexture(texture);
  }

 private:
  IKSTexture* m_Real;
  Resource_Counts& m_Counts;
};

// While alive, every resource request of the game goes through the counting services.
class Counted_Resources {
 public:
  Counted_Resources()
      : m_Real_Styles(g_pRenderStyles),
        m_Objects(g_pRenderObjects, counts),
        m_Styles(g_pRenderStyles, counts),
        m_Textures(g_pTexture, counts) {
    g_pRenderStyles = &m_Styles;
  }
  ~Counted_Resources() { g_pRenderStyles = m_Real_Styles; }
  Resource_Counts counts;

 private:
  CD3DRenderStyles* m_Real_Styles;
  Counting_Objects m_Objects;
  Counting_Styles m_Styles;
  Counting_Textures m_Textures;
};

// Records the sounds played while it lives; the effect volume a test sets is put back after.
struct Sound_Recorder {
  const float user_volume = g_Game_State.SoundFX_Volume;
  Recording_Sound_Mgr sounds;
  ~Sound_Recorder() { g_Game_State.SoundFX_Volume = user_volume; }
};

class Arsenal : public RunningGame {
 protected:
  // Starts the game and launches a training run on flat ground with the loadout.
  void Launch(int gun, int attachment = 0, int gun_level = 0, int attachment_level = 0) {
    if (!harness.Running()) {
      Start();
      harness.Step(2);
    }
    std::ostringstream s;
    s << "loadout " << gun << " " << attachment << " " << gun_level << " " << attachment_level
      << "\ncommand 7 1 0x220003E1 0x220003F1\ncamera 800 450 300 800 0 1300\n";
    std::string error;
    ASSERT_TRUE(harness.Run_Script(s.str(), harness.Work_Dir(), &error)) << error;
  }
  static CFrame_Info Frame(float delta) {
    CFrame_Info frame;
    frame.Delta = delta;
    frame.Unpaused_Delta = delta;
    return frame;
  }
  static bool Finite(const CVector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
};

}  // namespace arsenal_test
