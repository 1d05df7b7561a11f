#pragma once
// The sparkler ejector: a burning fuse that runs along the ground or a side wall from the front
// edge of the world to the ejector's point, burns in over 1.5 time units, and launches one
// sparkler straight up when the track asks. It holds the sparklers it launched and starts their
// fade when it goes. A fuse without a colour only burns and dies.
#include <cstdint>

#include "game/core/CFixed_Object.h"
#include "game/core/CTarget_Lock_Fixed.h"
#include "game/targets/Ejector_Shared.h"
#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

class CObject_Pool;
class CTextureData;
class CD3DRenderStyle;

class CEjector_Sparkler : public CFixed_Object, public ejectors::Ejector_Flags {
 public:
  static constexpr uint32_t kType = 42;
  static constexpr int kSegments = 32;
  static constexpr float kBurn_Time = 1.5f;
  static constexpr float kFuse_Width = 18.0f;
  static constexpr float kFuse_Lift = 10.0f;

  enum : uint32_t { kGround = 0, kLeft_Wall = 1, kRight_Wall = 2 };

  bool Init();
  void Term();
  // The flag byte is not read. False when the body cannot be set up.
  bool Spawn(const uint8_t& flag, const uint32_t& fuse_kind, const uint32_t& colour_value, const CVector3& position);

  // Starts the fade of every sparkler it launched that still lives, then lets them go.
  void Release_Attachments() override;
  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;

  // The fuse's colours: red, green, blue, olive.
  static CColor4 Fuse_Color(int index);

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  bool m_Burning = false;
  bool m_Launched = false;
  uint32_t m_Fuse_Kind = kGround;
  uint32_t m_Colour_Value = 0;
  CVector3 m_Fuse_Start{0.0f, 0.0f, 0.0f};
  CVector3 m_Fuse_End{0.0f, 0.0f, 0.0f};
  float m_Glow = 0.0f;
  float m_Age = 0.0f;
  int m_Fuse_Colour_Index = 0;
  CColor4 m_Fuse_Colour{1.0f, 1.0f, 1.0f, 1.0f};
  TexVertex m_Segments[kSegments * 6] = {};
  CTarget_Lock_Fixed m_Sparkler_Lock;

 private:
  void Launch();
  void Burn_In();
  // One point of the fuse: on the ground (lifted over the terrain) or at the wall's height.
  CVector3 Fuse_Point(const CVector3& along) const;
  void Build_Segments(const CVector3& tail, const CVector3& head, float alpha);
  void Draw_Fuse(const CMatrix4x4* mirror);
  void Draw_Glow();

  CTextureData* m_Fuse_Texture = nullptr;
  CTextureData* m_Glow_Texture = nullptr;
  CTextureData* m_Third_Texture = nullptr;
  CD3DRenderStyle* m_Fuse_Style = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
  CD3DRenderStyle* m_Second_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
