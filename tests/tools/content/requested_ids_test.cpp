// Every resource id that the game's code names exists in the generated content, and where the
// code says what it asks for (a renderable, a texture, a style, a sound) the content holds that
// kind of resource under the id. The code is read as text: an id is any 0x22xxxxxx literal in
// game/ or runtime/, and its role is the nearest role word before it on the same line and after
// the id before it ("Renderable(0x22...", "kSound = 0x22...", "Style(0x22..."); an id in a
// plain list ("{0x22..., 0x22...}") has no role and is only checked to exist.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tools/content/manifest.h"
#include "tests/support/test_dirs.h"

namespace {

namespace fs = std::filesystem;

constexpr uint8_t kNo_Role = 0xFF;

struct Request {
  uint32_t id = 0;
  uint8_t role = kNo_Role;  // the resource type the code asks for, when the line says it
  std::string where;        // file:line
  std::string line;
};

// Ids the code names that the content deliberately lacks. Each needs its reason.
const std::map<uint32_t, const char*> kDeliberately_Absent = {
};

// Role words, matched on the lower-cased line; the one that ends nearest before the id wins.
struct Role_Word {
  const char* word;
  uint8_t type;
};
const Role_Word kRole_Words[] = {
    {"renderable", 4}, {"model", 4}, {"mesh", 4},
    {"texture", 2},
    {"style", 1},      {"shader", 1},
    {"sound", 3},      {"sfx", 3},
};

// The role word ending nearest before id_pos, looking no further back than from_pos.
uint8_t Role_Before(const std::string& lower_line, size_t from_pos, size_t id_pos) {
  uint8_t role = kNo_Role;
  size_t best_end = 0;
  for (const Role_Word& rw : kRole_Words) {
    size_t from = from_pos;
    while (true) {
      size_t at = lower_line.find(rw.word, from);
      if (at == std::string::npos || at >= id_pos) break;
      size_t end = at + std::char_traits<char>::length(rw.word);
      if (end <= id_pos && end >= best_end) {
        best_end = end;
        role = rw.type;
      }
      from = at + 1;
    }
  }
  return role;
}

// Where a 0x22xxxxxx literal starts at or after from, or npos. The literal must stand alone:
// exactly eight hex digits, not part of a longer word or number.
size_t Find_Id(const std::string& lower_line, size_t from) {
  for (size_t at = lower_line.find("0x22", from); at != std::string::npos; at = lower_line.find("0x22", at + 1)) {
    if (at > 0 && (std::isalnum(static_cast<unsigned char>(lower_line[at - 1])) || lower_line[at - 1] == '_')) continue;
    size_t digits = 0;
    while (at + 2 + digits < lower_line.size() && std::isxdigit(static_cast<unsigned char>(lower_line[at + 2 + digits])))
      ++digits;
    if (digits == 8) return at;
  }
  return std::string::npos;
}

std::vector<Request> Requests_In(const fs::path& file, const fs::path& root) {
  std::vector<Request> out;
  std::ifstream in(file);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.find("0x22") == std::string::npos && line.find("0X22") == std::string::npos) continue;
    std::string lower = line;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    size_t previous_end = 0;
    for (size_t at = Find_Id(lower, 0); at != std::string::npos; at = Find_Id(lower, at + 10)) {
      Request r;
      r.id = static_cast<uint32_t>(std::stoul(lower.substr(at + 2, 8), nullptr, 16));
      r.role = Role_Before(lower, previous_end, at);
      previous_end = at + 10;
      r.where = fs::relative(file, root).string() + ":" + std::to_string(number);
      r.line = line;
      out.push_back(r);
    }
  }
  return out;
}

std::vector<Request> Requests_In_Code(const fs::path& root) {
  std::vector<Request> out;
  for (const char* folder : {"game", "runtime"}) {
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
      if (!entry.is_regular_file()) continue;
      const std::string ext = entry.path().extension().string();
      if (ext != ".cpp" && ext != ".h") continue;
      for (Request& r : Requests_In(entry.path(), root)) out.push_back(std::move(r));
    }
  }
  return out;
}

fs::path Source_Root() { return fs::path(vt_test::Source_Dir()); }

const char* Type_Name(uint8_t type) {
  switch (type) {
    case 0: return "raw file";
    case 1: return "render style";
    case 2: return "texture";
    case 3: return "sound";
    case 4: return "renderable";
  }
  return "?";
}

TEST(RequestedIds, RoleWordNearestBeforeTheIdDecides) {
  struct Case {
    const char* line;
    uint8_t role;
  } cases[] = {
      {"R::Renderable(0x22000001, m_Model), R::Texture(0x22000002, m_Texture),", 2},
      {"Resource::Style(0x22000003, m_Style, kNo_Texture)", 1},
      {"constexpr uint32_t kModel = 0x22000004;", 4},
      {"Play_Sound_FX(0x22000005);", 3},
      {"{\"Europe\", 0x22000006, 0x22000007},", kNo_Role},
      {"const debris::Model_Ids ids{0x22000008, 0x22000009, 0x2200000A};", kNo_Role},
  };
  for (const Case& c : cases) {
    std::string lower = c.line;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char ch) { return std::tolower(ch); });
    size_t last_id = lower.rfind("0x22");
    size_t before = lower.rfind("0x22", last_id - 1);
    EXPECT_EQ(Role_Before(lower, before == std::string::npos ? 0 : before + 10, last_id), c.role) << c.line;
  }
}

TEST(RequestedIds, EveryIdTheCodeNamesExistsInTheRoleTheCodeGivesIt) {
  const fs::path root = Source_Root();
  ASSERT_TRUE(fs::is_directory(root / "game")) << root;

  content::Manifest manifest;
  content::Build_Manifest(manifest);
  std::map<uint32_t, uint8_t> types;
  for (const content::ResourceEntry& e : manifest.Resources()) types[e.id] = e.type;

  const std::vector<Request> requests = Requests_In_Code(root);
  ASSERT_GT(requests.size(), 300u) << "the scan found too few ids to be reading the code";

  for (const Request& r : requests) {
    if (kDeliberately_Absent.count(r.id)) continue;
    auto found = types.find(r.id);
    if (found == types.end()) {
      ADD_FAILURE() << std::hex << "0x" << r.id << " is not in the content, requested at " << r.where << "\n  "
                    << r.line;
      continue;
    }
    if (r.role != kNo_Role && found->second != r.role) {
      ADD_FAILURE() << std::hex << "0x" << r.id << " is a " << Type_Name(found->second) << " in the content but "
                    << r.where << " asks for a " << Type_Name(r.role) << "\n  " << r.line;
    }
  }
}

}  // namespace
