#pragma once
// The ordered list of menu items a screen, the modal dialog or a pop-up menu holds: it owns the
// items, hands presses and releases to the first item under the cursor, draws them all in
// order, finds them by id and kind, and keeps the input focus among its edit fields.
#include <cstdint>
#include <list>

#include "runtime/src/math/math_types.h"

class CMenuItem;
class CMenuItem_Edit;

class CMenu_Panel {
 public:
  CMenu_Panel() = default;
  CMenu_Panel(const CMenu_Panel&) = delete;
  CMenu_Panel& operator=(const CMenu_Panel&) = delete;
  // Forgets the items without deleting them; owners clear them first.
  ~CMenu_Panel() = default;

  bool Init(const CVector2& position, int32_t id);
  bool Add_Item(CMenuItem* item);
  // Takes every item out and deletes it (once the running event has returned); not initialised.
  void Clear_Items();
  // The same, keeping the initialised flag.
  void Delete_Items();
  CMenuItem* Find_Item(const int32_t& id, const int32_t& kind) const;
  bool Set_Focus(CMenuItem* item);
  CMenuItem_Edit* Get_Focus() const;
  bool On_Mouse_Down();
  bool On_Mouse_Up();
  void Render_Items(float step);

  const std::list<CMenuItem*>& Items() const { return m_Items; }

  bool m_Initialised = false;
  int32_t m_Id = 0;
  CVector2 m_Position{0.0f, 0.0f};
  int32_t m_Selection = -1;

 private:
  CMenuItem* Item_Under_Cursor() const;

  std::list<CMenuItem*> m_Items;
  // Counts the times the list was emptied, so a walk notices a callback that emptied it.
  uint32_t m_Generation = 0;
};
