// vt_content_builder <output folder>: writes the game's sample content.
#include <cstdio>
#include <string>

#include "tools/content/content_builder.h"
#include "tools/content/manifest.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  content::Manifest manifest;
  content::Build_Manifest(manifest);
  std::string error;
  if (!content::Write_Content(manifest, argv[1], error)) {
    std::fprintf(stderr, "vt_content_builder: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
