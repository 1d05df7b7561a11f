#include "runtime/src/render/sys/pc/render_cvars.h"

#include <cstdarg>
#include <cstdio>

#include "platform/system/debug.h"

namespace {
constexpr uint32_t kFlags = 2;
}

// In the order they are constructed.
ConsoleInt RefRast("RefRast", 0, kFlags);
ConsoleInt BackBufferCount("BackBufferCount", 2, kFlags);
ConsoleInt ZBitDepth("ZBitDepth", 32, kFlags);
ConsoleInt StencilBitDepth("StencilBitDepth", 0, kFlags);
ConsoleInt ForceSwapEffectBlt("ForceSwapEffectBlt", 0, kFlags);
ConsoleInt AntiAliasFSOverSample("AntiAliasFSOverSample", 0, kFlags);
ConsoleInt NoSyncOnFlip("NoSyncOnFlip", 0, kFlags);
ConsoleInt RSMgr_EnableCaching("RSMgr_EnableCaching", 1, kFlags);
ConsoleInt WorldClumpMgr_VB_Count("WorldClumpMgr_VB_Count", 4, kFlags);
ConsoleInt WorldClumpMgr_VB_Size("WorldClumpMgr_VB_Size", 2048, kFlags);
ConsoleInt VBSubAllocator_VB_Count("VBSubAllocator_VB_Count", 0, kFlags);
ConsoleInt VBSubAllocator_VB_Size("VBSubAllocator_VB_Size", 2048, kFlags);
ConsoleInt Model_UseSubAlloc_Limit("Model_UseSubAlloc_Limit", 256, kFlags);
ConsoleInt SprtAry_Discard_On_Lock("SprtAry_Discard_On_Lock", 1, kFlags);
ConsoleInt Lockable_BackBuffer("Lockable_BackBuffer", 0, kFlags);
ConsoleInt FogEnable("FogEnable", 0, kFlags);
ConsoleFloat FogFarZ("FogFarZ", 10000.0f, kFlags);
ConsoleFloat FogNearZ("FogNearZ", 7000.0f, kFlags);
ConsoleInt FogR("FogR", 128, kFlags);
ConsoleInt FogG("FogG", 128, kFlags);
ConsoleInt FogB("FogB", 128, kFlags);
ConsoleInt TableFog("TableFog", 1, kFlags);
ConsoleInt Use32BitTextures("32BitTextures", 1, kFlags);
ConsoleInt Use32BitLightmaps("32BitLightmaps", 1, kFlags);
ConsoleFloat GammaScale("GammaScale", 1.0f, kFlags);
ConsoleInt NormalizeNormals("NormalizeNormals", 0, kFlags);
ConsoleInt DXTEnable("DXTEnable", 1, kFlags);
ConsoleInt ForceSWVertProcess("ForceSWVertProcess", 0, kFlags);
ConsoleInt ForceSW_Quad_SprAry("ForceSW_Quad_SprAry", 0, kFlags);
ConsoleInt Wireframe("Wireframe", 0, kFlags);
ConsoleInt Gfx_Disable_MipMapping("Gfx_Disable_MipMapping", 0, kFlags);
ConsoleInt MaxTextureSize("MaxTextureSize", 1024, kFlags);
ConsoleInt MaxTexAspectRatio("MaxTexAspectRatio", 1024, kFlags);
ConsoleInt MipmapOffset("MipmapOffset", 0, kFlags);
ConsoleInt TexGroupMipOffset[8] = {
    {"TexGroupMipOffset0", 0, kFlags}, {"TexGroupMipOffset1", 0, kFlags}, {"TexGroupMipOffset2", 0, kFlags},
    {"TexGroupMipOffset3", 0, kFlags}, {"TexGroupMipOffset4", 0, kFlags}, {"TexGroupMipOffset5", 0, kFlags},
    {"TexGroupMipOffset6", 0, kFlags}, {"TexGroupMipOffset7", 0, kFlags},
};
ConsoleInt Mipmap_Max("Mipmap_Max", 0, kFlags);
ConsoleFloat Mipmap_Bias("Mipmap_Bias", 0.0f, kFlags);
ConsoleInt RenderDebugLevel("RenderDebugLevel", 0, kFlags);

void Render_DebugPrintf(int level, const char* format, ...) {
  if (RenderDebugLevel.Value < level || format == nullptr) return;
  char text[kRenderDebugMaxChars + 1];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  Render_DebugSink(text);
}

void Render_DebugSink(const char* text) { OutputDebugStringA(text); }
