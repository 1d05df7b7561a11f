#pragma once
// Training runs played with random input, each from the simulator screen to its statistics
// summary and back: the soak's player. A restless player fires at what is in view, sweeps the
// cursor, clicks both buttons and presses the run's keys; when a click of theirs opens the
// in-run menu (its tab sits in the corner, its strip across the middle of the view) they close
// it again at once with Esc, as a player who opened it by mistake does, so that no stray click
// picks "Restart" or "Leave" from it.
#include <cstdint>
#include <random>
#include <string>

#include "tests/support/game_harness.h"

namespace soak {

constexpr uint32_t kFrame_Ms = 100;
// A run lasts its music (under five minutes) and a short grace; past this it is stuck.
constexpr int kMost_Run_Frames = 4000;

struct Run_Result {
  bool ended = false;
  std::string failure;  // where a run that did not end stopped
  std::string stuck;    // the state of a run that did not end by itself and was ended
  std::string sim;
  uint32_t score = 0;
  int frames = 0;
  int shots = 0;
  int menus_closed = 0;   // times a click opened the in-run menu and Esc closed it
  int paused_frames = 0;  // frames the game stood paused
  double seconds = 0.0;   // of real time
};

// What the game was doing when a run stopped: its mode, the screens up, the run's clock and state.
std::string Game_State_Text(const vt_test::Game_Harness& game);

class Soak {
 public:
  Soak(vt_test::Game_Harness& game, uint32_t seed, int draw_every)
      : m_Game(game), m_Random(seed), m_Draw_Every(draw_every) {}

  // From the simulator screen: a simulation the account may run, picked on the list with the
  // arrow keys and launched by the button; random input until the summary; back to the screen.
  Run_Result Play_Run();

  // The steps of a run, for those who play one in parts.
  bool Pick_And_Launch(Run_Result& result);
  // Random input frame by frame until the summary is up. False when the run left for another
  // screen without it (reported in the result) or did not end within its frames.
  bool Play_Until_Summary(Run_Result& result);
  // One frame of the run with its random input, and Esc for the menu a click of it opened.
  void Play_Frame(Run_Result& result);

 private:
  // Of the frames stepped in a run or a wait, every draw_every-th is drawn, the first included.
  bool Undrawn_Frame(int frame) const { return m_Draw_Every > 1 && frame % m_Draw_Every != 0; }
  int Random(int below) { return std::uniform_int_distribution<int>(0, below - 1)(m_Random); }
  void Random_Input(Run_Result& result);
  void Close_Opened_Menu(Run_Result& result);
  bool Step_Reading_Until(bool (*done)(), int frames);
  bool End_Stuck_Run();

  vt_test::Game_Harness& m_Game;
  std::mt19937 m_Random;
  int m_Draw_Every = 1;
};

}  // namespace soak
