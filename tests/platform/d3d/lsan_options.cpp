// Leak-checker settings of this test program.
//
// Mesa's driver threads carry dynamic thread-local storage that the leak checker cannot walk
// (its tracer crashes on it), so thread-local storage is not scanned for references. What is
// then wrongly reported (loader and SDL bookkeeping held only there) is suppressed by name in
// tests/support/lsan.supp, which is named here too, by the source folder the program was built
// from, so that the program works the same however and wherever it is started.

extern "C" const char* __lsan_default_options() {
  return "use_tls=0:suppressions=" VT_DEFAULT_SOURCE_DIR "/tests/support/lsan.supp";
}
