#pragma once
// The pictures a screenshot script writes: the names it asks for, and how much of a written
// picture is its most common colour (1 for a blank or single-colour picture).
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace vt_test {

// The picture names the script's text asks for ("shot NAME.png"), in order.
inline std::vector<std::string> Script_Shots(const std::string& script) {
  std::istringstream in(script);
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

// The share of the picture's pixels in its most common colour, which goes to *common; -1 when
// the file cannot be read as a picture.
inline double Largest_Colour_Share(const std::string& path, uint32_t* common) {
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

}  // namespace vt_test
