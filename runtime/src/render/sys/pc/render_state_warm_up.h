#pragma once
// Prepares the draw states of the render styles ahead of their first use. A software
// rasteriser compiles code the first time it meets a combination of fixed-function state,
// texture kind, blend and depth state and vertex format: tens of milliseconds each, which
// would otherwise fall into the frame that first shows a new target, effect or pop-up. The
// warm-up draws every pass of every style the program holds, with the vertex formats and
// textures such a pass is drawn with, through the device's warm-up mode: the driver builds
// what it needs and no pixel changes. It runs during loads the player already waits for.
#include <cstdint>
#include <vector>

class CD3DRenderStyle;

struct Warm_Up_Counts {
  int styles = 0;  // styles with at least one pass
  int passes = 0;
  int draws = 0;
};

// Warms up every style the program holds (loaded by id, made by code, built in). Puts back
// whatever it changed of the device's transforms, lights and fog; the states of a style pass
// stay as the last warm draw left them, as after any draw. Does nothing without a device.
Warm_Up_Counts Warm_Up_Render_States();

// The same for the given styles only (nulls and styles without passes are skipped).
Warm_Up_Counts Warm_Up_Render_Styles(const std::vector<CD3DRenderStyle*>& styles);

// The vertex formats a warm-up draws a pass with: lit passes with normals (with and without
// a diffuse colour), unlit ones with a diffuse colour in world and in screen space and with
// normals alone; with as many texture coordinate sets as the pass's stages read.
std::vector<uint32_t> Warm_Up_Vertex_Formats(bool lighting, int coordinate_sets);
