#include "game/enemies/Enemy_Pools.h"

#include "game/core/CObject_Pool.h"
#include "game/enemies/CEnemy_UFO.h"
#include "game/enemies/CEjector_Enemy_Cannon.h"
#include "game/enemies/CEjector_Enemy_Tower.h"
#include "game/enemies/CEjector_Enemy_Bomb.h"
#include "game/enemies/CEjector_Enemy_Bar.h"
#include "game/enemies/CEjector_Enemy_Plate.h"
#include "game/enemies/CEmmo_Ball.h"
#include "game/enemies/CEmmo_Ball_2.h"
#include "game/enemies/CEmmo_Crystal_1.h"
#include "game/enemies/CEmmo_Bomb.h"
#include "game/enemies/CEmmo_Missile_1.h"
#include "game/enemies/CEmmo_Discus_1.h"
#include "game/enemies/CEmmo_Bar_1.h"
#include "game/enemies/CEmmo_Bullet_1.h"
#include "game/enemies/CEmmo_Anti_Matter.h"
#include "game/enemies/CEmmo_Roller.h"
#include "game/enemies/CEmmo_Can.h"
#include "game/enemies/CEnemy_Tile_1.h"
#include "game/enemies/CEnemy_Digger_1.h"
#include "game/enemies/CBoss_Crystal_1.h"

void Register_Enemy_Pools() {
  Register_Object_Pool(CEnemy_UFO::kType, CEnemy_UFO::Pool());
  Register_Object_Pool(CEjector_Enemy_Cannon::kType, CEjector_Enemy_Cannon::Pool());
  Register_Object_Pool(CEjector_Enemy_Tower::kType, CEjector_Enemy_Tower::Pool());
  Register_Object_Pool(CEjector_Enemy_Bomb::kType, CEjector_Enemy_Bomb::Pool());
  Register_Object_Pool(CEjector_Enemy_Bar::kType, CEjector_Enemy_Bar::Pool());
  Register_Object_Pool(CEjector_Enemy_Plate::kType, CEjector_Enemy_Plate::Pool());
  Register_Object_Pool(CEmmo_Ball::kType, CEmmo_Ball::Pool());
  Register_Object_Pool(CEmmo_Ball_2::kType, CEmmo_Ball_2::Pool());
  Register_Object_Pool(CEmmo_Crystal_1::kType, CEmmo_Crystal_1::Pool());
  Register_Object_Pool(CEmmo_Bomb::kType, CEmmo_Bomb::Pool());
  Register_Object_Pool(CEmmo_Missile_1::kType, CEmmo_Missile_1::Pool());
  Register_Object_Pool(CEmmo_Discus_1::kType, CEmmo_Discus_1::Pool());
  Register_Object_Pool(CEmmo_Bar_1::kType, CEmmo_Bar_1::Pool());
  Register_Object_Pool(CEmmo_Bullet_1::kType, CEmmo_Bullet_1::Pool());
  Register_Object_Pool(CEmmo_Anti_Matter::kType, CEmmo_Anti_Matter::Pool());
  Register_Object_Pool(CEmmo_Roller::kType, CEmmo_Roller::Pool());
  Register_Object_Pool(CEmmo_Can::kType, CEmmo_Can::Pool());
  Register_Object_Pool(CEnemy_Tile_1::kType, CEnemy_Tile_1::Pool());
  Register_Object_Pool(CEnemy_Digger_1::kType, CEnemy_Digger_1::Pool());
  Register_Object_Pool(CBoss_Crystal_1::kType, CBoss_Crystal_1::Pool());
}
