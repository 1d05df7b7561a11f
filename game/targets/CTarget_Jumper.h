#pragma once
// The jumper target: a ball that rolls across the floor in one of three directions and leaps on
// the music's beat when the track asks; it survives only the boundary wall behind it.
#include "game/targets/CRolling_Ball_Target.h"

class CObject_Pool;

class CTarget_Jumper : public CRolling_Ball_Target {
 public:
  static constexpr uint32_t kType = 28;
  // A jump is taken only while the ball's bottom is lower than this above the ground.
  static constexpr float kJump_Reach = 120.0f;

  CTarget_Jumper();

  bool Init();
  void Term();
  bool Spawn(const int32_t& variant, const int32_t& direction);
  // The track's beat: served (or dropped) at the next update.
  void Request_Jump() { m_Jump_Request = true; }

  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  bool m_Jump_Request = false;
  uint32_t m_Packed_Colour = 0;
  float m_Jump_Glow = 0.0f;

 protected:
  void Drive() override;
  void Before_Move(float dt) override;
  bool Ignores(const CWorld_Object* other) const override;
  bool Survives_Wall(const CVector3& normal) const override;

 private:
  void Draw_Glow();

  CTextureData* m_Glow_Texture = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
};
