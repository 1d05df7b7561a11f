#include "game/trainer/Weapon_Tables.h"

std::vector<Weapon_Entry> g_Weapon_Table;
std::vector<Attachment_Entry> g_Attachment_Table;

void Build_Weapon_Table() {
  if (!g_Weapon_Table.empty()) return;
  g_Weapon_Table = {
      {4, "Lightning Gun",
       "Powered by dual Elite quick charging energy cells, the new LX design features a built-in auto-target "
       "mechanism.",
       0, 10000, "Recharge Speed:", 4, "Shot Power:", 6, 2250, 36},
      {1, "Steel Ball Gun",
       "The steel ball gun features a solid steel barrel and a state of the art\nelectro-magnetic propulsion "
       "system.",
       0, 10000, "Max Ammo:", 5, "Shot Recovery:", 5, 1250, 62},
      {2, "Machine Gun",
       "Offering both speed and power, this rotary design comes standard with an\nupgradeable Elite-RZ coolant "
       "system.",
       1, 15000, "Shot Speed:", 5, "Heat Dampening:", 12, 1500, 56},
      {3, "Dual Cradle Missile Launcher",
       "The Elite-MLX2 comes\nstandard with Quick-Vision missiles (Pre-\nTarget and Late-Target modes built-in).", 1,
       20000, "Shot Recovery:", 10, "Missile Explosives:", 5, 2200, 38},
      {5, "Shell-Shot Cannon",
       "Delivering an explosive\npayload and featuring the Elite Target-Rec system, this weapon is not to be "
       "missed.",
       2, 20000, "Reload Speed:", 10, "Shot Explosives:", 3, 2300, 54},
  };
}

void Build_Attachment_Table() {
  if (!g_Attachment_Table.empty()) return;
  g_Attachment_Table = {
      {0, "None", "No secondary weapon\nattachment.", 0, 0, "", 0, 0},
      {1, "Laser Scope", "This little device fits most form factors and is sure to improve your aim.", 0, 350, "", 0,
       0},
      {2, "Overhead Bullet Spray", "Sporting the Elite HyperShot-\nAX engine, this item should not be missed.", 0,
       2500, "Max Ammo:", 1, 1500},
      {5, "Auto-Aim Laser", "Built with Sure-Shot tech, this item will pull you out of almost any jam.", 1, 2750,
       "Max Ammo:", 1, 3200},
      {3, "Smart Bomb", "Capable of dispatching up to six targets, it is a great value at any price.", 2, 3500,
       "Max Ammo:", 1, 5000},
      {4, "Energy Pulse", "The most powerful attachment available, this item can not be passed up.", 3, 5000,
       "Max Ammo:", 1, 6500},
  };
}

const Weapon_Entry* Find_Weapon_Entry(int gun_kind) {
  for (const Weapon_Entry& entry : g_Weapon_Table)
    if (entry.Gun_Kind == gun_kind) return &entry;
  return nullptr;
}

const Attachment_Entry* Find_Attachment_Entry(int attachment_kind) {
  for (const Attachment_Entry& entry : g_Attachment_Table)
    if (entry.Attachment_Kind == attachment_kind) return &entry;
  return nullptr;
}
