// Visits everything the game has: every screen, page, console command, pop-up and dialog of the
// menus, and every simulation, played under the fake clock; prints what it saw and exits
// non-zero on any message box, error text, or run that did not end and close.
//   vt_visit [--short [--every-sim] | --menus] [CONTENT_DIR]
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "tools/visit/Game_Visit.h"

int main(int argc, char** argv) {
  vt_visit::Visit_Options options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--short") == 0) {
      options.short_form = true;
    } else if (std::strcmp(argv[i], "--menus") == 0) {
      options.menus_only = true;
    } else if (std::strcmp(argv[i], "--every-sim") == 0) {
      options.every_sim = true;
    } else if (argv[i][0] == '-') {
      std::fprintf(stderr, "usage: %s [--short [--every-sim] | --menus] [CONTENT_DIR]\n", argv[0]);
      return 2;
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
