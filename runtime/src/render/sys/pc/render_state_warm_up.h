#pragma once
// Prepares the draw states of the render styles ahead of their first use. A software
// rasteriser compiles code the first time it meets a combination of fixed-function state,
// texture kind, blend and depth state and vertex format: tens of milliseconds each, which
// would otherwise fall into the frame that first shows a new target, effect or pop-up. The
// warm-up draws every pass of every style the program holds, with the vertex formats and
// textures such a pass is drawn with, through the device's warm-up mode: the driver builds
// what it needs and no pixel changes. It runs during loads the player already waits for.
#include <cstdint>
#include <functional>
#include <vector>

class CD3DRenderStyle;
struct RenderPassDesc;

struct Warm_Up_Counts {
  int styles = 0;  // styles with at least one pass
  int passes = 0;
  int draws = 0;
  int drawers = 0;  // drawers called (see Add_Warm_Up_Drawer)
};

// Warms up every style the program holds (loaded by id, made by code, built in), then calls
// every drawer that code offered. Puts back whatever it changed of the device's transforms,
// lights, fog and renormalising; the states of a style pass stay as the last warm draw left
// them, as after any draw. Does nothing without a device.
Warm_Up_Counts Warm_Up_Render_States();

// Turns Warm_Up_Render_States on or off for the whole program (on by default). Only harnesses
// turn it off: the warm-up changes no pixel, it only moves the driver's compiling earlier, and
// tests that start the game many times need not pay for it at every start.
void Set_Render_State_Warm_Up(bool enabled);

// The same for the given styles only (nulls and styles without passes are skipped).
Warm_Up_Counts Warm_Up_Render_Styles(const std::vector<CD3DRenderStyle*>& styles);

// The vertex formats a warm-up draws a pass with: lit passes with normals (with and without
// a diffuse colour), unlit ones with a diffuse colour in world and in screen space and with
// normals alone; with as many texture coordinate sets as the pass's stages read, and with one
// set as well where they read none (models and the drawing helper's textured shapes carry one).
std::vector<uint32_t> Warm_Up_Vertex_Formats(bool lighting, int coordinate_sets);

// Code that draws with states no held style shows as it stands (passes it rewrites before
// drawing, the drawing helper's own switches) offers a drawer that draws those once: every
// warm-up of all held styles calls it, with the device drawing nothing and the warm-up's world
// context set (identity transforms, fog, a light). A drawer must change nothing but draw
// states. Returns the drawer's id (0 for an empty one).
using Warm_Up_Drawer = std::function<void()>;
int Add_Warm_Up_Drawer(Warm_Up_Drawer drawer);
void Remove_Warm_Up_Drawer(int id);

// For drawers: warms up a copy of the style with its passes changed by `edit` (given each pass's
// index), as a held style is warmed; the style itself is untouched. False outside a drawer or
// when the copy fails.
using Warm_Up_Pass_Edit = std::function<void(uint32_t index, RenderPassDesc& pass)>;
bool Warm_Up_Rewritten_Style(const CD3DRenderStyle* style, const Warm_Up_Pass_Edit& edit);
