#pragma once
// The renderer's console variables and its levelled diagnostic print.
//
// Every variable is a static object with its name, its default and flags 2. A switch is off at 0.
// The renderer reads the values where it needs them; the application writes a few before the
// device starts and the game writes the fog ones while it runs.
#include "runtime/src/core/console_var.h"

extern ConsoleInt RefRast;
extern ConsoleInt BackBufferCount;
extern ConsoleInt ZBitDepth;
extern ConsoleInt StencilBitDepth;
extern ConsoleInt ForceSwapEffectBlt;
extern ConsoleInt AntiAliasFSOverSample;
extern ConsoleInt NoSyncOnFlip;
extern ConsoleInt RSMgr_EnableCaching;
extern ConsoleInt WorldClumpMgr_VB_Count;
extern ConsoleInt WorldClumpMgr_VB_Size;
extern ConsoleInt VBSubAllocator_VB_Count;
extern ConsoleInt VBSubAllocator_VB_Size;
extern ConsoleInt Model_UseSubAlloc_Limit;
extern ConsoleInt SprtAry_Discard_On_Lock;
extern ConsoleInt Lockable_BackBuffer;
extern ConsoleInt FogEnable;
extern ConsoleFloat FogFarZ;
extern ConsoleFloat FogNearZ;
extern ConsoleInt FogR;
extern ConsoleInt FogG;
extern ConsoleInt FogB;
extern ConsoleInt TableFog;
// Named "32BitTextures" and "32BitLightmaps"; an identifier cannot start with a digit.
extern ConsoleInt Use32BitTextures;
extern ConsoleInt Use32BitLightmaps;
extern ConsoleFloat GammaScale;
extern ConsoleInt NormalizeNormals;
extern ConsoleInt DXTEnable;
extern ConsoleInt ForceSWVertProcess;
extern ConsoleInt ForceSW_Quad_SprAry;
extern ConsoleInt Wireframe;
extern ConsoleInt Gfx_Disable_MipMapping;
extern ConsoleInt MaxTextureSize;
extern ConsoleInt MaxTexAspectRatio;
extern ConsoleInt MipmapOffset;
extern ConsoleInt TexGroupMipOffset[8];
extern ConsoleInt Mipmap_Max;
extern ConsoleFloat Mipmap_Bias;
extern ConsoleInt RenderDebugLevel;

// Longest message Render_DebugPrintf passes on, without the terminator.
constexpr int kRenderDebugMaxChars = 255;

// Formats a message (at most 255 characters) and hands it to Render_DebugSink, only when
// RenderDebugLevel is at least `level`.
void Render_DebugPrintf(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Where the renderer's diagnostics end: the platform debug output, which is silent unless
// switched on (or recorded by a test).
void Render_DebugSink(const char* text);
