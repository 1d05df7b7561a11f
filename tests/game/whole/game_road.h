#pragma once
// The whole program played from start-up the way a user plays it: keys typed at the console,
// clicks on the items the screens show, the gun aimed and fired in a run, on the fake clock with
// the mix rendered into the harness's buffer. Afterwards the files the program wrote are read
// back from the working directory, and a second start of the program on the same directory
// shows what it loaded.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "game/menu/CMenuItem.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenu_Panel.h"
#include "tests/game/core/running_game.h"

class GameRoad : public RunningGame {
 protected:
  static constexpr uint32_t kFrame_Ms = 100;  // the longest step a frame takes

  void TearDown() override;

  // Steps frames until the condition holds; false when it never does within the frames.
  template <typename Condition>
  bool Step_Until(Condition done, int frames, uint32_t ms = kFrame_Ms) {
    for (int frame = 0; frame < frames; ++frame) {
      if (done()) return true;
      game().Step(1, ms);
    }
    return done();
  }

  // As Step_Until, closing the message dialogs that open on the way (help, notices) as a reader
  // would: they hold the game paused until they are read.
  template <typename Condition>
  bool Step_Reading_Until(Condition done, int frames, uint32_t ms = kFrame_Ms) {
    return Step_Until(
        [&] {
          Dismiss_Messages();
          return done();
        },
        frames, ms);
  }

  // The harness of the program now running: the first start's, or the second's.
  vt_test::Game_Harness& game() { return second ? *second : harness; }

  void Type(const std::string& text);
  // A press and a release of the left button at the point, with a frame between them.
  void Click(float x, float y);
  void Click_Item(const CMenuItem& item);
  // Closes the message dialogs that are open (help, notices) with Enter, as a reader would.
  void Dismiss_Messages();
  // The first button of the panel with the caption, or null.
  static CMenuItem_Button* Find_Button(const CMenu_Panel& panel, const std::string& caption);
  // Clicks the panel's button with the caption; false when the panel has none.
  bool Click_Button(const CMenu_Panel& panel, const std::string& caption);

  // At the console's login prompt: the name, Enter, and "y" when the account is new; true once
  // the screens have moved on to the simulator and it is open.
  bool Log_In(const std::string& name, bool create);
  // Opens the main menu, then the options, turns the mirrors off and closes the menus again.
  bool Turn_Mirrors_Off();

  // Aims the cursor at the nearest live target in view (of the type; any when negative), lets
  // the gun swing onto it and fires: a press and a release over three frames. False (no frame
  // stepped) when none is in view.
  bool Aim_And_Fire(int type = -1);
  // The statistics summary of a finished run is the open dialog.
  static bool Summary_Shown();

  // Shuts the first start down and starts the program again on the same working directory.
  void Start_Again();
  // The largest audio peak of the stepped frames from `first` to `last` (exclusive).
  int Peak(size_t first, size_t last) const;

  std::unique_ptr<vt_test::Game_Harness> second;
};
