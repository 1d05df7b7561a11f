#pragma once
// The brick target: a flat square plate that the brick ejector places before itself and keeps
// linked. A counted hit breaks it into two or three pieces chosen by where the shot passes in the
// brick's own frame; a hit near its centre earns the precision award.
#include "game/core/CBox_Object.h"
#include "game/core/CTarget_Lock_Fixed.h"
#include "game/fx/CDebris_Target_Box.h"
#include "game/sim/CScore_Source.h"

class CObject_Pool;
class CRenderableObject;

class CTarget_Brick : public CBox_Object, public CTarget_Score_Info, public CDebris_Skin_Source {
 public:
  static constexpr uint32_t kType = 17;
  static constexpr float kGuard_Age = 0.5f;
  static constexpr uint32_t kHit_Sound = 0x220000f0;
  static constexpr uint32_t kCentre_Sound = 0x220000f3;

  CTarget_Brick() = default;
  ~CTarget_Brick() override { Term(); }

  bool Init();
  void Term();
  // Sets the brick up at the origin with its colour and links it to its owner (its ejector).
  bool Spawn(const int32_t& colour, CWorld_Object* owner);
  // The break mode (1-4) of a hit whose line passes the brick's centre at the local offset (x, y),
  // for body half-sizes hx and hy; centre tells whether it is a centre hit.
  static int Break_Mode(float x, float y, float hx, float hy, bool& centre);
  // Spawns the pieces of one break pattern (modes 1-4; any other spawns nothing).
  void Break_Up(int mode);
  void Spawn_Piece(int piece_index, bool pass_owner);
  CColor4& Get_Color(CColor4& out) const;
  // The brick's owner while it is linked, else null.
  CWorld_Object* Owner() const { return m_Lock.First_Object(); }

  void Release_Attachments() override;
  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* hitter, const CShot_Line* shot) override;
  using CBox_Object::On_Floor_Contact;
  void On_Floor_Contact(const CVector3& normal) override;

  int32_t Score_Color_Variant() const override { return m_Colour; }
  float Score_Age() const override { return m_Age; }
  CTextureData* Debris_Texture() const override { return m_Texture; }
  CD3DRenderStyle* Debris_Style() const override { return m_Style; }
  bool Debris_Tint(CColor4& out) const override;

  static CObject_Pool* Pool();

  bool m_Initialised = false;
  bool m_Spawned = false;
  bool m_Fast_Fade = false;
  int32_t m_Colour = 0;
  int32_t m_Hit_Count = 0;
  float m_Scale = 0.0f;
  float m_Age = 0.0f;
  float m_Tumble_Timer = 0.0f;

 private:
  // The hit's local offset from the centre (x, y in the brick's frame).
  CVector3 Local_Offset(const CVector3& point, CVector3 direction) const;
  CMatrix4x4 World() const;

  CRenderableObject* m_Renderable = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
  CTarget_Lock_Fixed m_Lock;
};
