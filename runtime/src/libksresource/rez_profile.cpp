// The resource profile report and the purge of loaded resources' data.
#include "runtime/src/libksresource/rez_profile.h"

#include <cstdio>

#include "platform/system/memory.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/libksresource/rez_report.h"

ConsoleInt RezMgr_Report_Resource_Profile("RezMgr_Report_Resource_Profile", 0, 2);

std::string Rez_Grouped_Number(int64_t value) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return value < 0 ? "-" + grouped : grouped;
}

static std::string Scaled_Text(int64_t value, const char* plain_form) {
  char text[64];
  std::string grouped = Rez_Grouped_Number(value);
  if (value > 1048576) {
    std::snprintf(text, sizeof text, "%10s (%7.2fM)", grouped.c_str(), value / 1048576.0);
  } else if (value > 1024) {
    std::snprintf(text, sizeof text, "%10s (%7.2fK)", grouped.c_str(), value / 1024.0);
  } else {
    std::snprintf(text, sizeof text, plain_form, grouped.c_str());
  }
  return text;
}

std::string Rez_Size_Text(int64_t bytes) { return Scaled_Text(bytes, "%10s bytes     "); }

std::string Rez_Count_Text(int64_t count) { return Scaled_Text(count, "%10s "); }

namespace {

struct TypeTotals {
  int64_t count = 0;
  int64_t allocated = 0;
  int64_t tracked = 0;
};

const char* Type_Name(int type) {
  static const char* const kNames[] = {"Unknown", "RenderStyle", "Texture", "Sound", "RenderObject"};
  return type >= 1 && type <= 4 ? kNames[type] : kNames[0];
}

bool Profile_Callback(const void*, const void*, int) {
  if (g_pRezMgr && g_pRezMgr->Is_Initialised()) g_pRezMgr->Report_Profile();
  return false;
}

}  // namespace

void CRezMgr::Install_Profile_Callback() { RezMgr_Report_Resource_Profile.SetValidationCallback(&Profile_Callback); }

void CRezMgr::Report_Profile() {
  if (!m_Initialised) return;
  TypeTotals totals[256];
  int64_t count = 0;
  int64_t managed_memory = 0;
  auto add = [&](const CRezResource* resource, uint8_t type) {
    ++count;
    totals[type].count += 1;
    totals[type].allocated += resource->m_Loaded;
    totals[type].tracked += resource->m_Tracked_Memory;
    managed_memory += resource->m_Tracked_Memory;
  };
  {
    CRezLockScope<CCriticalSection> hold(m_Table_Lock);
    for (const CRezResource* head : m_Table) {
      for (const CRezResource* r = head; r; r = r->m_Next) {
        const RezRecord* record = FindRecord(r->m_Resource_ID, nullptr);
        add(r, record ? record->type : r->m_Type);
      }
    }
    for (const CRezResource* head : m_Offset_Table) {
      for (const CRezResource* r = head; r; r = r->m_Next) add(r, r->m_Type);
    }
  }
  int64_t total = g_Total_Mem_Allocated.load();
  Rez_Report_Profile_Line("****************** Resource Profile *****************\n");
  Rez_Report_Profile_Line("Total Mem Allocated          : %s\n", Rez_Size_Text(total).c_str());
  Rez_Report_Profile_Line("Total Resouce Count          : %s\n", Rez_Count_Text(count).c_str());
  Rez_Report_Profile_Line("Mem In Managed Resources     : %s\n", Rez_Size_Text(managed_memory).c_str());
  Rez_Report_Profile_Line("Mem Not In Managed Resources : %s\n", Rez_Size_Text(total - managed_memory).c_str());
  for (int type = 1; type <= 4; ++type) {
    if (totals[type].count == 0) continue;
    Rez_Report_Profile_Line("%s...\n", Type_Name(type));
    Rez_Report_Profile_Line("   Resource Count            : %s\n", Rez_Count_Text(totals[type].count).c_str());
    Rez_Report_Profile_Line("   Allocated Resource Count  : %s\n", Rez_Count_Text(totals[type].allocated).c_str());
    Rez_Report_Profile_Line("   Tracked Memory            : %s\n", Rez_Size_Text(totals[type].tracked).c_str());
  }
  Rez_Report_Profile_Line("*****************************************************\n");
}

// The first loaded, managed resource (walking each bucket from its head only while resources
// are loaded and managed) that was not used in the current frame.
CRezResource* CRezMgr::Pick_Purge_Candidate() {
  uint32_t frame = Frame_Stamp();
  CRezLockScope<CCriticalSection> hold(m_Table_Lock);
  for (CRezResource* head : m_Table) {
    for (CRezResource* r = head; r && r->m_Loaded && r->m_Managed; r = r->m_Next) {
      if (r->m_Last_Use != frame) return r;
    }
  }
  return nullptr;
}

void CRezMgr::PurgeToTarget() {
  while (RezMgr_Target_Sys_Memory_InBytes.Value < g_Total_Mem_Allocated.load() + 500000) {
    CRezResource* candidate = Pick_Purge_Candidate();
    if (!candidate || candidate->m_Resource_ID == 0) return;
    // The object stays in the table; its next request reads it again.
    candidate->Free();
    candidate->m_Loaded = 0;
  }
}
