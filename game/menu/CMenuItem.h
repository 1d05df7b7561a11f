#pragma once
// The base of every menu item. Only the mouse-up operation is used outside the menus: the game
// calls it when an item loses the mouse capture or the button is released.
class CMenuItem {
 public:
  CMenuItem() = default;
  CMenuItem(const CMenuItem&) = delete;
  CMenuItem& operator=(const CMenuItem&) = delete;
  virtual ~CMenuItem() = default;

  virtual void On_Mouse_Up() {}
};
