#pragma once
// The Direct3D-8-shaped graphics interface that the renderer is written against: value types,
// the numeric constants that render styles and other files carry, and the abstract objects
// (the Direct3D object, the device, surfaces, textures, vertex and index buffers).
//
// Only what the renderer calls is declared. The real implementation draws through OpenGL
// (Direct3DCreate8); tests may implement the same abstract classes with a recording fake.
#include <cstdint>

#include "platform/system/win_types.h"

// ---------------------------------------------------------------------------------------------
// Scalars, result codes and small records
// ---------------------------------------------------------------------------------------------

using D3DCOLOR = DWORD;

constexpr D3DCOLOR D3DCOLOR_ARGB(DWORD a, DWORD r, DWORD g, DWORD b) {
  return ((a & 0xFFu) << 24) | ((r & 0xFFu) << 16) | ((g & 0xFFu) << 8) | (b & 0xFFu);
}
constexpr D3DCOLOR D3DCOLOR_XRGB(DWORD r, DWORD g, DWORD b) { return D3DCOLOR_ARGB(0xFF, r, g, b); }

constexpr HRESULT MakeD3DResult(DWORD code) { return static_cast<HRESULT>(0x88760000u | code); }

constexpr HRESULT D3D_OK = S_OK;
constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = MakeD3DResult(2072);
constexpr HRESULT D3DERR_UNSUPPORTEDCOLOROPERATION = MakeD3DResult(2073);
constexpr HRESULT D3DERR_UNSUPPORTEDALPHAOPERATION = MakeD3DResult(2075);
constexpr HRESULT D3DERR_TOOMANYOPERATIONS = MakeD3DResult(2077);
constexpr HRESULT D3DERR_NOTFOUND = MakeD3DResult(2150);
constexpr HRESULT D3DERR_MOREDATA = MakeD3DResult(2151);
constexpr HRESULT D3DERR_DEVICELOST = MakeD3DResult(2152);
constexpr HRESULT D3DERR_DEVICENOTRESET = MakeD3DResult(2153);
constexpr HRESULT D3DERR_NOTAVAILABLE = MakeD3DResult(2154);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = MakeD3DResult(380);
constexpr HRESULT D3DERR_INVALIDDEVICE = MakeD3DResult(2155);
constexpr HRESULT D3DERR_INVALIDCALL = MakeD3DResult(2156);

constexpr UINT D3D_SDK_VERSION = 220;
constexpr UINT D3DADAPTER_DEFAULT = 0;
constexpr DWORD D3DENUM_NO_WHQL_LEVEL = 2;

struct D3DVECTOR {
  float x, y, z;
};

struct D3DCOLORVALUE {
  float r, g, b, a;
};

// Row-major 4x4 matrix; points are row vectors multiplied on the left (p' = p * M).
struct D3DMATRIX {
  float m[4][4];
};

struct D3DRECT {
  LONG x1, y1, x2, y2;
};

struct D3DVIEWPORT8 {
  DWORD X, Y, Width, Height;
  float MinZ, MaxZ;
};

struct D3DMATERIAL8 {
  D3DCOLORVALUE Diffuse;
  D3DCOLORVALUE Ambient;
  D3DCOLORVALUE Specular;
  D3DCOLORVALUE Emissive;
  float Power;
};

enum D3DLIGHTTYPE : DWORD {
  D3DLIGHT_POINT = 1,
  D3DLIGHT_SPOT = 2,
  D3DLIGHT_DIRECTIONAL = 3,
};

struct D3DLIGHT8 {
  D3DLIGHTTYPE Type;
  D3DCOLORVALUE Diffuse;
  D3DCOLORVALUE Specular;
  D3DCOLORVALUE Ambient;
  D3DVECTOR Position;
  D3DVECTOR Direction;
  float Range;
  float Falloff;
  float Attenuation0;
  float Attenuation1;
  float Attenuation2;
  float Theta;
  float Phi;
};

struct D3DGAMMARAMP {
  WORD red[256];
  WORD green[256];
  WORD blue[256];
};

struct PALETTEENTRY {
  BYTE peRed, peGreen, peBlue, peFlags;
};

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};

// ---------------------------------------------------------------------------------------------
// Formats, resource kinds, pools, usages, lock flags
// ---------------------------------------------------------------------------------------------

constexpr DWORD MakeFourCC(char a, char b, char c, char d) {
  return static_cast<DWORD>(static_cast<BYTE>(a)) | (static_cast<DWORD>(static_cast<BYTE>(b)) << 8) |
         (static_cast<DWORD>(static_cast<BYTE>(c)) << 16) | (static_cast<DWORD>(static_cast<BYTE>(d)) << 24);
}

enum D3DFORMAT : DWORD {
  D3DFMT_UNKNOWN = 0,
  D3DFMT_R8G8B8 = 20,
  D3DFMT_A8R8G8B8 = 21,
  D3DFMT_X8R8G8B8 = 22,
  D3DFMT_R5G6B5 = 23,
  D3DFMT_X1R5G5B5 = 24,
  D3DFMT_A1R5G5B5 = 25,
  D3DFMT_A4R4G4B4 = 26,
  D3DFMT_A8 = 28,
  D3DFMT_P8 = 41,
  D3DFMT_L8 = 50,
  D3DFMT_V8U8 = 60,
  D3DFMT_DXT1 = MakeFourCC('D', 'X', 'T', '1'),
  D3DFMT_DXT3 = MakeFourCC('D', 'X', 'T', '3'),
  D3DFMT_DXT5 = MakeFourCC('D', 'X', 'T', '5'),
  D3DFMT_D16_LOCKABLE = 70,
  D3DFMT_D32 = 71,
  D3DFMT_D15S1 = 73,
  D3DFMT_D24S8 = 75,
  D3DFMT_D16 = 80,
  D3DFMT_D24X8 = 77,
  D3DFMT_D24X4S4 = 79,
  D3DFMT_VERTEXDATA = 100,
  D3DFMT_INDEX16 = 101,
  D3DFMT_INDEX32 = 102,
};

enum D3DRESOURCETYPE : DWORD {
  D3DRTYPE_SURFACE = 1,
  D3DRTYPE_VOLUME = 2,
  D3DRTYPE_TEXTURE = 3,
  D3DRTYPE_VOLUMETEXTURE = 4,
  D3DRTYPE_CUBETEXTURE = 5,
  D3DRTYPE_VERTEXBUFFER = 6,
  D3DRTYPE_INDEXBUFFER = 7,
};

enum D3DPOOL : DWORD {
  D3DPOOL_DEFAULT = 0,
  D3DPOOL_MANAGED = 1,
  D3DPOOL_SYSTEMMEM = 2,
  D3DPOOL_SCRATCH = 3,
};

constexpr DWORD D3DUSAGE_RENDERTARGET = 0x00000001;
constexpr DWORD D3DUSAGE_DEPTHSTENCIL = 0x00000002;
constexpr DWORD D3DUSAGE_WRITEONLY = 0x00000008;
constexpr DWORD D3DUSAGE_SOFTWAREPROCESSING = 0x00000010;
constexpr DWORD D3DUSAGE_DONOTCLIP = 0x00000020;
constexpr DWORD D3DUSAGE_POINTS = 0x00000040;
constexpr DWORD D3DUSAGE_DYNAMIC = 0x00000200;

constexpr DWORD D3DLOCK_READONLY = 0x00000010;
constexpr DWORD D3DLOCK_NOSYSLOCK = 0x00000800;
constexpr DWORD D3DLOCK_NOOVERWRITE = 0x00001000;
constexpr DWORD D3DLOCK_DISCARD = 0x00002000;

enum D3DMULTISAMPLE_TYPE : DWORD {
  D3DMULTISAMPLE_NONE = 0,
};

enum D3DCUBEMAP_FACES : DWORD {
  D3DCUBEMAP_FACE_POSITIVE_X = 0,
  D3DCUBEMAP_FACE_NEGATIVE_X = 1,
  D3DCUBEMAP_FACE_POSITIVE_Y = 2,
  D3DCUBEMAP_FACE_NEGATIVE_Y = 3,
  D3DCUBEMAP_FACE_POSITIVE_Z = 4,
  D3DCUBEMAP_FACE_NEGATIVE_Z = 5,
};

struct D3DSURFACE_DESC {
  D3DFORMAT Format;
  D3DRESOURCETYPE Type;
  DWORD Usage;
  D3DPOOL Pool;
  UINT Size;
  D3DMULTISAMPLE_TYPE MultiSampleType;
  UINT Width;
  UINT Height;
};

struct D3DVOLUME_DESC {
  D3DFORMAT Format;
  D3DRESOURCETYPE Type;
  DWORD Usage;
  D3DPOOL Pool;
  UINT Size;
  UINT Width;
  UINT Height;
  UINT Depth;
};

struct D3DVERTEXBUFFER_DESC {
  D3DFORMAT Format;
  D3DRESOURCETYPE Type;
  DWORD Usage;
  D3DPOOL Pool;
  UINT Size;
  DWORD FVF;
};

struct D3DINDEXBUFFER_DESC {
  D3DFORMAT Format;
  D3DRESOURCETYPE Type;
  DWORD Usage;
  D3DPOOL Pool;
  UINT Size;
};

struct D3DLOCKED_RECT {
  INT Pitch;
  void* pBits;
};

struct D3DLOCKED_BOX {
  INT RowPitch;
  INT SlicePitch;
  void* pBits;
};

// ---------------------------------------------------------------------------------------------
// Adapters, modes, capabilities, presentation
// ---------------------------------------------------------------------------------------------

enum D3DDEVTYPE : DWORD {
  D3DDEVTYPE_HAL = 1,
  D3DDEVTYPE_REF = 2,
  D3DDEVTYPE_SW = 3,
};

struct D3DDISPLAYMODE {
  UINT Width;
  UINT Height;
  UINT RefreshRate;
  D3DFORMAT Format;
};

struct D3DADAPTER_IDENTIFIER8 {
  char Driver[512];
  char Description[512];
  int64_t DriverVersion;
  DWORD VendorId;
  DWORD DeviceId;
  DWORD SubSysId;
  DWORD Revision;
  GUID DeviceIdentifier;
  DWORD WHQLLevel;
};

enum D3DSWAPEFFECT : DWORD {
  D3DSWAPEFFECT_DISCARD = 1,
  D3DSWAPEFFECT_FLIP = 2,
  D3DSWAPEFFECT_COPY = 3,
  D3DSWAPEFFECT_COPY_VSYNC = 4,
};

constexpr DWORD D3DPRESENTFLAG_LOCKABLE_BACKBUFFER = 0x00000001;
constexpr UINT D3DPRESENT_RATE_DEFAULT = 0;
constexpr UINT D3DPRESENT_RATE_UNLIMITED = 0x7FFFFFFF;
constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0;
constexpr UINT D3DPRESENT_INTERVAL_ONE = 1;
constexpr UINT D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u;

struct D3DPRESENT_PARAMETERS {
  UINT BackBufferWidth;
  UINT BackBufferHeight;
  D3DFORMAT BackBufferFormat;
  UINT BackBufferCount;
  D3DMULTISAMPLE_TYPE MultiSampleType;
  D3DSWAPEFFECT SwapEffect;
  HWND hDeviceWindow;
  BOOL Windowed;
  BOOL EnableAutoDepthStencil;
  D3DFORMAT AutoDepthStencilFormat;
  DWORD Flags;
  UINT FullScreen_RefreshRateInHz;
  UINT FullScreen_PresentationInterval;
};

constexpr DWORD D3DCREATE_FPU_PRESERVE = 0x00000002;
constexpr DWORD D3DCREATE_MULTITHREADED = 0x00000004;
constexpr DWORD D3DCREATE_PUREDEVICE = 0x00000010;
constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x00000020;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x00000040;
constexpr DWORD D3DCREATE_MIXED_VERTEXPROCESSING = 0x00000080;

enum D3DBACKBUFFER_TYPE : DWORD {
  D3DBACKBUFFER_TYPE_MONO = 0,
};

constexpr DWORD D3DSGR_NO_CALIBRATION = 0;
constexpr DWORD D3DSGR_CALIBRATE = 1;

constexpr DWORD D3DCLEAR_TARGET = 0x00000001;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x00000002;
constexpr DWORD D3DCLEAR_STENCIL = 0x00000004;

struct D3DCAPS8 {
  D3DDEVTYPE DeviceType;
  UINT AdapterOrdinal;
  DWORD Caps;
  DWORD Caps2;
  DWORD Caps3;
  DWORD PresentationIntervals;
  DWORD CursorCaps;
  DWORD DevCaps;
  DWORD PrimitiveMiscCaps;
  DWORD RasterCaps;
  DWORD ZCmpCaps;
  DWORD SrcBlendCaps;
  DWORD DestBlendCaps;
  DWORD AlphaCmpCaps;
  DWORD ShadeCaps;
  DWORD TextureCaps;
  DWORD TextureFilterCaps;
  DWORD CubeTextureFilterCaps;
  DWORD VolumeTextureFilterCaps;
  DWORD TextureAddressCaps;
  DWORD VolumeTextureAddressCaps;
  DWORD LineCaps;
  DWORD MaxTextureWidth;
  DWORD MaxTextureHeight;
  DWORD MaxVolumeExtent;
  DWORD MaxTextureRepeat;
  DWORD MaxTextureAspectRatio;
  DWORD MaxAnisotropy;
  float MaxVertexW;
  float GuardBandLeft;
  float GuardBandTop;
  float GuardBandRight;
  float GuardBandBottom;
  float ExtentsAdjust;
  DWORD StencilCaps;
  DWORD FVFCaps;
  DWORD TextureOpCaps;
  DWORD MaxTextureBlendStages;
  DWORD MaxSimultaneousTextures;
  DWORD VertexProcessingCaps;
  DWORD MaxActiveLights;
  DWORD MaxUserClipPlanes;
  DWORD MaxVertexBlendMatrices;
  DWORD MaxVertexBlendMatrixIndex;
  float MaxPointSize;
  DWORD MaxPrimitiveCount;
  DWORD MaxVertexIndex;
  DWORD MaxStreams;
  DWORD MaxStreamStride;
  DWORD VertexShaderVersion;
  DWORD MaxVertexShaderConst;
  DWORD PixelShaderVersion;
  float MaxPixelShaderValue;
};

// Caps2
constexpr DWORD D3DCAPS2_FULLSCREENGAMMA = 0x00020000;
constexpr DWORD D3DCAPS2_CANRENDERWINDOWED = 0x00080000;
constexpr DWORD D3DCAPS2_DYNAMICTEXTURES = 0x20000000;

// DevCaps
constexpr DWORD D3DDEVCAPS_EXECUTESYSTEMMEMORY = 0x00000010;
constexpr DWORD D3DDEVCAPS_TLVERTEXSYSTEMMEMORY = 0x00000040;
constexpr DWORD D3DDEVCAPS_TEXTURESYSTEMMEMORY = 0x00000100;
constexpr DWORD D3DDEVCAPS_DRAWPRIMTLVERTEX = 0x00000400;
constexpr DWORD D3DDEVCAPS_HWTRANSFORMANDLIGHT = 0x00010000;
constexpr DWORD D3DDEVCAPS_HWRASTERIZATION = 0x00080000;

// PrimitiveMiscCaps
constexpr DWORD D3DPMISCCAPS_MASKZ = 0x00000002;
constexpr DWORD D3DPMISCCAPS_CULLNONE = 0x00000010;
constexpr DWORD D3DPMISCCAPS_CULLCW = 0x00000020;
constexpr DWORD D3DPMISCCAPS_CULLCCW = 0x00000040;
constexpr DWORD D3DPMISCCAPS_COLORWRITEENABLE = 0x00000080;

// RasterCaps
constexpr DWORD D3DPRASTERCAPS_DITHER = 0x00000001;
constexpr DWORD D3DPRASTERCAPS_ZTEST = 0x00000010;
constexpr DWORD D3DPRASTERCAPS_FOGVERTEX = 0x00000080;
constexpr DWORD D3DPRASTERCAPS_FOGTABLE = 0x00000100;
constexpr DWORD D3DPRASTERCAPS_MIPMAPLODBIAS = 0x00002000;
constexpr DWORD D3DPRASTERCAPS_WFOG = 0x00100000;
constexpr DWORD D3DPRASTERCAPS_ZFOG = 0x00200000;

// Comparison caps (ZCmpCaps, AlphaCmpCaps)
constexpr DWORD D3DPCMPCAPS_ALL = 0x000000FF;
// Blend caps (SrcBlendCaps, DestBlendCaps): ZERO .. BOTHINVSRCALPHA
constexpr DWORD D3DPBLENDCAPS_ALL = 0x00001FFF;

// ShadeCaps
constexpr DWORD D3DPSHADECAPS_COLORGOURAUDRGB = 0x00000008;
constexpr DWORD D3DPSHADECAPS_SPECULARGOURAUDRGB = 0x00000200;
constexpr DWORD D3DPSHADECAPS_ALPHAGOURAUDBLEND = 0x00004000;
constexpr DWORD D3DPSHADECAPS_FOGGOURAUD = 0x00080000;

// TextureCaps
constexpr DWORD D3DPTEXTURECAPS_PERSPECTIVE = 0x00000001;
constexpr DWORD D3DPTEXTURECAPS_POW2 = 0x00000002;
constexpr DWORD D3DPTEXTURECAPS_ALPHA = 0x00000004;
constexpr DWORD D3DPTEXTURECAPS_SQUAREONLY = 0x00000020;
constexpr DWORD D3DPTEXTURECAPS_ALPHAPALETTE = 0x00000080;
constexpr DWORD D3DPTEXTURECAPS_PROJECTED = 0x00000400;
constexpr DWORD D3DPTEXTURECAPS_CUBEMAP = 0x00000800;
constexpr DWORD D3DPTEXTURECAPS_VOLUMEMAP = 0x00002000;
constexpr DWORD D3DPTEXTURECAPS_MIPMAP = 0x00004000;
constexpr DWORD D3DPTEXTURECAPS_MIPVOLUMEMAP = 0x00008000;
constexpr DWORD D3DPTEXTURECAPS_MIPCUBEMAP = 0x00010000;

// TextureFilterCaps
constexpr DWORD D3DPTFILTERCAPS_MINFPOINT = 0x00000100;
constexpr DWORD D3DPTFILTERCAPS_MINFLINEAR = 0x00000200;
constexpr DWORD D3DPTFILTERCAPS_MIPFPOINT = 0x00010000;
constexpr DWORD D3DPTFILTERCAPS_MIPFLINEAR = 0x00020000;
constexpr DWORD D3DPTFILTERCAPS_MAGFPOINT = 0x01000000;
constexpr DWORD D3DPTFILTERCAPS_MAGFLINEAR = 0x02000000;

// TextureAddressCaps
constexpr DWORD D3DPTADDRESSCAPS_WRAP = 0x00000001;
constexpr DWORD D3DPTADDRESSCAPS_MIRROR = 0x00000002;
constexpr DWORD D3DPTADDRESSCAPS_CLAMP = 0x00000004;
constexpr DWORD D3DPTADDRESSCAPS_BORDER = 0x00000008;
constexpr DWORD D3DPTADDRESSCAPS_INDEPENDENTUV = 0x00000010;

// LineCaps
constexpr DWORD D3DLINECAPS_TEXTURE = 0x00000001;
constexpr DWORD D3DLINECAPS_ZTEST = 0x00000002;
constexpr DWORD D3DLINECAPS_BLEND = 0x00000004;
constexpr DWORD D3DLINECAPS_ALPHACMP = 0x00000008;
constexpr DWORD D3DLINECAPS_FOG = 0x00000010;

// StencilCaps: KEEP .. DECR
constexpr DWORD D3DSTENCILCAPS_ALL = 0x000000FF;

// FVFCaps
constexpr DWORD D3DFVFCAPS_TEXCOORDCOUNTMASK = 0x0000FFFF;
constexpr DWORD D3DFVFCAPS_DONOTSTRIPELEMENTS = 0x00080000;
constexpr DWORD D3DFVFCAPS_PSIZE = 0x00100000;

// TextureOpCaps
constexpr DWORD D3DTEXOPCAPS_DISABLE = 0x00000001;
constexpr DWORD D3DTEXOPCAPS_SELECTARG1 = 0x00000002;
constexpr DWORD D3DTEXOPCAPS_SELECTARG2 = 0x00000004;
constexpr DWORD D3DTEXOPCAPS_MODULATE = 0x00000008;
constexpr DWORD D3DTEXOPCAPS_MODULATE2X = 0x00000010;
constexpr DWORD D3DTEXOPCAPS_MODULATE4X = 0x00000020;
constexpr DWORD D3DTEXOPCAPS_ADD = 0x00000040;
constexpr DWORD D3DTEXOPCAPS_ADDSIGNED = 0x00000080;
constexpr DWORD D3DTEXOPCAPS_ADDSIGNED2X = 0x00000100;
constexpr DWORD D3DTEXOPCAPS_SUBTRACT = 0x00000200;
constexpr DWORD D3DTEXOPCAPS_ADDSMOOTH = 0x00000400;
constexpr DWORD D3DTEXOPCAPS_BLENDDIFFUSEALPHA = 0x00000800;
constexpr DWORD D3DTEXOPCAPS_BLENDTEXTUREALPHA = 0x00001000;
constexpr DWORD D3DTEXOPCAPS_BLENDFACTORALPHA = 0x00002000;
constexpr DWORD D3DTEXOPCAPS_BLENDTEXTUREALPHAPM = 0x00004000;
constexpr DWORD D3DTEXOPCAPS_BLENDCURRENTALPHA = 0x00008000;
constexpr DWORD D3DTEXOPCAPS_BUMPENVMAP = 0x00200000;
constexpr DWORD D3DTEXOPCAPS_BUMPENVMAPLUMINANCE = 0x00400000;
constexpr DWORD D3DTEXOPCAPS_DOTPRODUCT3 = 0x00800000;

// VertexProcessingCaps
constexpr DWORD D3DVTXPCAPS_TEXGEN = 0x00000001;
constexpr DWORD D3DVTXPCAPS_MATERIALSOURCE7 = 0x00000002;
constexpr DWORD D3DVTXPCAPS_DIRECTIONALLIGHTS = 0x00000008;
constexpr DWORD D3DVTXPCAPS_POSITIONALLIGHTS = 0x00000010;
constexpr DWORD D3DVTXPCAPS_LOCALVIEWER = 0x00000020;
constexpr DWORD D3DVTXPCAPS_NO_VSDT = 0x00000080;

// Shader versions as the caps report them.
constexpr DWORD D3DVS_VERSION(DWORD major, DWORD minor) { return 0xFFFE0000u | (major << 8) | minor; }
constexpr DWORD D3DPS_VERSION(DWORD major, DWORD minor) { return 0xFFFF0000u | (major << 8) | minor; }

// ---------------------------------------------------------------------------------------------
// Render states and their values
// ---------------------------------------------------------------------------------------------

enum D3DRENDERSTATETYPE : DWORD {
  D3DRS_ZENABLE = 7,
  D3DRS_FILLMODE = 8,
  D3DRS_SHADEMODE = 9,
  D3DRS_ZWRITEENABLE = 14,
  D3DRS_ALPHATESTENABLE = 15,
  D3DRS_LASTPIXEL = 16,
  D3DRS_SRCBLEND = 19,
  D3DRS_DESTBLEND = 20,
  D3DRS_CULLMODE = 22,
  D3DRS_ZFUNC = 23,
  D3DRS_ALPHAREF = 24,
  D3DRS_ALPHAFUNC = 25,
  D3DRS_DITHERENABLE = 26,
  D3DRS_ALPHABLENDENABLE = 27,
  D3DRS_FOGENABLE = 28,
  D3DRS_SPECULARENABLE = 29,
  D3DRS_FOGCOLOR = 34,
  D3DRS_FOGTABLEMODE = 35,
  D3DRS_FOGSTART = 36,
  D3DRS_FOGEND = 37,
  D3DRS_FOGDENSITY = 38,
  D3DRS_EDGEANTIALIAS = 40,
  D3DRS_ZBIAS = 47,
  D3DRS_RANGEFOGENABLE = 48,
  D3DRS_STENCILENABLE = 52,
  D3DRS_STENCILFAIL = 53,
  D3DRS_STENCILZFAIL = 54,
  D3DRS_STENCILPASS = 55,
  D3DRS_STENCILFUNC = 56,
  D3DRS_STENCILREF = 57,
  D3DRS_STENCILMASK = 58,
  D3DRS_STENCILWRITEMASK = 59,
  D3DRS_TEXTUREFACTOR = 60,
  D3DRS_WRAP0 = 128,
  D3DRS_CLIPPING = 136,
  D3DRS_LIGHTING = 137,
  D3DRS_AMBIENT = 139,
  D3DRS_FOGVERTEXMODE = 140,
  D3DRS_COLORVERTEX = 141,
  D3DRS_LOCALVIEWER = 142,
  D3DRS_NORMALIZENORMALS = 143,
  D3DRS_DIFFUSEMATERIALSOURCE = 145,
  D3DRS_SPECULARMATERIALSOURCE = 146,
  D3DRS_AMBIENTMATERIALSOURCE = 147,
  D3DRS_EMISSIVEMATERIALSOURCE = 148,
  D3DRS_VERTEXBLEND = 151,
  D3DRS_CLIPPLANEENABLE = 152,
  D3DRS_SOFTWAREVERTEXPROCESSING = 153,
  D3DRS_POINTSIZE = 154,
  D3DRS_POINTSIZE_MIN = 155,
  D3DRS_POINTSPRITEENABLE = 156,
  D3DRS_POINTSCALEENABLE = 157,
  D3DRS_POINTSCALE_A = 158,
  D3DRS_POINTSCALE_B = 159,
  D3DRS_POINTSCALE_C = 160,
  D3DRS_MULTISAMPLEANTIALIAS = 161,
  D3DRS_MULTISAMPLEMASK = 162,
  D3DRS_POINTSIZE_MAX = 166,
  D3DRS_INDEXEDVERTEXBLENDENABLE = 167,
  D3DRS_COLORWRITEENABLE = 168,
  D3DRS_TWEENFACTOR = 170,
  D3DRS_BLENDOP = 171,
};

// Highest render-state number plus one; shadow tables of 256 entries cover every state.
constexpr DWORD D3DRS_STATE_COUNT = 256;

enum D3DZBUFFERTYPE : DWORD { D3DZB_FALSE = 0, D3DZB_TRUE = 1, D3DZB_USEW = 2 };
enum D3DFILLMODE : DWORD { D3DFILL_POINT = 1, D3DFILL_WIREFRAME = 2, D3DFILL_SOLID = 3 };
enum D3DSHADEMODE : DWORD { D3DSHADE_FLAT = 1, D3DSHADE_GOURAUD = 2, D3DSHADE_PHONG = 3 };
enum D3DCULL : DWORD { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
enum D3DFOGMODE : DWORD { D3DFOG_NONE = 0, D3DFOG_EXP = 1, D3DFOG_EXP2 = 2, D3DFOG_LINEAR = 3 };
enum D3DMATERIALCOLORSOURCE : DWORD { D3DMCS_MATERIAL = 0, D3DMCS_COLOR1 = 1, D3DMCS_COLOR2 = 2 };

enum D3DVERTEXBLENDFLAGS : DWORD {
  D3DVBF_DISABLE = 0,
  D3DVBF_1WEIGHTS = 1,
  D3DVBF_2WEIGHTS = 2,
  D3DVBF_3WEIGHTS = 3,
  D3DVBF_TWEENING = 255,
  D3DVBF_0WEIGHTS = 256,
};

enum D3DBLEND : DWORD {
  D3DBLEND_ZERO = 1,
  D3DBLEND_ONE = 2,
  D3DBLEND_SRCCOLOR = 3,
  D3DBLEND_INVSRCCOLOR = 4,
  D3DBLEND_SRCALPHA = 5,
  D3DBLEND_INVSRCALPHA = 6,
  D3DBLEND_DESTALPHA = 7,
  D3DBLEND_INVDESTALPHA = 8,
  D3DBLEND_DESTCOLOR = 9,
  D3DBLEND_INVDESTCOLOR = 10,
  D3DBLEND_SRCALPHASAT = 11,
  D3DBLEND_BOTHSRCALPHA = 12,
  D3DBLEND_BOTHINVSRCALPHA = 13,
};

enum D3DBLENDOP : DWORD {
  D3DBLENDOP_ADD = 1,
  D3DBLENDOP_SUBTRACT = 2,
  D3DBLENDOP_REVSUBTRACT = 3,
  D3DBLENDOP_MIN = 4,
  D3DBLENDOP_MAX = 5,
};

enum D3DCMPFUNC : DWORD {
  D3DCMP_NEVER = 1,
  D3DCMP_LESS = 2,
  D3DCMP_EQUAL = 3,
  D3DCMP_LESSEQUAL = 4,
  D3DCMP_GREATER = 5,
  D3DCMP_NOTEQUAL = 6,
  D3DCMP_GREATEREQUAL = 7,
  D3DCMP_ALWAYS = 8,
};

enum D3DSTENCILOP : DWORD {
  D3DSTENCILOP_KEEP = 1,
  D3DSTENCILOP_ZERO = 2,
  D3DSTENCILOP_REPLACE = 3,
  D3DSTENCILOP_INCRSAT = 4,
  D3DSTENCILOP_DECRSAT = 5,
  D3DSTENCILOP_INVERT = 6,
  D3DSTENCILOP_INCR = 7,
  D3DSTENCILOP_DECR = 8,
};

// D3DRS_COLORWRITEENABLE bits
constexpr DWORD D3DCOLORWRITEENABLE_RED = 1;
constexpr DWORD D3DCOLORWRITEENABLE_GREEN = 2;
constexpr DWORD D3DCOLORWRITEENABLE_BLUE = 4;
constexpr DWORD D3DCOLORWRITEENABLE_ALPHA = 8;

// ---------------------------------------------------------------------------------------------
// Texture stage states and their values
// ---------------------------------------------------------------------------------------------

enum D3DTEXTURESTAGESTATETYPE : DWORD {
  D3DTSS_COLOROP = 1,
  D3DTSS_COLORARG1 = 2,
  D3DTSS_COLORARG2 = 3,
  D3DTSS_ALPHAOP = 4,
  D3DTSS_ALPHAARG1 = 5,
  D3DTSS_ALPHAARG2 = 6,
  D3DTSS_BUMPENVMAT00 = 7,
  D3DTSS_BUMPENVMAT01 = 8,
  D3DTSS_BUMPENVMAT10 = 9,
  D3DTSS_BUMPENVMAT11 = 10,
  D3DTSS_TEXCOORDINDEX = 11,
  D3DTSS_ADDRESSU = 13,
  D3DTSS_ADDRESSV = 14,
  D3DTSS_BORDERCOLOR = 15,
  D3DTSS_MAGFILTER = 16,
  D3DTSS_MINFILTER = 17,
  D3DTSS_MIPFILTER = 18,
  D3DTSS_MIPMAPLODBIAS = 19,
  D3DTSS_MAXMIPLEVEL = 20,
  D3DTSS_MAXANISOTROPY = 21,
  D3DTSS_BUMPENVLSCALE = 22,
  D3DTSS_BUMPENVLOFFSET = 23,
  D3DTSS_TEXTURETRANSFORMFLAGS = 24,
  D3DTSS_ADDRESSW = 25,
  D3DTSS_COLORARG0 = 26,
  D3DTSS_ALPHAARG0 = 27,
  D3DTSS_RESULTARG = 28,
};

// Texture stages the device has; shadow tables of 32 states per stage cover every state.
constexpr DWORD D3D_TEXTURE_STAGES = 8;
constexpr DWORD D3DTSS_STATE_COUNT = 32;

// D3DTSS_TEXCOORDINDEX: the coordinate set in the low bits, generation in the high word.
constexpr DWORD D3DTSS_TCI_PASSTHRU = 0x00000000;
constexpr DWORD D3DTSS_TCI_CAMERASPACENORMAL = 0x00010000;
constexpr DWORD D3DTSS_TCI_CAMERASPACEPOSITION = 0x00020000;
constexpr DWORD D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR = 0x00030000;

enum D3DTEXTUREOP : DWORD {
  D3DTOP_DISABLE = 1,
  D3DTOP_SELECTARG1 = 2,
  D3DTOP_SELECTARG2 = 3,
  D3DTOP_MODULATE = 4,
  D3DTOP_MODULATE2X = 5,
  D3DTOP_MODULATE4X = 6,
  D3DTOP_ADD = 7,
  D3DTOP_ADDSIGNED = 8,
  D3DTOP_ADDSIGNED2X = 9,
  D3DTOP_SUBTRACT = 10,
  D3DTOP_ADDSMOOTH = 11,
  D3DTOP_BLENDDIFFUSEALPHA = 12,
  D3DTOP_BLENDTEXTUREALPHA = 13,
  D3DTOP_BLENDFACTORALPHA = 14,
  D3DTOP_BLENDTEXTUREALPHAPM = 15,
  D3DTOP_BLENDCURRENTALPHA = 16,
  D3DTOP_PREMODULATE = 17,
  D3DTOP_MODULATEALPHA_ADDCOLOR = 18,
  D3DTOP_MODULATECOLOR_ADDALPHA = 19,
  D3DTOP_MODULATEINVALPHA_ADDCOLOR = 20,
  D3DTOP_MODULATEINVCOLOR_ADDALPHA = 21,
  D3DTOP_BUMPENVMAP = 22,
  D3DTOP_BUMPENVMAPLUMINANCE = 23,
  D3DTOP_DOTPRODUCT3 = 24,
  D3DTOP_MULTIPLYADD = 25,
  D3DTOP_LERP = 26,
};

// Texture arguments
constexpr DWORD D3DTA_SELECTMASK = 0x0000000F;
constexpr DWORD D3DTA_DIFFUSE = 0x00000000;
constexpr DWORD D3DTA_CURRENT = 0x00000001;
constexpr DWORD D3DTA_TEXTURE = 0x00000002;
constexpr DWORD D3DTA_TFACTOR = 0x00000003;
constexpr DWORD D3DTA_SPECULAR = 0x00000004;
constexpr DWORD D3DTA_TEMP = 0x00000005;
constexpr DWORD D3DTA_COMPLEMENT = 0x00000010;
constexpr DWORD D3DTA_ALPHAREPLICATE = 0x00000020;

enum D3DTEXTUREADDRESS : DWORD {
  D3DTADDRESS_WRAP = 1,
  D3DTADDRESS_MIRROR = 2,
  D3DTADDRESS_CLAMP = 3,
  D3DTADDRESS_BORDER = 4,
  D3DTADDRESS_MIRRORONCE = 5,
};

enum D3DTEXTUREFILTERTYPE : DWORD {
  D3DTEXF_NONE = 0,
  D3DTEXF_POINT = 1,
  D3DTEXF_LINEAR = 2,
  D3DTEXF_ANISOTROPIC = 3,
};

enum D3DTEXTURETRANSFORMFLAGS : DWORD {
  D3DTTFF_DISABLE = 0,
  D3DTTFF_COUNT1 = 1,
  D3DTTFF_COUNT2 = 2,
  D3DTTFF_COUNT3 = 3,
  D3DTTFF_COUNT4 = 4,
  D3DTTFF_PROJECTED = 256,
};

// ---------------------------------------------------------------------------------------------
// Transforms, primitives, vertex formats, shader declarations
// ---------------------------------------------------------------------------------------------

enum D3DTRANSFORMSTATETYPE : DWORD {
  D3DTS_VIEW = 2,
  D3DTS_PROJECTION = 3,
  D3DTS_TEXTURE0 = 16,
  D3DTS_TEXTURE1 = 17,
  D3DTS_TEXTURE2 = 18,
  D3DTS_TEXTURE3 = 19,
  D3DTS_TEXTURE4 = 20,
  D3DTS_TEXTURE5 = 21,
  D3DTS_TEXTURE6 = 22,
  D3DTS_TEXTURE7 = 23,
  D3DTS_WORLD = 256,
  D3DTS_WORLD1 = 257,
  D3DTS_WORLD2 = 258,
  D3DTS_WORLD3 = 259,
};

constexpr D3DTRANSFORMSTATETYPE D3DTS_WORLDMATRIX(DWORD index) {
  return static_cast<D3DTRANSFORMSTATETYPE>(256 + index);
}

enum D3DPRIMITIVETYPE : DWORD {
  D3DPT_POINTLIST = 1,
  D3DPT_LINELIST = 2,
  D3DPT_LINESTRIP = 3,
  D3DPT_TRIANGLELIST = 4,
  D3DPT_TRIANGLESTRIP = 5,
  D3DPT_TRIANGLEFAN = 6,
};

// Flexible vertex format bits. Elements appear in a vertex in this order: position (with blend
// weights), normal, point size, diffuse, specular, texture coordinate sets.
constexpr DWORD D3DFVF_POSITION_MASK = 0x00E;
constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_XYZRHW = 0x004;
constexpr DWORD D3DFVF_XYZB1 = 0x006;
constexpr DWORD D3DFVF_XYZB2 = 0x008;
constexpr DWORD D3DFVF_XYZB3 = 0x00A;
constexpr DWORD D3DFVF_XYZB4 = 0x00C;
constexpr DWORD D3DFVF_XYZB5 = 0x00E;
constexpr DWORD D3DFVF_NORMAL = 0x010;
constexpr DWORD D3DFVF_PSIZE = 0x020;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_SPECULAR = 0x080;
constexpr DWORD D3DFVF_TEXCOUNT_MASK = 0xF00;
constexpr DWORD D3DFVF_TEXCOUNT_SHIFT = 8;
constexpr DWORD D3DFVF_TEX0 = 0x000;
constexpr DWORD D3DFVF_TEX1 = 0x100;
constexpr DWORD D3DFVF_TEX2 = 0x200;
constexpr DWORD D3DFVF_TEX3 = 0x300;
constexpr DWORD D3DFVF_TEX4 = 0x400;
constexpr DWORD D3DFVF_TEX5 = 0x500;
constexpr DWORD D3DFVF_TEX6 = 0x600;
constexpr DWORD D3DFVF_TEX7 = 0x700;
constexpr DWORD D3DFVF_TEX8 = 0x800;
constexpr DWORD D3DFVF_LASTBETA_UBYTE4 = 0x1000;

// Size of texture coordinate set `index` (two floats unless stated).
constexpr DWORD D3DFVF_TEXTUREFORMAT1 = 3;
constexpr DWORD D3DFVF_TEXTUREFORMAT2 = 0;
constexpr DWORD D3DFVF_TEXTUREFORMAT3 = 1;
constexpr DWORD D3DFVF_TEXTUREFORMAT4 = 2;
constexpr DWORD D3DFVF_TEXCOORDSIZE1(DWORD index) { return D3DFVF_TEXTUREFORMAT1 << (index * 2 + 16); }
constexpr DWORD D3DFVF_TEXCOORDSIZE2(DWORD index) { return D3DFVF_TEXTUREFORMAT2 << (index * 2 + 16); }
constexpr DWORD D3DFVF_TEXCOORDSIZE3(DWORD index) { return D3DFVF_TEXTUREFORMAT3 << (index * 2 + 16); }
constexpr DWORD D3DFVF_TEXCOORDSIZE4(DWORD index) { return D3DFVF_TEXTUREFORMAT4 << (index * 2 + 16); }

// Vertex shader declaration tokens (a declaration is a DWORD array closed by D3DVSD_END()).
enum D3DVSDT_TYPE : DWORD {
  D3DVSDT_FLOAT1 = 0,
  D3DVSDT_FLOAT2 = 1,
  D3DVSDT_FLOAT3 = 2,
  D3DVSDT_FLOAT4 = 3,
  D3DVSDT_D3DCOLOR = 4,
  D3DVSDT_UBYTE4 = 5,
  D3DVSDT_SHORT2 = 6,
  D3DVSDT_SHORT4 = 7,
};
constexpr DWORD D3DVSD_STREAM(DWORD stream) { return (1u << 29) | stream; }
constexpr DWORD D3DVSD_REG(DWORD reg, DWORD type) { return (2u << 29) | (type << 16) | reg; }
constexpr DWORD D3DVSD_END() { return 0xFFFFFFFFu; }

// ---------------------------------------------------------------------------------------------
// Objects
// ---------------------------------------------------------------------------------------------

// Reference counting shared by every object. Release returns the new count; at 0 the object is
// destroyed.
class IUnknown {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  virtual ~IUnknown() = default;
};

class IDirect3DDevice8;

class IDirect3DResource8 : public IUnknown {
 public:
  virtual HRESULT GetDevice(IDirect3DDevice8** device) = 0;
  virtual D3DRESOURCETYPE GetType() = 0;
};

class IDirect3DSurface8 : public IUnknown {
 public:
  virtual HRESULT GetDevice(IDirect3DDevice8** device) = 0;
  virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;
  virtual HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect() = 0;
};

class IDirect3DBaseTexture8 : public IDirect3DResource8 {
 public:
  virtual DWORD SetLOD(DWORD lod) = 0;
  virtual DWORD GetLOD() = 0;
  virtual DWORD GetLevelCount() = 0;
};

class IDirect3DTexture8 : public IDirect3DBaseTexture8 {
 public:
  virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
  virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) = 0;
  virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect(UINT level) = 0;
};

class IDirect3DCubeTexture8 : public IDirect3DBaseTexture8 {
 public:
  virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
  virtual HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface8** surface) = 0;
  virtual HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                           DWORD flags) = 0;
  virtual HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) = 0;
};

class IDirect3DVolumeTexture8 : public IDirect3DBaseTexture8 {
 public:
  virtual HRESULT GetLevelDesc(UINT level, D3DVOLUME_DESC* desc) = 0;
};

class IDirect3DVertexBuffer8 : public IDirect3DResource8 {
 public:
  virtual HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) = 0;
  virtual HRESULT Unlock() = 0;
  virtual HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) = 0;
};

class IDirect3DIndexBuffer8 : public IDirect3DResource8 {
 public:
  virtual HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) = 0;
  virtual HRESULT Unlock() = 0;
  virtual HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) = 0;
};

class IDirect3D8;

class IDirect3DDevice8 : public IUnknown {
 public:
  // Device, presentation, loss
  virtual HRESULT TestCooperativeLevel() = 0;
  virtual HRESULT GetDirect3D(IDirect3D8** d3d) = 0;
  virtual HRESULT GetDeviceCaps(D3DCAPS8* caps) = 0;
  virtual HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) = 0;
  virtual HRESULT Reset(D3DPRESENT_PARAMETERS* params) = 0;
  virtual HRESULT Present(const RECT* source, const RECT* dest, HWND override_window, const void* dirty) = 0;
  virtual HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface) = 0;
  virtual void SetGammaRamp(DWORD flags, const D3DGAMMARAMP* ramp) = 0;
  virtual void GetGammaRamp(D3DGAMMARAMP* ramp) = 0;

  // Resources
  virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                IDirect3DTexture8** texture) = 0;
  virtual HRESULT CreateVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage,
                                      D3DFORMAT format, D3DPOOL pool, IDirect3DVolumeTexture8** texture) = 0;
  virtual HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DCubeTexture8** texture) = 0;
  virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     IDirect3DVertexBuffer8** buffer) = 0;
  virtual HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DIndexBuffer8** buffer) = 0;
  virtual HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) = 0;
  virtual HRESULT CopyRects(IDirect3DSurface8* source, const RECT* source_rects, UINT rect_count,
                            IDirect3DSurface8* dest, const POINT* dest_points) = 0;

  // Render target and scene
  virtual HRESULT SetRenderTarget(IDirect3DSurface8* target, IDirect3DSurface8* depth_stencil) = 0;
  virtual HRESULT GetRenderTarget(IDirect3DSurface8** target) = 0;
  virtual HRESULT GetDepthStencilSurface(IDirect3DSurface8** depth_stencil) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  virtual HRESULT Clear(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                        DWORD stencil) = 0;

  // Fixed-function state
  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
  virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
  virtual HRESULT SetViewport(const D3DVIEWPORT8* viewport) = 0;
  virtual HRESULT GetViewport(D3DVIEWPORT8* viewport) = 0;
  virtual HRESULT SetMaterial(const D3DMATERIAL8* material) = 0;
  virtual HRESULT GetMaterial(D3DMATERIAL8* material) = 0;
  virtual HRESULT SetLight(DWORD index, const D3DLIGHT8* light) = 0;
  virtual HRESULT GetLight(DWORD index, D3DLIGHT8* light) = 0;
  virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
  virtual HRESULT GetLightEnable(DWORD index, BOOL* enable) = 0;
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
  virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
  virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) = 0;
  virtual HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) = 0;
  virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
  virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) = 0;
  virtual HRESULT SetPaletteEntries(UINT palette, const PALETTEENTRY* entries) = 0;
  virtual HRESULT SetCurrentTexturePalette(UINT palette) = 0;
  virtual HRESULT GetCurrentTexturePalette(UINT* palette) = 0;

  // Drawing
  virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT start_vertex, UINT primitive_count) = 0;
  virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT min_index, UINT vertex_count, UINT start_index,
                                       UINT primitive_count) = 0;
  virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitive_count, const void* vertices,
                                  UINT stride) = 0;
  virtual HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT min_index, UINT vertex_count,
                                         UINT primitive_count, const void* indices, D3DFORMAT index_format,
                                         const void* vertices, UINT stride) = 0;
  virtual HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) = 0;
  virtual HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer8** buffer, UINT* stride) = 0;
  virtual HRESULT SetIndices(IDirect3DIndexBuffer8* buffer, UINT base_vertex_index) = 0;
  virtual HRESULT GetIndices(IDirect3DIndexBuffer8** buffer, UINT* base_vertex_index) = 0;

  // Vertex format and shaders. A "vertex shader" handle below 0x10000 is a flexible vertex format
  // (D3DFVF_* bits); shader programs are created from a declaration and code.
  virtual HRESULT CreateVertexShader(const DWORD* declaration, const DWORD* function, DWORD* handle,
                                     DWORD usage) = 0;
  virtual HRESULT SetVertexShader(DWORD handle) = 0;
  virtual HRESULT GetVertexShader(DWORD* handle) = 0;
  virtual HRESULT DeleteVertexShader(DWORD handle) = 0;
  virtual HRESULT SetVertexShaderConstant(DWORD first_register, const void* data, DWORD register_count) = 0;
  virtual HRESULT CreatePixelShader(const DWORD* function, DWORD* handle) = 0;
  virtual HRESULT SetPixelShader(DWORD handle) = 0;
  virtual HRESULT GetPixelShader(DWORD* handle) = 0;
  virtual HRESULT DeletePixelShader(DWORD handle) = 0;
  virtual HRESULT SetPixelShaderConstant(DWORD first_register, const void* data, DWORD register_count) = 0;
};

class IDirect3D8 : public IUnknown {
 public:
  virtual UINT GetAdapterCount() = 0;
  virtual HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) = 0;
  virtual UINT GetAdapterModeCount(UINT adapter) = 0;
  virtual HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* out) = 0;
  virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) = 0;
  virtual HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT display_format,
                                  D3DFORMAT back_buffer_format, BOOL windowed) = 0;
  virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format, DWORD usage,
                                    D3DRESOURCETYPE resource_type, D3DFORMAT check_format) = 0;
  virtual HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surface_format,
                                             BOOL windowed, D3DMULTISAMPLE_TYPE samples) = 0;
  virtual HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format,
                                         D3DFORMAT render_target_format, D3DFORMAT depth_stencil_format) = 0;
  virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) = 0;
  virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus_window, DWORD behavior_flags,
                               D3DPRESENT_PARAMETERS* params, IDirect3DDevice8** device) = 0;
};

// Creates the Direct3D object over OpenGL; null when `sdk_version` is not D3D_SDK_VERSION or the
// video system cannot be started.
IDirect3D8* Direct3DCreate8(UINT sdk_version);

// Not part of Direct3D 8: fills the whole texture level behind `surface` straight from the
// caller's pixels (rows of `pitch` bytes, in the level's format) without copying them through a
// lock. D3DERR_INVALIDCALL when the level cannot take them that way (its format, a pitch of its
// own, a lock held, not a texture level); the caller then locks and copies.
HRESULT D3D8_UploadSurfaceLevel(IDirect3DSurface8* surface, const void* pixels, UINT pitch);

// Not part of Direct3D 8: while `on`, draws go through everything up to writing pixels (the
// device translates their state and the driver prepares whatever it needs to draw with it, which
// a software rasteriser does by compiling code the first time it meets a state), but no pixel of
// any target, depth or stencil buffer changes. D3DERR_INVALIDCALL for a device that cannot.
HRESULT D3D8_SetStateWarmUp(IDirect3DDevice8* device, BOOL on);
// Not part of Direct3D 8: a number that tells the device from every other device the program
// made before or after it (what the driver prepared for one device is lost with it); 0 for a
// device that cannot tell.
UINT D3D8_DeviceSerial(IDirect3DDevice8* device);
