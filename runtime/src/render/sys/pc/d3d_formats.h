#pragma once
// Pure helpers over device formats, shared by the device, its wrapper and the texture manager.
#include "platform/d3d/d3d8.h"

// Bits per pixel and channel masks of a colour format. Formats outside the known set leave the
// outputs unchanged (a null output is skipped).
void GetFormatBits(D3DFORMAT format, DWORD* bits, DWORD* alpha_mask, DWORD* red_mask, DWORD* green_mask,
                   DWORD* blue_mask);

// The texture data format code of a device format; 0 when it has none.
int GetTextureFormatCode(D3DFORMAT format);

// Depth and stencil bits of a depth format; both 0 for any other format.
void GetDepthFormatBits(D3DFORMAT format, DWORD* depth_bits, DWORD* stencil_bits);
