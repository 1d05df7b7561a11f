#include "runtime/src/libksresource/rez_report.h"

#include "runtime/src/core/output_redir.h"

static IKSOutputRedir* g_pOutputRedir = nullptr;
static CInterfaceHolder<IKSOutputRedir> g_OutputRedirHolder(kOutputRedirKey, &g_pOutputRedir);

void Rez_Report_Error(const char* file, int line, const char* format, ...) {
  if (!g_pOutputRedir) return;
  va_list args;
  va_start(args, format);
  g_pOutputRedir->ReportV(1, 3, nullptr, file, line, -1, format, args);
  va_end(args);
}

void Rez_Report_Profile_Line(const char* format, ...) {
  if (!g_pOutputRedir) return;
  va_list args;
  va_start(args, format);
  g_pOutputRedir->ReportV(19, 1, nullptr, nullptr, 0, -1, format, args);
  va_end(args);
}
