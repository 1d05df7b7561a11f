#pragma once
// The table of the simulator's training simulations, built once on first use.
#include <cstdint>
#include <string>
#include <vector>

class CTextureData;

struct Sim_Entry {
  int32_t Is_Random = 0;
  std::string Name;
  std::string Description;
  uint32_t Track_Id = 0;  // also the key of its score table, as "%d"
  uint32_t Music_Id = 0;
  uint32_t Preview_Id = 0;
  int32_t Environment = -1;
  uint32_t Required_Level = 0;
  CTextureData* Preview_Texture = nullptr;  // loaded when the row is first shown
};

extern std::vector<Sim_Entry> g_Sim_Table;

// Fills g_Sim_Table once; later calls leave it as it is.
void Build_Sim_Table();
// Rows that are real simulations the level may launch.
int Count_Available_Sims(uint32_t level);
// The index-th simulation the level may launch (skipping the random entry), or null.
Sim_Entry* Find_Available_Sim(int index, uint32_t level);
