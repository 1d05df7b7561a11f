#pragma once
// What the War Room screen asks of the run's sequencer, the screen effects, the help messages
// and the console, in one place.
#include <string>

// Starts a closing sequence of the mission (11 region cleared, 12 time up).
void WarRoom_Start_Sequence(int kind);
// A text over the screen, as a screen effect of the kind, for the duration.
void WarRoom_Screen_Text(int kind, float duration, const char* text);
// A plain screen effect of the kind for the duration.
void WarRoom_Screen_Effect(int kind, float duration);
// The site-selection help, once per account.
void WarRoom_Site_Help();
// The console's current user name.
std::string WarRoom_User_Name();
