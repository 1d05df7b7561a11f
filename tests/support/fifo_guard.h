#pragma once
// Runs a call that meets a FIFO in place of a file and must not wait on it. Should the call
// still be running after the time limit (it opened the FIFO for reading and waits for a
// writer), a writer opens and closes the FIFO until the call returns, so the test fails
// instead of hanging.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vt_test {

// True when `call` returned within the limit. `fifos` are the FIFOs the call may wait on.
template <class Call>
bool Returns_Without_Waiting(const std::vector<std::string>& fifos, Call&& call,
                             std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  std::packaged_task<void()> task(std::forward<Call>(call));
  std::future<void> done = task.get_future();
  std::thread runner(std::move(task));
  const bool in_time = done.wait_for(limit) == std::future_status::ready;
  while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
    // A writer's open wakes a reader waiting in open(); its close then gives the reader the end.
    for (const std::string& fifo : fifos) {
      const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) close(fd);
    }
  }
  runner.join();
  done.get();
  return in_time;
}

inline bool Returns_Without_Waiting(const std::string& fifo, std::function<void()> call,
                                    std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  return Returns_Without_Waiting(std::vector<std::string>{fifo}, std::move(call), limit);
}

}  // namespace vt_test
