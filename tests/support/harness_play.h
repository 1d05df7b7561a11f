#pragma once
// Playing the running game the way a user does, on top of the harness: clicks on the items the
// screens show, reading and closing message dialogs, the console's login, the gun aimed and
// fired. Shared by the whole-game tests and the soak tool.
#include <cstdint>
#include <string>

class CMenuItem;
class CMenuItem_Button;
class CMenu_Panel;

namespace vt_test {

class Game_Harness;

// The first button of the panel with the caption, or null.
CMenuItem_Button* Find_Button(const CMenu_Panel& panel, const std::string& caption);
// The button is shown and takes clicks.
bool Button_Enabled(const CMenuItem_Button* button);
// A press and a release of the left button at the point, a 16 ms frame before, between and after.
void Click_At(Game_Harness& game, float x, float y);
void Click_Item(Game_Harness& game, const CMenuItem& item);
// Clicks the panel's button with the caption; false when the panel has none.
bool Click_Button(Game_Harness& game, const CMenu_Panel& panel, const std::string& caption);
// Closes the open message dialogs (help, notices) with Enter, as a reader would: they hold the
// game paused until they are read.
void Dismiss_Messages(Game_Harness& game);
// At the console's login prompt: the name, Enter, and "y" when the account is new; true once the
// screens have moved on to the simulator and it is open.
bool Log_In(Game_Harness& game, const std::string& name, bool create);
// Aims the cursor at the nearest live target in view (of the type; any when negative), lets the
// gun swing onto it and fires: a press and a release over three frames of ms each. False (no
// frame stepped) when none is in view.
bool Aim_And_Fire(Game_Harness& game, int type, uint32_t ms);
// The simulator screen is open and settled.
bool Simulator_Open();
// Shows the simulator screen's page 1-3 (simulations, profile, communications) by clicking its
// tab when another page is up; false when the screen is not open or the page does not come.
bool Show_Simulator_Page(Game_Harness& game, int page);

}  // namespace vt_test
