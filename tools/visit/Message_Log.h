#pragma once
// Every message the game says while it is visited: message boxes, error lines and developer
// diagnostics, each with the place of the visit it came from. It tells the ones that are
// problems (any message box, any error line, a diagnostic that reports a failure) from news.
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace vt_visit {

struct Visit_Message {
  enum Channel { kBox, kError, kDebug };
  Channel channel = kDebug;
  std::string text;
  std::string where;
};

class Message_Log {
 public:
  Message_Log() = default;
  Message_Log(const Message_Log&) = delete;
  Message_Log& operator=(const Message_Log&) = delete;
  ~Message_Log();

  // Installs the recorders of the platform layer; Remove takes them away again.
  void Install();
  void Remove();
  // The place the next messages are filed under.
  void Set_Place(const std::string& where);

  void Add(Visit_Message::Channel channel, const std::string& text);
  size_t Count() const;
  std::vector<Visit_Message> Messages() const;
  // Problems among the messages from index first on.
  size_t Count_Problems(size_t first = 0) const;

  static bool Is_Problem(const Visit_Message& message);
  static const char* Channel_Name(Visit_Message::Channel channel);

 private:
  mutable std::mutex m_Lock;
  std::vector<Visit_Message> m_Messages;
  std::string m_Place = "start-up";
  bool m_Installed = false;
};

}  // namespace vt_visit
