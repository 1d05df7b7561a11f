#include "game/player/CAttach_Energy_Pulse.h"

CAttach_Energy_Pulse g_Weapon_Attachment_Energy_Pulse;
