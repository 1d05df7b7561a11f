#pragma once
// The base of every object that lives in the simulation world, with its body (sphere, box or
// fixed shape), the body's world step and integration, and the hit wrappers.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CTarget_Link;
struct CTerrain_Triangle;

// How the world's mirror pass draws an object once more: the transform that reflects the
// object's world placement across a world edge, and its turning part (for directions).
struct CWorld_Mirror {
  CMatrix4x4 transform;
  CMatrix3x3 turn;
};

// State flags: the object's physical and drawing state.
enum : uint32_t {
  kState_In_Grid = 0x01,
  kState_Translucent = 0x02,
  kState_Reflected = 0x04,
  kState_Never_Culled = 0x08,
  kState_No_Object_Collision = 0x10,
  kState_No_World_Contact = 0x20,
  kState_No_Gravity = 0x40,
  kState_No_Damping = 0x80,
};

// Kind flags: the object's role for scoring and shooting.
enum : uint32_t {
  kKind_Counted_Target = 0x01,
  kKind_Target = 0x02,
  kKind_Read_By_Stats = 0x08,
  kKind_Shot = 0x10,
  kKind_Excluded = 0x40,
  kKind_Strikable_Mask = 0x2b,
};

// Body kinds; the collision handler table has rows and columns 0 to 6.
enum : int32_t {
  kBody_None = 0,
  kBody_Sphere = 1,
  kBody_Box = 2,
  kBody_Fixed = 5,
  kBody_Kind_Count = 7,
};

// The line of a shot that struck an object: the hit point and the shot's direction.
struct CShot_Line {
  CVector3 point;
  CVector3 direction;
};

// What one world step does to a body, summed over its contacts and cleared by the integration.
struct CBody_Motion {
  CVector3 acceleration{0.0f, 0.0f, 0.0f};
  CVector3 torque{0.0f, 0.0f, 0.0f};
  float contact_count = 0.0f;
  CVector3 contact_velocity{0.0f, 0.0f, 0.0f};
  // Torque of the ground's friction at impacts, and the most spin it may add in one step: the
  // spin that stops the sliding at the contact.
  CVector3 friction_torque{0.0f, 0.0f, 0.0f};
  float friction_spin_cap = 0.0f;

  void Clear() { *this = CBody_Motion(); }
  // Running average of the velocities that the contacts of a step ask for.
  void Add_Contact_Velocity(const CVector3& wanted);
};

struct CSphere_Body {
  uint8_t hit_flag = 0;
  uint8_t floor_contact_flag = 0;
  CVector3 velocity{0.0f, 0.0f, 0.0f};
  CVector3 spin{0.0f, 0.0f, 0.0f};
  float mass = 0.0f;
  float bounce = 0.0f;
  float radius_sq = 0.0f;
  float contact_radius = 0.0f;
  float contact_radius_sq = 0.0f;
  float inertia = 0.0f;
};

enum : uint32_t { kBox_Ignores_Spheres = 0x01 };

struct CBox_Body {
  uint8_t hit_flag = 0;
  uint8_t floor_contact_flag = 0;
  CVector3 velocity{0.0f, 0.0f, 0.0f};
  CVector3 spin{0.0f, 0.0f, 0.0f};
  CVector3 half_size{0.0f, 0.0f, 0.0f};
  float mass = 0.0f;
  float bounce = 0.0f;
  float radius_sq = 0.0f;
  float contact_radius = 0.0f;
  float contact_radius_sq = 0.0f;
  float inertia = 0.0f;
  uint32_t box_flags = 0;
  float floor_timer = 1.0f;
  uint8_t catch_mode = 0;  // while set, spheres that touch are carried along
  uint8_t catch_hold = 0;  // what catch mode becomes after a hard impact
};

enum : uint32_t { kFixed_No_Collision = 0x02 };

struct CFixed_Body {
  CVector3 half_size{0.0f, 0.0f, 0.0f};
  uint8_t hit_flag = 0;
  uint32_t flags = 0;
  float radius_sq = 0.0f;
  float contact_radius = 0.0f;
  float contact_radius_sq = 0.0f;
};

class CWorld_Object {
 public:
  CWorld_Object() = default;
  CWorld_Object(const CWorld_Object&) = delete;
  CWorld_Object& operator=(const CWorld_Object&) = delete;
  virtual ~CWorld_Object();

  // Detaches the object from every target lock that holds it.
  virtual void Release_Attachments();
  virtual void Update(const float& dt) = 0;
  virtual void Render(const float& step) { (void)step; }
  virtual void Render_Reflection(const CWorld_Mirror& mirror) { (void)mirror; }
  virtual void Render_With_Shader(void* style, void* texture) {
    (void)style;
    (void)texture;
  }
  // The object has been struck by another object (shot null) or by a shot's line (other
  // null); false ignores the contact.
  virtual bool On_Hit(CWorld_Object* other, const CShot_Line* shot) {
    (void)other;
    (void)shot;
    return true;
  }
  // A sphere body touched the terrain or a wall with its floor-contact flag set.
  virtual void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
    (void)strength;
    (void)contact;
    (void)normal;
  }
  // A box body touched the terrain or a wall with its floor-contact flag set.
  virtual void On_Floor_Contact(const CVector3& normal) { (void)normal; }

  void Setup_Object(const uint32_t& type, const float& value1, const float& value2,
                    const uint32_t& state_flags, const uint32_t& kind_flags);
  // Moves the object in the object grid and stores the position; a position that is not
  // finite takes the object out of the grid and leaves the stored position as it was.
  void Set_Position(const CVector3& position);
  void Get_Position(CVector3& out) const { out = m_Position; }

  bool Hit_Sphere_Body(CWorld_Object* other, const CShot_Line* shot);
  bool Hit_Box_Body(CWorld_Object* other, const CShot_Line* shot);
  bool Hit_Kind5_Body(CWorld_Object* other, const CShot_Line* shot);
  // The hit flag of the body the object carries (false for kind 0).
  bool Body_Hit_Flag() const;
  // The velocity of a sphere or box body; zero for other kinds.
  CVector3 Body_Velocity() const;

  bool Setup_Sphere_Body(float mass, float radius, float bounce);
  void Set_Sphere_Radius(float radius);
  bool Setup_Box_Body(float mass, const CVector3& half_size, float bounce);
  void Set_Box_Extents(const CVector3& half_size);
  bool Setup_Kind5_Body(const CVector3& half_size);
  void Set_Kind5_Extents(const CVector3& half_size);

  void Collide_Sphere_World(CBody_Motion& motion);
  void Collide_Box_World(CBody_Motion& motion);
  void Integrate_Sphere(CBody_Motion& motion, float dt);
  void Integrate_Box(CBody_Motion& motion, float dt);
  void Apply_Sphere_Impulse(const CVector3& offset, const CVector3& push);
  void Apply_Box_Impulse(const CVector3& offset, const CVector3& push);

  CTarget_Link* m_Link_Chain = nullptr;
  uint32_t m_Type = 0;
  uint32_t m_State_Flags = 0;
  uint32_t m_Kind_Flags = 0;
  int32_t m_Body_Kind = kBody_None;
  float m_View_Radius = 0.0f;
  float m_Collision_Radius = 0.0f;
  CMatrix3x3 m_Orientation = CMatrix3x3::Identity;
  CVector3 m_Position{0.0f, 0.0f, 0.0f};
  float m_Kill_Timer = 0.0f;
  float m_Value1 = 0.0f;
  float m_Value2 = 0.0f;
  float m_Value2_Initial = 0.0f;
  float m_Value1_Initial = 0.0f;
  CWorld_Object* m_Next = nullptr;
  int m_List = -1;             // the world list that holds the object, -1 for none
  uint32_t m_Query_Stamp = 0;  // marks the object once per world query
  int32_t m_Grid_Nodes = -1;   // the object's first node in the object grid
  uint32_t m_Draw_Stamp = 0;   // the world frame in which the object last entered a render list
  uint8_t m_Mirror_Mask = 0;   // the reflections it was listed for in that frame

  CBody_Motion m_Motion;
  CSphere_Body m_Sphere;
  CBox_Body m_Box;
  CFixed_Body m_Fixed;

 private:
  template <class Change>
  void Resize_In_Grid(Change change);
  // The triangle's kept terms hold its own normal turned to the side of normal.
  void Sphere_Triangle_Contact(CBody_Motion& motion, const CTerrain_Triangle& triangle, const CVector3& normal);
  // face: the triangle's own normal turned to the side of normal.
  void Box_Triangle_Contact(CBody_Motion& motion, const CVector3& v0, const CVector3& v1, const CVector3& v2,
                            const CVector3& normal, const CVector3& face);
  template <class Contact>
  void Touch_World(float radius, float clear_above, Contact contact);
  void Collide_Objects();
  void Turn_By_Spin(const CVector3& spin, float dt);
  // The same turn for a sphere, whose orientation no contact reads: to float precision.
  void Roll_By_Spin(const CVector3& spin, float dt);
};
