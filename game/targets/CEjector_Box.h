#pragma once
// The box ejector: a tall post that rises out of the ground along its third axis and shoots a box
// target out of its top on each request, with a spin by its size variant.
#include "game/core/CFixed_Object.h"
#include "game/targets/Ejector_Shared.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CEjector_Box : public CFixed_Object, public ejectors::Ejector_Flags {
 public:
  static constexpr uint32_t kType = 37;
  static constexpr int kVariants = 4;

  // One size variant: the post's body, the box it shoots and the box's spin.
  struct Size_Row {
    CVector3 body;
    CVector3 box_half_size;
    CVector3 spin;
    bool quarter_turn;
  };
  // The row of a variant; a variant outside 0-3 reads as 0.
  static const Size_Row& Size_Of(uint32_t variant);

  CEjector_Box() = default;
  ~CEjector_Box() override { Term(); }

  bool Init();
  void Term();
  // Sets the post up at the position with its size variant (also the boxes' colour); a variant
  // outside 0-3 is taken as 0.
  void Spawn(const uint32_t& variant, const CVector3& position);
  void Launch();

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  static CObject_Pool* Pool();

  uint32_t Colour_Variant = 0;
  CVector3 Base_Position{0.0f, 0.0f, 0.0f};
  float Age = 0.0f;
  float Launch_Clock = 0.0f;

 private:
  CMatrix4x4 World() const;

  float m_Rise = 0.0f;  // how far the post is out, 0-1 (the recoil aside)
  CRenderableObject* m_Renderable = nullptr;
  CTextureData* m_Textures[kVariants] = {};
  CD3DRenderStyle* m_Styles[kVariants] = {};
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
