#pragma once
// The launcher's homing missile: a pooled sphere that waits on a cradle, is launched at a
// target, thrusts up to cruising speed while its seeker turns it, and explodes on its first
// contact, striking everything within reach of the blast.
#include <cstdint>

#include "game/core/CSphere_Object.h"
#include "game/core/CTarget_Lock_Seeker.h"
#include "game/fx/CFX_Poly_Trail.h"

class CObject_Pool;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CAmmo_Missile_0 : public CSphere_Object {
 public:
  static constexpr uint32_t kType = 5;
  static constexpr float kRadius = 75.0f;
  static constexpr float kLife = 5.0f;
  static constexpr float kCruise_Speed = 750.0f;
  // Flight time before the missile starts colliding with the terrain and walls.
  static constexpr float kWorld_Free_Time = 1.25f;
  static constexpr int kPart_Count = 3;
  static constexpr int kTexture_Count = 5;
  static constexpr int kStyle_Count = 5;

  CAmmo_Missile_0() = default;
  ~CAmmo_Missile_0() override { Term(); }

  bool Init();
  void Term();
  // Readies the missile at the point (held by the launcher, not moving by itself).
  bool Spawn(const CVector3& start, int variant);
  // Sends the missile off, homing on the target when one is given.
  void Launch(CWorld_Object* target);
  // The blast: decal, strike on everything in reach, smoke and fire, sound.
  void Explode();

  void Release_Attachments() override;
  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;

  // The pool of 8 missiles under type index 5, registered on first use.
  static CObject_Pool* Pool();

  uint8_t m_Loaded = 0;
  uint8_t m_Live = 0;
  uint8_t m_Launched = 0;
  int32_t m_Variant = 0;
  int32_t m_Struck_Count = 0;
  float m_Life = 0.0f;
  float m_Flight_Time = 0.0f;
  // Which cradle holds the missile while it waits on the launcher (0 or 1).
  int32_t m_Cradle = 0;
  CColor4 m_Part_Colors[kPart_Count] = {};
  uint32_t m_Packed_Colors[kPart_Count] = {};
  // Far and near sets of the three parts.
  CRenderableObject* m_Far_Models[kPart_Count] = {};
  CRenderableObject* m_Near_Models[kPart_Count] = {};
  // The parts' three textures, then the flame's two.
  CTextureData* m_Textures[kTexture_Count] = {};
  // The parts' three styles, reflection, glow.
  CD3DRenderStyle* m_Styles[kStyle_Count] = {};
  CFX_Poly_Trail m_Trail;
  CTarget_Lock_Seeker m_Seeker;

 private:
  CMatrix4x4 World_Matrix() const;
  void Draw_Parts(const CMatrix4x4& world, CRenderableObject* const* models, CD3DRenderStyle* const* styles,
                  CTextureData* override_texture);
  void Launch_Smoke();
  // The exhaust: a glow behind the missile and crossed flame quads trailing from it.
  void Render_Flame();
};
