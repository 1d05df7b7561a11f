#include "game/warroom/CWarRoom_World.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/warroom/CWarRoom_Beacon.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "game/trainer/Format_Minutes_Seconds.h"
#include "game/warroom/Glow_Lighting.h"
#include "game/warroom/Vector_Ops.h"
#include "platform/system/random.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/d3d_renderobjects.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/renderable_object.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"
#include "game/core/CGame.h"

using warroom::Add;
using warroom::Cross;
using warroom::Scale;
using warroom::Sub;
using warroom::Unit;

namespace {

constexpr uint32_t kShuttle_Ids[2] = {0x22000076, 0x22000077};
constexpr uint32_t kPiece_Style = 0x22000074;
constexpr uint32_t kShuttle_Style = 0x22000043;
constexpr uint32_t kBeacon_Style = 0x22000031;
constexpr uint32_t kTexture_Ids[5] = {0x22000045, 0x22000078, 0x2200005e, 0x2200005c, 0x22000072};
// Textures shared with other parts of the game: the brass stripes (0x22000045) trim the pieces,
// the shutter panel (0x22000078) covers the shuttle and the soft glow (0x2200005c) is the beacon.
constexpr int kTrim_Texture = 0, kShuttle_Texture = 1, kPlate_Texture = 2, kGlow_Texture = 3, kHalo_Texture = 4;
constexpr float kPi = 3.14159265358979f;
constexpr int kMax_Passed = 5;

float Chance() { return static_cast<float>(plat::Random()) / 32768.0f; }

float Radians(float degrees) { return degrees * kPi / 180.0f; }

// Distance of a point from the line through the origin along a direction.
float Distance_From_Line(const CVector3& point, const CVector3& direction) {
  const CVector3 unit = Unit(direction);
  return Sub(point, Scale(unit, point.Dot(unit))).Length();
}

CMatrix4x4 World_Matrix(const CMatrix3x3& axes, const CVector3& position) {
  CMatrix4x4 m{};
  const CVector3* r = axes.rows;
  m.m[0][0] = r[0].x, m.m[0][1] = r[0].y, m.m[0][2] = r[0].z, m.m[0][3] = 0.0f;
  m.m[1][0] = r[1].x, m.m[1][1] = r[1].y, m.m[1][2] = r[1].z, m.m[1][3] = 0.0f;
  m.m[2][0] = r[2].x, m.m[2][1] = r[2].y, m.m[2][2] = r[2].z, m.m[2][3] = 0.0f;
  m.m[3][0] = position.x, m.m[3][1] = position.y, m.m[3][2] = position.z, m.m[3][3] = 1.0f;
  return m;
}

void Arc_Points(CWarRoom_World::Piece_Type& type, int first, float radius, float step_degrees, float side) {
  for (int i = 0; i < 4; ++i) {
    const float a = Radians(step_degrees * static_cast<float>(i + 1));
    CWarRoom_World::Path_Point& p = type.points[first + i];
    p.position = CVector3{side * (radius - radius * std::cos(a)), 0.0f, radius * std::sin(a)};
    p.next = i < 3 ? first + i + 1 : 0;
    p.yaw = side * a;
  }
}

}  // namespace

CWarRoom_World::CWarRoom_World() { Setup_Piece_Types(); }

void CWarRoom_World::Setup_Piece_Types() {
  const uint32_t ids[kPiece_Types + 1] = {0, 0x22000063, 0x2200006f, 0x22000070, 0x22000071, 0x22000075};
  const float weights[kPiece_Types + 1] = {0.0f, 1.0f, 0.5f, 0.25f, 0.15f, 0.015f};
  for (int t = 1; t <= kPiece_Types; ++t) {
    CRenderableObject* kept = m_Types[t].renderable;
    m_Types[t] = Piece_Type();
    m_Types[t].renderable = kept;
    m_Types[t].renderable_id = ids[t];
    m_Types[t].weight = weights[t];
  }
  m_Types[1].point_count = 1;
  m_Types[1].points[0].position = CVector3{0.0f, 0.0f, 1000.0f};
  m_Types[2].point_count = 4;
  Arc_Points(m_Types[2], 0, 3047.0f, 7.5f, 1.0f);
  m_Types[3].point_count = 4;
  Arc_Points(m_Types[3], 0, 2037.0f, 11.25f, 1.0f);
  m_Types[4].point_count = 8;
  Arc_Points(m_Types[4], 0, 3047.0f, 7.5f, 1.0f);
  Arc_Points(m_Types[4], 4, 3047.0f, 7.5f, -1.0f);
  m_Types[5].point_count = 2;
  m_Types[5].points[0] = Path_Point{CVector3{0.0f, 0.0f, 1000.0f}, 1, 0.0f};
  m_Types[5].points[1].position = CVector3{0.0f, 0.0f, 2000.0f};
}

int CWarRoom_World::Type_For_Weight(float value) {
  float sum = 0.0f;
  const float weights[kPiece_Types] = {1.0f, 0.5f, 0.25f, 0.15f, 0.015f};
  for (int t = 0; t < kPiece_Types; ++t) {
    sum += weights[t];
    if (sum >= value) return t + 1;
  }
  return kPiece_Types;
}

std::vector<int> CWarRoom_World::Chain_Ends(const Piece_Type& type) {
  std::vector<int> ends;
  for (int i = 0; i < type.point_count; ++i)
    if (type.points[i].next == 0) ends.push_back(i);
  return ends;
}

// ---------------------------------------------------------------------------------------------
// Life cycle

bool CWarRoom_World::Init() {
  Term();
  m_Forward = CVector3{0.0f, 0.0f, 1.0f};
  m_Turn_Velocity = CVector3{};
  m_Speed_Ramp = 0.0f;
  m_Mode = kCruising;
  m_Path_Position = 0.0f;
  m_Dock_Cooldown = 0.0f;
  m_Shown_Seconds = -1;
  m_Dust.Init();
  if (!Load_Resources()) {
    Term();
    return false;
  }
  Build_Free_List();
  m_Current = Add_Node(kDock, -1, -1);
  m_Path_Position = 0.5f;
  Shift_World(CVector3{0.0f, 0.0f, 1000.0f});
  Grow(m_Current, 0);
  Build_Path();
  m_Initialised = true;
  return true;
}

bool CWarRoom_World::Load_Resources() {
  for (int i = 0; i < 2; ++i) {
    m_Shuttle[i] = g_pRenderObjects ? g_pRenderObjects->GetRenderObject(kShuttle_Ids[i]) : nullptr;
    if (!m_Shuttle[i]) {
      Show_Message("Error in CWarRoom_World\nUnable to rendable object...");
      return false;
    }
  }
  m_Piece_Style = g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(kPiece_Style) : nullptr;
  m_Shuttle_Style = m_Piece_Style ? g_pRenderStyles->GetRenderStyle(kShuttle_Style) : nullptr;
  m_Beacon_Style = m_Shuttle_Style ? g_pRenderStyles->GetRenderStyle(kBeacon_Style) : nullptr;
  if (!m_Beacon_Style) {
    Show_Message("Error in CWarRoom_World\nUnable to shader...");
    return false;
  }
  for (int i = 0; i < 5; ++i) {
    m_Textures[i] = g_pTexture ? g_pTexture->GetTexture(kTexture_Ids[i]) : nullptr;
    if (!m_Textures[i]) {
      Show_Message("Error in CWarRoom_World\nUnable to load texture...");
      return false;
    }
  }
  Setup_Piece_Types();
  for (int t = 1; t <= kPiece_Types; ++t) {
    m_Types[t].renderable = g_pRenderObjects->GetRenderObject(m_Types[t].renderable_id);
    if (!m_Types[t].renderable) {
      Show_Message("Error in CWarRoom_World\nUnable to create renderable object...");
      Show_Message("Error in CWarRoom_World\nUnable to setup pieces...");
      return false;
    }
  }
  return true;
}

void CWarRoom_World::Term() {
  for (int i = 0; i < kNode_Count; ++i)
    if (m_Nodes[i].in_use) Release_Node(i);
  m_Current = -1;
  m_First_Free = -1;
  m_Frame_Beacons.clear();
  m_Path.Clear();
  for (CRenderableObject*& shuttle : m_Shuttle) {
    if (shuttle && g_pRenderObjects) g_pRenderObjects->ReleaseRenderObject(shuttle);
    shuttle = nullptr;
  }
  for (int t = 1; t <= kPiece_Types; ++t) {
    if (m_Types[t].renderable && g_pRenderObjects) g_pRenderObjects->ReleaseRenderObject(m_Types[t].renderable);
    m_Types[t].renderable = nullptr;
  }
  for (CD3DRenderStyle** style : {&m_Piece_Style, &m_Shuttle_Style, &m_Beacon_Style}) {
    if (*style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(*style);
    *style = nullptr;
  }
  for (CTextureData*& texture : m_Textures) {
    if (texture && g_pTexture) g_pTexture->ReleaseTexture(texture);
    texture = nullptr;
  }
  m_Dust.Term();
  m_Initialised = false;
}

// ---------------------------------------------------------------------------------------------
// The passage

void CWarRoom_World::Build_Free_List() {
  for (int i = 0; i < kNode_Count; ++i) {
    m_Nodes[i].in_use = false;
    m_Nodes[i].next_free = i + 1 < kNode_Count ? i + 1 : -1;
  }
  m_First_Free = 0;
}

int CWarRoom_World::Free_Nodes() const {
  int count = 0;
  for (int i = m_First_Free; i != -1; i = m_Nodes[i].next_free) ++count;
  return count;
}

CVector3 CWarRoom_World::To_World(const Node& node, const CVector3& local) const {
  const CVector3* r = node.axes.rows;
  return Add(node.position, Add(Add(Scale(r[0], local.x), Scale(r[1], local.y)), Scale(r[2], local.z)));
}

// A new node of the type at the parent's chain end (or at the origin without a parent); -1
// when the pool is empty.
int CWarRoom_World::Add_Node(int type, int parent, int point) {
  if (m_First_Free == -1) return -1;
  const int index = m_First_Free;
  Node& node = m_Nodes[index];
  m_First_Free = node.next_free;
  node = Node();
  node.in_use = true;
  node.type = type;
  node.axes.Set_Identity();
  if (parent != -1) {
    const Node& from = m_Nodes[parent];
    const Path_Point& end = m_Types[from.type].points[point];
    node.position = To_World(from, end.position);
    const CVector3* r = from.axes.rows;
    const float c = std::cos(end.yaw), s = std::sin(end.yaw);
    node.axes.rows[0] = Sub(Scale(r[0], c), Scale(r[2], s));
    node.axes.rows[1] = r[1];
    node.axes.rows[2] = Add(Scale(r[2], c), Scale(r[0], s));
    for (Child& child : m_Nodes[parent].children)
      if (child.node == -1) {
        child = Child{point, index};
        break;
      }
  }
  Add_Beacons(node);
  return index;
}

// Each piece carries a pair of kind 1 lamps at its entry and a marker glow at each chain end.
void CWarRoom_World::Add_Beacons(Node& node) {
  const float lamp[4] = {0.5f, 0.7f, 1.0f, 1.0f};
  const float marker[4] = {1.0f, 0.75f, 0.3f, 1.0f};
  for (const float side : {-120.0f, 120.0f})
    if (CWarRoom_Beacon* b = CWarRoom_Beacon::Create(1, CVector3{side, 90.0f, 60.0f}, lamp)) node.beacons.push_back(b);
  for (const int end : Chain_Ends(m_Types[node.type])) {
    const CVector3 at = m_Types[node.type].points[end].position;
    if (CWarRoom_Beacon* b = CWarRoom_Beacon::Create(0, CVector3{at.x, -100.0f, at.z}, marker)) node.beacons.push_back(b);
  }
}

void CWarRoom_World::Release_Node(int index) {
  Node& node = m_Nodes[index];
  for (CWarRoom_Beacon* beacon : node.beacons) CWarRoom_Beacon::Destroy(beacon);
  node.beacons.clear();
  node.in_use = false;
  node.next_free = m_First_Free;
  m_First_Free = index;
}

// Releases the node and everything attached beyond it, except the branch 'keep'.
void CWarRoom_World::Release_Subtree(int index, int keep) {
  if (index == -1 || index == keep || !m_Nodes[index].in_use) return;
  for (const Child& child : m_Nodes[index].children) Release_Subtree(child.node, keep);
  Release_Node(index);
}

int CWarRoom_World::Choose_Type() {
  if (m_Mode == kArriving) {
    const float chance = m_Dock_Cooldown < 0.0f ? 0.25f : 0.025f;
    if (Chance() < chance) {
      m_Dock_Cooldown = 5.0f;
      return kDock;
    }
  }
  return Type_For_Weight(Chance() * kWeight_Sum);
}

void CWarRoom_World::Grow(int index, int depth) {
  if (index == -1 || depth >= kGrowth_Depth) return;
  for (const int end : Chain_Ends(m_Types[m_Nodes[index].type])) {
    int child = -1;
    for (const Child& c : m_Nodes[index].children)
      if (c.node != -1 && c.point == end) child = c.node;
    if (child == -1) child = Add_Node(Choose_Type(), index, end);
    if (child == -1) return;  // the pool is full: growth stops here
    Grow(child, depth + 1);
  }
}

// Picks the chain of the current piece to fly (the fork has two) and builds its spline.
void CWarRoom_World::Build_Path() {
  m_Path.Clear();
  if (m_Current == -1) return;
  const std::vector<int> ends = Chain_Ends(m_Types[m_Nodes[m_Current].type]);
  m_Flown_Point = ends.empty() ? -1 : ends[static_cast<size_t>(plat::Random()) % ends.size()];
  Rebuild_Path_Keys();
  float length = 0.0f;
  CVector3 previous = m_Path.Sample(0.0f);
  for (int step = 1; step <= 50; ++step) {
    const CVector3 point = m_Path.Sample(0.02f * static_cast<float>(step));
    length += Sub(point, previous).Length();
    previous = point;
  }
  m_Speed_Factor = 1000.0f / std::max(length, 1.0f);
}

// Keys at 0 (the piece's entry) and at 1/n .. 1 through the flown chain's n points.
void CWarRoom_World::Rebuild_Path_Keys() {
  m_Path.Clear();
  const Node& node = m_Nodes[m_Current];
  const Piece_Type& type = m_Types[node.type];
  int first = 0;
  for (const int end : Chain_Ends(type)) {
    if (end == m_Flown_Point) break;
    first = end + 1;
  }
  const int n = std::max(m_Flown_Point - first + 1, 1);
  m_Path.AddKey(0.0f, node.position, 0.0f, 0.0f, 0.0f);
  for (int i = first, k = 1; i <= m_Flown_Point && i >= 0; ++i, ++k)
    m_Path.AddKey(static_cast<float>(k) / static_cast<float>(n), To_World(node, type.points[i].position), 0.0f, 0.0f,
                  0.0f);
  m_Path.ComputeSpline();
}

void CWarRoom_World::Advance_Piece() {
  int next = -1;
  for (const Child& child : m_Nodes[m_Current].children)
    if (child.node != -1 && child.point == m_Flown_Point) next = child.node;
  if (next == -1) return;
  const int old = m_Current;
  Release_Subtree(old, next);
  m_Current = next;
  Build_Path();
}

void CWarRoom_World::Shift_World(const CVector3& by) {
  for (Node& node : m_Nodes)
    if (node.in_use) node.position = Sub(node.position, by);
}

// ---------------------------------------------------------------------------------------------
// Update

void CWarRoom_World::Update(float dt) {
  if (!m_Initialised) return;
  m_Docking = false;
  m_Dock_Cooldown -= std::clamp(dt, 0.0f, 0.1f);
  const bool in_dock = m_Nodes[m_Current].type == kDock;
  if (in_dock && m_Mode == kArriving) {
    if (m_Path_Position >= 0.5f) {
      Dock();
    } else {
      m_Docking = true;
      m_Speed_Ramp = std::clamp(1.0f - 2.0f * m_Path_Position + 0.05f, 0.0f, 1.0f);
    }
  } else if (in_dock && m_Mode == kCruising) {
    m_Speed_Ramp = std::min(m_Speed_Ramp + 0.25f * dt, 1.0f);
  } else if (in_dock) {
    m_Speed_Ramp = 0.0f;
  } else {
    m_Speed_Ramp = 1.0f;
  }
  const CVector3 before = m_Path.Sample(m_Path_Position);
  m_Path_Position += std::min(m_Speed_Factor * m_Speed_Ramp * dt * 0.8f, 0.1f);
  if (m_Docking) m_Path_Position = std::min(m_Path_Position, 0.5f);
  if (m_Path_Position >= 1.0f) {
    Advance_Piece();
    m_Path_Position -= 1.0f;
  }
  Grow(m_Current, 0);
  const CVector3 camera = m_Path.Sample(m_Path_Position);
  Steer_Camera(dt);
  Shift_World(camera);
  Rebuild_Path_Keys();
  const float speed = Sub(camera, before).Length();
  for (Node& node : m_Nodes) {
    if (!node.in_use) continue;
    for (CWarRoom_Beacon* beacon : node.beacons) beacon->Update(dt, node.position, node.axes);
  }
  m_Dust.Update(dt, m_Forward, speed);
}

// The shuttle stops in the middle of the dock: the dock's point 1000 ahead of its entry becomes
// the origin, where the view keeps the camera.
void CWarRoom_World::Dock() {
  const Node& dock = m_Nodes[m_Current];
  Shift_World(To_World(dock, CVector3{0.0f, 0.0f, kDock_Middle}));
  Rebuild_Path_Keys();
  m_Mode = kDocked;
  m_Speed_Ramp = 0.0f;
  m_Path_Position = 0.5f;
}

// Turns the view towards the direction of travel with a damped turn.
void CWarRoom_World::Steer_Camera(float dt) {
  const CVector3 ahead = m_Path.Sample(std::min(m_Path_Position + 0.05f, 1.0f));
  const CVector3 here = m_Path.Sample(m_Path_Position);
  const CVector3 wanted = Unit(Sub(ahead, here));
  if (wanted.Length_Squared() < 0.5f) return;
  const float damping = g_Game_Paused ? 0.5f : 0.96f;
  m_Turn_Velocity = Scale(Add(m_Turn_Velocity, Scale(Sub(wanted, m_Forward), std::min(dt, 0.1f * 12.0f))), damping);
  m_Forward = Unit(Add(m_Forward, m_Turn_Velocity));
}

// ---------------------------------------------------------------------------------------------
// Drawing

void CWarRoom_World::Set_Piece_Lights(int index, int came_from) const {
  if (!g_pRenderDevice) return;
  std::vector<int> order{index};
  if (came_from != -1) order.push_back(came_from);
  for (const Child& child : m_Nodes[index].children)
    if (child.node != -1) order.push_back(child.node);
  int light = 1;
  for (const int n : order) {
    const Node& node = m_Nodes[n];
    for (const CWarRoom_Beacon* beacon : node.beacons) {
      if (beacon->m_Kind != 1 || light > 7) continue;
      LightDesc desc{};
      desc.Kind = kLightPoint;
      desc.Vector = Sub(beacon->m_Position, Scale(node.axes.rows[2], 35.0f));
      desc.Diffuse = CColor4{beacon->m_Colour[0], beacon->m_Colour[1], beacon->m_Colour[2], 1.0f};
      desc.Attenuation[0] = 1.0f;
      desc.Range = 1200.0f;
      g_pRenderDevice->SetLight(static_cast<uint32_t>(light), &desc);
      g_pRenderDevice->EnableLight(static_cast<uint32_t>(light), true);
      ++light;
    }
  }
  for (; light <= 7; ++light) g_pRenderDevice->EnableLight(static_cast<uint32_t>(light), false);
}

void CWarRoom_World::Draw_Piece(int index) const {
  const Node& node = m_Nodes[index];
  CRenderableObject* renderable = m_Types[node.type].renderable;
  auto* mesh = renderable ? static_cast<CRigidMesh*>(renderable->GetRenderObject()) : nullptr;
  if (!mesh) return;
  const CMatrix4x4 world = World_Matrix(node.axes, node.position);
  // The brass trim is the surface the lights shade; the soft glow adds a lamp-lit sheen on it.
  CDeviceTexture* textures[4] = {m_Textures[kTrim_Texture]->m_pDeviceTexture,
                                 m_Textures[kPlate_Texture]->m_pDeviceTexture, nullptr, nullptr};
  mesh->Render(&world, m_Piece_Style, textures, nullptr, nullptr);
}

// Draws the piece and its beacons, then walks on into the children in sight.
void CWarRoom_World::Walk(int index, int came_from, std::vector<CVector3>& passed) {
  Set_Piece_Lights(index, came_from);
  Draw_Piece(index);
  const CVector3 forward = m_Forward;
  auto clear_of_passed = [&passed](const CVector3& point, float limit) {
    for (const CVector3& p : passed)
      if (Distance_From_Line(p, point) > limit) return false;
    return true;
  };
  for (CWarRoom_Beacon* beacon : m_Nodes[index].beacons) {
    if (static_cast<int>(passed.size()) >= kMax_Passed) break;
    if (beacon->m_Position.Dot(forward) < -20.0f || !clear_of_passed(beacon->m_Position, 200.0f)) continue;
    beacon->m_Highlight = true;
    m_Frame_Beacons.push_back(beacon);
  }
  if (m_Fade >= 1.0f) return;
  const Piece_Type& type = m_Types[m_Nodes[index].type];
  for (const Child& child : m_Nodes[index].children) {
    if (child.node == -1) continue;
    const CVector3 at = To_World(m_Nodes[index], type.points[child.point].position);
    if (at.Dot(forward) < -200.0f || !clear_of_passed(at, 400.0f) || static_cast<int>(passed.size()) >= kMax_Passed)
      continue;
    passed.push_back(at);
    Walk(child.node, index, passed);
    passed.pop_back();
  }
}

void CWarRoom_World::Draw_Beacons() const {
  CD3DDrawPrim& draw = *g_pDrawPrim;
  draw.SetTransformType(kDrawPrimWorld);
  draw.SetRenderStyle(m_Beacon_Style);
  const CVector3 side = Unit(Cross(CVector3{0.0f, 1.0f, 0.0f}, m_Forward));
  const CVector3 up = Unit(Cross(m_Forward, side));
  auto sprite = [&](const CVector3& at, float size, const float colour[4], float alpha) {
    auto channel = [](float v) { return static_cast<uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f); };
    const uint32_t c = (channel(alpha) << 24) | (channel(colour[0]) << 16) | (channel(colour[1]) << 8) | channel(colour[2]);
    const CVector3 u = Scale(side, size), v = Scale(up, size);
    DrawPrimTexQuad quad;
    const CVector3 p0 = Sub(Sub(at, u), v), p1 = Sub(Add(at, u), v), p2 = Add(Add(at, u), v), p3 = Add(Sub(at, u), v);
    quad.v[0] = TexVertex{p0.x, p0.y, p0.z, c, 0.0f, 1.0f};
    quad.v[1] = TexVertex{p1.x, p1.y, p1.z, c, 1.0f, 1.0f};
    quad.v[2] = TexVertex{p2.x, p2.y, p2.z, c, 1.0f, 0.0f};
    quad.v[3] = TexVertex{p3.x, p3.y, p3.z, c, 0.0f, 0.0f};
    draw.DrawTexQuads(&quad, 1);
  };
  for (const Node& node : m_Nodes) {
    if (!node.in_use) continue;
    for (const CWarRoom_Beacon* beacon : node.beacons) {
      draw.SetTexture(m_Textures[kGlow_Texture], 0);
      sprite(beacon->m_Position, 20.0f, beacon->m_Dim_Colour, 1.0f);
      if (beacon->m_Highlight) sprite(beacon->m_Position, 25.0f + 35.0f * beacon->m_Glow, beacon->m_Colour, beacon->m_Glow);
      if (beacon->m_Fade != 0.0f) {
        draw.SetTexture(m_Textures[kHalo_Texture], 0);
        sprite(beacon->m_Position, 60.0f * 3.5f, beacon->m_Colour, beacon->m_Fade * 0.5f);
      }
    }
  }
  draw.SetTexture(nullptr, 0);
  draw.SetRenderStyle(nullptr);
}

void CWarRoom_World::Draw_Time() {
  const float remaining = g_WarRoom_Sim.Get_Time_Remaining();
  const int seconds = remaining > 0.0f ? static_cast<int>(remaining) : 0;
  if (seconds != m_Shown_Seconds) {
    m_Shown_Seconds = seconds;
    Format_Minutes_Seconds(m_Time_Text, sizeof(m_Time_Text), seconds);
  }
  const float w = g_pRenderDevice ? g_pRenderDevice->GetScreenWidthF() : 640.0f;
  const float h = g_pRenderDevice ? g_pRenderDevice->GetScreenHeightF() : 480.0f;
  const auto alpha = static_cast<uint32_t>(std::min(255.0f, m_Speed_Ramp * 0.3f * 255.0f));
  const uint32_t rgb = seconds < 60 ? 0xff8888 : 0x77bbcc;
  g_Menu_Mgr.Draw_Text(3, m_Time_Text, CVector2{0.0f, 0.0075f * h}, CVector2{w, 0.09f * h}, (alpha << 24) | rgb,
                       kText_Centre);
}

void CWarRoom_World::Render(float dt) {
  (void)dt;
  if (!m_Initialised) return;
  const CVector3 saved_position = g_Camera.Position();
  const CVector3 saved_forward = g_Camera.Rotation().rows[2];
  g_Camera.Look_At(CVector3{0.0f, 0.0f, 0.0f}, m_Forward);
  Begin_Glow_Lighting(m_Fade, true);
  if (m_Fade != 0.0f) {
    const Node& node = m_Nodes[m_Current];
    const CMatrix4x4 world = World_Matrix(node.axes, node.position);
    CDeviceTexture* textures[4] = {m_Textures[kShuttle_Texture]->m_pDeviceTexture, nullptr, nullptr, nullptr};
    for (CRenderableObject* shuttle : m_Shuttle) {
      auto* mesh = static_cast<CRigidMesh*>(shuttle->GetRenderObject());
      if (mesh) mesh->Render(&world, m_Shuttle_Style, textures, nullptr, nullptr);
    }
  }
  if (m_Fade != 1.0f) {
    m_Frame_Beacons.clear();
    std::vector<CVector3> passed;
    Walk(m_Current, -1, passed);
    Draw_Beacons();
    for (CWarRoom_Beacon* beacon : m_Frame_Beacons) beacon->m_Highlight = false;
  }
  End_Glow_Lighting();
  Draw_Time();
  m_Dust.Render();
  g_Camera.Look_At(saved_position, Add(saved_position, saved_forward));
}
