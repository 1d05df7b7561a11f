#pragma once
// The console terminal (least form): the logged-in user's name.
#include <string>

class CMenu_Console {
 public:
  std::string m_Current_User;  // empty until the first login
};
