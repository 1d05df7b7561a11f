#include "platform/system/event.h"

#include <chrono>

namespace plat {

void Auto_Reset_Event::Set() {
  {
    std::lock_guard<std::mutex> hold(m_mutex);
    m_set = true;
  }
  m_signal.notify_one();
}

void Auto_Reset_Event::Reset() {
  std::lock_guard<std::mutex> hold(m_mutex);
  m_set = false;
}

void Auto_Reset_Event::Wait() {
  std::unique_lock<std::mutex> hold(m_mutex);
  m_signal.wait(hold, [this] { return m_set; });
  m_set = false;
}

bool Auto_Reset_Event::Wait_For(uint32_t milliseconds) {
  std::unique_lock<std::mutex> hold(m_mutex);
  if (!m_signal.wait_for(hold, std::chrono::milliseconds(milliseconds), [this] { return m_set; }))
    return false;
  m_set = false;
  return true;
}

}  // namespace plat
