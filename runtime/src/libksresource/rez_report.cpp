#include "runtime/src/libksresource/rez_report.h"

#include "runtime/src/core/output_redir.h"

static IKSOutputRedir* g_pOutputRedir = nullptr;
static CInterfaceHolder<IKSOutputRedir> g_OutputRedirHolder(kOutputRedirKey, &g_pOutputRedir);

namespace {

thread_local std::string t_Refusal;

}  // namespace

void Rez_Report_ErrorV(const char* file, int line, const char* format, va_list args) {
  if (!g_pOutputRedir) return;
  g_pOutputRedir->ReportV(1, 3, nullptr, file, line, -1, format, args);
}

void Rez_Report_Error(const char* file, int line, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Rez_Report_ErrorV(file, line, format, args);
  va_end(args);
}

void Rez_Report_DetailV(const char* file, int line, const char* format, va_list args) {
  if (!g_pOutputRedir) return;
  g_pOutputRedir->ReportV(1, 4, nullptr, file, line, -1, format, args);
}

void Rez_Report_Detail(const char* file, int line, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Rez_Report_DetailV(file, line, format, args);
  va_end(args);
}

void Rez_Report_Profile_Line(const char* format, ...) {
  if (!g_pOutputRedir) return;
  va_list args;
  va_start(args, format);
  g_pOutputRedir->ReportV(19, 1, nullptr, nullptr, 0, -1, format, args);
  va_end(args);
}

void Rez_Note_Refusal(const std::string& reason) { t_Refusal = reason; }

std::string Rez_Take_Refusal() {
  std::string reason;
  reason.swap(t_Refusal);
  return reason;
}
