#pragma once
// The on-screen text of a running simulation: the glyph texture of the in-game numbers, and the
// layout of strings of those glyphs as screen-space triangles. It also holds timed label and
// line slots, which nothing fills: they are cleared at start and stay empty.
#include <cstdint>

#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

class CTextureData;
class CD3DRenderStyle;

// One glyph vertex: screen position, packed ARGB colour, texture coordinates.
using CGlyph_Vertex = TexVertex;

class CText_Mgr {
 public:
  static constexpr uint32_t kTexture_Id = 0x2200000f;
  static constexpr uint32_t kStyle_Id = 0x2200002e;
  static constexpr int kGlyph_Count = 17;
  static constexpr int kBlank_Glyph = 16;
  static constexpr int kVertices_Per_Glyph = 6;
  static constexpr int kLabel_Slots = 16;
  static constexpr int kLine_Slots = 8;
  static constexpr int kLine_Text_Size = 16;

  // Layout flags.
  static constexpr uint32_t kCentre_X = 1;
  static constexpr uint32_t kRight_X = 2;
  static constexpr uint32_t kCentre_Y = 4;
  static constexpr uint32_t kBottom_Y = 8;
  // Slot flags.
  static constexpr uint8_t kSlot_Untimed = 0x01;
  static constexpr uint8_t kSlot_Second_Clock = 0x02;

  struct Glyph {
    float width;  // fraction of the screen width at scale 1
    float u0, v0, u1, v1;
  };
  struct Label_Slot {
    bool active = false;
    uint8_t blend = 0;
    uint8_t kind = 0;
    CTextureData* texture = nullptr;
    uint32_t colour = 0;
    CVector3 position{0.0f, 0.0f, 0.0f};
    float width = 0.0f, height = 0.0f;
    float delay = 0.0f;
    float time_left = 0.0f;
    float total_time = 0.0f;
    uint8_t flags = 0;
  };
  struct Line_Slot {
    bool active = false;
    uint8_t flags = 0;
    char text[kLine_Text_Size + 1] = {};
    CVector3 position{0.0f, 0.0f, 0.0f};
    uint32_t colour = 0;
    float scale = 1.0f;
    float delay = 0.0f;
    float time_left = 0.0f;
    CGlyph_Vertex vertices[kLine_Text_Size * kVertices_Per_Glyph] = {};
  };

  // Loads the glyph texture and style, fills the glyph table and clears the slots.
  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }

  // Lays the text out as two triangles per glyph into vertices (room for max_glyphs × 6) and
  // answers the number of glyphs laid out; the width goes to total_width when asked for.
  int Layout_Text(CGlyph_Vertex* vertices, int max_glyphs, const char* text, const CVector3& position,
                  uint32_t colour, uint32_t flags, float* total_width, float scale) const;
  // Lays the text out and draws it with the glyph texture (the score board's way of drawing).
  float Draw_Text(const char* text, const CVector3& position, uint32_t colour, uint32_t flags, float scale) const;

  void Update(float delta, float second_delta);
  void Render();

  static int Glyph_Of(char character);
  static const Glyph& Glyph_Info(int glyph);

  CTextureData* Texture() const { return m_Texture; }
  CD3DRenderStyle* Style() const { return m_Style; }
  const Label_Slot& Label(int i) const { return m_Labels[i]; }
  const Line_Slot& Line(int i) const { return m_Lines[i]; }

 private:
  void Clear_Slots();
  void Draw_Glyphs(const CGlyph_Vertex* vertices, int glyph_count, CTextureData* texture) const;

  bool m_Initialised = false;
  CD3DRenderStyle* m_Style = nullptr;
  CTextureData* m_Texture = nullptr;
  Glyph m_Glyphs[kGlyph_Count] = {};
  Label_Slot m_Labels[kLabel_Slots];
  Line_Slot m_Lines[kLine_Slots];
};

extern CText_Mgr g_Text_Mgr;
