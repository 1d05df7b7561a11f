#include "tools/visit/Message_Log.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/system/debug.h"
#include "platform/system/message_box.h"

namespace vt_visit {

namespace {

// Words by which a diagnostic reports a failure rather than news.
constexpr std::array<const char*, 12> kFailure_Words = {
    "error", "not found", "couldn't", "could not", "unable", "failed", "failure", "cannot", "can't",
    "damaged", "missing", "invalid"};

std::string Lower(const std::string& text) {
  std::string lower = text;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

}  // namespace

Message_Log::~Message_Log() { Remove(); }

void Message_Log::Install() {
  plat::Set_Message_Recorder([this](const std::string& caption, const std::string& text) {
    Add(Visit_Message::kBox, caption + ": " + text);
  });
  plat::Set_Error_Recorder([this](const std::string& text) { Add(Visit_Message::kError, text); });
  plat::Set_Debug_Recorder([this](const std::string& text) { Add(Visit_Message::kDebug, text); });
  m_Installed = true;
}

void Message_Log::Remove() {
  if (!m_Installed) return;
  plat::Set_Message_Recorder(nullptr);
  plat::Set_Error_Recorder(nullptr);
  plat::Set_Debug_Recorder(nullptr);
  m_Installed = false;
}

void Message_Log::Set_Place(const std::string& where) {
  std::lock_guard<std::mutex> hold(m_Lock);
  m_Place = where;
}

void Message_Log::Add(Visit_Message::Channel channel, const std::string& text) {
  std::string line = text;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  std::lock_guard<std::mutex> hold(m_Lock);
  m_Messages.push_back(Visit_Message{channel, line, m_Place});
}

size_t Message_Log::Count() const {
  std::lock_guard<std::mutex> hold(m_Lock);
  return m_Messages.size();
}

std::vector<Visit_Message> Message_Log::Messages() const {
  std::lock_guard<std::mutex> hold(m_Lock);
  return m_Messages;
}

size_t Message_Log::Count_Problems(size_t first) const {
  std::lock_guard<std::mutex> hold(m_Lock);
  size_t count = 0;
  for (size_t i = first; i < m_Messages.size(); ++i)
    if (Is_Problem(m_Messages[i])) ++count;
  return count;
}

bool Message_Log::Is_Problem(const Visit_Message& message) {
  if (message.channel != Visit_Message::kDebug) return true;
  const std::string lower = Lower(message.text);
  return std::any_of(kFailure_Words.begin(), kFailure_Words.end(),
                     [&lower](const char* word) { return lower.find(word) != std::string::npos; });
}

const char* Message_Log::Channel_Name(Visit_Message::Channel channel) {
  switch (channel) {
    case Visit_Message::kBox: return "message box";
    case Visit_Message::kError: return "error";
    default: return "diagnostic";
  }
}

}  // namespace vt_visit
