#include "runtime/src/render/sys/pc/d3d_gamma.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "platform/d3d/d3d8.h"
#include "platform/system/debug.h"
#include "platform/system/files.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/render_cvars.h"

namespace {

float g_LastAppliedScale = 1.0f;
// The last refusal said, so that a device re-created for each mode does not repeat it.
std::string g_LastRefusal;

enum class RampSource { kLinear, kFile, kUnusable };

void FillLinear(D3DGAMMARAMP& ramp) {
  for (int i = 0; i < 256; ++i) ramp.red[i] = ramp.green[i] = ramp.blue[i] = static_cast<WORD>(i * 256);
}

WORD LittleEndianWord(const unsigned char* bytes) { return static_cast<WORD>(bytes[0] | (bytes[1] << 8)); }

// Reads the first ramp's worth of the file; a shorter file holds no ramp. A file that cannot be
// opened (a FIFO, device or folder in its place is never waited on) is named and counts as no
// file.
RampSource ReadRampFile(const char* path, D3DGAMMARAMP& ramp) {
  if (path == nullptr) return RampSource::kLinear;
  std::FILE* file = nullptr;
  std::string reason;
  const plat::Open_Result opened = plat::Open_Regular_File(path, "rb", &file, &reason);
  if (opened != plat::Open_Result::Opened && opened != plat::Open_Result::Missing) {
    const std::string line =
        std::string("Gamma file ") + path + " was not opened: " + reason + "; the linear ramp is used.";
    if (line != g_LastRefusal) plat::Error_Output(line.c_str());
    g_LastRefusal = line;
  }
  if (file == nullptr) return RampSource::kLinear;
  unsigned char bytes[kGammaFileSize];
  const size_t got = std::fread(bytes, 1, sizeof(bytes), file);
  const bool read_error = std::ferror(file) != 0;
  std::fclose(file);
  if (read_error || got != static_cast<size_t>(kGammaFileSize)) {
    Render_DebugPrintf(0, "Gamma file %s ignored: it must hold at least %ld bytes.\n", path, kGammaFileSize);
    return RampSource::kUnusable;
  }
  WORD* channels[3] = {ramp.red, ramp.green, ramp.blue};
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 256; ++i) channels[c][i] = LittleEndianWord(bytes + (c * 256 + i) * 2);
  return RampSource::kFile;
}

WORD ScaleEntry(WORD entry, float scale) {
  const double product = static_cast<double>(entry) * scale;
  if (!(product > 0.0)) return 0;  // negative or not a number
  if (product >= 65535.0) return 65535;
  return static_cast<WORD>(product);
}

void ScaleRamp(D3DGAMMARAMP& ramp, float scale) {
  for (int i = 0; i < 256; ++i) {
    ramp.red[i] = ScaleEntry(ramp.red[i], scale);
    ramp.green[i] = ScaleEntry(ramp.green[i], scale);
    ramp.blue[i] = ScaleEntry(ramp.blue[i], scale);
  }
}

}  // namespace

bool SetGammaRampFromFile(const char* path) {
  if (g_pDirect3DDevice == nullptr) return false;
  D3DGAMMARAMP ramp;
  FillLinear(ramp);
  const RampSource source = ReadRampFile(path, ramp);
  if (source == RampSource::kUnusable) return false;
  const float scale = GammaScale.Value;
  if (scale != 1.0f) ScaleRamp(ramp, scale);
  if (source == RampSource::kFile || scale != 1.0f || scale != g_LastAppliedScale)
    g_pDirect3DDevice->SetGammaRamp(D3DSGR_NO_CALIBRATION, &ramp);
  g_LastAppliedScale = scale;
  return true;
}

void ResetGammaState() {
  g_LastAppliedScale = 1.0f;
  g_LastRefusal.clear();
}
