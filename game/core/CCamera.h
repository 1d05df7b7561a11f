#pragma once
// The one view of the game: position, orientation and projection handed to the render device,
// the geometric questions gameplay asks of them, and the camera effects (timed moves, shakes, a
// roll tilt, a breathing zoom and a darkening overlay).
#include <cstdint>

#include "runtime/src/math/math_types.h"

struct CFrame_Info;

// A projection: a type word (0 perspective), aspect, vertical field of view, near and far.
struct CCamera_Projection {
  uint32_t type = 0;
  float aspect = 4.0f / 3.0f;
  float fov = 0.7853982f;
  float near_z = 1.0f;
  float far_z = 5000.0f;
};

class CCamera {
 public:
  // Camera modes.
  static constexpr int kNot_Placed = 0;
  static constexpr int kPlaced = 1;
  static constexpr int kMoving = 2;

  bool Init();
  void Term() {}

  void Look_At(const CVector3& position, const CVector3& target);
  void Set_Rotation(const CQuaternion& orientation);
  void Set_Orientation(const CQuaternion& orientation);
  void Start_Move(const CVector3& position, const CVector3& target, float duration);
  void Set_Projection(float fov, float aspect, float near_z, float far_z);

  // The six planes of the view in world space, normals pointing inside.
  void Get_Frustum_Planes(CPlane planes[6]) const;
  // A screen point (pixels) to the world point on the near plane under it.
  CVector3 Screen_To_World(const CVector3& point) const;
  // A world point to the screen (pixels, z = 0), through the view and projection the device
  // holds: this frame's shake included.
  CVector3 World_To_Screen(const CVector3& point) const;
  // The unit direction from the camera through the mouse cursor.
  CVector3 Get_Cursor_Ray() const;

  void Shake(float strength);
  void Set_Frame_Tilt(float angle);
  void Reset_Effects();
  void Push_Projection();
  void Pop_Projection();

  void Update(float delta);
  void Render_Effects(const CFrame_Info& frame);

  int Mode() const { return m_Mode; }
  const CVector3& Position() const { return m_Position; }
  // Where the eye is: the camera's position plus the shake offset of the pose the device holds.
  // What is placed from the eye (the guns' gauges, the charge display, glows) moves with the
  // view it is drawn in.
  CVector3 Get_Eye_Position() const;
  // The offset from the camera's position of the eye the device was last handed: the angles of
  // a shake taken as a distance, zero while no shake moves the view.
  const CVector3& Shake_Offset() const { return m_Shake_Offset; }
  // The angles of the last shake asked for (zero for a shake of strength 0).
  const CVector3& Shake_Angles() const { return m_Shake_Angles; }
  // An effect has changed the projection (the breathing zoom): first-person drawing then runs
  // between Push_Projection and Pop_Projection.
  bool Projection_Altered() const { return m_Zoom_Level > 0.0f; }
  const CQuaternion& Orientation() const { return m_Orientation; }
  const CMatrix3x3& Rotation() const { return m_Rotation; }
  const CCamera_Projection& Projection() const { return m_Projection; }
  float Far() const { return m_Projection.far_z; }
  // The screen size the camera maps to: the render device's, or 640 x 480 without one.
  float Screen_Width() const;
  float Screen_Height() const;

  // Effect requests, set by the parts of the program that want them.
  bool m_Overlay_Requested = false;
  float m_Overlay_Level = 0.0f;
  bool m_Zoom_Requested = false;
  float m_Zoom_Phase = 0.0f;
  float m_Zoom_Level = 0.0f;

 private:
  void Set_Pose(const CQuaternion& orientation);
  // Hands the device the orientation and the position moved by the offset, and keeps the offset.
  void Hand_Pose_To_Device(const CQuaternion& orientation, const CVector3& offset);
  void Apply_Projection(const CCamera_Projection& projection);
  CVector3 Project_Through_Own_Pose(const CVector3& point) const;
  CVector3 To_Pixels(float clip_x, float clip_y, float w) const;
  void Update_Move(float delta);
  void Update_Zoom(float delta);
  void Update_Tilt();
  void Draw_Overlay() const;

  int m_Mode = kNot_Placed;
  CQuaternion m_Orientation = CQuaternion::Identity;
  CVector3 m_Position{0.0f, 0.0f, 0.0f};
  CCamera_Projection m_Projection;
  CMatrix3x3 m_Rotation = CMatrix3x3::Identity;
  CPlane m_Local_Planes[6] = {};
  bool m_Shake_Active = false;
  CVector3 m_Shake_Angles{0.0f, 0.0f, 0.0f};
  CQuaternion m_Shake_Rotation = CQuaternion::Identity;
  CVector3 m_Shake_Offset{0.0f, 0.0f, 0.0f};
  bool m_Tilt_Saved = false;
  CQuaternion m_Saved_Orientation = CQuaternion::Identity;
  float m_Tilt_Angle = 0.0f;
  CCamera_Projection m_Zoom_Saved_Projection;
  CCamera_Projection m_Pushed_Projection;
  float m_Move_Duration = 0.0f;
  float m_Move_Elapsed = 0.0f;
  CVector3 m_Move_Start_Position{0.0f, 0.0f, 0.0f};
  CVector3 m_Move_End_Position{0.0f, 0.0f, 0.0f};
  CQuaternion m_Move_Start_Orientation = CQuaternion::Identity;
  CQuaternion m_Move_End_Orientation = CQuaternion::Identity;
};

extern CCamera g_Camera;

// Applies a hit on the player: a screen flash and shake (unless told to stay quiet), a cut of the
// score board's pending points, and a loss of War Room shield.
void Hit_Player(const float& strength, bool stay_quiet);
