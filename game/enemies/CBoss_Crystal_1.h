#pragma once
// The crystal boss: a huge floating crystal above the middle of the arena that bobs, glows,
// sheds sparkles and dust, fires crystal shards past the player on request, and on request
// charges a pulse that darkens the world and shakes the view before a blast hits the player.
// A hit during the pulse breaks it; in disinfection mode that hit destroys the boss.
#include "game/core/CSphere_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CBoss_Crystal_1 : public CSphere_Object {
 public:
  static constexpr uint32_t kType = 68;
  static constexpr float kRadius = 275.0f;
  static constexpr float kPulse_Radius = 150.0f;

  bool Init();
  void Term();
  void Spawn(const CVector3& point);
  // Starts a pulse unless the boss is dying.
  void Start_Pulse();
  // A shard at the next update: side 1 towards +x, side 0 towards −x.
  void Request_Fire(int side);
  // A flash at the next update; refused while a pulse charges.
  void Request_Flash();

  void Update(const float& dt) override;
  void Render(const float& step) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  bool m_Initialised = false;
  uint8_t m_Fire_Request = 0;
  uint8_t m_Flash_Request = 0;
  uint8_t m_Fire_Side = 1;
  float m_Pulse = 0.0f;
  float m_Glow_Level = 1.0f;
  CVector3 m_Start_Position{0.0f, 0.0f, 0.0f};
  CVector3 m_Ground_Point{0.0f, 0.0f, 0.0f};
  float m_Sparkle_Timer = 0.0f;
  float m_Dust_Timer = 0.0f;
  float m_Flash = 0.0f;
  float m_Blast_Timer = 0.0f;
  float m_Phase_1 = 0.0f, m_Phase_2 = 1.0f, m_Phase_3 = 2.0f;
  float m_Sin_1 = 0.0f, m_Sin_2 = 0.0f;
  float m_Bob = 0.0f;
  CMatrix4x4 m_Projector_Matrix{};

 private:
  void Boss_Fire();
  void Boss_Pulse(float dt);
  void Boss_Blast_Step(float dt);
  void Break_Pulse(CWorld_Object* other);
  void Shed_Shards();
  void Darken(float amount) const;
  CMatrix4x4 World() const;
  void Boss_Glow(const CMatrix4x4& world) const;
  void Ambient_Sparkles(float step);
  void Boss_Ground_Effects(float step);

  CRenderableObject* m_Crystal_Model = nullptr;
  CRenderableObject* m_Core_Model = nullptr;
  CRenderableObject* m_Glow_Model = nullptr;
  CTextureData* m_Crystal_Texture = nullptr;
  CTextureData* m_Glow_Texture = nullptr;
  CTextureData* m_Ground_Texture = nullptr;
  CD3DRenderStyle* m_Crystal_Style = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
};
