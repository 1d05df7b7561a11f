#include "game/menu/CMenu_Panel.h"

#include <vector>

#include "game/core/CFrame_Info.h"
#include "game/menu/CMenuItem.h"
#include "game/menu/CMenuItem_Edit.h"

bool CMenu_Panel::Init(const CVector2& position, int32_t id) {
  m_Position = position;
  m_Id = id;
  m_Selection = -1;
  m_Initialised = true;
  return true;
}

bool CMenu_Panel::Add_Item(CMenuItem* item) {
  if (!item) return false;
  m_Items.push_back(item);
  return true;
}

void CMenu_Panel::Clear_Items() {
  Delete_Items();
  m_Initialised = false;
}

void CMenu_Panel::Delete_Items() {
  std::list<CMenuItem*> items;
  items.swap(m_Items);
  ++m_Generation;
  for (CMenuItem* item : items) {
    item->Term();
    Defer_Item_Deletion(item);
  }
}

CMenuItem* CMenu_Panel::Find_Item(const int32_t& id, const int32_t& kind) const {
  for (CMenuItem* item : m_Items)
    if (item->m_Id == id && item->m_Kind == kind) return item;
  return nullptr;
}

bool CMenu_Panel::Set_Focus(CMenuItem* item) {
  bool found = false;
  for (CMenuItem* each : m_Items) {
    if (each->m_Kind != kItem_Edit) continue;
    auto* edit = static_cast<CMenuItem_Edit*>(each);
    edit->m_Focused = each == item;
    found = found || each == item;
  }
  return found;
}

CMenuItem_Edit* CMenu_Panel::Get_Focus() const {
  for (CMenuItem* each : m_Items)
    if (each->m_Kind == kItem_Edit && static_cast<CMenuItem_Edit*>(each)->m_Focused)
      return static_cast<CMenuItem_Edit*>(each);
  return nullptr;
}

CMenuItem* CMenu_Panel::Item_Under_Cursor() const {
  for (CMenuItem* item : m_Items)
    if (item->Is_Mouse_Over()) return item;
  return nullptr;
}

bool CMenu_Panel::On_Mouse_Down() {
  CMenuItem* item = Item_Under_Cursor();
  if (!item) return false;
  if (item->m_Kind == kItem_Edit && !static_cast<CMenuItem_Edit*>(item)->m_Focused) Set_Focus(item);
  return item->On_Mouse_Down();
}

bool CMenu_Panel::On_Mouse_Up() {
  CMenuItem* item = Item_Under_Cursor();
  return item ? item->On_Mouse_Up() : false;
}

void CMenu_Panel::Render_Items(float step) {
  CFrame_Info frame;
  frame.Delta = step;
  const uint32_t generation = m_Generation;
  const std::vector<CMenuItem*> items(m_Items.begin(), m_Items.end());
  for (CMenuItem* item : items) {
    item->Render(frame);
    // An item's callback emptied the panel: the rest are gone.
    if (m_Generation != generation) break;
  }
}
