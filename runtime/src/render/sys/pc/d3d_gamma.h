#pragma once
// The gamma ramp of the display, read from a file of three ramps (red, green, blue) of 256
// unsigned 16-bit little-endian entries each, scaled by GammaScale.

// Name of the gamma file in the working directory.
constexpr const char* kGammaFileName = "kestrone.gam";
// Bytes of the three ramps: the least a gamma file holds, and all that is read of it.
constexpr long kGammaFileSize = 3 * 256 * 2;

// Reads the ramp from `path` (the linear ramp i * 256 when there is no path or no such file),
// scales it by GammaScale (each entry clamped to 0..65535) and applies it to the device when it
// came from the file or the scale asks for it. Only a file's first 1536 bytes are read, so a
// longer file gives its first three ramps; a shorter one, or one that cannot be read, is ignored
// with a diagnostic: false, and the device keeps its ramp. A file that cannot be opened (a FIFO,
// device or folder in its place is never waited on) is named on the error channel, once while
// the same refusal repeats, and counts as no file. False also without a device.
bool SetGammaRampFromFile(const char* path);

// Forgets the last applied scale (back to 1.0) and the last refusal said, as at start-up.
void ResetGammaState();
