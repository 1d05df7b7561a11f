#include "game/core/CGame.h"
#include "game/core/CCamera.h"

#include <algorithm>
#include <cmath>

#include "game/core/CFrame_Info.h"
#include "game/core/CGame_State.h"
#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/sim/CBrain_Game_Basic.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"
#include "platform/window/cursor.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

CCamera g_Camera;

namespace {

constexpr float kTwo_Pi = 6.2831855f;
constexpr float kShake_Angle_Scale = 0.0025f;
constexpr float kZoom_Speed = 0.15f;
constexpr float kZoom_Phase_Speed = 0.35f;
constexpr float kOverlay_Rise = 0.35f;
constexpr float kOverlay_Fall = 0.45f;
constexpr float kOverlay_Veil_Alpha = 0.1f;
constexpr float kOverlay_Edge_Alpha = 0.6f;
constexpr float kOverlay_Band = 0.3f;
constexpr int kOverlay_Blend = 3;      // source alpha over the scene
constexpr int kOverlay_No_Depth = 2;  // no depth test or write

uint32_t Black_With_Alpha(float alpha) {
  const float scaled = std::clamp(alpha, 0.0f, 1.0f) * 255.0f;
  return static_cast<uint32_t>(scaled) << 24;
}
constexpr float kShortest_Move = 0.0001f;
constexpr float kFallback_Width = 640.0f;
constexpr float kFallback_Height = 480.0f;
constexpr float kBehind_Eye = 1.0e-6f;
const CVector3 kNo_Offset{0.0f, 0.0f, 0.0f};

CQuaternion Conjugate(const CQuaternion& q) { return CQuaternion{-q.x, -q.y, -q.z, q.w}; }

// The camera-to-world rotation of a camera at position looking at target with +y up. A target
// on the position looks along +z; a target straight above or below keeps +z as the up hint.
CQuaternion Look_Orientation(const CVector3& position, const CVector3& target) {
  CVector3 forward;
  target.Subtract(position, forward);
  if (forward.Length_Squared() <= 0.0f || !std::isfinite(forward.Length_Squared())) forward.Set(0.0f, 0.0f, 1.0f);
  forward.Normalize();
  CVector3 up{0.0f, 1.0f, 0.0f};
  if (std::fabs(forward.Dot(up)) > 0.9999f) up.Set(0.0f, 0.0f, 1.0f);
  CQuaternion look;
  look.From_Direction(forward, up);
  return Conjugate(look).Normalize();
}

// The quaternion of small Euler angles: roll about z, then pitch about x, then yaw about y.
CQuaternion Euler_Quaternion(float pitch, float yaw, float roll) {
  CQuaternion qx, qy, qz, result, both;
  qx.From_Axis_Angle(CVector3{1.0f, 0.0f, 0.0f}, pitch);
  qy.From_Axis_Angle(CVector3{0.0f, 1.0f, 0.0f}, yaw);
  qz.From_Axis_Angle(CVector3{0.0f, 0.0f, 1.0f}, roll);
  qz.Multiply(qx, both);
  return both.Multiply(qy, result);
}

// out = row × matrix, a row vector of four through a 4 x 4 matrix.
void Transform_Row(const float row[4], const CMatrix4x4& matrix, float out[4]) {
  for (int j = 0; j < 4; ++j)
    out[j] = row[0] * matrix.m[0][j] + row[1] * matrix.m[1][j] + row[2] * matrix.m[2][j] + row[3] * matrix.m[3][j];
}

bool Finite(const CMatrix4x4& matrix) {
  for (const auto& row : matrix.m)
    for (float value : row)
      if (!std::isfinite(value)) return false;
  return true;
}

// The view and projection the device holds; false without a device or before it holds both (a
// reset device holds neither until the camera hands them again).
bool Device_View_And_Projection(CMatrix4x4& view, CMatrix4x4& projection) {
  return g_pRenderDevice && g_pRenderDevice->GetViewMatrix(&view) && g_pRenderDevice->GetProjectionMatrix(&projection) &&
         Finite(view) && Finite(projection);
}

float Random_Signed() { return static_cast<float>(plat::Random()) / 32768.0f * 2.0f - 1.0f; }

}  // namespace

float CCamera::Screen_Width() const {
  const float width = g_pRenderDevice ? g_pRenderDevice->GetScreenWidthF() : 0.0f;
  return width > 0.0f ? width : kFallback_Width;
}

float CCamera::Screen_Height() const {
  const float height = g_pRenderDevice ? g_pRenderDevice->GetScreenHeightF() : 0.0f;
  return height > 0.0f ? height : kFallback_Height;
}

bool CCamera::Init() {
  m_Shake_Angles.Set(0.0f, 0.0f, 0.0f);
  m_Shake_Rotation = CQuaternion::Identity;
  m_Shake_Active = false;
  Look_At(CVector3{0.0f, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, 1.0f});
  Set_Projection(0.7853982f, Screen_Width() / Screen_Height(), m_Projection.near_z, m_Projection.far_z);
  if (g_pRenderDevice) {
    D3DVIEWPORT8 viewport{0, 0, static_cast<DWORD>(Screen_Width()), static_cast<DWORD>(Screen_Height()), 0.0f, 1.0f};
    g_pRenderDevice->SetViewport(&viewport);
  }
  m_Tilt_Saved = false;
  m_Tilt_Angle = 0.0f;
  m_Overlay_Requested = false;
  m_Overlay_Level = 0.0f;
  m_Zoom_Requested = false;
  m_Zoom_Level = 0.0f;
  m_Zoom_Phase = 0.0f;
  return true;
}

void CCamera::Hand_Pose_To_Device(const CQuaternion& orientation, const CVector3& offset) {
  m_Shake_Offset = offset;
  if (!g_pRenderDevice) return;
  CVector3 position;
  m_Position.Add(offset, position);
  const CameraTransform transform{orientation, position};
  g_pRenderDevice->SetCameraTransform(&transform);
}

CVector3 CCamera::Get_Eye_Position() const {
  CVector3 eye;
  m_Position.Add(m_Shake_Offset, eye);
  return eye;
}

void CCamera::Set_Pose(const CQuaternion& orientation) {
  m_Orientation = orientation;
  m_Rotation.From_Quaternion(m_Orientation);
  m_Mode = kPlaced;
}

void CCamera::Look_At(const CVector3& position, const CVector3& target) {
  m_Position = position;
  Set_Pose(Look_Orientation(position, target));
  Hand_Pose_To_Device(m_Orientation, kNo_Offset);
}

void CCamera::Set_Rotation(const CQuaternion& orientation) {
  Set_Pose(orientation);
  Hand_Pose_To_Device(m_Orientation, kNo_Offset);
}

void CCamera::Set_Orientation(const CQuaternion& orientation) {
  Set_Pose(orientation);
  Hand_Pose_To_Device(m_Orientation, m_Shake_Angles);
}

void CCamera::Start_Move(const CVector3& position, const CVector3& target, float duration) {
  m_Move_Duration = duration;
  m_Move_Elapsed = 0.0f;
  m_Move_End_Position = position;
  m_Move_End_Orientation = Look_Orientation(position, target);
  m_Move_Start_Position = m_Position;
  m_Move_Start_Orientation = m_Orientation;
  m_Mode = kMoving;
}

void CCamera::Apply_Projection(const CCamera_Projection& projection) {
  m_Projection = projection;
  if (g_pRenderDevice) {
    const ProjectionDesc desc{0, projection.aspect, projection.fov, projection.near_z, projection.far_z};
    g_pRenderDevice->SetProjection(&desc);
  }
  const float tan_v = std::tan(projection.fov * 0.5f);
  const float tan_h = tan_v * projection.aspect;
  CVector3 normals[6] = {{0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, -1.0f}, {1.0f, 0.0f, tan_h},
                         {-1.0f, 0.0f, tan_h}, {0.0f, -1.0f, tan_v}, {0.0f, 1.0f, tan_v}};
  const float distances[6] = {-projection.near_z, projection.far_z, 0.0f, 0.0f, 0.0f, 0.0f};
  for (int i = 0; i < 6; ++i) {
    const float length = normals[i].Normalize();
    CPlane& plane = m_Local_Planes[i];
    plane.nx = normals[i].x;
    plane.ny = normals[i].y;
    plane.nz = normals[i].z;
    plane.d = length > 0.0f ? distances[i] : 0.0f;
  }
}

void CCamera::Set_Projection(float fov, float aspect, float near_z, float far_z) {
  CCamera_Projection projection;
  projection.fov = fov;
  projection.aspect = aspect;
  projection.near_z = near_z;
  projection.far_z = far_z;
  Apply_Projection(projection);
}

void CCamera::Get_Frustum_Planes(CPlane planes[6]) const {
  for (int i = 0; i < 6; ++i) {
    const CPlane& local = m_Local_Planes[i];
    CVector3 normal{local.nx, local.ny, local.nz};
    normal.Rotate(m_Rotation);
    planes[i].nx = normal.x;
    planes[i].ny = normal.y;
    planes[i].nz = normal.z;
    planes[i].d = local.d - normal.Dot(m_Position);
  }
}

CVector3 CCamera::Screen_To_World(const CVector3& point) const {
  const float tan_v = std::tan(m_Projection.fov * 0.5f);
  const float tan_h = tan_v * m_Projection.aspect;
  const float ndc_x = 2.0f * point.x / Screen_Width() - 1.0f;
  const float ndc_y = 1.0f - 2.0f * point.y / Screen_Height();
  const float depth = m_Projection.near_z;
  CVector3 local{ndc_x * tan_h * depth, ndc_y * tan_v * depth, depth};
  local.Rotate(m_Rotation);
  return CVector3{local.x + m_Position.x, local.y + m_Position.y, local.z + m_Position.z};
}

// Through the view and projection the device holds, so that a point lands where the frame draws
// it, shake included; without a device, through the camera's own pose and projection.
CVector3 CCamera::World_To_Screen(const CVector3& point) const {
  CMatrix4x4 view, projection;
  if (!Device_View_And_Projection(view, projection)) return Project_Through_Own_Pose(point);
  const float row[4] = {point.x, point.y, point.z, 1.0f};
  float eye[4], clip[4];
  Transform_Row(row, view, eye);
  Transform_Row(eye, projection, clip);
  return To_Pixels(clip[0], clip[1], clip[3]);
}

CVector3 CCamera::Project_Through_Own_Pose(const CVector3& point) const {
  CVector3 offset;
  point.Subtract(m_Position, offset);
  // Into camera space: the rows of the rotation are the camera's axes in the world.
  const CVector3 local{offset.Dot(m_Rotation.rows[0]), offset.Dot(m_Rotation.rows[1]), offset.Dot(m_Rotation.rows[2])};
  const float tan_v = std::tan(m_Projection.fov * 0.5f);
  return To_Pixels(local.x / (tan_v * m_Projection.aspect), local.y / tan_v, local.z);
}

// Clip x and y over the depth w to pixels; a point on the eye's plane is taken just in front.
CVector3 CCamera::To_Pixels(float clip_x, float clip_y, float w) const {
  const float depth = std::fabs(w) > kBehind_Eye ? w : kBehind_Eye;
  const float ndc_x = clip_x / depth, ndc_y = clip_y / depth;
  return CVector3{(ndc_x + 1.0f) * 0.5f * Screen_Width(), (1.0f - ndc_y) * 0.5f * Screen_Height(), 0.0f};
}

CVector3 CCamera::Get_Cursor_Ray() const {
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  if (g_Main_Window) ScreenToClient(g_Main_Window, &cursor);
  const CVector3 on_plane = Screen_To_World(CVector3{static_cast<float>(cursor.x), static_cast<float>(cursor.y), 0.0f});
  CVector3 ray;
  on_plane.Subtract(m_Position, ray);
  ray.Normalize();
  return ray;
}

void CCamera::Shake(float strength) {
  const float r1 = Random_Signed();
  const float r2 = Random_Signed();
  const float r3 = Random_Signed();
  m_Shake_Angles.Set(strength * r2, strength * r1, strength * r3);
  m_Shake_Rotation = Euler_Quaternion(m_Shake_Angles.x * kShake_Angle_Scale, m_Shake_Angles.y * kShake_Angle_Scale,
                                      m_Shake_Angles.z * kShake_Angle_Scale);
  m_Shake_Active = true;
}

void CCamera::Set_Frame_Tilt(float angle) {
  if (!m_Tilt_Saved) m_Saved_Orientation = m_Orientation;
  m_Tilt_Saved = true;
  m_Tilt_Angle = angle;
}

void CCamera::Reset_Effects() {
  if (m_Zoom_Requested) Apply_Projection(m_Zoom_Saved_Projection);
  m_Zoom_Requested = false;
  m_Overlay_Requested = false;
  m_Overlay_Level = 0.0f;
  m_Zoom_Level = 0.0f;
  if (m_Tilt_Saved) {
    Set_Rotation(m_Saved_Orientation);
    m_Tilt_Saved = false;
  }
  m_Tilt_Angle = 0.0f;
  Look_At(CVector3{0.0f, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, 1.0f});
}

void CCamera::Push_Projection() {
  m_Pushed_Projection = m_Projection;
  // Without a zoom the current projection is the normal one.
  if (m_Zoom_Level > 0.0f) Apply_Projection(m_Zoom_Saved_Projection);
}

void CCamera::Pop_Projection() { Apply_Projection(m_Pushed_Projection); }

void CCamera::Update_Move(float delta) {
  m_Move_Elapsed += delta;
  // A move without duration lands at once.
  float t = m_Move_Duration <= 0.0f ? 1.0f : m_Move_Elapsed / std::max(m_Move_Duration, kShortest_Move);
  t = std::min(t, 1.0f);
  CVector3 travel;
  m_Move_End_Position.Subtract(m_Move_Start_Position, travel);
  m_Position.Set(m_Move_Start_Position.x + travel.x * t, m_Move_Start_Position.y + travel.y * t,
                 m_Move_Start_Position.z + travel.z * t);
  CQuaternion blended;
  blended.Slerp(m_Move_Start_Orientation, m_Move_End_Orientation, t);
  m_Orientation = blended.Normalize();
  m_Rotation.From_Quaternion(m_Orientation);
  Hand_Pose_To_Device(m_Orientation, kNo_Offset);
}

void CCamera::Update_Zoom(float delta) {
  const float step = delta * kZoom_Speed;
  if (m_Zoom_Requested && m_Zoom_Level < 1.0f) {
    if (m_Zoom_Level == 0.0f) m_Zoom_Saved_Projection = m_Projection;
    m_Zoom_Level = std::min(m_Zoom_Level + step, 1.0f);
  } else if (!m_Zoom_Requested && m_Zoom_Level > 0.0f) {
    m_Zoom_Level = std::max(m_Zoom_Level - step, 0.0f);
    if (m_Zoom_Level == 0.0f) Apply_Projection(m_Zoom_Saved_Projection);
  }
  if (m_Zoom_Level <= 0.0f) return;
  m_Zoom_Phase += delta * kZoom_Phase_Speed;
  while (m_Zoom_Phase >= kTwo_Pi) m_Zoom_Phase -= kTwo_Pi;
  const float k = (std::sin(m_Zoom_Phase) + 1.0f) * 0.5f * m_Zoom_Level;
  CCamera_Projection zoomed = m_Zoom_Saved_Projection;
  zoomed.fov *= 1.0f + k / 4.0f;
  zoomed.aspect *= 1.0f + k / 4.0f;
  zoomed.near_z *= (2.0f - k) / 2.0f;
  Apply_Projection(zoomed);
}

void CCamera::Update_Tilt() {
  if (m_Tilt_Angle != 0.0f) {
    CVector3 forward;
    m_Saved_Orientation.Get_Axes(nullptr, nullptr, &forward);
    CQuaternion roll, tilted;
    roll.From_Axis_Angle(forward, m_Tilt_Angle);
    m_Saved_Orientation.Multiply(roll, tilted);
    Set_Rotation(tilted);
    m_Tilt_Angle = 0.0f;
    m_Tilt_Saved = true;
  } else if (m_Tilt_Saved) {
    Set_Rotation(m_Saved_Orientation);
    m_Tilt_Saved = false;
  }
}

void CCamera::Update(float delta) {
  if (m_Mode == kPlaced && m_Shake_Active && !g_Game_Paused) {
    CQuaternion shaken;
    m_Shake_Rotation.Multiply(m_Orientation, shaken);
    Hand_Pose_To_Device(shaken, m_Shake_Angles);
  }
  if (m_Mode == kMoving) Update_Move(delta);
  Update_Zoom(delta);
  if (!m_Shake_Active) {
    m_Shake_Angles.Set(0.0f, 0.0f, 0.0f);
    m_Shake_Rotation = CQuaternion::Identity;
    Hand_Pose_To_Device(m_Orientation, kNo_Offset);
  }
  m_Shake_Active = false;
  Update_Tilt();
}

void CCamera::Render_Effects(const CFrame_Info& frame) {
  if (m_Overlay_Requested)
    m_Overlay_Level = std::min(m_Overlay_Level + frame.Delta * kOverlay_Rise, 1.0f);
  else
    m_Overlay_Level = std::max(m_Overlay_Level - frame.Delta * kOverlay_Fall, 0.0f);
  if (m_Overlay_Level > 0.0f) Draw_Overlay();
}

// The darkening overlay in screen space: a faint black veil over the whole screen, then a
// vignette whose four bands darken toward the screen's edges.
void CCamera::Draw_Overlay() const {
  const float width = Screen_Width(), height = Screen_Height();
  const uint32_t veil = Black_With_Alpha(kOverlay_Veil_Alpha * m_Overlay_Level);
  const uint32_t edge = Black_With_Alpha(kOverlay_Edge_Alpha * m_Overlay_Level);
  const uint32_t clear = Black_With_Alpha(0.0f);
  const float inset_x = kOverlay_Band * width, inset_y = kOverlay_Band * height;
  // Outer corners clockwise from the top left, and the inner ones inside them.
  const float ox[4] = {0.0f, width, width, 0.0f}, oy[4] = {0.0f, 0.0f, height, height};
  const float ix[4] = {inset_x, width - inset_x, width - inset_x, inset_x};
  const float iy[4] = {inset_y, inset_y, height - inset_y, height - inset_y};

  DrawPrimQuad quads[5];
  for (int i = 0; i < 4; ++i) quads[0].v[i] = ColorVertex{ox[i], oy[i], 0.0f, veil};
  for (int band = 0; band < 4; ++band) {
    const int next = (band + 1) % 4;
    DrawPrimQuad& q = quads[1 + band];
    q.v[0] = ColorVertex{ox[band], oy[band], 0.0f, edge};
    q.v[1] = ColorVertex{ox[next], oy[next], 0.0f, edge};
    q.v[2] = ColorVertex{ix[next], iy[next], 0.0f, clear};
    q.v[3] = ColorVertex{ix[band], iy[band], 0.0f, clear};
  }
  if (!g_pDrawPrim) return;
  CD3DDrawPrim& draw = *g_pDrawPrim;
  draw.ResetState();
  draw.SetTransformType(kDrawPrimScreen);
  draw.SetAlphaBlendMode(kOverlay_Blend);
  draw.SetZBufferMode(kOverlay_No_Depth);
  draw.DrawQuads(quads, 1);
  draw.DrawQuads(quads + 1, 4);
  draw.ResetState();
}

void Hit_Player(const float& strength, bool stay_quiet) {
  const float s = std::min(strength, 1.0f);
  if (!stay_quiet) {
    // Colours are alpha first: a quarter-strength flash of (1, 0.5, 0.7); the shake's strength is s.
    g_Screen_FX_Mgr.Add_Effect(CScreen_FX_Mgr::kFlash, s * 1.5f, CColor4{0.25f, 1.0f, 0.5f, 0.7f}, CColor4::Zero, 0.0f,
                               0.0f);
    g_Screen_FX_Mgr.Add_Effect_2(CScreen_FX_Mgr::kCamera_Shake, s * 3.5f, s);
  }
  // A quarter of the open and the closing chains is salvaged, read before the flush loses the
  // open chain.
  CScore_Board_Mgr& board = g_Score_Board_Mgr;
  const float p = static_cast<float>(board.m_Pending_Points);
  const float q = static_cast<float>(board.m_Pending_Multiplier);
  const float r = static_cast<float>(board.m_Closing_Points);
  const float m = static_cast<float>(board.m_Closing_Multiplier);
  const float pending = std::trunc(q * 0.0100001f * p);
  const float closing = std::trunc(m * 0.0100001f * r);
  // A harder mission keeps less of the flushed points and takes more of the shields.
  const float d = g_Difficulty_Factor;
  const float kept = 0.25f + std::max(0.0f, (1.0f - d * d) / 2.0f);
  const unsigned amount = static_cast<unsigned>(std::trunc(kept * (p + pending + closing + r)));
  board.Flush_Staged_Points();
  if (amount != 0) {
    const float duration = 1.0f;
    board.Award_Points(amount, duration);
    board.Commit_Points();
  }
  g_WarRoom_Sim.m_Shield_Level = std::max(g_WarRoom_Sim.m_Shield_Level - 0.2f * d * s, 0.0f);
  CBrain* brain = g_Game_State.m_Brain;
  if (brain && brain->m_Kind == CBrain::kGame_Rules) static_cast<CBrain_Game_Basic*>(brain)->Check_Shields();
}
