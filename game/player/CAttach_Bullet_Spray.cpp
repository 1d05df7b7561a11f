#include "game/player/CAttach_Bullet_Spray.h"

CAttach_Bullet_Spray g_Weapon_Attachment_Bullet_Spray;
