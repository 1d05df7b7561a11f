#pragma once
// The bomb emplacement: an invisible launch point marked by coloured glow puffs that lobs bombs
// on each fire request. It cannot be shot; it leaves when the track releases it.
#include "game/core/CFixed_Object.h"

class CObject_Pool;
class CTextureData;
class CD3DRenderStyle;

// One glow puff: where, its packed colour, and its phase (−1 while the slot is free).
struct Enemy_Glow_Puff {
  CVector3 position{0.0f, 0.0f, 0.0f};
  uint32_t colour = 0;
  float phase = -1.0f;
};

class CEjector_Enemy_Bomb : public CFixed_Object {
 public:
  static constexpr uint32_t kType = 52;
  static constexpr int kPuff_Count = 8;

  bool Init();
  void Term();
  void Spawn(const CVector3& position);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  // The emplacement shows nothing in the mirror and shader passes.
  void Render_Reflection(const CWorld_Mirror& mirror) override { (void)mirror; }
  void Render_With_Shader(void* style, void* texture) override {
    (void)style;
    (void)texture;
  }

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
  int Puffs_In_Use() const;

  bool m_Initialised = false;
  bool m_Active = false;
  uint8_t m_Launch_Requested = 0;
  CVector3 m_Base_Position{0.0f, 0.0f, 0.0f};
  float m_Glow_Intensity = 0.0f;
  float m_Puff_Timer = 0.0f;
  Enemy_Glow_Puff m_Puffs[kPuff_Count];

 private:
  void Start_Puff();
  void Fire();

  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
};
