// Visits everything the game has: every screen, page, console command, pop-up and dialog of the
// menus, and every simulation, played under the fake clock; prints what it saw and exits
// non-zero on any message box, error text, or run that did not end and close.
//   vt_visit [--short [--every-sim] | --menus] [--frame-ms MS] [--part K/N] [--kind training|site|source] [CONTENT_DIR]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tools/visit/Game_Visit.h"

namespace {

int Usage(const char* program) {
  std::fprintf(stderr, "usage: %s [--short [--every-sim] | --menus] [--frame-ms MS] [--part K/N]\n"
               "          [--kind training|site|source] [CONTENT_DIR]\n",
               program);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  vt_visit::Visit_Options options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--short") == 0) {
      options.short_form = true;
    } else if (std::strcmp(argv[i], "--menus") == 0) {
      options.menus_only = true;
    } else if (std::strcmp(argv[i], "--frame-ms") == 0 && i + 1 < argc) {
      options.frame_ms = static_cast<uint32_t>(std::clamp(std::atoi(argv[++i]), 1, 100));
    } else if (std::strcmp(argv[i], "--part") == 0 && i + 1 < argc) {
      const bool read = std::sscanf(argv[++i], "%zu/%zu", &options.part, &options.parts) == 2;
      if (!read || options.part < 1 || options.part > options.parts) return Usage(argv[0]);
    } else if (std::strcmp(argv[i], "--kind") == 0 && i + 1 < argc) {
      options.kind = argv[++i];
      if (options.kind != "training" && options.kind != "site" && options.kind != "source") return Usage(argv[0]);
    } else if (std::strcmp(argv[i], "--every-sim") == 0) {
      options.every_sim = true;
    } else if (argv[i][0] == '-') {
      return Usage(argv[0]);
    } else {
      options.content_dir = std::filesystem::absolute(argv[i]).string();
    }
  }
  vt_visit::Game_Visit visit(options);
  if (!visit.Run()) {
    visit.Report();
    return 1;
  }
  return visit.Report();
}
