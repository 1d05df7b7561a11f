#include "game/player/CAttach_Laser.h"

CAttach_Laser g_Weapon_Attachment_Laser;
