// Runs the game headless on a script of input and writes the screenshots the script asks for.
//   vt_screenshot SCRIPT OUT_DIR [CONTENT_DIR]
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/game_harness.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s SCRIPT OUT_DIR [CONTENT_DIR]\n", argv[0]);
    return 2;
  }
  std::ifstream file(argv[1]);
  if (!file) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  std::stringstream script;
  script << file.rdbuf();
  const std::string out_dir = std::filesystem::absolute(argv[2]).string();
  std::error_code ec;
  std::filesystem::create_directories(out_dir, ec);
  // Without a content folder the harness takes the build's own.
  const std::string content = argc > 3 ? std::filesystem::absolute(argv[3]).string() : std::string();

  vt_test::Game_Harness harness;
  std::string error;
  if (!harness.Prepare(&error, content)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  if (!harness.Start()) {
    std::fprintf(stderr, "the program ended during start-up (%d)\n", harness.Exit_Code());
    return 1;
  }
  const bool ran = harness.Run_Script(script.str(), out_dir, &error);
  const int result = harness.Shut_Down();
  if (!ran) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  return result;
}
