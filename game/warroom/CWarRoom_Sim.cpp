#include "game/warroom/CWarRoom_Sim.h"

CWarRoom_Sim g_WarRoom_Sim;
