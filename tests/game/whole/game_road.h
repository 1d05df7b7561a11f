#pragma once
// The whole program played from start-up the way a user plays it: keys typed at the console,
// clicks on the items the screens show, the gun aimed and fired in a run, on the fake clock with
// the mix rendered into the harness's buffer. Afterwards the files the program wrote are read
// back from the working directory, and a second start of the program on the same directory
// shows what it loaded.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenu_Panel.h"
#include "tests/game/core/running_game.h"
#include "tests/support/harness_play.h"

class GameRoad : public RunningGame {
 protected:
  static constexpr uint32_t kFrame_Ms = 100;  // the longest step a frame takes

  void TearDown() override;

  // Steps frames until the condition holds; false when it never does within the frames.
  template <typename Condition>
  bool Step_Until(Condition done, int frames, uint32_t ms = kFrame_Ms) {
    return Until(done, frames, [&] { game().Step(1, ms); });
  }
  // As Step_Until, closing the message dialogs that open on the way.
  template <typename Condition>
  bool Step_Reading_Until(Condition done, int frames, uint32_t ms = kFrame_Ms) {
    return Step_Until(Reading(done), frames, ms);
  }

  // Frames that no check looks at the picture of run undrawn but for every n-th (drawing is
  // most of a frame's cost in the sanitizer build); the drawn ones keep the render path's own
  // work going (the sweep of dead objects, the decals' ageing). 1 draws every one.
  void Draw_Sparse_Every(int n) { sparse_every = n < 1 ? 1 : n; }
  // One frame of ms, drawn when it is the n-th of the sparse ones, undrawn otherwise.
  bool Step_Sparse(uint32_t ms = kFrame_Ms);
  // As Step_Until and Step_Reading_Until, the frames stepped sparsely.
  template <typename Condition>
  bool Step_Sparse_Until(Condition done, int frames, uint32_t ms = kFrame_Ms) {
    return Until(done, frames, [&] { Step_Sparse(ms); });
  }
  template <typename Condition>
  bool Step_Sparse_Reading_Until(Condition done, int frames, uint32_t ms = kFrame_Ms) {
    return Step_Sparse_Until(Reading(done), frames, ms);
  }
  // As Aim_And_Fire, its frames stepped sparsely.
  bool Aim_And_Fire_Sparse();

  // The harness of the program now running: the first start's, or the second's.
  vt_test::Game_Harness& game() { return second ? *second : harness; }

  void Type(const std::string& text);
  void Click_Item(const CMenuItem& item) { vt_test::Click_Item(game(), item); }
  bool Click_Button(const CMenu_Panel& panel, const std::string& caption) {
    return vt_test::Click_Button(game(), panel, caption);
  }
  bool Log_In(const std::string& name, bool create) { return vt_test::Log_In(game(), name, create); }
  bool Aim_And_Fire() { return vt_test::Aim_And_Fire(game(), -1, kFrame_Ms); }
  // Opens the main menu, then the options, turns the mirrors off and closes the menus again.
  bool Turn_Mirrors_Off();

  // Shuts the first start down and starts the program again on the same working directory.
  void Start_Again();
  // The largest audio peak of the stepped frames from `first` to `last` (exclusive).
  int Peak(size_t first, size_t last) const;

  std::unique_ptr<vt_test::Game_Harness> second;
  // Runs step() until done() holds or the frames run out; done() is asked before each frame.
  template <typename Condition, typename Stepper>
  static bool Until(Condition& done, int frames, Stepper step) {
    for (int frame = 0; frame < frames; ++frame) {
      if (done()) return true;
      step();
    }
    return done();
  }
  // The condition, asked after closing any message dialog that is open.
  template <typename Condition>
  auto Reading(Condition& done) {
    return [this, &done] {
      vt_test::Dismiss_Messages(game());
      return done();
    };
  }
  int sparse_every = 1;
  int sparse_frame = 0;
};
