#pragma once
// The whole program on the generated content with fixed font metrics: every drawable character
// is 10 pixels wide and every font 20 pixels tall, and every DrawText call is recorded. Sounds
// played and stopped through the sound manager are recorded too.
#include <string>
#include <vector>

#include "game/core/CFrame_Info.h"
#include "platform/d3dx/d3dx8_font.h"
#include "runtime/src/sound/sound_mgr.h"
#include "tests/game/core/running_game.h"
#include "tests/support/recording_sound_mgr.h"

struct Drawn_Text {
  std::string text;
  RECT rect;
  DWORD format;
  D3DCOLOR colour;
};

class MenuGame : public RunningGame {
 protected:
  static constexpr int kAdvance = 10;
  static constexpr int kCell = 20;

  void SetUp() override {
    D3DXFont_Set_Test_Metrics(kAdvance, kCell);
    D3DXFont_Set_Draw_Observer([this](const std::string& text, const RECT& rect, DWORD format, D3DCOLOR colour) {
      drawn.push_back({text, rect, format, colour});
    });
    RunningGame::SetUp();
  }
  void TearDown() override {
    Stop_Recording_Sounds();
    RunningGame::TearDown();
    D3DXFont_Set_Draw_Observer(nullptr);
    D3DXFont_Set_Test_Metrics(0, 0);
  }

  void Record_Sounds() {
    saved_sound_mgr = g_pSoundMgr;
    sounds = std::make_unique<Recording_Sound_Mgr>();
  }
  void Stop_Recording_Sounds() {
    if (!sounds) return;
    g_pSoundMgr = saved_sound_mgr;
    sounds.reset();
  }

  static CFrame_Info Frame(float step) {
    CFrame_Info frame;
    frame.Delta = step;
    frame.Unpaused_Delta = step;
    return frame;
  }

  std::vector<Drawn_Text> drawn;
  std::unique_ptr<Recording_Sound_Mgr> sounds;
  CSoundMgr* saved_sound_mgr = nullptr;
};
