#include "game/core/CGame_State.h"

CGame_State g_Game_State;
