#include "game/player/CAttach_Smart_Bomb.h"

CAttach_Smart_Bomb g_Weapon_Attachment_Smart_Bomb;
