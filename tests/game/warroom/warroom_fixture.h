#pragma once
// Small hand-made regions for the War Room model tests.
#include <initializer_list>

#include "game/warroom/CWarRoom_Sim.h"

struct Test_Site {
  float x;
  float y;
};

// Clears the model and puts the sites in use at indexes 0 to n - 1, unlinked.
inline void Place_Sites(CWarRoom_Sim& sim, std::initializer_list<Test_Site> sites) {
  sim = CWarRoom_Sim();
  int index = 0;
  for (const Test_Site& site : sites) {
    CWarRoom_Site& record = sim.m_Sites[index++];
    record.flags = CWarRoom_Site::kIn_Use;
    record.x = site.x;
    record.y = site.y;
  }
}

// Links given as pairs, through the model's own operation.
inline void Link_All(CWarRoom_Sim& sim, std::initializer_list<std::pair<int, int>> links) {
  for (const auto& [a, b] : links) sim.Link_Sites(a, b);
}

inline int Links_Of(const CWarRoom_Sim& sim, int site) { return sim.m_Sites[site].Link_Count(); }
