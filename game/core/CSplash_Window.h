#pragma once
// The picture shown centred on the screen while the program starts.
#include "platform/system/win_types.h"

class CSplash_Window {
 public:
  CSplash_Window() = default;
  CSplash_Window(const CSplash_Window&) = delete;
  CSplash_Window& operator=(const CSplash_Window&) = delete;
  ~CSplash_Window() { Destroy(); }

  // Makes the (hidden) window owned by parent, centred on the screen. The picture is generated;
  // instance and bitmap id name it.
  bool Create(HWND parent, void* instance, int bitmap_id, int width, int height);
  void Show();
  void Hide();
  void Destroy();

  bool Is_Shown() const { return m_Shown; }
  HWND Window() const { return m_Window; }

 private:
  void Centre(unsigned flags);

  bool m_Shown = false;
  HWND m_Parent = nullptr;
  HWND m_Window = nullptr;
  int m_Width = 0;
  int m_Height = 0;
};
