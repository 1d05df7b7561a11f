// The error output's recorder: a tool that watches a run receives every error text, while the
// line still reaches stderr; removing the recorder stops the texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/system/debug.h"

namespace {

TEST(Error_Recorder, ReceivesEachErrorTextAndStopsWhenRemoved) {
  std::vector<std::string> seen;
  plat::Set_Error_Recorder([&seen](const std::string& text) { seen.push_back(text); });
  testing::internal::CaptureStderr();
  plat::Error_Output("Get_Resource: Resource ID (22000001) not found.\n");
  plat::Debug_Output("a developer's note, not an error\n");
  plat::Set_Error_Recorder(nullptr);
  plat::Error_Output("said after removal\n");
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], "Get_Resource: Resource ID (22000001) not found.\n");
  EXPECT_NE(err.find("Vorthane: Get_Resource: Resource ID (22000001) not found."), std::string::npos);
  EXPECT_NE(err.find("Vorthane: said after removal"), std::string::npos);
}

}  // namespace
