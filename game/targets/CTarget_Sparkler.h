#pragma once
// The sparkler target: a fizzing firework ball that the sparkler ejector throws up. It has no
// mesh: it is drawn as its own cloud of up to 95 sparkles, which it emits while it flies, hangs
// in the air at the top of its arc, and bursts into a shower of sparkles and a flash when hit.
#include <cstdint>

#include "game/core/CSphere_Object.h"
#include "game/sim/CScore_Source.h"
#include "game/targets/CSparkle_Cloud.h"
#include "runtime/src/math/math_types.h"

class CObject_Pool;
class CTextureData;
class CD3DRenderStyle;

class CTarget_Sparkler : public CSphere_Object, public CTarget_Score_Info {
 public:
  static constexpr uint32_t kType = 14;
  static constexpr uint32_t kSprites = 95;
  // Emission stops at this many live sparkles; a burst fills the cloud up to kSprites.
  static constexpr uint32_t kEmission_Limit = 64;

  bool Init();
  // Destroys the sprite object it holds and gives back its texture and style.
  void Term();
  // Sets up the sparkler and makes its sprite object; false (with nothing of its own held) when
  // either fails. The caller gives the object back to its pool.
  bool Spawn(const int32_t& variant);
  bool Add_Sparkle(const CVector3& position, const CVector3& velocity, bool burst);
  void Update_Sparkles(float dt);
  // The flash left where a sparkler or a twirler was hit, in the colour; nothing when the
  // flash pool is empty.
  static void Spawn_Flash(const CVector3& at, const CColor4& colour);
  // The colour of a variant 1-4 (red, green, blue, yellow); white for any other.
  static CColor4 Variant_Color(int32_t variant);

  void Release_Attachments() override;
  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;

  int32_t Score_Color_Variant() const override { return m_Variant; }
  float Score_Age() const override { return m_Age; }

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  bool m_Initialised = false;
  bool m_Spawned = false;
  bool m_Hanging = false;
  int32_t m_Variant = 0;
  float m_Age = 0.0f;
  // Set by the hit: the push of the shot that struck it is dropped at the next update, so the
  // sparkler stops where it burst.
  bool m_Stopped_By_Hit = false;
  CSparkle_Cloud m_Cloud;

 private:
  void Emit(float dt);
  void Burst();

  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
};
