// Plays training runs one after another with random input, each from the simulator screen to its
// statistics summary and back, and prints the memory the program holds after each run: the
// engine's counted memory, the heap in use and held (malloc's, or the address sanitizer's when
// built with it) and the resident size, before and after malloc_trim. Memory that keeps growing
// from run to run is a leak. The player's part is the Soak class (Soak.h).
//   vt_soak [--runs N] [--seed S] [--draw-every N] [CONTENT_DIR]   (--help tells more)
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/core/Settings.h"
#include "platform/system/memory.h"
#include "platform/system/message_box.h"
#include "tests/support/game_harness.h"
#include "tests/support/harness_play.h"
#include "tools/soak/Soak.h"

#if defined(__SANITIZE_ADDRESS__)
#define VT_SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VT_SOAK_ASAN 1
#endif
#endif

#ifdef VT_SOAK_ASAN
// The address sanitizer's allocator statistics (its allocator_interface.h).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
extern "C" size_t __sanitizer_get_heap_size();
extern "C" void __sanitizer_print_memory_profile(size_t top_percent, size_t max_number_of_contexts);
#endif

namespace {

struct Options {
  int runs = 50;
  uint32_t seed = 1;
  int draw_every = 1;
  int heap_profile = 0;  // the run after which, and after the one before, the live heap is listed
  std::string content;
};

struct Figures {
  int64_t counted = 0;  // the engine's counted memory (g_Total_Mem_Allocated)
  int64_t heap = 0;     // bytes in use on the heap
  int64_t held = 0;     // bytes the allocator holds from the system, in use or free
  int64_t resident = 0;
  int64_t trimmed = 0;  // the resident size once malloc has handed its free pages back
};

int64_t Heap_In_Use() {
#ifdef VT_SOAK_ASAN
  return static_cast<int64_t>(__sanitizer_get_current_allocated_bytes());
#else
  const struct mallinfo2 info = mallinfo2();
  return static_cast<int64_t>(info.uordblks + info.hblkhd);
#endif
}

int64_t Heap_Held() {
#ifdef VT_SOAK_ASAN
  return static_cast<int64_t>(__sanitizer_get_heap_size());
#else
  const struct mallinfo2 info = mallinfo2();
  return static_cast<int64_t>(info.arena + info.hblkhd);
#endif
}

int64_t Resident_Bytes() {
  FILE* file = std::fopen("/proc/self/statm", "r");
  if (!file) return 0;
  long size = 0, resident = 0;
  const bool read = std::fscanf(file, "%ld %ld", &size, &resident) == 2;
  std::fclose(file);
  return read ? static_cast<int64_t>(resident) * sysconf(_SC_PAGESIZE) : 0;
}

// The resident size as the system sees it, and again after malloc_trim(0): malloc keeps the pages
// it once used (a busy moment leaves the heap's top high), and the resident size then moves by
// whole megabytes while the heap in use stays flat. The trimmed size counts the pages the
// program uses, heap and everything else (the rasteriser's code and buffers, the libraries).
// The sanitizer's allocator is not malloc's: there the two are the same.
Figures Measure() {
  Figures figures{g_Total_Mem_Allocated.load(), Heap_In_Use(), Heap_Held(), Resident_Bytes(), 0};
#ifndef VT_SOAK_ASAN
  malloc_trim(0);
#endif
  figures.trimmed = Resident_Bytes();
  return figures;
}

double Mib(int64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

void Print_Usage(FILE* to, const char* program) {
  std::fprintf(to,
               "usage: %s [--runs N] [--seed S] [--draw-every N] [CONTENT_DIR]\n"
               "  --runs N        training runs to play (50)\n"
               "  --seed S        seed of the random input (1)\n"
               "  --draw-every N  during a run and the waits for its start and for the screen after it,\n"
               "                  draw only every N-th frame (1: all); the others update the game\n"
               "                  undrawn, as a minimised window does\n"
               "  --heap-profile R  (sanitizer build) after runs R-1 and R, list the live heap by\n"
               "                  allocation stack, to find what a step in the heap figure holds\n"
               "  CONTENT_DIR     the content folder (else the build's own)\n",
               program);
}

bool Parse_Options(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--runs" || arg == "--seed" || arg == "--draw-every" || arg == "--heap-profile") && i + 1 < argc) {
      char* end = nullptr;
      const long value = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || value <= 0 || value > 1000000) return false;
      if (arg == "--runs")
        options.runs = static_cast<int>(value);
      else if (arg == "--seed")
        options.seed = static_cast<uint32_t>(value);
      else if (arg == "--draw-every")
        options.draw_every = static_cast<int>(value);
      else
        options.heap_profile = static_cast<int>(value);
    } else if (!arg.empty() && arg[0] != '-' && options.content.empty()) {
      options.content = arg;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    Print_Usage(stdout, argv[0]);
    return 0;
  }
  if (!Parse_Options(argc, argv, options)) {
    Print_Usage(stderr, argv[0]);
    return 2;
  }
  std::vector<std::string> messages;
  plat::Set_Message_Recorder([&messages](const std::string&, const std::string& text) { messages.push_back(text); });

  vt_test::Game_Harness game;
  std::string error;
  if (!game.Prepare(&error, options.content)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  // The smallest display mode: the soak is about memory, not pixels.
  Reg_Write_DWORD(kSettings_Key, "Display_Resolution", 0);
  if (!game.Start() || !vt_test::Log_In(game, "Soak", true)) {
    std::fprintf(stderr, "the program did not reach the simulator screen\n");
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  soak::Soak soak(game, options.seed, options.draw_every);
  std::vector<Figures> figures;
  std::printf("%-4s %-30s %6s %10s %6s %5s %7s %12s %12s %12s %12s %12s\n", "run", "simulation", "frames", "score",
              "shots", "menus", "secs", "counted MiB", "heap MiB", "held MiB", "resident MiB", "trimmed MiB");
  int status = 0;
  int stuck_runs = 0;
  for (int run = 1; run <= options.runs; ++run) {
    const auto run_start = std::chrono::steady_clock::now();
    soak::Run_Result result = soak.Play_Run();
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - run_start).count();
    const Figures now = Measure();
    figures.push_back(now);
    std::printf("%-4d %-30.30s %6d %10u %6d %5d %7.1f %12.2f %12.2f %12.2f %12.2f %12.2f\n", run,
                result.sim.c_str(), result.frames, result.score, result.shots, result.menus_closed, result.seconds, Mib(now.counted), Mib(now.heap),
                Mib(now.held), Mib(now.resident), Mib(now.trimmed));
#ifdef VT_SOAK_ASAN
    if (options.heap_profile != 0 && (run == options.heap_profile - 1 || run == options.heap_profile)) {
      std::printf("heap profile after run %d:\n", run);
      std::fflush(stdout);
      __sanitizer_print_memory_profile(100, 100000);
    }
#endif
    if (!result.stuck.empty()) {
      std::printf("run %d did not end by itself and was ended (paused %d of its %d frames): %s\n", run,
                  result.paused_frames, result.frames, result.stuck.c_str());
      ++stuck_runs;
    }
    std::fflush(stdout);
    if (!result.ended) {
      std::printf("run %d stopped: %s\n", run, result.failure.c_str());
      std::fflush(stdout);
      status = 1;
      break;
    }
  }
  game.Shut_Down();
  plat::Set_Message_Recorder(nullptr);
  for (const std::string& message : messages) std::printf("message: %s\n", message.c_str());
  if (!messages.empty()) status = 1;
  if (stuck_runs != 0) status = 1;
  std::printf("%zu runs (%d ended by the soak) in %.0f s\n", figures.size(), stuck_runs,
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  constexpr size_t kSettled = 10;
  if (figures.size() > kSettled) {
    const Figures& early = figures[kSettled - 1];
    const Figures& last = figures.back();
    std::printf("from run %zu to run %zu: counted %+.2f MiB, heap %+.2f MiB, held %+.2f MiB, resident %+.2f MiB, "
                "trimmed %+.2f MiB\n",
                kSettled, figures.size(), Mib(last.counted - early.counted), Mib(last.heap - early.heap),
                Mib(last.held - early.held), Mib(last.resident - early.resident), Mib(last.trimmed - early.trimmed));
  }
  return status;
}
