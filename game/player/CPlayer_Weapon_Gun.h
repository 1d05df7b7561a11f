#pragma once
// The base of the player's five guns: a first-person model at the player's mount that swings
// towards the mouse cursor on a damped spring, carries at most one attachment and fires its
// own ammunition.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CAttachment;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;
struct CFrame_Info;

class CPlayer_Weapon_Gun {
 public:
  static constexpr uint32_t kHold_To_Fire = 0x01;
  static constexpr uint32_t kStraight_Down = 0x02;

  CPlayer_Weapon_Gun() = default;
  CPlayer_Weapon_Gun(const CPlayer_Weapon_Gun&) = delete;
  CPlayer_Weapon_Gun& operator=(const CPlayer_Weapon_Gun&) = delete;
  // A gun that goes away is no longer the player's.
  virtual ~CPlayer_Weapon_Gun();

  virtual bool Init() = 0;
  virtual void Term() = 0;
  virtual bool Fire() { return false; }
  virtual bool Begin_Fire() { return false; }
  virtual void End_Fire() {}
  virtual void Update(const CFrame_Info& frame) = 0;
  virtual void Render(const CFrame_Info& frame) = 0;
  virtual void Render_Overlay(const CFrame_Info& frame) { (void)frame; }

  // The profile's attachment kind when the weapon table allows it for the profile's gun, else 0.
  static int Get_Attachment_Kind();

  const CVector3& Aim() const { return m_Orientation.rows[2]; }

  uint8_t m_Initialised = 0;
  int32_t m_Kind = 0;
  uint32_t m_Flags = 0;
  CMatrix3x3 m_Orientation = CMatrix3x3::Identity;
  CAttachment* m_Attachment = nullptr;

 protected:
  // The resources of one gun, loaded in order: models, styles, textures.
  struct Resource_List {
    const uint32_t* model_ids;
    CRenderableObject** models;
    int model_count;
    const uint32_t* style_ids;
    CD3DRenderStyle** styles;
    int style_count;
    const uint32_t* texture_ids;
    CTextureData** textures;
    int texture_count;
  };
  // The gun's own mount of the laser pointer; other attachments sit at the gun's origin.
  struct Attachment_Cases {
    uint32_t handled_kinds;  // bit k set when the gun carries attachment kind k
    CVector3 pointer_offset;
    // Whether the gun's laser-pointer failure messages name the attachment's global.
    bool pointer_named = true;
  };

  // The shared start: kind and flags, the resources (a failure shows the gun's message), the
  // aim straight down and the attachment. False (with everything released) on a failure.
  bool Init_Shared(const char* class_name, int32_t kind, uint32_t flags, const Resource_List& resources,
                   const Attachment_Cases& cases);
  // The shared release of resources and attachment.
  void Term_Shared(const Resource_List& resources);
  // One frame of the aiming spring towards the cursor ray turned by tilt about the camera's side
  // axis (the straight-down flag aims at the ground instead).
  // The spring's rate is 30 unless the gun gives its own (1 while aiming straight down).
  void Aim_Spring(const CFrame_Info& frame, float tilt, CVector3& angular_velocity, float spring_rate = 30.0f);
  void Update_Attachment(const CFrame_Info& frame);
  void Render_Attachment();
  // The camera's side axis.
  static CVector3 Camera_Side();
};
