#pragma once
// Prepares the draw states of the render styles ahead of their first use. A software
// rasteriser compiles code the first time it meets a combination of fixed-function state,
// texture kind, blend and depth state and vertex format: tens of milliseconds each, which
// would otherwise fall into the frame that first shows a new target, effect or pop-up. The
// warm-up draws every pass of every style the program holds, with the vertex formats and
// textures such a pass is drawn with, through the device's warm-up mode: the driver builds
// what it needs and no pixel changes. A run's launch warms everything at once, while the player
// waits for it anyway; the menus warm a slice a frame, so that their first frame comes without
// waiting for it. What the device in use was warmed with is kept: a pass is warmed once per
// device, however many styles share it and however often a warm-up comes.
#include <cstdint>
#include <functional>
#include <vector>

class CD3DRenderStyle;
struct RenderPassDesc;

struct Warm_Up_Counts {
  int styles = 0;  // styles with at least one pass not warm before
  int passes = 0;  // passes not warm before
  int draws = 0;
  int drawers = 0;  // drawers called (see Add_Warm_Up_Drawer)
};

// Warms up every style the program holds (built in, made by code, loaded by id) whose passes
// the device has not been warmed with yet, then calls every drawer that code offered. Puts
// back whatever it changed of the device's transforms, lights, fog and renormalising; the
// states of a style pass stay as the last warm draw left them, as after any draw. Does nothing
// without a device. Ends a spread warm-up (it did its work).
Warm_Up_Counts Warm_Up_Render_States();

// Turns the warm-ups on or off for the whole program (on by default). Only harnesses turn them
// off: the warm-up changes no pixel, it only moves the driver's compiling earlier, and tests
// that start the game many times need not pay for it at every start.
void Set_Render_State_Warm_Up(bool enabled);

// The same for the given styles only (nulls, styles without passes and passes warm before are
// skipped), without the drawers.
Warm_Up_Counts Warm_Up_Render_Styles(const std::vector<CD3DRenderStyle*>& styles);

// A warm-up of everything held spread over the frames to come: warms nothing now; each
// Warm_Up_Render_States_Slice then warms what is not warm yet (styles held at that frame, then
// the drawers), one warm draw after another until its time is used, and the last slice ends it.
void Spread_Warm_Up_Render_States();
// Whether a spread warm-up is going on.
bool Warm_Up_Pending();
// One slice of the spread warm-up: at least one warm draw, and more while less than `budget_us`
// microseconds (plat::Get_Micro_Ticks) have passed. Nothing when none is going on.
constexpr uint32_t kWarm_Up_Slice_Us = 8000;
Warm_Up_Counts Warm_Up_Render_States_Slice(uint32_t budget_us = kWarm_Up_Slice_Us);

// The vertex formats a warm-up draws a pass with: lit passes with normals (with and without
// a diffuse colour), unlit ones with a diffuse colour in world and in screen space and with
// normals alone; with as many texture coordinate sets as the pass's stages read, and with one
// set as well where they read none (models and the drawing helper's textured shapes carry one).
// Textures of one level, of a chain of levels, and in screen space also one whose sides are no
// powers of two (pictures the overlays show at their own size).
std::vector<uint32_t> Warm_Up_Vertex_Formats(bool lighting, int coordinate_sets);

// Code that draws with states no held style shows as it stands (passes it rewrites before
// drawing, the drawing helper's own switches) offers a drawer that draws those once: every
// warm-up of all held styles calls it (a spread one once, or again after a slice whose time ran
// out in it), with the device drawing nothing and the warm-up's world context set (identity
// transforms, fog, a light). A drawer must change nothing but draw states. Returns the drawer's
// id (0 for an empty one).
using Warm_Up_Drawer = std::function<void()>;
int Add_Warm_Up_Drawer(Warm_Up_Drawer drawer);
void Remove_Warm_Up_Drawer(int id);

// For drawers: warms up a copy of the style with its passes changed by `edit` (given each pass's
// index), as a held style is warmed (no copy is made when those passes are warm already); the
// style itself is untouched. False outside a drawer or when the copy fails.
using Warm_Up_Pass_Edit = std::function<void(uint32_t index, RenderPassDesc& pass)>;
bool Warm_Up_Rewritten_Style(const CD3DRenderStyle* style, const Warm_Up_Pass_Edit& edit);
