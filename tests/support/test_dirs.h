#pragma once
// The source and build folders of the test build: as ctest names them in the environment, else
// the folders the test was built from, so that a test binary also runs on its own.
#include <cstdlib>
#include <string>

namespace vt_test {

inline std::string Source_Dir() {
  const char* dir = std::getenv("VT_SOURCE_DIR");
  return dir ? dir : VT_DEFAULT_SOURCE_DIR;
}

inline std::string Binary_Dir() {
  const char* dir = std::getenv("VT_BINARY_DIR");
  return dir ? dir : VT_DEFAULT_BINARY_DIR;
}

}  // namespace vt_test
