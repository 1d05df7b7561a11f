#pragma once
// One site (city) of a War Room region: where it lies on the region map, how big it is, how far
// the infection has taken it and which sites it is linked to.
#include <cstdint>

struct CWarRoom_Site {
  static constexpr uint32_t kIn_Use = 0x01;
  static constexpr uint32_t kInfected = 0x02;
  static constexpr uint32_t kSource = 0x04;
  static constexpr int kLink_Count = 6;
  static constexpr int kName_Size = 24;

  uint32_t flags = 0;
  float x = 0.0f;       // fraction of the map width, 0 = left edge
  float y = 0.0f;       // fraction of the map height, 0 = bottom edge
  float weight = 1.0f;  // size of the city, 0.5 to 1.5
  float infection = 0.0f;  // 0 clean, up to 1; infected from 0.5
  int32_t simulation_choice = 0;  // index into the site list (the source list for the source)
  char name[kName_Size] = {};
  int32_t links[kLink_Count] = {-1, -1, -1, -1, -1, -1};  // packed at the front

  bool In_Use() const { return (flags & kIn_Use) != 0; }
  int Link_Count() const;
  // The slot holding the site, -1 when it is not linked.
  int Find_Link(int site) const;
  // The first free slot, -1 when all six are taken.
  int First_Free_Link() const;
  // Removes the slot's link, moving the later ones forward.
  void Remove_Link_Slot(int slot);
};
