// Runs every committed screenshot script through vt_screenshot on the generated content and
// looks at each picture it writes: it must exist and be neither blank nor a single colour. The
// scripts a dedicated test runs and checks in-process are left out (Run_By_Their_Own_Test).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/script_pictures.h"
#include "tests/support/test_dirs.h"

namespace {

namespace fs = std::filesystem;

// Scripts a dedicated test runs in-process, checking what this test checks (every picture
// written and not one colour, no resource "not found", a clean end) and the game's state besides;
// running them here as well would only repeat those runs.
const std::map<std::string, std::string>& Run_By_Their_Own_Test() {
  static const std::map<std::string, std::string> scripts = {
      {"arsenal_1.txt", "ArsenalPlay.TheScreenshotScriptRunsAndShowsTheGuns"},
      {"arsenal_2.txt", "ArsenalPlay.TheSecondScreenshotScriptStrikesWithAMissileAndLightningAndShowsTheChargeDisplay"},
  };
  return scripts;
}

std::vector<std::string> All_Scripts() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(VT_SCREENSHOT_SCRIPTS, ec)) {
    if (entry.path().extension() == ".txt") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Every committed script but those their own test runs.
std::vector<std::string> Scripts() {
  std::vector<std::string> names = All_Scripts();
  std::erase_if(names, [](const std::string& name) { return Run_By_Their_Own_Test().count(name) != 0; });
  return names;
}

std::string Script_Text(const std::string& path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Runs the tool and gives its exit status (-1 when it did not exit normally).
// Runs the tool with its standard error written to the file 'errors'.
int Run_Tool(const std::vector<std::string>& arguments, const std::string& errors) {
  const pid_t child = fork();
  if (child == 0) {
    const int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) dup2(fd, 2);
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Screenshot_Script : public ::testing::TestWithParam<std::string> {};

TEST_P(Screenshot_Script, WritesPicturesThatShowSomething) {
  const std::string tool = vt_test::Binary_Dir() + "/tools/vt_screenshot";
  const std::string script = std::string(VT_SCREENSHOT_SCRIPTS) + "/" + GetParam();
  char pattern[] = "/tmp/vt_shots_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string out = pattern;
  const std::string errors = out + "/stderr.txt";
  ASSERT_EQ(Run_Tool({tool, script, out}, errors), 0) << tool << " " << script;
  std::ifstream error_file(errors);
  const std::string said((std::istreambuf_iterator<char>(error_file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(said.find("not found"), std::string::npos) << "every resource the script's game asks for exists:\n" << said;
  const std::vector<std::string> shots = vt_test::Script_Shots(Script_Text(script));
  EXPECT_FALSE(shots.empty());
  for (const std::string& shot : shots) {
    SCOPED_TRACE(shot);
    uint32_t common = 0;
    const double share = vt_test::Largest_Colour_Share(out + "/" + shot, &common);
    ASSERT_GE(share, 0.0) << "no readable picture";
    EXPECT_LT(share, 1.0) << "one colour, " << std::hex << common;
  }
  std::error_code ec;
  fs::remove_all(out, ec);
}

// A left-out script that was renamed or removed would leave its test running nothing here.
TEST(Screenshot_Scripts, LeftOutOnlyScriptsThatExist) {
  const std::vector<std::string> all = All_Scripts();
  for (const auto& [script, test] : Run_By_Their_Own_Test()) {
    EXPECT_NE(std::find(all.begin(), all.end(), script), all.end()) << script << ", run by " << test;
  }
}

INSTANTIATE_TEST_SUITE_P(Committed, Screenshot_Script, ::testing::ValuesIn(Scripts()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param.substr(0, info.param.find('.'));
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
