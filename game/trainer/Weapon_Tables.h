#pragma once
// The shop's tables of the five guns and the secondary attachments, each filled once on first
// use. The player arsenal reads the upgrade percentages and the allowed attachments from them.
#include <cstdint>
#include <string>
#include <vector>

struct Weapon_Entry {
  int32_t Gun_Kind = 0;
  std::string Name;
  std::string Description;
  uint32_t Required_Level = 0;
  uint32_t Price = 0;
  std::string Stat1_Label;
  int32_t Stat1_Percent = 0;
  std::string Stat2_Label;
  int32_t Stat2_Percent = 0;
  uint32_t Upgrade_Cost = 0;
  uint32_t Attachment_Mask = 0;
};

struct Attachment_Entry {
  int32_t Attachment_Kind = 0;
  std::string Name;
  std::string Description;
  uint32_t Required_Level = 0;
  uint32_t Price = 0;
  std::string Stat_Label;
  uint32_t Stat_Step = 0;
  uint32_t Upgrade_Cost = 0;
};

extern std::vector<Weapon_Entry> g_Weapon_Table;
extern std::vector<Attachment_Entry> g_Attachment_Table;

// Fill the tables when they are empty; a table that holds a record is never rebuilt.
void Build_Weapon_Table();
void Build_Attachment_Table();

// The first record of the kind, or null.
const Weapon_Entry* Find_Weapon_Entry(int gun_kind);
const Attachment_Entry* Find_Attachment_Entry(int attachment_kind);
