// The generated render styles: every entry is a well-formed style resource of type 1, the same
// bytes on every run, and no style id is taken by another family's resource.
#include <gtest/gtest.h>

#include <map>

#include "tools/content/manifest.h"

namespace {

uint32_t U32(const content::Bytes& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

TEST(StylesFamily, EveryStyleIsAWellFormedResourceWithAnIdOfItsOwn) {
  content::Manifest manifest;
  content::Build_Manifest(manifest);
  std::map<uint32_t, int> owners;
  for (const content::ResourceEntry& e : manifest.Resources()) ++owners[e.id];
  int styles = 0;
  for (const content::ResourceEntry& e : manifest.Resources()) {
    if (e.type != 1) continue;
    ++styles;
    EXPECT_EQ(owners[e.id], 1) << std::hex << e.id << " is used by another resource too";
    content::Bytes bytes, again;
    ASSERT_TRUE(e.generate(bytes)) << std::hex << e.id;
    ASSERT_TRUE(e.generate(again));
    EXPECT_EQ(bytes, again) << std::hex << e.id;
    ASSERT_GE(bytes.size(), 28u + 4 + 4 + 84 + 4 + 512 + 1);
    EXPECT_EQ(bytes[0], 5);
    EXPECT_EQ(bytes[2] | (bytes[3] << 8), 3);
    const uint32_t alternatives = U32(bytes, 24);
    EXPECT_GE(alternatives, 1u);
    EXPECT_LE(alternatives, 32u);
    EXPECT_GE(U32(bytes, 32), 2u) << "parameter count field";
  }
  EXPECT_GE(styles, 40);
}

}  // namespace
