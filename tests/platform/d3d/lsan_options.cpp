// Leak-checker settings of this test program.
//
// Mesa's driver threads carry dynamic thread-local storage that the leak checker cannot walk
// (its tracer crashes on it), so thread-local storage is not scanned for references. What is
// then wrongly reported (loader and SDL bookkeeping held only there) is suppressed by name in
// tests/support/lsan.supp, which is named here too so that the program works the same however
// it is started.
#include <array>
#include <string_view>

namespace {

constexpr std::string_view kSourceFile = __FILE__;
constexpr std::string_view kPrefix = "use_tls=0:suppressions=";
constexpr std::string_view kSupp = "tests/support/lsan.supp";
constexpr size_t kRootLength = kSourceFile.rfind("tests/platform/d3d/");

constexpr std::array<char, kPrefix.size() + kRootLength + kSupp.size() + 1> Options() {
  std::array<char, kPrefix.size() + kRootLength + kSupp.size() + 1> out = {};
  size_t n = 0;
  for (char c : kPrefix) out[n++] = c;
  for (size_t i = 0; i < kRootLength; ++i) out[n++] = kSourceFile[i];
  for (char c : kSupp) out[n++] = c;
  out[n] = '\0';
  return out;
}

constexpr auto kOptions = Options();

}  // namespace

extern "C" const char* __lsan_default_options() { return kOptions.data(); }
