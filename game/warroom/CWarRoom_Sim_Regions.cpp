#include "game/warroom/CWarRoom_Sim.h"

#include <cstdio>

#include "game/warroom/Region_Tables.h"

using warroom_data::kRegions;
using warroom_data::Link_Edit;
using warroom_data::Region;
using warroom_data::Region_Site;

void CWarRoom_Sim::Add_Site(const char* name, float x, float y, float weight) {
  const int index = Site_Count();
  if (index >= kSite_Count) return;
  CWarRoom_Site& site = m_Sites[index];
  site = CWarRoom_Site();
  site.flags = CWarRoom_Site::kIn_Use;
  site.x = x;
  site.y = y;
  site.weight = weight;
  site.infection = 0.0f;
  std::snprintf(site.name, sizeof(site.name), "%s", name);
  site.simulation_choice = Pick_Site_Sim();
}

bool CWarRoom_Sim::Setup_Region_Data(const int& region) {
  m_Region_Id = region;
  for (CWarRoom_Site& site : m_Sites) site.flags = 0;
  m_Map_Texture_Id = 0;
  m_MiniMap_Texture_Id = 0;
  if (region < 1 || region > kRegion_Count) return false;
  const Region& data = kRegions[region - 1];
  m_Region_Name = data.name;
  m_Map_Texture_Id = data.map_texture;
  m_MiniMap_Texture_Id = data.minimap_texture;
  for (int i = 0; i < data.site_count; ++i) {
    const Region_Site& site = data.sites[i];
    Add_Site(site.name, site.x, site.y, site.weight);
  }
  Auto_Link_Sites();
  for (int i = 0; i < data.edit_count; ++i) {
    const Link_Edit& edit = data.edits[i];
    if (edit.link)
      Link_Sites(edit.a, edit.b);
    else
      Unlink_Sites(edit.a, edit.b);
  }
  return true;
}
