#include "tools/visit/Game_Visit.h"

#include <cstdio>
#include <map>

#include "game/menu/CMenuItem.h"

namespace vt_visit {

bool Game_Visit::Run() {
  if (!Start_Game()) return false;
  if (!Log_In()) return false;
  Visit_Simulator_Pages();
  Visit_Popups();
  Visit_Console_Commands();
  Visit_WarRoom_Pages();
  Visit_Reports();
  if (!m_Options.menus_only) {
    Visit_Training_Runs();
    Visit_WarRoom_Runs();
  }
  m_Screen_Width = static_cast<int>(CMenuItem::Screen_W());
  m_Screen_Height = static_cast<int>(CMenuItem::Screen_H());
  Note("shut-down");
  if (m_Harness.Running()) {
    const int result = m_Harness.Shut_Down();
    if (result != 0) Fail("the game's shut-down answered " + std::to_string(result));
  } else {
    Fail("the game ended before the visit was done");
  }
  m_Log.Remove();
  return true;
}

int Game_Visit::Report() const {
  double seconds = 0.0;
  size_t failed_runs = 0;
  std::printf("%-44s %-9s %9s  %-22s %-9s %s\n", "run", "kind", "game time", "ended", "closed on", "back / messages / wall");
  for (const Run_Result& run : m_Runs) {
    seconds += run.game_seconds;
    if (!run.Passed()) ++failed_runs;
    std::printf("%-44s %-9s %8.1fs  %-22s %-9s %s / %zu / %.0fs (%d+%d+%d frames)%s\n", run.name.c_str(), run.kind.c_str(),
                run.game_seconds, run.ended.c_str(), run.reached_close ? run.closed_on.c_str() : "NOTHING",
                run.returned ? "yes" : "NO", run.messages, run.wall_seconds, run.frames[0], run.frames[1], run.frames[2], run.problems ? " (problems)" : "");
  }
  // Each distinct message once, with how often it came and where first.
  const std::vector<Visit_Message> messages = m_Log.Messages();
  std::map<std::string, std::pair<size_t, const Visit_Message*>> distinct;
  size_t problems = 0;
  for (const Visit_Message& message : messages) {
    auto& entry = distinct[std::string(Message_Log::Channel_Name(message.channel)) + ": " + message.text];
    if (entry.first++ == 0) entry.second = &message;
    if (Message_Log::Is_Problem(message)) ++problems;
  }
  std::printf("\nmessages seen: %zu (%zu distinct, %zu problems)\n", messages.size(), distinct.size(), problems);
  for (const auto& [text, entry] : distinct)
    std::printf("  %s%s  x%zu  (first at: %s)\n", Message_Log::Is_Problem(*entry.second) ? "PROBLEM " : "",
                text.c_str(), entry.first, entry.second->where.c_str());
  std::printf("\nscreen: %d x %d\n", m_Screen_Width, m_Screen_Height);
  std::printf("places visited: %zu\n", m_Visited.size());
  for (const auto& [place, wall] : m_Place_Times) std::printf("  %-50s %7.1f s wall\n", place.c_str(), wall);
  for (const std::string& failure : m_Failures) std::printf("FAILED: %s\n", failure.c_str());
  std::printf("runs: %zu (%zu failed), game time %.1f minutes, messages %zu, problems %zu\n", m_Runs.size(),
              failed_runs, seconds / 60.0, messages.size(), problems);
  const bool clean = failed_runs == 0 && problems == 0 && m_Failures.empty() && (m_Options.menus_only || !m_Runs.empty());
  std::printf("%s\n", clean ? "visit passed" : "visit FAILED");
  return clean ? 0 : 1;
}

}  // namespace vt_visit
