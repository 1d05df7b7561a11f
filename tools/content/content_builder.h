#pragma once
// Writes the content folder from a manifest: for every pack set its text-map form (with loose
// files) and its packed form, then the plain files.
#include <string>

#include "tools/content/manifest.h"

namespace content {

// Folder of the loose files of set n's text-map form, relative to the content folder.
std::string Loose_Folder(int set);

// Checks the manifest (unique ids per set, gapless set numbers, names that fit the pack map's
// path limits, unique file names) and writes every file under out_dir. Files whose bytes did not
// change are left untouched. On failure, error says why.
bool Write_Content(const Manifest& manifest, const std::string& out_dir, std::string& error);

}  // namespace content
