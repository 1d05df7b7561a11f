// Runs every committed screenshot script through vt_screenshot on the generated content and
// looks at each picture it writes: it must exist and be neither blank nor a single colour.
#include <gtest/gtest.h>
#include <png.h>
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

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Scripts() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(VT_SCREENSHOT_SCRIPTS, ec)) {
    if (entry.path().extension() == ".txt") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The picture names a script asks for ("shot NAME.png").
std::vector<std::string> Shots(const std::string& script_path) {
  std::ifstream in(script_path);
  std::vector<std::string> shots;
  std::string line;
  while (std::getline(in, line)) {
    if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string verb, name;
    if (words >> verb >> name && verb == "shot") shots.push_back(name);
  }
  return shots;
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

// The share of the picture's pixels in its most common colour; -1 when it cannot be read.
double Largest_Colour_Share(const std::string& path, uint32_t* common) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return -1;
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) || pixels.empty()) return -1;
  std::map<uint32_t, size_t> counts;
  for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
    ++counts[uint32_t{pixels[i]} << 16 | uint32_t{pixels[i + 1]} << 8 | pixels[i + 2]];
  }
  const auto most = std::max_element(counts.begin(), counts.end(),
                                     [](const auto& a, const auto& b) { return a.second < b.second; });
  *common = most->first;
  return double(most->second) / double(pixels.size() / 4);
}

class Screenshot_Script : public ::testing::TestWithParam<std::string> {};

TEST_P(Screenshot_Script, WritesPicturesThatShowSomething) {
  const char* binary_dir = std::getenv("VT_BINARY_DIR");
  ASSERT_NE(binary_dir, nullptr) << "run through ctest";
  const std::string tool = std::string(binary_dir) + "/tools/vt_screenshot";
  const std::string script = std::string(VT_SCREENSHOT_SCRIPTS) + "/" + GetParam();
  char pattern[] = "/tmp/vt_shots_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string out = pattern;
  const std::string errors = out + "/stderr.txt";
  ASSERT_EQ(Run_Tool({tool, script, out}, errors), 0) << tool << " " << script;
  std::ifstream error_file(errors);
  const std::string said((std::istreambuf_iterator<char>(error_file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(said.find("not found"), std::string::npos) << "every resource the script's game asks for exists:\n" << said;
  const std::vector<std::string> shots = Shots(script);
  EXPECT_FALSE(shots.empty());
  for (const std::string& shot : shots) {
    SCOPED_TRACE(shot);
    uint32_t common = 0;
    const double share = Largest_Colour_Share(out + "/" + shot, &common);
    ASSERT_GE(share, 0.0) << "no readable picture";
    EXPECT_LT(share, 1.0) << "one colour, " << std::hex << common;
  }
  std::error_code ec;
  fs::remove_all(out, ec);
}

INSTANTIATE_TEST_SUITE_P(Committed, Screenshot_Script, ::testing::ValuesIn(Scripts()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param.substr(0, info.param.find('.'));
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
