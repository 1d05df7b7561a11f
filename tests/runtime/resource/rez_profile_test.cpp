// The resource profile report and its number forms.
#include <fstream>
#include <sstream>

#include "runtime/src/libksresource/rez_profile.h"
#include "tests/runtime/resource/rez_test_support.h"

namespace {

using namespace reztest;

TEST(RezProfileNumbers, GroupedSizeAndCountForms) {
  struct Case {
    int64_t value;
    const char* grouped;
    const char* size;
    const char* count;
  };
  const Case cases[] = {
      {0, "0", "         0 bytes     ", "         0 "},
      {999, "999", "       999 bytes     ", "       999 "},
      {1024, "1,024", "     1,024 bytes     ", "     1,024 "},
      {2048, "2,048", "     2,048 (   2.00K)", "     2,048 (   2.00K)"},
      {1048576, "1,048,576", " 1,048,576 (1024.00K)", " 1,048,576 (1024.00K)"},
      {1234567, "1,234,567", " 1,234,567 (   1.18M)", " 1,234,567 (   1.18M)"},
      {1512000000, "1,512,000,000", "1,512,000,000 (1441.96M)", "1,512,000,000 (1441.96M)"},
      {-1234, "-1,234", "    -1,234 bytes     ", "    -1,234 "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Rez_Grouped_Number(c.value), c.grouped) << c.value;
    EXPECT_EQ(Rez_Size_Text(c.value), c.size) << c.value;
    EXPECT_EQ(Rez_Count_Text(c.value), c.count) << c.value;
  }
}

class RezProfileTest : public RezFolderTest {
 protected:
  void SetUp() override {
    RezFolderTest::SetUp();
    m_Log = m_Root + "profile.log";
    ASSERT_TRUE(g_OutputRedir.OpenLogFile(5, m_Log.c_str(), false));
    g_OutputRedir.SetDestinationEnabled(5, 1);
    g_OutputRedir.SetRoute(19, 1, 5);
  }
  void TearDown() override {
    g_OutputRedir.SetRoute(19, 1, kOutputDestSink);
    g_OutputRedir.SetDestinationEnabled(5, 0);
    g_OutputRedir.CloseLogFile(5);
    RezFolderTest::TearDown();
  }
  // Sets the trigger variable through its text interface and returns the report's lines.
  std::vector<std::string> Trigger() {
    EXPECT_TRUE(RezMgr_Report_Resource_Profile.SetFromString("1"));
    EXPECT_EQ(RezMgr_Report_Resource_Profile.Value, 0);  // the report always refuses the value
    g_OutputRedir.CloseLogFile(5);
    std::ifstream in(m_Log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    EXPECT_TRUE(g_OutputRedir.OpenLogFile(5, m_Log.c_str(), false));
    return lines;
  }
  std::string m_Log;
};

TEST_F(RezProfileTest, EmptyTableReportHasTotalsAndNoTypeSection) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a"))});
  ASSERT_TRUE(Init());
  CRezMgr* saved = g_pRezMgr;
  g_pRezMgr = &m_Manager;
  std::vector<std::string> lines = Trigger();
  g_pRezMgr = saved;
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "****************** Resource Profile *****************");
  EXPECT_EQ(lines[1].rfind("Total Mem Allocated          : ", 0), 0u);
  EXPECT_EQ(lines[2], "Total Resouce Count          :          0 ");
  EXPECT_EQ(lines[3], "Mem In Managed Resources     :          0 bytes     ");
  EXPECT_EQ(lines[4].rfind("Mem Not In Managed Resources : ", 0), 0u);
  EXPECT_EQ(lines[5], "*****************************************************");
}

TEST_F(RezProfileTest, ResourcesAreCountedByType) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a")), Record(0x22000002, 2, "b", Data("b")),
                     Record(0x22000003, 4, "c", Data("c"))});
  ASSERT_TRUE(Init());
  RecordingResource* a = Get(0x22000001);
  RecordingResource* b = Get(0x22000002);
  RecordingResource* c = Get(0x22000003);
  ASSERT_TRUE(a && b && c);
  a->m_Tracked_Memory = 3000;
  b->m_Tracked_Memory = 100;
  b->m_Loaded = 0;
  c->m_Tracked_Memory = 7;
  CRezMgr* saved = g_pRezMgr;
  g_pRezMgr = &m_Manager;
  std::vector<std::string> lines = Trigger();
  g_pRezMgr = saved;
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[2], "Total Resouce Count          :          3 ");
  EXPECT_EQ(lines[3], "Mem In Managed Resources     :      3,107 (   3.03K)");
  EXPECT_EQ(lines[5], "Texture...");
  EXPECT_EQ(lines[6], "   Resource Count            :          2 ");
  EXPECT_EQ(lines[7], "   Allocated Resource Count  :          1 ");
  EXPECT_EQ(lines[8], "   Tracked Memory            :      3,100 (   3.03K)");
  EXPECT_EQ(lines[9], "RenderObject...");
  EXPECT_EQ(lines[12], "   Tracked Memory            :          7 bytes     ");
}

TEST_F(RezProfileTest, NothingIsReportedWithoutAStartedManager) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a"))});
  ASSERT_TRUE(Init());  // installs the report as the variable's validation callback
  m_Manager.Term();
  CRezMgr* saved = g_pRezMgr;
  g_pRezMgr = &m_Manager;
  std::vector<std::string> lines = Trigger();
  g_pRezMgr = saved;
  EXPECT_TRUE(lines.empty());
}

}  // namespace
