#include "game/warroom/CWarRoom_Site.h"

int CWarRoom_Site::Link_Count() const {
  int count = 0;
  for (int slot = 0; slot < kLink_Count; ++slot)
    if (links[slot] != -1) ++count;
  return count;
}

int CWarRoom_Site::Find_Link(int site) const {
  if (site < 0) return -1;
  for (int slot = 0; slot < kLink_Count; ++slot)
    if (links[slot] == site) return slot;
  return -1;
}

int CWarRoom_Site::First_Free_Link() const {
  for (int slot = 0; slot < kLink_Count; ++slot)
    if (links[slot] == -1) return slot;
  return -1;
}

void CWarRoom_Site::Remove_Link_Slot(int slot) {
  if (slot < 0 || slot >= kLink_Count) return;
  for (int i = slot; i + 1 < kLink_Count; ++i) links[i] = links[i + 1];
  links[kLink_Count - 1] = -1;
}
