#pragma once
// A piece of a broken box target: a box body with the target's texture and style, which falls,
// shrinks away after it lands (or after its life) and casts a box shadow.
#include "game/core/CBox_Object.h"

class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

// What a broken target lends its pieces: its texture and render style.
class CDebris_Skin_Source {
 public:
  virtual ~CDebris_Skin_Source() = default;
  virtual CTextureData* Debris_Texture() const = 0;
  virtual CD3DRenderStyle* Debris_Style() const = 0;
  // The colour the target's skin is drawn in (its texture is light and takes the colour as a
  // tint); false when the skin needs no tint.
  virtual bool Debris_Tint(CColor4& out) const {
    (void)out;
    return false;
  }
};

class CDebris_Target_Box : public CBox_Object {
 public:
  static constexpr uint32_t kType = 31;
  static constexpr int kModels = 3;

  bool Init();
  void Term();
  // The piece's half-size comes from the target's box body; its offset from the target's
  // centre is written out when asked. Any box-bodied object will do; one that is a
  // CDebris_Skin_Source lends its texture and style.
  bool Spawn(int piece, CWorld_Object* target, CVector3* offset);

  void Release_Attachments() override;
  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  using CBox_Object::On_Floor_Contact;
  void On_Floor_Contact(const CVector3& normal) override;

  bool m_Initialised = false;
  bool m_Alive = false;
  int m_Model_Index = 0;  // the piece model drawn: 0-2, any other draws nothing
  CVector3 m_Piece_Half{0, 0, 0};
  CVector3 m_Texture_Scale{1, 1, 1};
  float m_Life_Timer = 0.0f;
  CTextureData* m_Texture = nullptr;  // borrowed from the target
  CD3DRenderStyle* m_Style = nullptr;  // borrowed from the target
  CColor4 m_Tint{1, 1, 1, 1};          // the target's colour, when it has one
  bool m_Tinted = false;
  const float* Tint() const { return m_Tinted ? &m_Tint.r : nullptr; }

 private:
  CMatrix4x4 World() const;
  void Give_Back_Skin();

  CRenderableObject* m_Models[kModels] = {};
  CD3DRenderStyle* m_Reflection_Style = nullptr;
};
