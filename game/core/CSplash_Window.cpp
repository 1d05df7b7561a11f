#include "game/core/CSplash_Window.h"

#include "platform/window/window.h"

bool CSplash_Window::Create(HWND parent, void* instance, int bitmap_id, int width, int height) {
  (void)instance;
  (void)bitmap_id;
  Destroy();
  m_Parent = parent;
  m_Width = width;
  m_Height = height;
  m_Window = Create_Splash_Window(parent, width, height);
  m_Shown = false;
  return m_Window != nullptr;
}

void CSplash_Window::Centre(unsigned flags) {
  const int x = (GetSystemMetrics(SM_CXSCREEN) - m_Width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - m_Height) / 2;
  SetWindowPos(m_Window, nullptr, x, y, 0, 0, flags);
}

void CSplash_Window::Show() {
  if (!m_Window) return;
  Centre(SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(m_Window, SW_SHOWNORMAL);
  UpdateWindow(m_Window);
  m_Shown = true;
}

void CSplash_Window::Hide() {
  if (m_Window) ShowWindow(m_Window, SW_HIDE);
  m_Shown = false;
}

void CSplash_Window::Destroy() {
  if (m_Window) DestroyWindow(m_Window);
  m_Window = nullptr;
  m_Parent = nullptr;
  m_Shown = false;
}
